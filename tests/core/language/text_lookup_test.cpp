// Tests of the language service: the language list, message lookup with its line-break and
// missing-key rules, window sections, and the language files the program ships.
#include "language/text_lookup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "shell/ini_file.h"
#include "shell/context.h"
#include "shell/file_utils.h"
#include "support/temp_dir.h"

namespace quillo {
namespace {

const std::string kBar = "\xA6";  // "¦"

TEST(Lookup, LineBreaksAndMissingValues) {
  test::TempDir dir;
  std::string file = dir.Write(
      "x.lng", "[STv]\r\n"
               "two=Line one" + kBar + "Line two\r\n"
               "lead=" + kBar + "Line\r\n"
               "leads=" + kBar + kBar + "Line\r\n"
               "ab=" + kBar + "a" + kBar + "b\r\n"
               "gap=a" + kBar + kBar + "b\r\n"
               "tail=a" + kBar + "\r\n"
               "only=" + kBar + "\r\n"
               "plain=Just text\r\n"
               "empty=\r\n");
  struct Case {
    const char* key;
    std::string expected;
  };
  const Case cases[] = {
      {"two", "Line one\r\nLine two"},
      {"lead", "\r\nLine"},
      {"leads", "\r\nLine"},
      {"ab", "a\r\nb"},
      {"gap", "a\r\n\r\nb"},
      {"tail", "a\r\n"},
      {"only", "\r\n"},
      {"plain", "Just text"},
      {"PLAIN", "Just text"},
      {"empty", "er_Default"},
      {"missing", "er_Default"},
  };
  for (const Case& c : cases) EXPECT_EQ(Lookup("Default", "stv", file, c.key), c.expected) << c.key;
  EXPECT_EQ(Lookup("Default", "STv", "", "plain"), "Default");  // no language: built-in text
  EXPECT_EQ(Lookup("Default", "STv", dir.Path() + "gone.lng", "plain"), "er_Default");
}

class LanguagesTest : public ::testing::Test {
 protected:
  LanguagesTest() : lookup(t.ctx.folders.languageDir) {}
  std::string Lng(const std::string& name, const std::string& content) {
    return t.dir.Write("program/Tremsol/SetG/" + name, content);
  }
  test::TestContext t;
  TextLookup lookup;
};

TEST_F(LanguagesTest, LanguageList) {
  EXPECT_FALSE(lookup.RefreshLanguages());  // no language files
  Lng("b.lng", "[INFOS]\r\nLngName=Deutsch\r\n[STv]\r\nsvL004=Zweite Datei\r\n");
  Lng("a.LNG", "[infos]\r\nlngname=Deutsch\r\n[STv]\r\nsvL004=Erste Datei\r\n");
  Lng("c.lng", "[INFOS]\r\nLngName=\r\n");    // empty name: not a language file
  Lng("d.lng", "[STv]\r\nsvL004=x\r\n");      // no name at all
  Lng(".hidden.lng", "[INFOS]\r\nLngName=English\r\n");
  Lng("e.txt", "[INFOS]\r\nLngName=Other\r\n");
  EXPECT_TRUE(lookup.RefreshLanguages());
  EXPECT_EQ(lookup.LanguageNames(), (std::vector<std::string>{"English", "Deutsch", "Deutsch"}));
  EXPECT_EQ(lookup.LanguageFile("deutsch"), t.ctx.folders.languageDir + "a.LNG");
  EXPECT_EQ(lookup.LanguageFile("Klingon"), "");
  EXPECT_EQ(lookup.FindLanguage("ENGLISH"), "English");

  EXPECT_EQ(lookup.Message("svL004"), "Do you want to delete ?");  // no active language
  lookup.SetActiveLanguage("Deutsch");
  EXPECT_EQ(lookup.Message("svL004"), "Erste Datei");
  EXPECT_EQ(lookup.Message("svL053"), "er_Wrong username or password !");
  EXPECT_EQ(lookup.Lookup("Fallback", "STv", "svL999"), "er_Fallback");
}

TEST_F(LanguagesTest, WindowSections) {
  Lng("f.lng", "[INFOS]\r\nLngName=Fran\xE7" "ais\r\n[stSetup]\r\nBtCa_TabAccUser=Utilisateur\r\n"
               "BtHi_PswUs=Cr\xE9" "er\r\nStatusBar1=a" + kBar + "b\r\n");
  lookup.RefreshLanguages();
  EXPECT_TRUE(lookup.WindowTexts("stSetup").empty());  // no active language
  lookup.SetActiveLanguage("fran\xE7" "ais");
  IniPairs texts = lookup.WindowTexts("STSETUP");
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[1], (std::pair<std::string, std::string>{"BtHi_PswUs", "Cr\xE9" "er"}));
  EXPECT_TRUE(lookup.WindowTexts("compo").empty());
  EXPECT_TRUE(TakesCaption("BtCa_TabAccUser"));
  EXPECT_FALSE(TakesCaption("BtHi_PswUs"));
  EXPECT_FALSE(TakesCaption("Bt"));
}

TEST_F(LanguagesTest, MessageTextToleratesAContextWithoutLookup) {
  EXPECT_EQ(MessageText(t.ctx, "svL053"), "Wrong username or password !");
  EXPECT_EQ(MessageText(t.ctx, "svL059", "Profile:"), "Profile:");
  EXPECT_EQ(MessageText(t.ctx, "svL999"), "");
  t.ctx.lookup = &lookup;
  Lng("en.lng", "[INFOS]\r\nLngName=English\r\n[STv]\r\nsvL053=Bad!\r\n");
  lookup.RefreshLanguages();
  lookup.SetActiveLanguage("English");
  EXPECT_EQ(MessageText(t.ctx, "svL053"), "Bad!");
}

// The shipped language files name their language and hold every message of the program.
TEST(ShippedLanguageFiles, CompleteMessageTables) {
  TextLookup lookup(std::string(QUILLO_STAGE_DIR) + "/SetG/");
  ASSERT_TRUE(lookup.RefreshLanguages());
  std::vector<std::string> names = lookup.LanguageNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Deutsch", "English", "Fran\xE7" "ais"}));
  const std::string english = lookup.LanguageFile("English");
  const std::vector<std::string> keys = IniFile(english).ReadSection("STv");
  EXPECT_EQ(keys.size(), 48u);
  for (const std::string& key : keys) EXPECT_NE(DefaultMessage(key), "") << key;
  for (const LanguageEntry& language : lookup.Languages()) {
    for (const std::string& key : keys) {
      std::string text = Lookup(DefaultMessage(key), "STv", language.path, key);
      EXPECT_NE(text.rfind("er_", 0), 0u) << language.name << " " << key;
    }
  }
  lookup.SetActiveLanguage("Deutsch");
  EXPECT_EQ(lookup.Message("svL053"), "Falscher Benutzername oder falsches Passwort!");
  lookup.SetActiveLanguage("Fran\xE7" "ais");
  EXPECT_EQ(lookup.Message("svL057"), "Enregistr\xE9\xA0!");
}

}  // namespace
}  // namespace quillo
