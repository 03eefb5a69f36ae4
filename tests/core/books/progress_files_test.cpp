#include "books/progress_files.h"

#include <gtest/gtest.h>

#include "book_test_support.h"
#include "books/sheet_files.h"
#include "shell/error.h"
#include "shell/ini_file.h"
#include "sheet_test_support.h"

namespace quillo {
namespace {

using test::Bars;
using test::RawLines;
using test::TempDir;
using test::TestContext;

// A record line with the code and level key given.
std::string Record(const std::string& code, const std::string& levelKey) {
  TdBaseJob r;
  r.Code = code;
  r.Title = "Title " + code;
  r.Quantity = "3";
  r.LineCount = "5";
  r.Location = "100-x";
  r.LevelKey = levelKey;
  return RecordToLine(r);
}

const std::string kPlainHeader = "Ver.A 1.0;Test;00000000";

TEST(SheetLines, FreshSheetHeader) {
  EXPECT_EQ(FreshStatusLine(12, "s"), "#[0/0/12/-1;s;0;0]");
  std::vector<std::string> lines =
      SheetHeaderLines(kPlainHeader, 5, "p", "/u/Qst/B/x.QST", "Book", "Level");
  EXPECT_EQ(lines, (std::vector<std::string>{kPlainHeader, "#[0/0/5/-1;p;0;0]",
                                             Bars("#[/u/Qst/B/x.QST|Book|Level]"), "#[]", "#[]",
                                             "#[  ]"}));
}

TEST(SheetNames, FoldersAndCompanionFiles) {
  DataFolders f = MakeDataFolders("/home/a/.local/share", "/opt/q");
  std::string folder = BookFolder(f, "Marie", "/opt/q/Tremsol/Bib/Calcul.IDX");
  EXPECT_EQ(folder, "/home/a/.local/share/Tremsol/Users/Marie/Qst/Calcul/");
  EXPECT_EQ(SelectionProgressFolder(folder), folder + "UL/");
  EXPECT_EQ(LevelProgressFolder(folder), folder + "BL/");
  EXPECT_EQ(SharedBookFolder(f, "/opt/q/Tremsol/Bib/Calcul.IDX"),
            "/home/a/.local/share/Tremsol/ShQst/Calcul/");
  EXPECT_EQ(StatePathOf(folder + "UL/Week.STP"), folder + "UL/Week.SNI");
  EXPECT_EQ(SheetPathOf(folder + "UL/Week.STP"), folder + "UL/Week.QST");
  EXPECT_EQ(ProfilePathOf(folder + "Test.QST"), folder + "Test.SQF");
  EXPECT_EQ(JobPathOf(folder + "Test.QST"), folder + "Test.JOB");
  EXPECT_EQ(ChangeExtension("/a.b/name", ".SNI"), "/a.b/name.SNI");
}

TEST(SheetNames, DeletingANameRemovesItsFiveFiles) {
  TempDir dir;
  for (const char* name : {"Test.QST", "Test.JOB", "Test.STP", "Test.SNI", "test.sqf",
                           "Test2.QST", "Test.QsR"}) {
    dir.Write(name, "x");
  }
  EXPECT_EQ(DeleteNamedFiles(dir.Path() + "Test.QST"), 5);
  std::vector<std::string> left;
  ListFolder(dir.Path(), "*", left, true, true, false);
  EXPECT_EQ(left, (std::vector<std::string>{dir.Path() + "Test.QsR", dir.Path() + "Test2.QST"}));
  EXPECT_EQ(DeleteNamedFiles(dir.Path() + "Test.QST"), 0);
}

TEST(SheetNames, BookOfAGeneratedFile) {
  struct Case {
    const char* file;
    const char* book;
  } cases[] = {
      {"/u/Qst/Calcul/Test.JOB", "/bib/Calcul.IDX"},
      {"/u/Qst/Calcul/Test.QST", "/bib/Calcul.IDX"},
      {"/u/Qst/Calcul/UL/Week.STP", "/bib/Calcul.IDX"},
      {"/u/Qst/Calcul/BL/Week.sni", "/bib/Calcul.IDX"},
      {"/u/Qst/Calcul/BL/Week.QST", "/bib/Calcul.IDX"},
      {"/u/Qst/UL/Test.JOB", "/bib/UL.IDX"},  // a book named UL keeps its own folder
      {"Test.JOB", ""},
      {"/u/Qst/../Test.JOB", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(BookPathFor("/bib", c.file), c.book) << c.file;
}

TEST(SheetFiles, DerivedFileRoundTripPlainAndScrambled) {
  TestContext tc;
  test::InstallTestKey(tc);
  std::string scrambledHeader = "Ver.C 1.0;Test;00000000";
  for (const std::string& header : {kPlainHeader, scrambledHeader}) {
    bool scrambled = IsScrambled(header);
    std::vector<std::string> lines = {header, "#[0/0/2/-1;s;0;0]", "caf\xE9 = {x}", ""};
    std::string path = tc.dir.Path() + "sub/x.QST";
    WriteDerivedFile(path, lines, scrambled, scrambled ? test::TestKey() : "");
    DerivedFile back = ReadDerivedFile(tc.ctx, path);
    EXPECT_EQ(back.scrambled, scrambled);
    EXPECT_EQ(back.lines, lines);
    std::vector<std::string> raw = RawLines(tc.dir.Read("sub/x.QST"));
    EXPECT_EQ(raw[2] == lines[2], !scrambled);
  }
  EXPECT_THROW(WriteDerivedFile(tc.dir.Path() + "y.QST", {"a\r\nb"}, false, ""), Error);
  EXPECT_FALSE(FileExists(tc.dir.Path() + "y.QST"));
}

TEST(ProgressFile, StableLevelKeySort) {
  std::vector<std::string> lines = {Record("a", "3"), Record("b", ""), Record("c", "1"),
                                    Record("d", "3")};
  std::vector<std::string> sorted = SortByLevelKey(lines);
  ASSERT_EQ(sorted.size(), 4u);
  EXPECT_EQ(sorted, (std::vector<std::string>{lines[2], lines[0], lines[3], lines[1]}));
  EXPECT_EQ(LevelKeyOf(Record("x", "")), kNoLevelKey);
  EXPECT_EQ(LevelKeyOf(Record("x", "-4")), -4);
  EXPECT_THROW(LevelKeyOf(Record("x", "2a")), Error);
}

TEST(ProgressFile, WritesPlanAndFreshState) {
  TestContext tc;
  tc.ctx.trace.SwitchOn();
  std::vector<std::string> lines;
  for (int i = 7; i >= 1; --i) lines.push_back(Record("1." + std::to_string(i), std::to_string(i)));
  lines.insert(lines.begin() + 2, "");
  std::string path = tc.dir.Path() + "Qst/Book/BL/Week.STP";
  JobHeader header{"/bib/Book.IDX", "Book", "Level", kPlainHeader};
  EXPECT_EQ(WriteProgressFile(tc.ctx, path, header, lines, true), 7);

  std::vector<std::string> raw = RawLines(tc.dir.Read("Qst/Book/BL/Week.STP"));
  ASSERT_EQ(raw.size(), 8u);
  EXPECT_EQ(raw[0], Bars("/bib/Book.IDX|Book|Level|") + kPlainHeader);
  EXPECT_EQ(raw[1], Record("1.1", "1"));
  EXPECT_EQ(raw[7], Record("1.7", "7"));

  ProgressState s = ReadProgressState(StatePathOf(path), ProgressState{});
  EXPECT_EQ(s, NewProgressState(path, 7, tc.clock.Now()));
  EXPECT_EQ(s.StartPos, -1);
  EXPECT_EQ(s.TotPosCount, 7);
  EXPECT_TRUE(s.DirUpDown);
  EXPECT_TRUE(s.QsRFinishNextOK);
  IniFile ini(StatePathOf(path));
  EXPECT_EQ(ini.ReadString("Pos", "MargeMax", "?"), "0");
  EXPECT_EQ(ini.ReadString("Pos", "MergeFault", "?"), "1");
  EXPECT_EQ(ini.ReadString("Pos", "LastDate", "?"), "07/03/24 14:05:09");
  EXPECT_EQ(tc.ctx.trace.Lines(),
            (std::vector<std::string>{"P-SaveSTP...001..High(arDynStr)...7",
                                      "P-SaveSTP...002..High(ArRecIdxI)...7",
                                      "P-SaveSTP...007..[Write SNI...OK]"}));
}

TEST(ProgressFile, BadLevelKeyWritesNothing) {
  TestContext tc;
  std::string path = tc.dir.Write("Week.STP", "old plan\r\n");
  JobHeader header{"/bib/Book.IDX", "Book", "Level", kPlainHeader};
  EXPECT_THROW(WriteProgressFile(tc.ctx, path, header, {Record("a", "1"), Record("b", "x")}, true),
               Error);
  EXPECT_EQ(tc.dir.Read("Week.STP"), "old plan\r\n");
  EXPECT_FALSE(FileExists(StatePathOf(path)));
}

TEST(ProgressState, MissingOrJunkKeysTakeTheDefaults) {
  TempDir dir;
  std::string path = dir.Write("p.SNI",
                               "[Pos]\r\nSTPFileName=/x/a.STP\r\nStartPos=4\r\nTotPosCount=abc\r\n"
                               "DirUpDown=0\r\nLastDate=31/12/23 08:30:00\r\nFinishCount=\r\n");
  ProgressState defaults;
  defaults.StartPos = 1;
  defaults.TotPosCount = 0;
  defaults.FinishCount = -1;
  defaults.QsRFinishNextOK = false;
  ProgressState s = ReadProgressState(path, defaults);
  EXPECT_EQ(s.STPFileName, "/x/a.STP");
  EXPECT_EQ(s.StartPos, 4);
  EXPECT_EQ(s.TotPosCount, 0);
  EXPECT_EQ(s.FinishCount, -1);
  EXPECT_FALSE(s.DirUpDown);
  EXPECT_FALSE(s.QsRFinishNextOK);
  EXPECT_EQ(s.LastDate, (DateTime{2023, 12, 31, 8, 30, 0, 0}));
  EXPECT_EQ(ReadProgressState(dir.Path() + "none.SNI", defaults), defaults);

  // Writing keeps the rest of the file and reads back the same record.
  dir.Write("q.SNI", "[Other]\r\nkeep=1\r\n");
  s.QsRLastFileName = "Del";
  s.MargeAskAgain = 2;
  WriteProgressState(dir.Path() + "q.SNI", s);
  EXPECT_EQ(ReadProgressState(dir.Path() + "q.SNI"), s);
  EXPECT_EQ(IniReadString(dir.Path() + "q.SNI", "Other", "keep", ""), "1");
}

}  // namespace
}  // namespace quillo
