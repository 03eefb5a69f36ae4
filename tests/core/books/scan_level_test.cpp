// The index walk on books made by the builder, plain and scrambled, and on damaged books.
#include <gtest/gtest.h>

#include "book_test_support.h"
#include "books/book_files.h"
#include "shell/trace_log.h"

namespace quillo {
namespace {

using test::Bars;
using test::TempDir;

std::vector<std::string> Keys(const std::vector<TtableStr2Col>& entries) {
  std::vector<std::string> keys;
  for (const TtableStr2Col& e : entries) keys.push_back(e.Key);
  return keys;
}

std::vector<std::string> Codes(const std::vector<std::string>& lines) {
  std::vector<std::string> codes;
  for (const TdBaseJob& r : ReadTitleRecords(lines)) codes.push_back(r.Code);
  return codes;
}

class BuiltBookWalk : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    path_ = test::BuildInto(dir_, "Sample.IDX", test::SampleSource(), GetParam(), true);
    basics_ = ReadBookBasics(path_, key_);
  }
  ScanResult Scan(const std::string& prefix, int64_t offset, ScanMode mode = ScanMode::Run) {
    return ScanLevel(path_, prefix, offset, mode, key_, trace_);
  }
  // The entry of a level list with the key.
  const TtableStr2Col& Entry(const ScanResult& r, const std::string& key) {
    for (const TtableStr2Col& e : r.levels) {
      if (e.Key == key) return e;
    }
    static TtableStr2Col none;
    ADD_FAILURE() << "no entry " << key;
    return none;
  }
  int64_t Enter(const TtableStr2Col& e) {
    return LevelEnterOffset(e.Info, basics_.trailer.levelOffset);
  }

  TempDir dir_;
  std::string key_ = test::TestKey();
  std::string path_;
  BookBasics basics_;
  TraceLog trace_;
};

TEST_P(BuiltBookWalk, ReadsTitleHeaderAndTrailer) {
  EXPECT_EQ(basics_.scrambled, GetParam());
  EXPECT_EQ(basics_.title, "Test book \x96 Calcul & W\xF6rter");
  EXPECT_EQ(basics_.header, "Ver.A 1.0;Test book;0102A000;UP.Y");
  EXPECT_GT(basics_.trailer.levelOffset, 0);
  EXPECT_GT(basics_.trailer.titleOffset, basics_.trailer.levelOffset);
}

