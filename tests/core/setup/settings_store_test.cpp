// Tests of the settings store: reading with defaults, clamping, choice groups and couplings;
// writing and reading back; seeding of a fresh folder; the small INI readers; display values.
#include "setup/settings_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "language/text_lookup.h"
#include "shell/error.h"
#include "shell/file_utils.h"
#include "support/temp_dir.h"

namespace quillo {
namespace {

// A context with a settings store and a language service over two language files.
class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() : lookup(t.ctx.folders.languageDir) {
    t.dir.Write("program/Tremsol/SetG/English.lng", "[INFOS]\r\nLngName=English\r\n");
    t.dir.Write("program/Tremsol/SetG/Deutsch.lng", "[INFOS]\r\nLngName=Deutsch\r\n");
    lookup.RefreshLanguages();
    t.ctx.settings = &store;
    t.ctx.lookup = &lookup;
  }
  // Writes a file into SettingsDir and reads it.
  void ReadText(const std::string& name, const std::string& content) {
    WriteFileAtomic(t.ctx.folders.settingsDir + name, content);
    ReadSettings(t.ctx, t.ctx.folders.settingsDir, name);
  }
  std::string Settings(const std::string& name) { return t.ctx.folders.settingsDir + name; }

  test::TestContext t;
  SettingsStore store;
  TextLookup lookup;
};

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, had_ = true;
    setenv(name, value, 1);
  }
  ~ScopedEnv() {
    if (had_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

TEST_F(SettingsTest, IntegersAreClampedAndBadValuesTakeTheirDefaults) {
  struct Case {
    const char* section;
    const char* key;
    const char* stored;
    int expected;
  };
  const Case cases[] = {
      {"CompQst", "UpDo2_TauxUnites", "5", 20},
      {"DataManager", "Upd_DelCreated", "1000", 365},
      {"ModeSTP", "UpDo_stpNbrTitre", "0", 1},
      {"ModeSTP", "UpDo_NoLevelSmile", "-3", 0},
      {"Lang", "UpD_Lang_ToFillIn3", "0", 1},
      {"CompQst", "UpDo_InsResultAfter", "0x9", 9},
      {"CompQst", "UpDoNoteOne", "abc", 85},
      {"ModeQstSort", "UpDo_DistribuerQst", "", 4},
      {"CompQst", "UpDo1_RevFromNo", "99999999999", 3},
  };
  for (const Case& c : cases) {
    ReadText("Case.ini", std::string("[") + c.section + "]\r\n" + c.key + "=" + c.stored + "\r\n");
    EXPECT_EQ(store.GetInt(c.key), c.expected) << c.key << "=" << c.stored;
  }
  store.SetInt("UpDoNoteTwo", 500);
  EXPECT_EQ(store.GetInt("updonotetwo"), 100);
}

TEST_F(SettingsTest, BooleansReadAsAnyNonZeroInteger) {
  struct Case {
    const char* stored;
    bool expected;  // Cb_StayMouseInForm, default false
  };
  const Case cases[] = {{"1", true}, {"2", true}, {"-1", true}, {"0x10", true},
                        {"0", false}, {"yes", false}, {"true", false}, {"", false}};
  for (const Case& c : cases) {
    ReadText("Case.ini", std::string("[IntDisplay]\r\nCb_StayMouseInForm=") + c.stored + "\r\n");
    EXPECT_EQ(store.GetBool("Cb_StayMouseInForm"), c.expected) << c.stored;
  }
  // A default of true stays true for a non-numeric value.
  ReadText("Case.ini", "[Lang]\r\nCB_PlayMP=yes\r\n");
  EXPECT_TRUE(store.GetBool("CB_PlayMP"));
}

TEST_F(SettingsTest, ChoiceGroups) {
  ReadText("Case.ini", "[CompQst]\r\nRb1_PerCor=0\r\nRb2_PerCor=0\r\nRb3_PerCor=0\r\nRb4_PerCor=0\r\n");
  for (const char* key : {"Rb1_PerCor", "Rb2_PerCor", "Rb3_PerCor", "Rb4_PerCor"}) {
    EXPECT_FALSE(store.GetBool(key)) << key;
  }
  ReadText("Case.ini", "[IntDisplay]\r\nRB_AdvancedGenNo=1\r\nRB_AdvancedGenYes=1\r\n");
  EXPECT_FALSE(store.GetBool("RB_AdvancedGenNo"));
  EXPECT_TRUE(store.GetBool("RB_AdvancedGenYes"));
  ReadText("Case.ini", "[CompQst]\r\nRb2_PerCor=1\r\nRb4_PerCor=1\r\n");  // Rb1 reads true first
  EXPECT_FALSE(store.GetBool("Rb1_PerCor"));
  EXPECT_FALSE(store.GetBool("Rb2_PerCor"));
  EXPECT_TRUE(store.GetBool("Rb4_PerCor"));

  store.SetBool("Rb3_PerCor", true);
  EXPECT_TRUE(store.GetBool("Rb3_PerCor"));
  EXPECT_FALSE(store.GetBool("Rb4_PerCor"));
  store.SetBool("Rb3_PerCor", false);  // clearing never chooses another
  for (const char* key : {"Rb1_PerCor", "Rb2_PerCor", "Rb3_PerCor", "Rb4_PerCor"}) {
    EXPECT_FALSE(store.GetBool(key)) << key;
  }
  store.SetBool("CB_HideSent", true);
  EXPECT_FALSE(store.GetBool("CB_ShowSent"));
  store.SetBool("Cb_ApplyProfUs", true);
  EXPECT_FALSE(store.GetBool("Cb_DisabProfUs"));
}

TEST_F(SettingsTest, ManualDeletionIsCoupledToTheAutomaticDeletions) {
  const char* autoKeys[] = {"CB_DelFinishAfter", "CB_DelNotFinishAfter", "CB_DelCreated"};
  const std::string manualOn =
      "[DataManager]\r\nCB_DelFinishAfter=1\r\nCB_DelNotFinishAfter=1\r\nCB_DelCreated=1\r\n"
      "Cb_DelManuel=1\r\n";
  // Changing from false to true clears the stored automatic deletions.
  ASSERT_FALSE(store.GetBool("Cb_DelManuel"));
  ReadText("Case.ini", manualOn);
  for (const char* key : autoKeys) EXPECT_FALSE(store.GetBool(key)) << key;
  // Reading the same file again: Cb_DelManuel keeps its value, the stored values stand.
  ReadText("Case.ini", manualOn);
  for (const char* key : autoKeys) EXPECT_TRUE(store.GetBool(key)) << key;
  // Changing from true to false sets them all, whatever the file says.
  ReadText("Case.ini",
           "[DataManager]\r\nCB_DelFinishAfter=0\r\nCB_DelNotFinishAfter=0\r\nCB_DelCreated=0\r\n"
           "Cb_DelManuel=0\r\n");
  for (const char* key : autoKeys) EXPECT_TRUE(store.GetBool(key)) << key;
  // The same through the setter.
  store.SetBool("CB_DelCreated", false);
  store.SetBool("Cb_DelManuel", false);  // no change: nothing else moves
  EXPECT_FALSE(store.GetBool("CB_DelCreated"));
  store.SetBool("Cb_DelManuel", true);
  for (const char* key : autoKeys) EXPECT_FALSE(store.GetBool(key)) << key;
  store.SetBool("Cb_DelManuel", false);
  for (const char* key : autoKeys) EXPECT_TRUE(store.GetBool(key)) << key;
}

TEST_F(SettingsTest, SecondStepWordsNeedAFirstStepLanguage) {
  ReadText("Case.ini", "[Lang]\r\nUpD_Lang_ToLookAt1=0\r\ncb_Lang_TryToLookAt2=1\r\n");
  EXPECT_FALSE(store.GetBool("cb_Lang_TryToLookAt2"));
  ReadText("Case.ini", "[Lang]\r\nUpD_Lang_ToLookAt1=1\r\ncb_Lang_TryToLookAt2=1\r\n");
  EXPECT_TRUE(store.GetBool("cb_Lang_TryToLookAt2"));
  store.SetInt("UpD_Lang_ToLookAt1", 0);
  EXPECT_FALSE(store.GetBool("cb_Lang_TryToLookAt2"));
}

TEST_F(SettingsTest, InsertResultAfterIsReadFromBothSectionsTheLastWinning) {
  ReadText("Case.ini", "[DataManager]\r\nCb_InsResultAfter=0\r\n[SavEmptyQst]\r\nCb_InsResultAfter=1\r\n");
  EXPECT_TRUE(store.GetBool("Cb_InsResultAfter"));
  ReadText("Case.ini", "[DataManager]\r\nCb_InsResultAfter=1\r\n[SavEmptyQst]\r\nCb_InsResultAfter=0\r\n");
  EXPECT_FALSE(store.GetBool("Cb_InsResultAfter"));
}

TEST_F(SettingsTest, LanguageIsSelectedFromTheLanguageList) {
  ReadText("Case.ini", "[IntDisplay]\r\nCoB_Lngs=english\r\n");
  EXPECT_EQ(store.GetText("CoB_Lngs"), "English");
  EXPECT_EQ(lookup.ActiveLanguage(), "English");
  ReadText("Case.ini", "[IntDisplay]\r\nCoB_Lngs=Klingon\r\n");
  EXPECT_EQ(store.GetText("CoB_Lngs"), "");
  EXPECT_EQ(lookup.ActiveLanguage(), "");
  ReadText("Case.ini", "[CompQst]\r\n");  // missing key: "Deutsch"
  EXPECT_EQ(store.GetText("CoB_Lngs"), "Deutsch");
}

TEST_F(SettingsTest, FreshFolderIsSeededWithResetValuesAndTheSystemLanguage) {
  ScopedEnv lang("LC_ALL", "en_GB.UTF-8");
  ASSERT_FALSE(FileExists(Settings("Master.ini")));
  store.SetInt("UpDo2_TauxUnites", 50);
  EXPECT_TRUE(ReadSettings(t.ctx, t.ctx.folders.settingsDir, "Master.ini"));
  ASSERT_TRUE(FileExists(Settings("Master.ini")));
  EXPECT_EQ(store.GetInt("UpDo2_TauxUnites"), 100);
  EXPECT_EQ(store.GetText("CoB_Lngs"), "English");
  EXPECT_EQ(lookup.ActiveLanguage(), "English");
  SettingsStore reset;
  reset.ApplyResetValues("English");
  EXPECT_TRUE(store.SameSettings(reset));
  std::string text = t.dir.Read("appdata/Tremsol/SetG/Master.ini");
  EXPECT_NE(text.find("CoB_Lngs=English\r\n"), std::string::npos);
  EXPECT_NE(text.find("[Date]\r\nLDate=01/01/01\r\n"), std::string::npos);
}

TEST_F(SettingsTest, StartUpSeedsFromTheFactoryCopyOnlyWhenTheGlobalFileIsMissing) {
  t.dir.Write("program/Tremsol/save/_Master.ini", "[CompQst]\r\nUpDo2_TauxUnites=55\r\n");
  store.SetOpeningStamp("02/02/02", "02:02:02");
  SettingsStartUp(t.ctx);
  EXPECT_EQ(store.OpeningDate(), "01/01/01");
  EXPECT_EQ(store.OpeningTime(), "01:01:01");
  EXPECT_TRUE(FileExists(Settings("Startup.ini")));
  EXPECT_EQ(t.dir.Read("appdata/Tremsol/SetG/Master.ini"), "[CompQst]\r\nUpDo2_TauxUnites=55\r\n");
  t.dir.Write("program/Tremsol/save/_Master.ini", "[CompQst]\r\nUpDo2_TauxUnites=66\r\n");
  SettingsStartUp(t.ctx);
  EXPECT_TRUE(ReadSettings(t.ctx, t.ctx.folders.settingsDir, "Master.ini"));
  EXPECT_EQ(store.GetInt("UpDo2_TauxUnites"), 55);
}

TEST_F(SettingsTest, MissingFileFallsBackToTheGlobalFolder) {
  WriteFileAtomic(Settings("Master.ini"), "[CompQst]\r\nUpDo2_TauxUnites=40\r\n");
  WriteFileAtomic(Settings("Pupil.SQF"), "[CompQst]\r\nUpDo2_TauxUnites=60\r\n");
  std::string userFolder = t.ctx.folders.usersDir + "Marie/";
  EXPECT_FALSE(ReadSettings(t.ctx, userFolder, "Master.ini"));
  EXPECT_EQ(store.GetInt("UpDo2_TauxUnites"), 40);
  EXPECT_FALSE(ReadSettings(t.ctx, userFolder, "Pupil.SQF"));
  EXPECT_EQ(store.GetInt("UpDo2_TauxUnites"), 60);
  EXPECT_FALSE(ReadSettings(t.ctx, userFolder, "Nothing.SQF"));  // read defaults everywhere
  EXPECT_EQ(store.GetInt("UpDo2_TauxUnites"), 100);
  t.dir.Write("appdata/Tremsol/Users/Marie/Master.ini", "[CompQst]\r\nUpDo2_TauxUnites=80\r\n");
  EXPECT_TRUE(ReadSettings(t.ctx, userFolder, "Master.ini"));
  EXPECT_EQ(store.GetInt("UpDo2_TauxUnites"), 80);
}

TEST_F(SettingsTest, WrittenFileHasTheSectionOrderAndReadsBackTheSameRecord) {
  ScopedEnv lang("LC_ALL", "de_DE.UTF-8");
  ResetDefaults(t.ctx);
  EXPECT_EQ(store.GetText("CoB_Lngs"), "Deutsch");
  store.SetBool("Rb3_PerCor", true);
  store.SetInt("UpDo2_TauxUnites", 45);
  store.SetInt("Upd_DelCreated", 200);
  store.SetBool("Cb_DelManuel", true);
  store.SetBool("RB_PoseQstNonMelanger", true);
  store.SetBool("Cb_InsResultAfter", false);
  store.SetText("CoB_Lngs", "English");
  store.SetInt("UpD_Lang_ToLookAt1", 3);
  store.SetBool("cb_Lang_TryToLookAt2", true);
  store.SetBool("CB_HideSent", true);
  store.SetOpeningStamp(DateTime{2024, 3, 7, 14, 5, 9, 0});
  std::string folder = t.ctx.folders.usersDir + "Paul/Sub/";
  WriteSettings(t.ctx, folder, "Master.ini");

  std::string text = t.dir.Read("appdata/Tremsol/Users/Paul/Sub/Master.ini");
  EXPECT_EQ(text, store.ToIniText());
  std::size_t last = 0;
  for (const char* section : kSettingsSections) {
    std::size_t at = text.find(std::string("[") + section + "]\r\n");
    ASSERT_NE(at, std::string::npos) << section;
    EXPECT_GT(at + 1, last) << section;
    last = at + 1;
  }
  EXPECT_NE(text.find("[DataManager]\r\nCB_DelFinishAfter=0\r\n"), std::string::npos);
  EXPECT_NE(text.find("[SavEmptyQst]\r\ncbSaveEmptyToRevFiles=1\r\nCb_AutoGenByNewQST=1\r\n"
                      "Cb_InsResultAfter=0\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("[Date]\r\nLDate=07/03/24\r\n\r\n[Time]\r\nLTime=14:05:09\r\n"),
            std::string::npos);

  SettingsStore again;
  t.ctx.settings = &again;
  ASSERT_TRUE(ReadSettings(t.ctx, folder, "Master.ini"));
  EXPECT_TRUE(again.SameSettings(store));
  EXPECT_EQ(again.LastLoginText(), "Last Login time : 07/03/24  14:05:09");
  again.SetOpeningStamp(DateTime{2024, 3, 7, 14, 5, 9, 0});
  EXPECT_EQ(again.ToIniText(), text);
}

TEST_F(SettingsTest, WritingKeepsOtherLinesOfAnExistingFile) {
  std::string path = Settings("Kept.INI");
  WriteFileAtomic(path, "[Extra]\r\nMine=1\r\n[CompQst]\r\nUpDo2_TauxUnites=30\r\nOwn=x\r\n");
  WriteSettings(t.ctx, t.ctx.folders.settingsDir, "Kept.INI");
  IniFile ini(path);
  EXPECT_EQ(ini.ReadString("Extra", "Mine", ""), "1");
  EXPECT_EQ(ini.ReadString("CompQst", "Own", ""), "x");
  EXPECT_EQ(ini.ReadInteger("CompQst", "UpDo2_TauxUnites", 0), 100);
  EXPECT_EQ(ini.ReadSections().front(), "Extra");
}

TEST_F(SettingsTest, HandEditedFileReadsWithoutError) {
  std::string junk =
      "garbage before sections\r\n"
      "[CompQst\r\n"  // header without "]" still names the section
      "UpDoNoteOne=70\r\n"
      "UpDoNoteOne=10\r\n"
      "UpDoNoteTwo=" + std::string(5000, '7') + "\r\n"
      "=\r\n"
      "[IntDisplay]\r\n"
      "Cb_StayMouseInForm = 1 \r\n"
      "CoB_Lngs=" + std::string(5000, 'x') + "\r\n"
      "\x01\x02\xFF binary\r\n"
      "[Lang]\r\n"
      "UpDo_iModeStar=seven\r\n";
  ReadText("Junk.ini", junk);
  EXPECT_EQ(store.GetInt("UpDoNoteOne"), 70);
  EXPECT_EQ(store.GetInt("UpDoNoteTwo"), 75);
  EXPECT_TRUE(store.GetBool("Cb_StayMouseInForm"));
  EXPECT_EQ(store.GetText("CoB_Lngs"), "");
  EXPECT_EQ(store.GetInt("UpDo_iModeStar"), 3);
  EXPECT_EQ(store.GetInt("UpDo_stpNbrTitre"), 3);  // section missing: default
}

TEST_F(SettingsTest, MasterPasswordFieldComesFromTheAccountFile) {
  ReadText("Case.ini", "");
  EXPECT_EQ(store.MasterPasswordField(), "");
  store.SetMasterPasswordField("typed");
  ReadText("Case.ini", "");
  EXPECT_EQ(store.MasterPasswordField(), "typed");  // no [Global] Pass: the field stays
  WriteFileAtomic(Settings("LastgFile.ini"), "[Global]\r\nPass=stored\r\n");
  ReadText("Case.ini", "");
  EXPECT_EQ(store.MasterPasswordField(), "stored");
  ResetDefaults(t.ctx);
  EXPECT_EQ(store.MasterPasswordField(), "");
}

TEST_F(SettingsTest, UnknownKeysAndKindsAreProgrammingErrors) {
  EXPECT_THROW(store.GetBool("NoSuchKey"), Error);
  EXPECT_THROW(store.GetInt("Cb_DelManuel"), Error);
  EXPECT_THROW(store.SetText("UpDoNoteOne", "x"), Error);
  EXPECT_TRUE(SettingsStore::HasKey("cb_delmanuel"));
  EXPECT_FALSE(SettingsStore::HasKey("LDate"));
  // Without a store in the context the read defaults stand in.
  store.SetInt("UpDo_stpNbrTitre", 5);
  EXPECT_EQ(SettingInt(t.ctx, "UpDo_stpNbrTitre"), 5);
  t.ctx.settings = nullptr;
  EXPECT_EQ(SettingInt(t.ctx, "UpDo_stpNbrTitre"), 3);
  EXPECT_TRUE(SettingBool(t.ctx, "CB_PlayMP"));
  EXPECT_EQ(SettingText(t.ctx, "CoB_Lngs"), "Deutsch");
  EXPECT_THROW(SettingBool(t.ctx, "UpDo_stpNbrTitre"), Error);
}

TEST_F(SettingsTest, StartupFile) {
  store.SetCheckUpdate(false);
  ReadStartupSettings(t.ctx);  // missing: written first from the record
  EXPECT_EQ(t.dir.Read("appdata/Tremsol/SetG/Startup.ini"), "[IntDisplay]\r\nCb_CheckUpdate=0\r\n");
  EXPECT_FALSE(store.CheckUpdate());
  EXPECT_EQ(store.IdxUpdate(), "000000");
  WriteFileAtomic(Settings("Startup.ini"),
                  "[IntDisplay]\r\nCb_CheckUpdate=1\r\n[Update]\r\nIdxUpdate=010203\r\n");
  ReadStartupSettings(t.ctx);
  EXPECT_TRUE(store.CheckUpdate());
  EXPECT_EQ(store.IdxUpdate(), "010203");
  store.SetCheckUpdate(false);
  WriteStartupSettings(t.ctx);
  IniFile ini(Settings("Startup.ini"));
  EXPECT_FALSE(ini.ReadBool("IntDisplay", "Cb_CheckUpdate", true));
  EXPECT_EQ(ini.ReadString("Update", "IdxUpdate", ""), "010203");
}

TEST_F(SettingsTest, ReadIniValueAndUserProfileEnabled) {
  std::string path = Settings("Values.ini");
  WriteFileAtomic(path, "[S]\r\nText=abc\r\nNum=0x20\r\nBad=x\r\nOn=2\r\nOff=0\r\n");
  struct Case {
    const char* key;
    int kind;
    const char* expected;
  };
  const Case cases[] = {{"Text", 1, "abc"}, {"Missing", 1, ""}, {"Num", 2, "32"},
                        {"Bad", 2, "9"},    {"Missing", 2, "9"}, {"On", 3, "-1"},
                        {"Off", 3, "0"},    {"Bad", 3, "-1"},    {"Missing", 3, "-1"},
                        {"Text", 4, ""}};
  for (const Case& c : cases) {
    EXPECT_EQ(ReadIniValue(path, "s", c.key, c.kind), c.expected) << c.key << " kind " << c.kind;
  }
  for (int kind = 1; kind <= 3; ++kind) {
    EXPECT_EQ(ReadIniValue(Settings("None.ini"), "S", "Text", kind), "") << kind;
  }

  std::string user = t.ctx.folders.usersDir + "Marie/Master.ini";
  EXPECT_FALSE(UserProfileEnabled(user));
  t.dir.Write("appdata/Tremsol/Users/Marie/Master.ini", "[CompQst]\r\n");
  EXPECT_TRUE(UserProfileEnabled(user));
  t.dir.Write("appdata/Tremsol/Users/Marie/Master.ini", "[IntDisplay]\r\nCb_ApplyProfUs=0\r\n");
  EXPECT_FALSE(UserProfileEnabled(user));
}

TEST_F(SettingsTest, ValuesDerivedForDisplay) {
  EXPECT_EQ(store.PointsTable("Points"),
            (std::vector<std::string>{"100 Points", "85 Points (85 %)", "75 Points (75 %)",
                                      "60 Points (60 %)"}));
  store.SetInt("UpDo2_TauxUnites", 45);
  EXPECT_EQ(store.PointsTable("P"),
            (std::vector<std::string>{"45 P", "38 P (85 %)", "33 P (75 %)", "27 P (60 %)"}));
  const int expected[] = {45, 38, 33, 27, 0};
  for (int level = 0; level <= 4; ++level) {
    store.SetInt("UpDo_NoLevelSmile", level);
    EXPECT_EQ(store.PointsToContinue(), expected[level]) << level;
  }
  store.SetInt("UpDo_stpNbrTitre", 3);
  store.SetInt("UpDo_stpMergeAfter", 1);
  EXPECT_EQ(store.MaxTitlesAfterMerge(), 3);
  store.SetInt("UpDo_stpMergeAfter", 3);
  EXPECT_EQ(store.MaxTitlesAfterMerge(), 5);

  store.SetInt("UpDoNoteOne", 77);
  store.StepNoteThreshold(1, -1);
  EXPECT_EQ(store.GetInt("UpDoNoteOne"), 76);
  store.StepNoteThreshold(1, -1);  // onto the second threshold: jumps 2 above it
  EXPECT_EQ(store.GetInt("UpDoNoteOne"), 77);
  store.StepNoteThreshold(3, 15);  // 75 onto the second: lowered by 2
  EXPECT_EQ(store.GetInt("UpDoNoteThree"), 73);

  EXPECT_EQ(store.LastLoginText(), "Last Login time : 30/12/99  00:00:00");
  EXPECT_EQ(store.NewLoginText(), "New Login time : 01/01/01  01:01:01");
  EXPECT_EQ(HelpLetterKey(0), "svL601");
  EXPECT_EQ(HelpLetterKey(4), "svL605");
  EXPECT_EQ(StepLanguageLabel(0), "[None]");
  EXPECT_EQ(StepLanguageLabel(2), "DE: ");
}

TEST_F(SettingsTest, GlobalFileActionsAskFirst) {
  std::string path = Settings("Master.ini");
  t.msgBox.QueueAnswer(kMsgCancel);
  EXPECT_FALSE(SaveToDefault(t.ctx));
  EXPECT_FALSE(FileExists(path));
  EXPECT_TRUE(SaveToDefault(t.ctx));
  EXPECT_TRUE(FileExists(path));
  ASSERT_EQ(t.msgBox.Shown().size(), 2u);
  EXPECT_EQ(t.msgBox.Shown()[0].title, "Setup");
  EXPECT_EQ(t.msgBox.Shown()[0].line1, "Save to default");

  store.SetInt("UpDo2_TauxUnites", 30);
  EXPECT_TRUE(RestorePredeterminedValues(t.ctx));
  EXPECT_EQ(store.GetInt("UpDo2_TauxUnites"), 100);
  EXPECT_EQ(t.msgBox.Shown().back().line1, "Restore the predetermined values\xA0!");

  store.SetOpeningStamp(DateTime{2023, 11, 2, 8, 30, 0, 0});
  WriteLogoutStamp(t.ctx);
  EXPECT_EQ(t.msgBox.Shown().back().line1, "Logout stamp !");
  EXPECT_EQ(t.msgBox.Shown().back().line2, "02/11/23 - 08:30:00");
  EXPECT_TRUE(RestoreSavedValues(t.ctx));
  EXPECT_EQ(store.LastLoginText(), "Last Login time : 02/11/23  08:30:00");
}

}  // namespace
}  // namespace quillo
