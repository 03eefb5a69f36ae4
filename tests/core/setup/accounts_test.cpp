// Tests of the user accounts: the login and set-up checks, creating, changing and deleting
// accounts, the master password, and that no password is ever stored in clear.
#include "setup/accounts.h"

#include <gtest/gtest.h>

#include <string>

#include "shell/ini_file.h"
#include "setup/password_hash.h"
#include "setup/settings_store.h"
#include "shell/file_utils.h"
#include "support/temp_dir.h"

namespace quillo {
namespace {

class AccountsTest : public ::testing::Test {
 protected:
  AccountsTest() {
    // Cheap hashes: these tests make many of them.
    internal::SetPasswordHashLimits(1, 8192);
    t.ctx.settings = &store;
  }
  ~AccountsTest() override {
    internal::ResetPasswordHashLimits();
    internal::SetRemoveFolderForTest(nullptr);
  }
  bool Login(const std::string& user, const std::string& password) {
    return CheckLogin(t.ctx, user, password, "U");
  }
  std::string AccountFile(const std::string& folder) {
    return t.dir.Read("appdata/Tremsol/Users/" + folder + "/LastuFile.ini");
  }
  std::string GlobalFile() { return t.dir.Read("appdata/Tremsol/SetG/LastgFile.ini"); }
  void SetMaster(const std::string& text) {
    SaveMasterPassword(t.ctx, text);
    t.msgBox.Clear();
  }

