// Tests of the login steps without a window: the anonymous rule of the "Login" button, the
// login with its effects on the login state, the last user and the settings read, the choice
// of the settings folder, and the set-up access check.
#include "setup/login_state.h"

#include <gtest/gtest.h>

#include <string>

#include "language/text_lookup.h"
#include "setup/accounts.h"
#include "setup/password_hash.h"
#include "setup/settings_store.h"
#include "shell/file_utils.h"
#include "support/temp_dir.h"

namespace quillo {
namespace {

TEST(LoginButtonTest, ClearsFieldsForAnEmptyOrAnonymousUser) {
  const struct {
    const char* user;
    bool clears;
  } cases[] = {
      {"", true},           {"   ", true},       {"Anonymous", true}, {" anonymous\t", true},
      {"ANONYMOUS", true},  {"Anonymou", false}, {"Anonymous2", false},
      {"Ano nymous", false}, {"Marie", false},
  };
  for (const auto& c : cases) EXPECT_EQ(LoginButtonClearsFields(c.user), c.clears) << c.user;
}

class LoginTest : public ::testing::Test {
 protected:
  LoginTest() : lookup(t.ctx.folders.languageDir) {
    internal::SetPasswordHashLimits(1, 8192);
    t.ctx.settings = &store;
    t.ctx.lookup = &lookup;
    t.ctx.login = &state;
  }
  ~LoginTest() override { internal::ResetPasswordHashLimits(); }

  std::string UserMaster(const std::string& folder, const std::string& text) {
    return t.dir.Write("appdata/Tremsol/Users/" + folder + "/Master.ini", text);
  }