TEST_P(BuiltBookWalk, ListsLevelsAndEntersThemThroughTheirInfo) {
  const int64_t top = basics_.trailer.levelOffset;
  ScanResult r = Scan("0", top);
  EXPECT_EQ(ScanStateChar(r.state), '0');
  EXPECT_EQ(Keys(r.levels), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(r.levels[0].Caption, "Arithmetic");
  EXPECT_EQ(LevelBackOffset(r.levels[1].Info, -1), top);
  EXPECT_EQ(Keys(Scan("0.", top).levels), Keys(r.levels));

  ScanResult one = Scan("1.", Enter(Entry(r, "1")));
  EXPECT_EQ(one.state, ScanState::Levels);
  EXPECT_EQ(Keys(one.levels), (std::vector<std::string>{"1.1", "1.2"}));
  // Going back walks the list that holds the entry from its first offset.
  EXPECT_EQ(Keys(Scan("1.", LevelBackOffset(one.levels[1].Info, -1)).levels), Keys(one.levels));

  ScanResult titles = Scan("1.1.", Enter(Entry(one, "1.1")));
  EXPECT_EQ(ScanStateChar(titles.state), '1');
  EXPECT_EQ(Codes(titles.titleLines), (std::vector<std::string>{"1.1.1", "1.1.2", "1.1.5"}));
  std::vector<TdBaseJob> records = ReadTitleRecords(titles.titleLines);
  EXPECT_EQ(records[0].Title, "Add two numbers");
  EXPECT_EQ(records[0].Example, "3 + 4 = 7");
  EXPECT_EQ(records[0].Quantity, "2");
  EXPECT_EQ(records[0].LineCount, "3");
  EXPECT_EQ(records[0].MergeGroup, "A");
  EXPECT_EQ(records[0].SpCode, "G1n");
  EXPECT_EQ(records[0].LevelKey, "10");
  EXPECT_EQ(records[1].LineCount, "4");  // G1: the quantity
  EXPECT_EQ(records[2].Extra10, "kept");
  EXPECT_EQ(records[2].Extra11, "as is");

  ScanResult words = Scan("2.", Enter(Entry(r, "2")));
  EXPECT_EQ(Keys(words.levels), (std::vector<std::string>{"2.1", "2.2"}));
  ScanResult vocabulary = Scan("2.1.", Enter(Entry(words, "2.1")));
  ASSERT_FALSE(vocabulary.titleLines.empty());
  EXPECT_TRUE(HasVocabularyColumns(ReadTitleRecords(vocabulary.titleLines)[0].Example));

  // The separator level has nothing to enter.
  trace_.SwitchOn();
  EXPECT_EQ(ScanStateChar(Scan("3.", Enter(Entry(r, "3"))).state), 'N');
  EXPECT_EQ(trace_.Lines(), std::vector<std::string>{std::string(kNoDataTrace)});
}

TEST_P(BuiltBookWalk, SectionAndTakeAllModesReadTheWholeTitleSection) {
  const int64_t section = basics_.trailer.titleOffset;
  ScanResult arithmetic = Scan("1.", section, ScanMode::Section);
  EXPECT_EQ(arithmetic.state, ScanState::Titles);
  EXPECT_EQ(Codes(arithmetic.titleLines),
            (std::vector<std::string>{"1.1.1", "1.1.2", "1.1.5", "1.2.1"}));
  EXPECT_EQ(Codes(Scan("2.2.", section, ScanMode::Section).titleLines),
            (std::vector<std::string>{"2.2.1", "2.2.2", "2.2.3"}));
  // Run mode from the same place stops after the first run of matching records.
  EXPECT_EQ(Codes(Scan("1.2.", section, ScanMode::Run).titleLines),
            (std::vector<std::string>{"1.2.1"}));

  ScanResult all = Scan("0", section, ScanMode::TakeAll);
  EXPECT_EQ(all.state, ScanState::Titles);
  EXPECT_EQ(Codes(all.titleLines).size(), 9u);
  ASSERT_EQ(all.titleLines.size(), 11u);  // the records, "#P¦" and the trailer
  EXPECT_EQ(all.titleLines[9], Bars("#P|"));
  EXPECT_EQ(ParseBookTrailer(all.titleLines[10]).titleOffset, section);
}

TEST_P(BuiltBookWalk, AWalkStartingOnATitleRecordReadsTitles) {
  std::vector<int64_t> offsets = FindEdxOffsets(path_, "2.1.");
  ASSERT_EQ(offsets.size(), 1u);
  ScanResult r = Scan("2.1.", offsets[0]);
  EXPECT_EQ(r.state, ScanState::Titles);
  EXPECT_EQ(Codes(r.titleLines), (std::vector<std::string>{"2.1.1", "2.1.2"}));
}

TEST_P(BuiltBookWalk, CompanionIndexLeadsToTheSameTitlesAsTheInfoOffsets) {
  for (const char* level : {"1.1", "1.2", "2.1", "2.2"}) {
    std::optional<ScanResult> walked = WalkToLevel(path_, level, key_, trace_);
    ASSERT_TRUE(walked.has_value()) << level;
    std::vector<int64_t> offsets = FindEdxOffsets(path_, std::string(level) + ".");
    ASSERT_EQ(offsets.size(), 1u) << level;
    EXPECT_EQ(Scan(std::string(level) + ".", offsets[0]).titleLines, walked->titleLines);
  }
  // A whole top level is one run of the title section; the level-wide pick reads it from the
  // companion index or, without it, from the title section.
  EXPECT_EQ(FindEdxOffsets(path_, "1.").size(), 1u);
  for (bool useEdx : {true, false}) {
    EXPECT_EQ(Codes(LevelWideTitles(path_, "2", key_, trace_, useEdx)),
              (std::vector<std::string>{"2.1.1", "2.1.2", "2.2.1", "2.2.2", "2.2.3"}));
  }
}

TEST_P(BuiltBookWalk, LocationLeadsToTheTitlesExerciseLines) {
  std::optional<ScanResult> r = WalkToLevel(path_, "1.1", key_, trace_);
  ASSERT_TRUE(r.has_value());
  TdBaseJob fixed = ReadTitleRecords(r->titleLines)[2];
  std::vector<std::string> lines;
  int64_t offset = LocationOffset(fixed.Location);
  for (int k = 0; k < 3; ++k) {
    LineAt line = ReadLineAt(path_, offset, basics_.scrambled, key_);
    lines.push_back(line.text);
    offset = line.next;
  }
  EXPECT_EQ(lines, (std::vector<std::string>{Bars("|2 + 2 = {4}|"), Bars("|3 + 5 = {8}|"),
                                             Bars("7|9 + 1 = {10}|note")}));
  // The text after "-" is the offset just past the title's last line.
  EXPECT_EQ(fixed.Location.substr(fixed.Location.find('-') + 1), std::to_string(offset));
}

TEST_P(BuiltBookWalk, WalkToLevelFollowsTheConfigurator) {
  EXPECT_EQ(Keys(WalkToLevel(path_, "", key_, trace_)->levels),
            (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(Keys(WalkToLevel(path_, "2", key_, trace_)->levels),
            (std::vector<std::string>{"2.1", "2.2"}));
  EXPECT_EQ(WalkToLevel(path_, "2.2", key_, trace_)->state, ScanState::Titles);
  EXPECT_FALSE(WalkToLevel(path_, "4", key_, trace_).has_value());
  EXPECT_FALSE(WalkToLevel(path_, "1.1.1", key_, trace_).has_value());
}

INSTANTIATE_TEST_SUITE_P(PlainAndScrambled, BuiltBookWalk, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Scrambled" : "Plain"; });

// --- Damaged books
// ---------------------------------------------------------------------------------

// A book made of plain lines; offsets are taken from the marked lines.
struct HandBook {
  std::vector<std::string> lines;
  std::string Content() const {
    std::string c;
    for (const std::string& l : lines) c += l + "\r\n";
    return c;
  }
  int64_t OffsetOf(std::size_t index) const {
    int64_t at = 0;
    for (std::size_t i = 0; i < index; ++i) at += static_cast<int64_t>(lines[i].size()) + 2;
    return at;
  }
};

TEST(ScanLevelOnDamagedBooks, FindsNothingAndTracesIt) {
  TempDir dir;
  std::string sample;
  ReadWholeFile(test::BuildInto(dir, "Sample.IDX", test::SampleSource(), false), sample);
  BookTrailer good = ParseBookTrailer(test::RawLines(sample).back());
  auto replaceTrailer = [&](const std::string& trailer) {
    std::string c = sample.substr(0, sample.rfind(Bars("#R|")));
    return c + trailer + "\r\n";
  };
  struct Case {
    const char* name;
    std::string content;
    int64_t offset;  // -2: the offset of the book's own trailer
  } cases[] = {
      {"truncated", sample.substr(0, sample.size() / 2), -2},
      {"cut before the level section", sample.substr(0, good.levelOffset), good.levelOffset},
      {"offsets past the end", replaceTrailer(Bars("#R|=99999|#E|=99999|")), -2},
      {"trailer without #R", replaceTrailer(Bars("#E|=" + std::to_string(good.titleOffset) + "|")),
       -2},
      {"empty file", "", -2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = dir.Write("Damaged.IDX", c.content);
    int64_t offset = c.offset == -2 ? ReadBookBasics(path, "").trailer.levelOffset : c.offset;
    TraceLog trace;
    trace.SwitchOn();
    ScanResult r = ScanLevel(path, "0", offset, ScanMode::Run, "", trace);
    EXPECT_EQ(r.state, ScanState::Nothing);
    EXPECT_TRUE(r.levels.empty());
    EXPECT_TRUE(r.titleLines.empty());
    EXPECT_EQ(trace.Lines(), std::vector<std::string>{std::string(kNoDataTrace)});
    std::optional<ScanResult> top = WalkToLevel(path, "", "", trace);
    EXPECT_EQ(top->state, ScanState::Nothing);
  }
  TraceLog trace;
  EXPECT_EQ(ScanLevel(dir.Path() + "Missing.IDX", "0", 0, ScanMode::Run, "", trace).state,
            ScanState::Nothing);
  EXPECT_FALSE(FileExists(dir.Path() + "Missing.IDX"));
}

TEST(ScanLevelOnDamagedBooks, ALineLongerThanTheWindowIsSkippedInPieces) {
  // The only top-level line is too long to read: the offset chain steps through it two bytes at
  // a time until it meets its CR LF, then the walk goes on from there.
  HandBook book{{"Broken", "Ver.A;x", Bars("0.1|" + std::string(3000, 'x') + "|1-2"), Bars("#E|"),
                 Bars("1.1|T|E|1|1|0-0||||||"), Bars("#P|")}};
  TempDir dir;
  std::string path = dir.Write("Long.IDX", book.Content());
  TraceLog trace;
  trace.SwitchOn();
  EXPECT_EQ(ScanLevel(path, "0", book.OffsetOf(2), ScanMode::Run, "", trace).state,
            ScanState::Nothing);
  EXPECT_EQ(trace.Lines(), std::vector<std::string>{std::string(kNoDataTrace)});
  ScanResult r = ScanLevel(path, "1.", book.OffsetOf(2), ScanMode::Run, "", trace);
  EXPECT_EQ(Codes(r.titleLines), std::vector<std::string>{"1.1"});
}

TEST(ScanLevelOnDamagedBooks, AnEmptyLineEndsARunOfTitles) {
  const std::string record = Bars("|T|E|1|1|0-0||||||");
  HandBook book{{"Book", "Ver.A;x", Bars("0.1|L|0-0"), Bars("#E|"), "1.1" + record, "",
                 "1.2" + record, Bars("#P|")}};
  TempDir dir;
  std::string path = dir.Write("Gap.IDX", book.Content());
  TraceLog trace;
  EXPECT_EQ(Codes(ScanLevel(path, "1.", book.OffsetOf(4), ScanMode::Run, "", trace).titleLines),
            std::vector<std::string>{"1.1"});
  EXPECT_EQ(Codes(ScanLevel(path, "1.", book.OffsetOf(3), ScanMode::Section, "", trace).titleLines),
            (std::vector<std::string>{"1.1", "1.2"}));
  // Reading records stops at the empty line even when take-all collected everything.
  ScanResult all = ScanLevel(path, "0", book.OffsetOf(3), ScanMode::TakeAll, "", trace);
  EXPECT_EQ(all.titleLines.size(), 4u);
  EXPECT_EQ(Codes(all.titleLines), std::vector<std::string>{"1.1"});
}

TEST(ScanLevelOnDamagedBooks, AStretchWithoutLineBreaksEndsQuickly) {
  // Megabytes without a CR LF: the walk must step through them without searching each window
  // again (this would take minutes if it did).
  TempDir dir;
  std::string path = dir.Write("Flat.IDX", "Book\r\nVer.A;x\r\n" + std::string(8 << 20, 'z'));
  TraceLog trace;
  EXPECT_EQ(ScanLevel(path, "0", 15, ScanMode::Section, "", trace).state, ScanState::Nothing);
}

}  // namespace
}  // namespace quillo