  test::TestContext t;
  SettingsStore store;
};

TEST_F(AccountsTest, UserLogin) {
  ASSERT_TRUE(CreateAccount(t.ctx, "Marie", "secret", "secret"));
  ASSERT_TRUE(CreateAccount(t.ctx, "paul", "", ""));
  struct Case {
    const char* user;
    const char* password;
    bool passes;
  };
  const Case withoutMaster[] = {
      {"marie", "SECRET", true},  // both sides lower-cased
      {"MARIE", "secret", true},
      {"marie", "wrong", false},
      {"marie", "", false},  // the empty-password placeholder matches nothing
      {"paul", "", true},    // empty stored password, empty typed password
      {"paul", "x", false},
      {"nobody", "", false},
      {"tutor", "", false},
      {"../marie", "secret", false},
  };
  for (const Case& c : withoutMaster) {
    EXPECT_EQ(Login(c.user, c.password), c.passes) << c.user << " / " << c.password;
  }
  SetMaster("Teacher");
  const Case withMaster[] = {
      {"marie", "teacher", true},  // the master password opens every account
      {"paul", "TEACHER", true},
      {"paul", "", true},
      {"marie", "", false},
      {"nobody", "teacher", false},  // no account: not even the master password helps
      {"marie", "secret", true},
  };
  for (const Case& c : withMaster) {
    EXPECT_EQ(Login(c.user, c.password), c.passes) << c.user << " / " << c.password;
  }
  EXPECT_TRUE(t.msgBox.Shown().empty());  // a login shows no message
}

TEST_F(AccountsTest, AnonymousLogin) {
  EXPECT_FALSE(FolderExists(t.ctx.folders.usersDir + "Anonymous"));
  EXPECT_TRUE(Login("", ""));
  EXPECT_TRUE(FolderExists(t.ctx.folders.usersDir + "Anonymous"));
  EXPECT_TRUE(Login("anonymous", "anything"));
  EXPECT_TRUE(Login("", "typed"));
  SetMaster("teacher");
  EXPECT_TRUE(Login("", ""));
  EXPECT_EQ(DisplayName("", ""), "Anonymous");
  EXPECT_EQ(DisplayName("", "x"), "");
  EXPECT_EQ(DisplayName("Marie", ""), "Marie");
}

TEST_F(AccountsTest, SetupAccess) {
  // Without a master password anybody gets in.
  EXPECT_TRUE(CheckLogin(t.ctx, "whoever", "x", "G"));
  SetMaster("Open Sesame");
  EXPECT_TRUE(CheckLogin(t.ctx, "tutor", "open sesame", "G"));
  EXPECT_TRUE(CheckLogin(t.ctx, "TUTOR", "OPEN SESAME", "G"));
  EXPECT_FALSE(CheckLogin(t.ctx, "tutor", "wrong", "G"));
  EXPECT_FALSE(CheckLogin(t.ctx, "marie", "open sesame", "G"));
  EXPECT_FALSE(CheckLogin(t.ctx, "tutor", "open sesame", "X"));
  // An empty master password removes the protection again.
  SetMaster("  ");
  EXPECT_TRUE(CheckLogin(t.ctx, "whoever", "", "G"));
}

TEST_F(AccountsTest, MasterPasswordFieldStandsInWhileNothingIsStored) {
  store.SetMasterPasswordField("typed");
  EXPECT_EQ(ReadMasterPassword(t.ctx), "typed");
  EXPECT_FALSE(CheckLogin(t.ctx, "tutor", "", "G"));
  EXPECT_TRUE(CheckLogin(t.ctx, "tutor", "typed", "G"));
  EXPECT_EQ(GlobalFile(), "");  // nothing stored that was not saved
}

TEST_F(AccountsTest, CreateAccount) {
  EXPECT_TRUE(CreateAccount(t.ctx, "  MARIE  ", "Pw", "pw"));
  EXPECT_TRUE(FolderExists(t.ctx.folders.usersDir + "Marie"));
  ASSERT_EQ(t.msgBox.Shown().size(), 1u);
  EXPECT_EQ(t.msgBox.Shown()[0].title, "Username");
  EXPECT_EQ(t.msgBox.Shown()[0].line1, "User created !");
  EXPECT_EQ(t.msgBox.Shown()[0].line2, "Marie");
  EXPECT_EQ(t.msgBox.Shown()[0].icon, kIconInfo);
  EXPECT_EQ(ListAccounts(t.ctx), std::vector<std::string>{"Marie"});

  struct Case {
    const char* user;
    const char* password;
    const char* confirmation;
    const char* message;  // "" for none
  };
  const Case refused[] = {
      {"marie", "other", "other", "User existe !"},
      {"Tutor", "x", "x", "Wrong username or password !"},
      {"pierre", "a", "b", "Wrong username or password !"},
      {"../evil", "a", "a", "Wrong username or password !"},
      {"a=b", "a", "a", "Wrong username or password !"},
      {"   ", "a", "a", ""},
  };
  for (const Case& c : refused) {
    t.msgBox.Clear();
    EXPECT_FALSE(CreateAccount(t.ctx, c.user, c.password, c.confirmation)) << c.user;
    if (*c.message) {
      ASSERT_EQ(t.msgBox.Shown().size(), 1u) << c.user;
      EXPECT_EQ(t.msgBox.Shown()[0].line1, c.message) << c.user;
    } else {
      EXPECT_TRUE(t.msgBox.Shown().empty()) << c.user;
    }
  }
  EXPECT_EQ(ListAccounts(t.ctx), std::vector<std::string>{"Marie"});
  EXPECT_TRUE(Login("marie", "pw"));  // the existing password is unchanged
  EXPECT_FALSE(Login("marie", "other"));

  // An account with an empty password exists as well and is not created over.
  ASSERT_TRUE(CreateAccount(t.ctx, "paul", "", ""));
  EXPECT_FALSE(CreateAccount(t.ctx, "Paul", "new", "new"));
  EXPECT_TRUE(Login("paul", ""));
}

TEST_F(AccountsTest, ChangePassword) {
  ASSERT_TRUE(CreateAccount(t.ctx, "marie", "old", "old"));
  t.msgBox.Clear();
  EXPECT_TRUE(ChangePassword(t.ctx, "Marie", "New", "new"));
  EXPECT_EQ(t.msgBox.Shown().back().line1, "Changed !");
  EXPECT_TRUE(Login("marie", "new"));
  EXPECT_FALSE(Login("marie", "old"));

  EXPECT_FALSE(ChangePassword(t.ctx, "TUTOR", "a", "a"));
  EXPECT_EQ(t.msgBox.Shown().back().line1, "Not allowed !");
  EXPECT_FALSE(ChangePassword(t.ctx, "marie", "a", "b"));
  EXPECT_EQ(t.msgBox.Shown().back().line1, "Wrong username or password !");
  EXPECT_FALSE(ChangePassword(t.ctx, "nobody", "a", "a"));
  EXPECT_EQ(t.msgBox.Shown().back().line1, "Wrong username or password !");
  EXPECT_FALSE(FolderExists(t.ctx.folders.usersDir + "nobody"));
  EXPECT_TRUE(Login("marie", "new"));
}

TEST_F(AccountsTest, DeleteAccount) {
  ASSERT_TRUE(CreateAccount(t.ctx, "marie", "pw", "pw"));
  t.dir.Write("appdata/Tremsol/Users/Marie/Qst/Book/Sheet.QST", "x");
  std::string locked = t.dir.Write("appdata/Tremsol/Users/Marie/Locked.QsR", "x");
  SetReadOnly(locked, true);
  t.ctx.trace.SwitchOn();
  t.msgBox.Clear();

  t.msgBox.QueueAnswer(kMsgCancel);
  EXPECT_FALSE(DeleteAccount(t.ctx, "Marie"));
  EXPECT_TRUE(Login("marie", "pw"));
  EXPECT_TRUE(DeleteAccount(t.ctx, "MARIE"));
  ASSERT_EQ(t.msgBox.Shown().size(), 2u);
  EXPECT_EQ(t.msgBox.Shown()[1].line1, "Do you want to delete ?");
  EXPECT_EQ(t.msgBox.Shown()[1].line2, "MARIE");
  EXPECT_FALSE(FolderExists(t.ctx.folders.usersDir + "Marie"));
  EXPECT_EQ(t.ctx.trace.Lines().back(), "Info: Del all!");
  EXPECT_FALSE(Login("marie", "pw"));
  EXPECT_FALSE(DeleteAccount(t.ctx, "Marie"));  // gone: nothing to do
}

TEST_F(AccountsTest, DeleteAccountWhoseFolderResists) {
  ASSERT_TRUE(CreateAccount(t.ctx, "marie", "pw", "pw"));
  t.dir.Write("appdata/Tremsol/Users/Marie/Result.QsR", "x");
  // A file in use elsewhere keeps its folder alive.
  internal::SetRemoveFolderForTest([](const std::string& folder) {
    WriteFileAtomic(folder + "InUse.tmp", "busy");
    return false;
  });
  t.msgBox.Clear();
  EXPECT_FALSE(DeleteAccount(t.ctx, "marie"));
  ASSERT_EQ(t.msgBox.Shown().size(), 2u);
  EXPECT_EQ(t.msgBox.Shown()[1].line1, "Not deleted !");
  EXPECT_EQ(t.msgBox.Shown()[1].line2, "Close program and try again !");
  EXPECT_TRUE(FileExists(t.ctx.folders.usersDir + "Marie/InUse.tmp"));
  // The password entry went first, so the half-deleted account cannot log in.
  EXPECT_FALSE(Login("marie", "pw"));
}

TEST_F(AccountsTest, MasterPasswordAndTraceSwitch) {
  SaveMasterPassword(t.ctx, " * Qz ");
  EXPECT_TRUE(t.ctx.trace.TraceOn());
  EXPECT_EQ(GlobalFile(), "");
  EXPECT_TRUE(t.msgBox.Shown().empty());

  SaveMasterPassword(t.ctx, "  Secret ");
  ASSERT_EQ(t.msgBox.Shown().size(), 1u);
  EXPECT_EQ(t.msgBox.Shown()[0].title, "Password");
  EXPECT_EQ(t.msgBox.Shown()[0].line1, "Password saved !");
  std::string stored = IniReadString(t.ctx.folders.settingsDir + "LastgFile.ini", "Global",
                                     "Pass", "");
  EXPECT_TRUE(IsPasswordHash(stored));
  EXPECT_EQ(store.MasterPasswordField(), stored);
  // Saving the unchanged field (which holds the stored value) keeps the password.
  SaveMasterPassword(t.ctx, store.MasterPasswordField());
  EXPECT_TRUE(CheckLogin(t.ctx, "tutor", "secret", "G"));

  WriteLastUser(t.ctx, "Marie");
  EXPECT_EQ(ReadLastUser(t.ctx), "Marie");
  EXPECT_TRUE(CheckLogin(t.ctx, "tutor", "secret", "G"));  // the last user left the rest
}

TEST_F(AccountsTest, NoPasswordIsStoredInClear) {
  ASSERT_TRUE(CreateAccount(t.ctx, "marie", "Geheim1", "geheim1"));
  ASSERT_TRUE(ChangePassword(t.ctx, "marie", "Neues2", "neues2"));
  SetMaster("Meister3");
  for (const std::string& text : {AccountFile("Marie"), GlobalFile()}) {
    for (const char* secret : {"geheim1", "neues2", "meister3", "Meister3"}) {
      EXPECT_EQ(text.find(secret), std::string::npos) << secret << " in " << text;
    }
  }
  EXPECT_NE(AccountFile("Marie").find("[Pers]\r\nmarie=$argon2"), std::string::npos);
  EXPECT_NE(GlobalFile().find("Pass=$argon2"), std::string::npos);
  // The empty password stays the empty value.
  ASSERT_TRUE(CreateAccount(t.ctx, "paul", "", ""));
  EXPECT_EQ(AccountFile("Paul"), "[Pers]\r\npaul=\r\n");
}

TEST_F(AccountsTest, OlderValuesInClearAreReplacedAtTheNextSuccessfulLogin) {
  t.dir.Write("appdata/Tremsol/Users/Marie/LastuFile.ini",
              "[Pers]\r\nmarie=oldpw\r\n[Last Input]\r\nNom 2=kept\r\n");
  t.dir.Write("appdata/Tremsol/SetG/LastgFile.ini",
              "[Last User]\r\nsLastUser=Marie\r\n[Global]\r\nPass=master\r\n");
  EXPECT_FALSE(Login("marie", "wrong"));
  EXPECT_NE(AccountFile("Marie").find("marie=oldpw"), std::string::npos);  // no success yet
  EXPECT_TRUE(Login("marie", "oldpw"));
  EXPECT_EQ(AccountFile("Marie").find("oldpw"), std::string::npos);
  EXPECT_NE(AccountFile("Marie").find("Nom 2=kept"), std::string::npos);
  EXPECT_TRUE(Login("marie", "oldpw"));

  EXPECT_TRUE(CheckLogin(t.ctx, "tutor", "master", "G"));
  EXPECT_EQ(GlobalFile().find("Pass=master"), std::string::npos);
  EXPECT_NE(GlobalFile().find("sLastUser=Marie"), std::string::npos);
  EXPECT_TRUE(CheckLogin(t.ctx, "tutor", "master", "G"));
  EXPECT_TRUE(Login("marie", "master"));
}

TEST_F(AccountsTest, AccountNames) {
  EXPECT_EQ(AccountFolderName("mARIE"), "Marie");
  EXPECT_EQ(AccountFolderName("\xE9lodie"), "\xC9lodie");
  struct Case {
    const char* name;
    bool valid;
  };
  const Case cases[] = {{"marie", true}, {"jean-luc o'neil", true}, {"", false},
                        {".", false},    {"..", false},             {"a/b", false},
                        {"a\\b", false}, {"a=b", false},            {"[x", false},
                        {";x", false},   {"a\tb", false}};
  for (const Case& c : cases) EXPECT_EQ(IsValidAccountName(c.name), c.valid) << c.name;
}

}  // namespace
}  // namespace quillo
