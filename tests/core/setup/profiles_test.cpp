// Tests of the user, practice and global profiles and of the profile label.
#include "setup/profiles.h"

#include <gtest/gtest.h>

#include <string>

#include "shell/ini_file.h"
#include "setup/settings_store.h"
#include "shell/file_utils.h"
#include "support/temp_dir.h"

namespace quillo {
namespace {

class ProfilesTest : public ::testing::Test {
 protected:
  ProfilesTest() {
    t.ctx.settings = &store;
    EnsureFolder(t.ctx.folders.usersDir + "Marie/");
    WriteSettings(t.ctx, t.ctx.folders.settingsDir, "Master.ini");
  }
  test::TestContext t;
  SettingsStore store;
};

TEST_F(ProfilesTest, UserProfile) {
  // Without its own file the account gets the global settings.
  store.SetInt("UpDo2_TauxUnites", 50);
  EXPECT_FALSE(LoadAccountSettings(t.ctx, "marie"));
  EXPECT_EQ(store.GetInt("UpDo2_TauxUnites"), 100);
  EXPECT_EQ(ProfileLabel(t.ctx, "Marie"), "Profile default");

  store.SetInt("UpDo2_TauxUnites", 50);
  store.SetBool("Cb_ApplyProfUs", true);
  EXPECT_TRUE(SaveUserProfile(t.ctx, "marie"));
  EXPECT_EQ(t.msgBox.Shown().back().title, "User profile");
  EXPECT_EQ(t.msgBox.Shown().back().line1, "Profile: marie");
  EXPECT_EQ(t.msgBox.Shown().back().line2, "Created !");
  std::string own = t.ctx.folders.usersDir + "Marie/Master.ini";
  EXPECT_TRUE(UserProfileEnabled(own));
  EXPECT_EQ(IniFile(own).ReadSections().size(), 9u);
  EXPECT_EQ(ProfileLabel(t.ctx, "Marie"), "Profile Marie");

  ReadSettings(t.ctx, t.ctx.folders.settingsDir, "Master.ini");
  EXPECT_TRUE(LoadAccountSettings(t.ctx, "MARIE"));
  EXPECT_EQ(store.GetInt("UpDo2_TauxUnites"), 50);
  EXPECT_TRUE(store.GetBool("Cb_ApplyProfUs"));
  // A profile with neither choice made shows "Disable User Profile".
  IniWriteString(own, "IntDisplay", "Cb_ApplyProfUs", "0");
  IniWriteString(own, "IntDisplay", "Cb_DisabProfUs", "0");
  EXPECT_TRUE(LoadAccountSettings(t.ctx, "marie"));
  EXPECT_FALSE(store.GetBool("Cb_ApplyProfUs"));
  EXPECT_TRUE(store.GetBool("Cb_DisabProfUs"));

  EXPECT_FALSE(SaveUserProfile(t.ctx, "nobody"));  // no account folder: nothing written
  EXPECT_FALSE(FolderExists(t.ctx.folders.usersDir + "nobody"));

  t.msgBox.QueueAnswer(kMsgCancel);
  EXPECT_FALSE(DeleteUserProfile(t.ctx, "Marie"));
  EXPECT_TRUE(FileExists(own));
  EXPECT_TRUE(DeleteUserProfile(t.ctx, "Marie"));
  EXPECT_FALSE(FileExists(own));
  EXPECT_EQ(t.msgBox.Shown().back().line1, "Do you want to delete ?");
}

TEST_F(ProfilesTest, PracticeProfilesIncludeSubFolders) {
  std::string book = "appdata/Tremsol/Users/Marie/Qst/Calc/";
  t.dir.Write(book + "Sheet1.SQF", "[CompQst]\r\nUpDo2_TauxUnites=30\r\n");
  t.dir.Write(book + "UL/Prog.sqf", "[CompQst]\r\nUpDo2_TauxUnites=40\r\n");
  t.dir.Write(book + "Sheet1.QST", "x");
  t.dir.Write("appdata/Tremsol/Users/Marie/Qst/Other/Else.SQF", "");

  std::vector<AccountBook> books = ListAccountBooks(t.ctx, "marie", [](const std::string& idx) {
    return FileNameOf(idx) == "Calc.IDX" ? std::string("Arithmetic") : std::string();
  });
  ASSERT_EQ(books.size(), 2u);
  EXPECT_EQ(books[0].title, "Arithmetic");
  EXPECT_EQ(books[1].title, "Other");  // book file missing: the folder name

  std::vector<PracticeProfile> list = ListPracticeProfiles(t.ctx, "marie", "Calc");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].name, "Sheet1");
  EXPECT_EQ(list[1].name, "Prog");
  EXPECT_EQ(list[1].folder, t.ctx.folders.usersDir + "Marie/Qst/Calc/UL/");
  EXPECT_TRUE(ListPracticeProfiles(t.ctx, "marie", "../..").empty());