  test::TestContext t;
  SettingsStore store;
  TextLookup lookup;
  LoginState state;
};

TEST_F(LoginTest, SuccessfulLoginSetsTheStateAndRemembersTheUser) {
  ASSERT_TRUE(CreateAccount(t.ctx, "marie", "secret", "secret"));
  LoginOutcome outcome = Login(t.ctx, state, "  Marie \t", "SeCrEt");
  EXPECT_TRUE(outcome.accepted);
  EXPECT_TRUE(outcome.showPractice);
  EXPECT_EQ(outcome.userField, "Marie");
  EXPECT_EQ(state.currentUser, "Marie");  // as typed, trimmed, case kept
  EXPECT_EQ(state.settingsFolder, t.ctx.folders.settingsDir);
  EXPECT_EQ(ReadLastUser(t.ctx), "Marie");
  // The global settings were seeded and read.
  EXPECT_TRUE(FileExists(t.ctx.folders.settingsDir + "Master.ini"));
  EXPECT_EQ(store.ProfileFolder(), t.ctx.folders.settingsDir);
}

TEST_F(LoginTest, RefusedLoginChangesNothing) {
  ASSERT_TRUE(CreateAccount(t.ctx, "marie", "secret", "secret"));
  ASSERT_TRUE(Login(t.ctx, state, "marie", "secret").accepted);
  store.SetInt("UpDo_DistribuerQst", 7);  // would be replaced by a settings read
  t.msgBox.Clear();

  const struct {
    const char* user;
    const char* password;
  } refused[] = {{"marie", "wrong"}, {" nobody ", ""}, {"tutor", ""}, {"../marie", "secret"}};
  for (const auto& c : refused) {
    LoginOutcome outcome = Login(t.ctx, state, c.user, c.password);
    EXPECT_FALSE(outcome.accepted) << c.user;
    EXPECT_FALSE(outcome.showPractice) << c.user;
    EXPECT_EQ(state.currentUser, "marie") << c.user;
    EXPECT_EQ(ReadLastUser(t.ctx), "marie") << c.user;
    EXPECT_EQ(store.GetInt("UpDo_DistribuerQst"), 7) << c.user;
  }
  EXPECT_EQ(Login(t.ctx, state, " nobody ", "").userField, "nobody");
  EXPECT_TRUE(t.msgBox.Shown().empty());
}

TEST_F(LoginTest, AnonymousLoginOnACleanMachine) {
  ASSERT_TRUE(ListAccounts(t.ctx).empty());
  LoginOutcome outcome = Login(t.ctx, state, "", "");
  EXPECT_TRUE(outcome.accepted);
  EXPECT_TRUE(outcome.showPractice);
  EXPECT_EQ(state.currentUser, "Anonymous");
  EXPECT_EQ(ReadLastUser(t.ctx), "Anonymous");
  EXPECT_EQ(ListAccounts(t.ctx), std::vector<std::string>{"Anonymous"});
}

TEST_F(LoginTest, EmptyUserWithAPasswordLogsNobodyIn) {
  ASSERT_TRUE(CreateAccount(t.ctx, "marie", "secret", "secret"));
  ASSERT_TRUE(Login(t.ctx, state, "Marie", "secret").accepted);
  LoginOutcome outcome = Login(t.ctx, state, "", "something");
  EXPECT_TRUE(outcome.accepted);        // passes as the anonymous account
  EXPECT_FALSE(outcome.showPractice);   // but nobody is logged in
  EXPECT_EQ(state.currentUser, "");
  EXPECT_EQ(ReadLastUser(t.ctx), "");   // the remembered user is cleared
  EXPECT_EQ(state.settingsFolder, t.ctx.folders.settingsDir);
}

TEST_F(LoginTest, SettingsFolderFollowsTheUserProfileSwitch) {
  ASSERT_TRUE(CreateAccount(t.ctx, "marie", "", ""));
  const std::string userFolder = t.ctx.folders.usersDir + "Marie/";
  const struct {
    const char* master;  // nullptr: no "Master.ini" in the user folder
    bool userFolderUsed;
  } cases[] = {
      {nullptr, false},
      {"[ModeQstSort]\r\nUpDo_DistribuerQst=9\r\n", true},  // a missing key counts as true
      {"[IntDisplay]\r\nCb_ApplyProfUs=1\r\n[ModeQstSort]\r\nUpDo_DistribuerQst=9\r\n", true},
      {"[IntDisplay]\r\nCb_ApplyProfUs=0\r\n[ModeQstSort]\r\nUpDo_DistribuerQst=9\r\n", false},
  };
  for (const auto& c : cases) {
    RemoveFile(userFolder + "Master.ini");
    if (c.master) UserMaster("Marie", c.master);
    EXPECT_EQ(ChooseSettingsFolder(t.ctx, "MARIE"),
              c.userFolderUsed ? userFolder : t.ctx.folders.settingsDir);
    ASSERT_TRUE(Login(t.ctx, state, "mArIe", "").accepted);
    EXPECT_EQ(state.settingsFolder, c.userFolderUsed ? userFolder : t.ctx.folders.settingsDir);
    // The settings in force are those of the chosen file (the global file has the default 4).
    EXPECT_EQ(store.GetInt("UpDo_DistribuerQst"), c.userFolderUsed ? 9 : 4);
  }
  EXPECT_EQ(ChooseSettingsFolder(t.ctx, ""), t.ctx.folders.settingsDir);
}

TEST_F(LoginTest, LoginRefreshesTheLanguagesBeforeReadingTheSettings) {
  t.dir.Write("program/Tremsol/SetG/Deutsch.lng", "[INFOS]\r\nLngName=Deutsch\r\n");
  ASSERT_TRUE(CreateAccount(t.ctx, "marie", "", ""));
  UserMaster("Marie", "[Lang]\r\nCoB_Lngs=deutsch\r\n");
  ASSERT_TRUE(lookup.Languages().empty());
  ASSERT_TRUE(Login(t.ctx, state, "marie", "").accepted);
  EXPECT_EQ(lookup.LanguageNames(), std::vector<std::string>{"Deutsch"});
  EXPECT_EQ(lookup.ActiveLanguage(), "Deutsch");
}

TEST_F(LoginTest, SetupAccess) {
  ASSERT_TRUE(CreateAccount(t.ctx, "marie", "secret", "secret"));
  // Without a master password anyone passes; the fields are cleared, the wizard shows
  // "Anonymous".
  SetupAccess access = CheckSetupAccess(t.ctx, "marie", "whatever", false);
  EXPECT_TRUE(access.granted);
  EXPECT_EQ(access.userField, "");
  EXPECT_EQ(access.passwordField, "");
  access = CheckSetupAccess(t.ctx, "marie", "whatever", true);
  EXPECT_TRUE(access.granted);
  EXPECT_EQ(access.userField, "Anonymous");
  EXPECT_EQ(access.passwordField, "");

  SaveMasterPassword(t.ctx, "Teacher");
  const struct {
    const char* user;
    const char* password;
    bool granted;
  } cases[] = {
      {"tutor", "teacher", true}, {"TUTOR", "TEACHER", true}, {"tutor", "secret", false},
      {"marie", "teacher", false}, {"", "", false},
  };
  for (const auto& c : cases) {
    access = CheckSetupAccess(t.ctx, c.user, c.password, false);
    EXPECT_EQ(access.granted, c.granted) << c.user << " / " << c.password;
    EXPECT_EQ(access.userField, c.granted ? "" : c.user);
    EXPECT_EQ(access.passwordField, c.granted ? "" : c.password);
  }
}

TEST(HelpPageTest, PagesLieInTheDocumentationBesideTheInstalledData) {
  DataFolders folders = MakeDataFolders("/home/u/.local/share", "/usr/share");
  EXPECT_EQ(HelpPagePath(folders, HelpPage::kReport), "/usr/share/doc/quillomark/report.html");
  EXPECT_EQ(HelpPagePath(folders, HelpPage::kGerman), "/usr/share/doc/quillomark/hilfe.html");
  EXPECT_EQ(HelpPagePath(folders, HelpPage::kFrench), "/usr/share/doc/quillomark/aide.html");
}

}  // namespace
}  // namespace quillo
