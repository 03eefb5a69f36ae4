// Tests of the INI module: reading with Windows semantics from damaged and hand-edited files,
// and writing that changes only what it must.
#include "shell/ini_file.h"

#include <gtest/gtest.h>

#include <string>

#include "shell/error.h"
#include "support/temp_dir.h"

namespace quillo {
namespace {

TEST(IniFileRead, ValuesWithWindowsSemantics) {
  const std::string longValue(5000, 'x');
  IniFile ini = IniFile::FromText(
      "junk line without equals\r\n"
      "orphan=before any section\r\n"
      "[Main]\n"
      "  Text =  some value with = inside  \n"
      "Int=42\r"
      "Hex=0x1F\n"
      "Dollar=$10\n"
      "Neg=-7\n"
      "Bad=12abc\n"
      "Huge=99999999999\n"
      "Empty=\n"
      "Dup=first\n"
      "dup=second\n"
      "; Comment=not a key\n"
      "=no key\n"
      "Long=" + longValue + "\n"
      "[main]\n"
      "Text=from the duplicate section\n"
      "Only=in duplicate\n"
      "[Bools]\n"
      "Two=2\nMinus=-1\nZero=0\nYes=yes\nBlank=\n"
      "[Stamps]\nDate=07/03/24\nTime=14:05:09\nBadDate=31/02/24\nBadTime=25:00:00\n");

  EXPECT_EQ(ini.ReadString("main", "TEXT", "d"), "some value with = inside");
  EXPECT_EQ(ini.ReadString("Main", "orphan", "d"), "d");
  EXPECT_EQ(ini.ReadString("Main", "Missing", "d"), "d");
  EXPECT_EQ(ini.ReadString("Main", "Empty", "d"), "");
  EXPECT_EQ(ini.ReadString("Main", "Dup", "d"), "first");
  EXPECT_EQ(ini.ReadString("Main", "; Comment", "d"), "d");
  EXPECT_EQ(ini.ReadString("Main", "Only", "d"), "d");  // first section of a name wins
  EXPECT_EQ(ini.ReadString("Main", "Long", "d"), std::string(kIniMaxValue, 'x'));
  EXPECT_EQ(ini.ReadString("Nowhere", "Text", "d"), "d");

  struct IntCase {
    const char* key;
    int expected;
  };
  const IntCase ints[] = {{"Int", 42},  {"Hex", 31},   {"Dollar", 16}, {"Neg", -7},
                          {"Bad", 9},   {"Huge", 9},   {"Empty", 9},   {"Missing", 9},
                          {"Text", 9}};
  for (const IntCase& c : ints) EXPECT_EQ(ini.ReadInteger("Main", c.key, 9), c.expected) << c.key;

  struct BoolCase {
    const char* key;
    bool def;
    bool expected;
  };
  const BoolCase bools[] = {{"Two", false, true},   {"Minus", false, true}, {"Zero", true, false},
                            {"Yes", false, false},  {"Yes", true, true},    {"Blank", true, true},
                            {"Missing", true, true}, {"Missing", false, false}};
  for (const BoolCase& c : bools) {
    EXPECT_EQ(ini.ReadBool("Bools", c.key, c.def), c.expected) << c.key << " default " << c.def;
  }

  const DateTime def{1899, 12, 30, 12, 0, 0, 0};
  DateTime date = ini.ReadDate("Stamps", "Date", def);
  EXPECT_EQ(ShortDateText(date), "07/03/24");
  EXPECT_EQ(ini.ReadDate("Stamps", "BadDate", def), def);
  EXPECT_EQ(LongTimeText(ini.ReadTime("Stamps", "Time", def)), "14:05:09");
  EXPECT_EQ(ini.ReadTime("Stamps", "BadTime", def), def);

  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Main", "Bools", "Stamps"}));
  EXPECT_EQ(ini.ReadSection("bools"),
            (std::vector<std::string>{"Two", "Minus", "Zero", "Yes", "Blank"}));
  IniPairs pairs = ini.ReadSectionValues("Main");
  ASSERT_GE(pairs.size(), 3u);
  EXPECT_EQ(pairs[0], (std::pair<std::string, std::string>{"Text", "some value with = inside"}));
}

TEST(IniFileRead, MissingFileIsEmpty) {
  test::TempDir dir;
  IniFile ini(dir.Path() + "none.ini");
  EXPECT_FALSE(ini.Existed());
  EXPECT_FALSE(ini.SectionExists("A"));
  EXPECT_EQ(ini.ReadInteger("A", "B", 5), 5);
  EXPECT_EQ(IniReadString(dir.Path() + "none.ini", "A", "B", "def"), "def");
}

TEST(IniFileWrite, KeepsTheRestOfTheFile) {
  test::TempDir dir;
  const std::string original =
      "; kept comment\r\n"
      "[One]\r\n"
      "a=1\r\n"
      "junk\r\n"
      "\r\n"
      "[Two]\r\n"
      "B=old\r\n"
      "b=second\r\n";
  std::string path = dir.Write("x.ini", original);
  IniFile ini(path);
  ini.WriteString("two", "b", "new");         // first match, key spelling kept
  ini.WriteString("ONE", "c", "added");       // after the last line of the section
  ini.WriteBool("Three", "flag", true);       // new section at the end
  ini.WriteString("One", "a", "line\r\nbreak");  // no line break gets into the file
  ini.Save();
  EXPECT_EQ(dir.Read("x.ini"),
            "; kept comment\r\n"
            "[One]\r\n"
            "a=line  break\r\n"
            "junk\r\n"
            "c=added\r\n"
            "\r\n"
            "[Two]\r\n"
            "B=new\r\n"
            "b=second\r\n"
            "\r\n"
            "[Three]\r\n"
            "flag=1\r\n");
}

TEST(IniFileWrite, EraseSectionAndDeleteKey) {
  IniFile ini = IniFile::FromText(
      "[Pers]\nmarie=x\nPaul=y\nMARIE=z\n[Other]\nk=v\n[pers]\nmarie=w\n");
  ini.DeleteKey("PERS", "Marie");
  EXPECT_EQ(ini.Text(), "[Pers]\r\nPaul=y\r\n[Other]\r\nk=v\r\n[pers]\r\n");
  ini.EraseSection("pers");
  EXPECT_EQ(ini.Text(), "[Other]\r\nk=v\r\n");
  EXPECT_FALSE(ini.SectionExists("Pers"));
}

TEST(IniFileWrite, RefusesNamesThatWouldBreakTheFile) {
  IniFile ini;
  EXPECT_THROW(ini.WriteString("Sec", "a=b", "v"), Error);
  EXPECT_THROW(ini.WriteString("Sec", "[x", "v"), Error);
  EXPECT_THROW(ini.WriteString("Sec", "a\nb", "v"), Error);
  EXPECT_THROW(ini.WriteString("Se]c", "a", "v"), Error);
  EXPECT_THROW(ini.WriteString("", "a", "v"), Error);
  EXPECT_FALSE(ini.Modified());
}

}  // namespace
}  // namespace quillo