  LoadPracticeProfile(t.ctx, list[1]);
  EXPECT_EQ(store.GetInt("UpDo2_TauxUnites"), 40);
  EXPECT_EQ(ProfileLabel(t.ctx, "Marie"), "Profile Prog");
  store.SetInt("UpDo2_TauxUnites", 45);
  SavePracticeProfile(t.ctx, list[1]);
  EXPECT_EQ(t.msgBox.Shown().back().line1, "Saved !");
  EXPECT_EQ(IniReadInteger(list[1].folder + "Prog.sqf", "CompQst", "UpDo2_TauxUnites", 0), 45);
  EXPECT_FALSE(FileExists(t.ctx.folders.usersDir + "Marie/Qst/Calc/Prog.SQF"));

  t.msgBox.QueueAnswer(kMsgCancel);
  EXPECT_FALSE(DeletePracticeProfile(t.ctx, list[0]));
  EXPECT_TRUE(DeletePracticeProfile(t.ctx, list[0]));
  EXPECT_EQ(ListPracticeProfiles(t.ctx, "marie", "Calc").size(), 1u);
}

TEST_F(ProfilesTest, GlobalProfiles) {
  t.dir.Write("appdata/Tremsol/SetG/Old.INI", "[Other]\r\nx=1\r\n");
  t.dir.Write("appdata/Tremsol/SetG/Startup.ini", "[IntDisplay]\r\nCb_CheckUpdate=1\r\n");
  EXPECT_TRUE(ListGlobalProfiles(t.ctx).empty());  // "Master" and files without [CompQst]

  store.SetInt("UpDo2_TauxUnites", 70);
  EXPECT_TRUE(SaveGlobalProfile(t.ctx, "  Class 4b  "));
  EXPECT_EQ(t.msgBox.Shown().back().title, "Global profile");
  EXPECT_EQ(t.msgBox.Shown().back().line2, "Class 4b");
  EXPECT_EQ(ListGlobalProfiles(t.ctx), std::vector<std::string>{"Class 4b"});
  EXPECT_EQ(ProfileLabel(t.ctx, ""), "Profile Class 4b");

  store.SetInt("UpDo2_TauxUnites", 100);
  EXPECT_TRUE(LoadGlobalProfile(t.ctx, "Class 4b "));
  EXPECT_EQ(store.GetInt("UpDo2_TauxUnites"), 70);
  EXPECT_FALSE(LoadGlobalProfile(t.ctx, "  "));
  EXPECT_FALSE(SaveGlobalProfile(t.ctx, "../escape"));
  EXPECT_FALSE(FileExists(t.ctx.folders.userDataRoot + "escape.INI"));

  t.msgBox.QueueAnswer(kMsgCancel);
  EXPECT_FALSE(DeleteGlobalProfile(t.ctx, "Class 4b"));
  t.ctx.trace.SwitchOn();
  EXPECT_TRUE(DeleteGlobalProfile(t.ctx, "Class 4b"));
  EXPECT_EQ(t.ctx.trace.Lines().back(), "Info: Class 4b delete!");
  EXPECT_TRUE(ListGlobalProfiles(t.ctx).empty());
}

TEST_F(ProfilesTest, AtMostFifteenGlobalProfiles) {
  for (int i = 1; i <= 15; ++i) ASSERT_TRUE(SaveGlobalProfile(t.ctx, "P" + std::to_string(i)));
  t.msgBox.Clear();
  for (const char* name : {"P16", "P3"}) {  // a new one, and one saved over
    EXPECT_FALSE(SaveGlobalProfile(t.ctx, name)) << name;
    ASSERT_EQ(t.msgBox.Shown().size(), 1u);
    EXPECT_EQ(t.msgBox.Shown()[0].title, "Profile");
    EXPECT_EQ(t.msgBox.Shown()[0].line1, "Maximum 15 profiles allowed !");
    EXPECT_EQ(t.msgBox.Shown()[0].line2, "Not saved !");
    t.msgBox.Clear();
  }
  EXPECT_EQ(ListGlobalProfiles(t.ctx).size(), 15u);
}

TEST(ProfileName, FromFolderAndFileName) {
  struct Case {
    const char* folder;
    const char* file;
    const char* account;
    const char* expected;
  };
  const Case cases[] = {
      {"/u/SetG/", "Master.ini", "Marie", "default"},
      {"/u/SetG/", "MASTER.INI", "", "default"},
      {"/u/Users/Marie/", "Master.ini", "marie", "marie"},
      {"/u/Users/Paul/", "Master.ini", "Marie", "default"},
      {"/u/SetG/", "Class.4b.INI", "Marie", "Class"},
      {"/u/Users/Marie/Qst/Calc/", "Sheet1.sqf", "Marie", "Sheet1"},
      {"/u/Users/Marie/Qst/Calc/", "a.b.SQF", "Marie", "a"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProfileName(c.folder, c.file, c.account), c.expected) << c.folder << c.file;
  }
}

}  // namespace
}  // namespace quillo
