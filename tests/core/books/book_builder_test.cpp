#include "books/book_builder.h"

#include <gtest/gtest.h>

#include "book_test_support.h"
#include "books/book_files.h"
#include "shell/trace_log.h"

namespace quillo {
namespace {

using test::Bars;
using test::TempDir;

// "¦" as a source (UTF-8) writes it.
const std::string kBarUtf8 = "\xC2\xA6";

const char* const kTop =
    "book: Small\n"
    "header: Ver.A 1.0;Small;0000A000\n";

// The title record of the only title of a small source.
TdBaseJob OnlyRecord(const std::string& source) {
  BuiltBook built = BuildBook(source, "small.book", test::TestKey());
  std::vector<std::string> lines = test::RawLines(built.idx);
  for (const std::string& line : lines) {
    if (std::optional<TdBaseJob> r = LineToRecord(line)) return *r;
  }
  ADD_FAILURE() << "no record";
  return {};
}

TEST(BuildBook, LaysOutTheBookWithItsOffsets) {
  BuiltBook built = BuildBook(test::SampleSource(), "sample.book", test::TestKey());
  EXPECT_FALSE(built.scrambled);
  EXPECT_EQ(built.levels, 7);
  EXPECT_EQ(built.titles, 9);
  std::vector<std::string> lines = test::RawLines(built.idx);
  EXPECT_EQ(lines[0], "Test book \x96 Calcul & W\xF6rter");
  EXPECT_EQ(lines[1], "Ver.A 1.0;Test book;0102A000;UP.Y");
  EXPECT_EQ(lines[2], Bars("|1~10 + 1~10_QST()|"));
  BookTrailer trailer = ParseBookTrailer(lines.back());
  EXPECT_EQ(lines.back(), Bars("#R|=" + std::to_string(trailer.levelOffset) +
                               "|#E|=" + std::to_string(trailer.titleOffset) + "|"));
  // The level section: the top level, then each level's children as one group.
  std::string section = built.idx.substr(static_cast<std::size_t>(trailer.levelOffset));
  std::vector<std::string> index = test::RawLines(section);
  std::vector<std::string> codes;
  for (std::size_t i = 0; i < 7; ++i) codes.push_back(index[i].substr(0, index[i].find('\xA6')));
  EXPECT_EQ(codes, (std::vector<std::string>{"0.1", "0.2", "0.3", "1.1", "1.2", "2.1", "2.2"}));
  EXPECT_EQ(index[7], Bars("#E|"));
  EXPECT_EQ(built.idx.substr(static_cast<std::size_t>(trailer.titleOffset), 5), Bars("#E|\r\n"));
  EXPECT_EQ(index[17], Bars("#P|"));
  // The companion index: its base is the title section; one line per title.
  std::vector<std::string> edx = test::RawLines(built.edx);
  EXPECT_EQ(edx[0], Bars("EDX|" + std::to_string(trailer.titleOffset) + "." +
                         std::to_string(built.idx.size()) + ":|"));
  EXPECT_EQ(edx.size(), 10u);
  EXPECT_EQ(edx[1], Bars("1.1.1|5|"));
}

TEST(BuildBook, ScramblesEveryLineWithoutMovingAnOffset) {
  std::string source = test::SampleSource();
  BuiltBook plain = BuildBook(source, "sample.book", test::TestKey());
  BookBuildOptions options;
  options.scramble = true;
  BuiltBook scrambled = BuildBook(source, "sample.book", test::TestKey(), options);
  // "scramble: yes" in the source does the same as the option.
  std::string yes = source;
  yes.replace(yes.find("scramble: no"), 12, "scramble: yes");
  EXPECT_EQ(BuildBook(yes, "sample.book", test::TestKey()).idx, scrambled.idx);

  EXPECT_TRUE(scrambled.scrambled);
  std::vector<std::string> a = test::RawLines(plain.idx);
  std::vector<std::string> b = test::RawLines(scrambled.idx);
  ASSERT_EQ(a.size(), b.size());
  EXPECT_TRUE(IsScrambled(b[1]));
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_NE(b[i], a[i]) << i;
    EXPECT_EQ(UnscrambleLine(b[i], true, test::TestKey()), a[i]) << i;
  }
  EXPECT_EQ(scrambled.edx, plain.edx);  // the companion index is never scrambled
  EXPECT_THROW(BuildBook(source, "sample.book", "", options), Error);
}

TEST(BuildBook, FillsQuantityAndLineCountWhenLeftOut) {
  struct Case {
    const char* title;  // fields and lines of the only title
    const char* quantity;
    const char* lineCount;
  } cases[] = {
      {"> a\n> b\n> c\n> d\n> e\n", "3", "5"},
      {"> a\n> b\n", "2", "2"},
      {"quantity: 1\n> a\n> b\n", "1", "2"},
      {"spcode: G1\n> a\n", "3", "3"},
      {"spcode: G1\nquantity: 6\n> a\n", "6", "6"},
      {"spcode: GD1\nquantity: 2\n> a\n> b\n> c\n> d\n", "2", "4"},
      {"spcode: G1\nquantity: 2\nlinecount: 2\n> a\n", "2", "2"},
  };
  for (const Case& c : cases) {
    TdBaseJob r = OnlyRecord(std::string(kTop) + "level 1: L\ntitle: T\n" + c.title);
    EXPECT_EQ(r.Quantity, c.quantity) << c.title;
    EXPECT_EQ(r.LineCount, c.lineCount) << c.title;
  }
}

TEST(BuildBook, NumbersTitlesAfterTheirLevel) {
  BuiltBook built = BuildBook(std::string(kTop) +
                                  "level 1: L\nlevel 1.4: Sub\n"
                                  "title: A\n> a\n"
                                  "title 1.4.7: B\n> b\n"
                                  "title: C\n> c\n",
                              "small.book", test::TestKey());
  std::vector<std::string> codes;
  for (const std::string& line : test::RawLines(built.idx)) {
    if (std::optional<TdBaseJob> r = LineToRecord(line)) codes.push_back(r->Code);
  }
  EXPECT_EQ(codes, (std::vector<std::string>{"1.4.1", "1.4.7", "1.4.8"}));
}

TEST(BuildBook, LevelsThreeDeepAreWalkedAndDumpedBack) {
  // The groups of levels 1.1 and 1.1.x follow each other in the level section: the walk of
  // level 1 must stop where the deeper codes begin.
  const std::string source = std::string(kTop) +
                             "level 1: A\nlevel 1.1: AA\nlevel 1.1.1: AAA\ntitle: t1\n> a\n"
                             "level 1.1.2: AAB\ntitle: t2\n> b\nlevel 1.2: AB\ntitle: t3\n> c\n"
                             "level 2: B\ntitle: t4\n> d\n";
  TempDir dir;
  std::string path = test::BuildInto(dir, "Deep.IDX", source, false);
  TraceLog trace;
  struct Case {
    const char* level;
    std::vector<std::string> keys;  // level entries, or title codes
  } cases[] = {
      {"", {"1", "2"}},       {"1", {"1.1", "1.2"}},  {"1.1", {"1.1.1", "1.1.2"}},
      {"1.1.1", {"1.1.1.1"}}, {"1.1.2", {"1.1.2.1"}}, {"1.2", {"1.2.1"}},
      {"2", {"2.1"}},
  };
  for (const Case& c : cases) {
    std::optional<ScanResult> r = WalkToLevel(path, c.level, "", trace);
    ASSERT_TRUE(r.has_value()) << c.level;
    std::vector<std::string> keys;
    for (const TtableStr2Col& e : r->levels) keys.push_back(e.Key);
    for (const TdBaseJob& t : ReadTitleRecords(r->titleLines)) keys.push_back(t.Code);
    EXPECT_EQ(keys, c.keys) << c.level;
  }
  std::string idx = dir.Read("Deep.IDX");
  EXPECT_EQ(BuildBook(DumpBook(path, "", trace), "dump", "").idx, idx);
}

TEST(BuildBook, NamesTheSourceLineOfEveryFault) {
  const std::string top = kTop;
  const std::string level = top + "level 1: L\n";  // lines 3
  const std::string title = level + "title: T\n";  // line 4
  struct Case {
    std::string source;
    std::string error;
  } cases[] = {
      {title + "> " + std::string(2046, 'x') + "\n",
       "5: this makes a book line of 2048 bytes; a book line holds at most 2047"},
      {title + "example: " + std::string(2040, 'x') + "\n> a\n",
       "4: this makes a book line of 2062 bytes; a book line holds at most 2047"},
      {title + "title: U\n> a\n", "4: title \"T\" has no exercise lines"},
      {title + "colour: red\n> a\n", "5: unknown field \"colour\""},
      {title + "quantity 2: x\n> a\n", "5: unknown field \"quantity 2\""},
      {title + "example: \xE2\x86\x92\n> a\n",
       "5: the character U+2192 cannot be written in Windows-1252"},
      {title + "example: \xC3\n> a\n", "5: the text is not valid UTF-8"},
      {title + "just text\n",
       "5: expected \"name: value\", a level, a title or an exercise "
       "line (\"> template\")"},
      {top + "title: T\n> a\n", "3: a title must follow a level"},
      {top + "> a\n", "3: an exercise line belongs to a title"},
      {level + "quantity: 2\n", "4: \"quantity\" belongs to a title"},
      {level + "level 2.1: S\n", "4: level 2.1 comes before its parent level 2"},
      {level + "level 1: Again\n", "4: level 1 is declared twice (first on line 3)"},
      {top + "level 1.0: L\n",
       "3: level code \"1.0\" must be numbers from 1 joined by \".\" "
       "(1, 2, 2.1)"},
      {top + "level: L\n", "3: a level needs its code, as in \"level 2.1: Caption\""},
      {top + "level 1:\n", "3: level 1 has no caption"},
      {title + "> a\nlevel 1.1: S\n", "6: level 1 holds titles and cannot hold sub-levels too"},
      {level + "level 2: M\ntitle: T\n> a\n", "3: level 1 has neither sub-levels nor titles"},
      {title + "spcode: g1\n> a\n",
       "5: unknown spcode \"g1\" (use LO1, LO2, PQ1, VO1, STB, G1n, G1 or GD1, or leave it empty)"},
      {title + "merge: ab\n> a\n", "5: merge must be one letter from A to Z"},
      {title + "quantity: 0\n> a\n", "5: quantity must be a whole number from 1 to 999999"},
      {title + "levelkey: 1,5\n> a\n", "5: levelkey must be a whole number"},
      {title + "quantity: 2\n> a\n",
       "5: quantity 2 is more than the line count 1: this title would give no questions"},
      {title + "linecount: 3\n> a\n> b\n",
       "5: linecount 3 is more than the 2 exercise lines of this title: generation would read "
       "the lines of the next title"},
      {title + "spcode: G1\nquantity: 2\nlinecount: 5\n> a\n",
       "7: linecount 5 is more than the 1 exercise lines of this title: generation would read "
       "the lines of the next title (for G1 and GD1 it may only be more when it equals the "
       "quantity)"},
      {title + "quantity: 1\nquantity: 1\n> a\n", "6: \"quantity\" is given twice for this title"},
      {title + "> a" + kBarUtf8 + "b\n",
       Bars("5: a template cannot hold \"|\" (write the whole line with \">>\")")},
      {title + ">\n", "5: an exercise line needs a template"},
      {title + ">>\n", "5: an exercise line cannot be empty"},
      {title + "example: a" + kBarUtf8 + "b\n> a\n", Bars("5: a field cannot hold \"|\"")},
      {title + "> a\ntitle 1.1: U\n> b\n", "6: title code 1.1 is used twice (first on line 4)"},
      {title + "> a\ntitle 2.1: U\n> b\n",
       "6: title code \"2.1\" must be the level code 1 followed by \".\" and a number"},
      {"header: Ver.A\nlevel 1: L\ntitle: T\n> a\n",
       "1: the source has no \"book:\" line (the book's title)"},
      {"book: B\nlevel 1: L\ntitle: T\n> a\n", "1: the source has no \"header:\" line"},
      {top, "1: the source has no level"},
      {"book: B\nheader: Version 1\nlevel 1: L\ntitle: T\n> a\n",
       "2: the header of a plain book must contain \"er.A\" and not \"er.C\" (start it with "
       "\"Ver.A\")"},
      {"book: B\nheader: Ver.A;B;SpPhA\nlevel 1: L\ntitle: T\n> a\n",
       "2: the option code \"SpPhA\" (header field 3) counts only with at least 8 characters"},
      {"book: B\nbook: C\n", "2: \"book\" is given twice (first on line 1)"},
      {"scramble: maybe\n", "1: scramble must be \"yes\" or \"no\""},
  };
  for (const Case& c : cases) {
    try {
      BuildBook(c.source, "src/x.book", test::TestKey());
      ADD_FAILURE() << "no error for: " << c.error;
    } catch (const BookSourceError& e) {
      EXPECT_EQ(std::string(e.what()), "src/x.book:" + c.error);
    }
  }
}

TEST(BuildBook, AcceptsCommentsIndentationAndWindowsLineEnds) {
  std::string a = BuildBook(std::string(kTop) + "level 1: L\ntitle: T\n> a\n", "a", "").idx;
  std::string b = BuildBook(
                      "\xEF\xBB\xBF# comment\r\n  book:   Small  \r\n\theader: Ver.A 1.0;"
                      "Small;0000A000\r\n\r\n   # another\r\nLEVEL 1: L\r\n  title: T\r\n"
                      "    > a\r\n",
                      "b", "")
                      .idx;
  EXPECT_EQ(a, b);
}

class DumpRoundTrip : public ::testing::TestWithParam<bool> {};

TEST_P(DumpRoundTrip, BuildingTheDumpGivesTheSameBytes) {
  TempDir dir;
  BookBuildOptions options;
  options.scramble = GetParam();
  BuiltBook first = BuildBook(test::SampleSource(), "sample.book", test::TestKey(), options);
  std::string path = dir.Path() + "Sample.IDX";
  WriteBuiltBook(path, first, false);
  TraceLog trace;
  std::string dumped = DumpBook(path, test::TestKey(), trace);
  BuiltBook second = BuildBook(dumped, "dump", test::TestKey());
  EXPECT_EQ(second.idx, first.idx);
  EXPECT_EQ(second.edx, first.edx);
  // The dump reads like a hand-written source.
  for (const std::string& part :
       {std::string("book: Test book \xE2\x80\x93 Calcul & W\xC3\xB6rter\n"),
        std::string("\nlevel 1.1: Additions\n\ntitle: Add two numbers\n"),
        std::string("\ntitle 1.1.5: Fixed sums\n"),
        "  >> 7" + kBarUtf8 + "9 + 1 = {10}" + kBarUtf8 + "note\n",
        std::string("  > ;{\xC5\x93uf};{Ei};{egg}\n"), std::string("\nlevel 3: --------\n")}) {
    EXPECT_NE(dumped.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(dumped.find("linecount"), std::string::npos);
  EXPECT_NE(dumped.find(GetParam() ? "scramble: yes\n" : "scramble: no\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(PlainAndScrambled, DumpRoundTrip, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Scrambled" : "Plain"; });

TEST(DumpBook, RefusesAFileThatIsNotABook) {
  TempDir dir;
  TraceLog trace;
  std::string notes = dir.Write("Notes.IDX", "Just text\r\nVer.A\r\n");
  EXPECT_THROW(DumpBook(notes, "", trace), Error);
  EXPECT_THROW(DumpBook(dir.Path() + "Missing.IDX", "", trace), Error);
}

TEST(WriteBuiltBook, WritesOrRemovesTheCompanionIndex) {
  TempDir dir;
  BuiltBook built = BuildBook(test::SampleSource(), "sample.book", test::TestKey());
  std::string path = dir.Path() + "Bib/Sample.IDX";
  WriteBuiltBook(path, built, true);
  EXPECT_EQ(dir.Read("Bib/Sample.IDX"), built.idx);
  EXPECT_EQ(dir.Read("Bib/Sample.EDX"), built.edx);
  WriteBuiltBook(path, built, false);
  EXPECT_FALSE(FileExists(dir.Path() + "Bib/Sample.EDX"));
}

}  // namespace
}  // namespace quillo
