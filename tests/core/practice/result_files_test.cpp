// Tests of result, revision and statistics writing when a sheet is left, and of resuming a
// result: result names, the status line, the worked 4-field example with its first-try faults and
// revisions, history limits, revision numbering, the round trip of a result in every correction
// mode, scrambled sheets, damaged files, and the files that must never be overwritten.
#include "practice/result_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "books/scramble.h"
#include "practice/practice_session.h"
#include "practice/statistics.h"
#include "session_test_util.h"
#include "setup/settings_store.h"
#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo {
namespace {

using test::SessionFixture;
using Strings = std::vector<std::string>;

const Strings kFourFields = {"#ChB$Numbers", "a {3} b {5}", "c {7}", "d {9}"};

std::vector<std::string> FolderFiles(const std::string& folder) {
  std::vector<std::string> files;
  ListFolder(folder, "*", files, true, true, false);
  return files;
}

TEST(PracticeResults, UniqueResultNames) {
  test::TempDir dir;
  const std::string folder = dir.Path();
  EXPECT_EQ(UniqueResultName(folder, "/x/Sheet.QST"), "Sheet");
  dir.Write("Sheet.QsR", "x");
  EXPECT_EQ(UniqueResultName(folder, "/x/Sheet.QST"), "Sheet #01");
  dir.Write("Sheet #01.QsR", "x");
  dir.Write("Sheet #02.QsV", "x");  // a revision alone also holds its name
  dir.Write("sheet #03.qsr", "x");  // whatever the letter case
  EXPECT_EQ(UniqueResultName(folder, "/x/Sheet.QST"), "Sheet #04");
  EXPECT_EQ(UniqueResultName(folder, "/x/my.sheet.QST"), "my.sheet");
}

TEST(PracticeResults, StatusLines) {
  const std::optional<SheetStatus> fresh = SheetStatus::Parse("#[0/0/12/-1;s;0;0]");
  ASSERT_TRUE(fresh);
  EXPECT_EQ(fresh->tally.Text(), "0/0/12");
  EXPECT_EQ(fresh->faults, "-1");
  EXPECT_EQ(fresh->Line(), "#[0/0/12/-1;s;0;0]");
  const std::optional<SheetStatus> done = SheetStatus::Parse(" #[0/4/4/1;S;75;2] ");
  ASSERT_TRUE(done);
  EXPECT_EQ(done->kind, "S");
  EXPECT_EQ(done->seconds, 75);
  EXPECT_EQ(done->attempt, 2);

  for (const char* bad :
       {"", "#[]", "0/0/1/-1;s;0;0", "#[0/0/1;s;0;0]", "#[a/0/1/-1;s;0;0]", "#[0/0/1/x;s;0;0]",
        "#[0/0/1/-1;q;0;0]", "#[0/0/1/-1;ss;0;0]", "#[0/0/1/-1;s;-3;0]", "#[0/2/1/-1;s;0;0]",
        "#[0/0/1/123456789;s;0;0]", "#[0/0/1/-1;s;0;0;0]", "#[0/0/1/-1;s;0]"})
    EXPECT_FALSE(SheetStatus::Parse(bad)) << bad;
}

TEST(PracticeResults, FourFieldsIncompleteThenFinished) {
  // Fields 1, 2 and 3 answered (3 with x then 7), field 4 left empty: F stays -1.
  SessionFixture f;
  f.Open(kFourFields, CorrectionMode::A);
  f.Answer(0, "3");
  f.Answer(1, "5");
  f.Answer(2, "x");
  f.Answer(2, "7");
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(f.session.Tick());
  LeaveReport first = f.session.Leave();
  EXPECT_EQ(first.resultPath, f.user + "sheet.QsR");
  EXPECT_EQ(first.faults, "-1");
  EXPECT_EQ(first.kind, "s");
  EXPECT_FALSE(first.statisticsRecorded);
  EXPECT_EQ(first.revisionPath, "");  // no history reaches 3 entries
  EXPECT_FALSE(FileExists(f.user + "Statistic.f01"));
  EXPECT_EQ(f.Lines(first.resultPath),
            (Strings{test::kPlainHeader, "#[1/3/4/-1;s;3;1]",
                     "#[" + f.tc.dir.Path() +
                         "appdata/sheets/sheet.QST\xA6"
                         "Arithmetic\xA6"
                         "Additions]",
                     "#[3;5;7;9]",
                     "#[3;5;x\xA6"
                     "7;]",
                     "#[]", "#ChB$Numbers", "a {3} b {5}", "c {7}", "d {9}"}));

  // A second fresh run gets its own name; finished with x then 7 in field 3: F = 1.
  for (int v : {1, 3}) {
    SCOPED_TRACE(v);
    PracticeRules rules;
    rules.revFromNo = v;
    ASSERT_TRUE(f.session.OpenFresh(f.tc.dir.Path() + "appdata/sheets/sheet.QST"));
    f.session.SetRules(rules);
    f.Mirrors();
    f.Answer(0, "3");
    f.Answer(1, "5");
    f.Answer(2, "x");
    f.Answer(2, "7");
    f.Answer(3, "9");
    EXPECT_EQ(f.Histories(), (Strings{"3", "5",
                                      "x\xA6"
                                      "7",
                                      "9"}));
    LeaveReport report = f.session.Leave();
    EXPECT_EQ(report.faults, "1");
    EXPECT_EQ(report.kind, "S");
    EXPECT_TRUE(report.statisticsRecorded);
    EXPECT_EQ(f.session.Kind(), "X");
    const Strings lines = f.Lines(report.resultPath);
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[1], "#[0/4/4/1;S;0;1]");
    EXPECT_EQ(lines[4],
              "#[3;5;x\xA6"
              "7;9]");
    if (v == 1) {
      EXPECT_EQ(report.resultPath, f.user + "sheet #01.QsR");
      EXPECT_EQ(report.revisionPath, f.user + "sheet #01.QsV");
      EXPECT_EQ(f.Lines(report.revisionPath),
                (Strings{test::kPlainHeader, "#[1/0/1/-1;r;0;0]",
                         "#[param supl\xA6"
                         "Arithmetic\xA6"
                         "Additions]",
                         "#[7]", "#[]", "#[]", "[1] Revision...", "#ChB$Numbers", "c {7}"}));
    } else {
      EXPECT_EQ(report.resultPath, f.user + "sheet #02.QsR");
      EXPECT_EQ(report.revisionPath, "");
    }
  }
  const StatisticsRow row = StatisticsRow::Parse(SplitLines(f.Read(f.user + "Statistic.f01"))[0]);
  EXPECT_EQ(row.key, "Arithmetic;Additions");
  EXPECT_EQ(row.percentages, (Strings{"75", "75"}));
  EXPECT_EQ(row.r1, 6);
  EXPECT_EQ(row.t1, 8);
}

TEST(PracticeResults, HistoriesKeepTheirLastEightEntries) {
  SessionFixture f;
  f.Open({"x {7}", "y {1}"}, CorrectionMode::A);
  for (const char* wrong : {"a", "b", "c", "d", "e", "f", "g", "h", "i"}) f.Answer(0, wrong);
  f.Answer(0, "7");
  f.Answer(1, "1");
  EXPECT_EQ(HistoryEntries(f.Histories()[0]).size(), 10u);
  EXPECT_EQ(f.Faults()[0], 9u);
  LeaveReport report = f.session.Leave();
  EXPECT_EQ(report.faults, "1");
  EXPECT_EQ(f.Lines(report.resultPath)[4],
            "#[c\xA6"
            "d\xA6"
            "e\xA6"
            "f\xA6"
            "g\xA6"
            "h\xA6"
            "i\xA6"
            "7;1]");

  EXPECT_EQ(KeepLastEntries("a\xA6"
                            "b\xA6"
                            "c",
                            2),
            "b\xA6"
            "c");
  EXPECT_EQ(KeepLastEntries("a\xA6"
                            "b",
                            2),
            "a\xA6"
            "b");
}

TEST(PracticeResults, RevisionSelectionAndNumbering) {
  // Candidates have at least V entries; entry V decides.
  const Strings histories = {"", "x",
                             "x\xA6"
                             "1",
                             "1\xA6"
                             "x\xA6"
                             "y",
                             "y\xA6"
                             "3"};
  const Strings expected = {"1", "1", "1", "1", "3"};
  EXPECT_EQ(RevisionFields(histories, expected, 1), (std::vector<int>{0, 1, 2, 4}));
  EXPECT_EQ(RevisionFields(histories, expected, 2), (std::vector<int>{3}));
  EXPECT_EQ(RevisionFields(histories, expected, 3), (std::vector<int>{3}));
  EXPECT_EQ(RevisionFields(histories, expected, 4), (std::vector<int>{}));

  TraceLog trace;
  trace.SwitchOn();
  ResultContent source;
  source.header = test::kPlainHeader;
  source.book = "B";
  source.level = "L";
  source.questionLines = {"[1] Revision...", "q {1} and {2}", "heading", "r {3}", "s {4}"};
  source.expected = {"1", "2", "3", "4"};
  source.wordBank = {"_", "__", "___", "____"};
  const auto revised = RevisionFileLines(source, {1, 2}, trace);
  ASSERT_TRUE(revised);
  EXPECT_EQ(*revised, (Strings{test::kPlainHeader, "#[1/0/3/-1;r;0;0]",
                               "#[param supl\xA6"
                               "B\xA6"
                               "L]",
                               "#[1;2;3]", "#[;;]", "#[_;__;___]", "[2] Revision...",
                               "q {1} and {2}", "heading", "r {3}"}));

  // A first line without a number gets the title; a word bank that is not one entry per field
  // is left out; field marks never reach a sheet.
  source.questionLines = {"Sum [3 + 4]: {7}",
                          "\x1E"
                          "x {1}"
                          "\x1F"};
  source.expected = {"7", "1"};
  source.wordBank = {"_"};
  const auto titled = RevisionFileLines(source, {1}, trace);
  ASSERT_TRUE(titled);
  EXPECT_EQ((Strings{titled->begin() + 3, titled->end()}),
            (Strings{"#[1]", "#[]", "#[]", "[1] Revision...", "x {1}"}));

  // Selected fields that no line holds: nothing is written.
  EXPECT_FALSE(RevisionFileLines(source, {5}, trace));
  EXPECT_EQ(trace.Lines().back(), "Error: 7298glo32  ars_RefaireSesQst ; Empty!");
}

TEST(PracticeResults, RevisingARevisionRaisesItsNumber) {
  SessionFixture f;
  PracticeRules rules;
  rules.revFromNo = 1;
  f.Open(kFourFields, CorrectionMode::A, rules);
  f.Answer(0, "1");
  f.Answer(0, "3");
  f.Answer(1, "5");
  f.Answer(2, "7");
  f.Answer(3, "9");
  const LeaveReport first = f.session.Leave();
  ASSERT_EQ(first.revisionPath, f.user + "sheet.QsV");
  const std::string firstResult = f.Read(first.resultPath);
  const std::string firstRevision = f.Read(first.revisionPath);

  // The revision opens like a result: kind "r", empty fields, its questions only.
  // The continuation of a progressive practice resumes with the kind and faults it hands over.
  ASSERT_TRUE(f.session.Resume(first.revisionPath, "p", "2"));
  EXPECT_EQ(f.session.Kind(), "p");
  EXPECT_EQ(f.session.Faults(), "2");
  ASSERT_TRUE(f.session.Resume(first.revisionPath));
  EXPECT_EQ(f.session.Kind(), "r");
  EXPECT_EQ(f.session.Faults(), "-1");
  EXPECT_EQ(f.session.Attempt(), 1);
  EXPECT_EQ(f.session.ResultName(), "sheet");
  EXPECT_EQ(f.session.Editor().FieldContents(), (Strings{"", ""}));
  f.session.SetRules(rules);
  f.Mirrors();
  f.Answer(0, "3");
  f.Answer(1, "4");
  f.Answer(1, "5");
  const LeaveReport second = f.session.Leave();
  EXPECT_EQ(second.kind, "R");
  EXPECT_EQ(second.faults, "1");
  // The result of the first run still holds the name: this run takes the next one.
  EXPECT_EQ(second.resultPath, f.user + "sheet #01.QsR");
  EXPECT_EQ(second.revisionPath, f.user + "sheet #01.QsV");
  EXPECT_EQ(f.Read(first.resultPath), firstResult);
  EXPECT_EQ(f.Read(first.revisionPath), firstRevision);
  const Strings lines = f.Lines(second.revisionPath);
  EXPECT_EQ((Strings{lines.begin() + 1, lines.end()}),
            (Strings{"#[1/0/2/-1;r;0;0]",
                     "#[param supl\xA6"
                     "Arithmetic\xA6"
                     "Additions]",
                     "#[3;5]", "#[;]", "#[]", "[2] Revision...", "#ChB$Numbers", "a {3} b {5}"}));
  const StatisticsRow row = StatisticsRow::Parse(SplitLines(f.Read(f.user + "Statistic.f01"))[0]);
  EXPECT_EQ(row.r2, 1);
  EXPECT_EQ(row.t2, 2);
  EXPECT_EQ(row.percentages.size(), 1u);  // only the first, ordinary sheet

  // Once the follow-up window has deleted the result, the revision stands in for it and its
  // run keeps the name.
  RemoveFile(first.resultPath);
  ASSERT_TRUE(f.session.Resume(first.revisionPath));
  EXPECT_EQ(f.session.Leave().resultPath, first.resultPath);
}

// Answers a sheet of five fields, leaves it and resumes it: everything the pupil sees and the
// log holds comes back.
TEST(PracticeResults, ResumeGivesBackFieldsHistoriesFaultsColoursKindAndF) {
  const Strings questions = {"#ChB$Mixed", "1 {1}", "2 {2}", "3 {3}", "4 {4}", "5 {5}"};
  for (CorrectionMode mode :
       {CorrectionMode::A, CorrectionMode::B, CorrectionMode::C, CorrectionMode::D}) {
    SCOPED_TRACE(ModeLetter(mode));
    SessionFixture f;
    f.Open(questions, mode);
    f.Answer(0, "1");
    f.Answer(1, "x");
    f.Answer(1, "y");
    f.Answer(1, "2");
    f.Answer(2, "z");
    f.Answer(3, "q");
    f.Answer(3, "Q");
    f.Answer(3, "4");
    f.Answer(3, "w");
    for (int i = 0; i < 7; ++i) f.session.Tick();
    const Strings fields = f.session.Editor().FieldContents();
    const Strings histories = f.Histories();
    const std::string colours = f.Colours();
    const std::vector<uint32_t> faults = f.Faults();
    const LeaveReport report = f.session.Leave();
    EXPECT_EQ(report.faults, "-1");

    ASSERT_TRUE(f.session.Resume(report.resultPath));
    f.Mirrors();
    EXPECT_EQ(f.session.Editor().FieldContents(), fields);
    EXPECT_EQ(f.session.Kind(), "s");
    EXPECT_EQ(f.session.Faults(), "-1");
    EXPECT_EQ(f.session.ElapsedSeconds(), 7);
    EXPECT_EQ(f.session.Attempt(), 2);
    EXPECT_EQ(f.session.ResultName(), "sheet");
    EXPECT_EQ(f.CaretField(), 0);
    EXPECT_EQ(f.Colours(), colours);
    EXPECT_TRUE(f.session.TimerRunning());
    if (mode == CorrectionMode::A) {
      EXPECT_EQ(histories, (Strings{"1",
                                    "x\xA6y\xA6"
                                    "2",
                                    "z",
                                    "q\xA6"
                                    "4\xA6w",
                                    ""}));
      EXPECT_EQ(faults, (std::vector<uint32_t>{0, 2, 1, 2, 0}));
      EXPECT_EQ(colours, "ggrr-");
      EXPECT_EQ(f.Histories(), histories);
      EXPECT_EQ(f.Faults(), faults);
    } else {
      // Without corrections the log only learns the answers when the sheet is saved.
      EXPECT_EQ(colours, "bbbb-");
      EXPECT_EQ(f.Histories(), (Strings{"1", "2", "z", "w", ""}));
      EXPECT_EQ(f.Faults(), (std::vector<uint32_t>{0, 0, 1, 1, 0}));
    }

    // Finished now: F is fixed, the kind moves on and statistics are counted once.
    f.Answer(2, "3");
    f.Answer(3, "4");
    f.Answer(4, "5");
    const LeaveReport done = f.session.Leave();
    EXPECT_EQ(done.resultPath, report.resultPath);  // a resumed result keeps its file
    EXPECT_EQ(done.kind, "S");
    EXPECT_TRUE(done.statisticsRecorded);
    ASSERT_TRUE(f.session.Resume(done.resultPath));
    EXPECT_EQ(f.session.Kind(), "S");
    EXPECT_EQ(f.session.Faults(), done.faults);
    EXPECT_EQ(f.session.Attempt(), 2);  // finished: no new attempt
    EXPECT_FALSE(f.session.TimerRunning());
    EXPECT_EQ(f.Colours(), mode == CorrectionMode::B ? "bbbbb" : "ggggg");
    const LeaveReport again = f.session.Leave();
    EXPECT_FALSE(again.statisticsRecorded);
    EXPECT_EQ(again.faults, done.faults);
    EXPECT_EQ(StatisticsRow::Parse(SplitLines(f.Read(f.user + "Statistic.f01"))[0]).t1, 5);
    for (const std::string& file : FolderFiles(f.user))
      EXPECT_EQ(file.find(" #"), std::string::npos) << file;
  }
}

TEST(PracticeResults, ScrambledSheetsGiveScrambledResults) {
  SessionFixture f;
  f.tc.dir.Write("program/Tremsol/SetG/BookKey.txt", "A key text for the tests: 7 x 8 = 56\r\n");
  const std::string key = LoadScrambleKey(f.tc.ctx.folders.programSettingsDir);
  const std::string header = "Ver.C 1.0;Scrambled;00000000";
  Strings plain = SplitLines(test::SheetText({"Sum {7}", "Word {Paris}"}, "s.QST", "  ", header));
  std::string data;
  for (const std::string& line : plain) data += ScrambleLine(line, true, key) + "\r\n";
  const std::string path = f.tc.dir.Write("appdata/sheets/s.QST", data);

  f.ChooseMode(CorrectionMode::A);
  ASSERT_TRUE(f.session.OpenFresh(path));
  EXPECT_EQ(f.session.Header(), header);
  EXPECT_EQ(f.session.Editor().ExpectedAnswers()[1].Expected, "Paris");
  f.Answer(0, "8");
  f.Answer(0, "7");
  const LeaveReport report = f.session.Leave();
  const Strings raw = f.Lines(report.resultPath);
  ASSERT_EQ(raw.size(), 8u);
  EXPECT_EQ(raw[0], ScrambleLine(header, true, key));
  EXPECT_EQ(UnscrambleLine(raw[1], true, key), "#[1/1/2/-1;s;0;1]");
  EXPECT_EQ(UnscrambleLine(raw[6], true, key), "Sum {7}");

  ASSERT_TRUE(f.session.Resume(report.resultPath));
  EXPECT_EQ(f.session.Editor().FieldContents(), (Strings{"7", ""}));
  EXPECT_EQ(f.Histories(), (Strings{"8\xA6"
                                    "7",
                                    ""}));
}

TEST(PracticeResults, DamagedFilesAreReportedAndLeftAlone) {
  SessionFixture probe;
  ResultContent good;
  good.header = test::kPlainHeader;
  good.status = *SheetStatus::Parse("#[1/1/2/-1;s;12;1]");
  good.sheetPath = "/nowhere/s.QST";
  good.book = "B";
  good.level = "L";
  good.expected = {"7", "9"};
  good.histories = {
      "x\xA6"
      "7",
      ""};
  good.questionLines = {"a {7}", "b {9}"};
  const Strings lines = ResultFileLines(good);
  const std::string goodText = JoinLines(lines);
  auto without = [&](std::size_t index, const std::string& replacement) {
    Strings changed = lines;
    changed[index] = replacement;
    return JoinLines(changed);
  };
  std::string otherKey;
  for (const std::string& line : lines) otherKey += ScrambleLine(line, true, "31415926") + "\r\n";

  struct Case {
    const char* what;
    std::string content;
    const char* message;  // the start of the flashed message
    bool deleted;
    bool withKey = true;
  };
  const std::string damaged = "Error: 983745-C Damaged file .. r.QsR: ";
  const Case cases[] = {
      {"empty file", "", "Error: 983745-B Empty file ..", true},
      {"header only", JoinLines({lines[0]}), "Error: 983745-B Empty file ..", true},
      {"header and blank lines", JoinLines({lines[0], "", " "}), "Error: 983745-B Empty file ..",
       true},
      {"truncated", JoinLines({lines[0], lines[1], lines[2], lines[3]}), "", false},
      {"status line", without(1, "#[0/1/2;s;12;1]"), "", false},
      {"too few answers", without(3, "#[7]"), "", false},
      {"too many answers", without(3, "#[7;9;11]"), "", false},
      {"too few histories", without(4, "#[x]"), "", false},
      {"tally of another sheet", without(1, "#[0/1/3/-1;s;12;1]"), "", false},
      {"unwrapped line", without(5, "[]"), "", false},
      {"scrambled with another key", otherKey, "", false},
      {"scrambled without a key file",
       JoinLines({"Ver.C;x", "#[0/0/0/-1;s;0;0]", "#[]", "#[]", "#[]", "#[]"}), "", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SessionFixture f;
    if (c.withKey) f.tc.dir.Write("program/Tremsol/SetG/BookKey.txt", "The key of these tests\r\n");
    const std::string path = f.user + "r.QsR";
    WriteFileAtomic(path, c.content);
    EXPECT_FALSE(f.session.Resume(path));
    EXPECT_FALSE(f.session.IsOpen());
    EXPECT_TRUE(f.tc.status.lastFlash);
    const std::string expected = *c.message ? std::string(c.message) : damaged;
    EXPECT_EQ(f.tc.status.last.substr(0, expected.size()), expected) << f.tc.status.last;
    EXPECT_EQ(FileExists(path), !c.deleted);
    if (!c.deleted) {
      EXPECT_EQ(f.Read(path), c.content);
    }
    // Nothing else was written, and leaving writes nothing either.
    EXPECT_EQ(FolderFiles(f.user).size(), c.deleted ? 0u : 1u);
    EXPECT_EQ(f.session.Leave().resultPath, "");
    EXPECT_EQ(FolderFiles(f.user).size(), c.deleted ? 0u : 1u);
  }

  // The good file opens; a history of 500 entries opens with its last 8.
  SessionFixture f;
  const std::string path = f.user + "r.QsR";
  WriteFileAtomic(path, goodText);
  ASSERT_TRUE(f.session.Resume(path));
  EXPECT_EQ(f.Histories(), (Strings{"x\xA6"
                                    "7",
                                    ""}));
  std::string longHistory = "0";
  for (int i = 1; i < 500; ++i) longHistory += "\xA6" + std::to_string(i);
  WriteFileAtomic(path, without(4, "#[" + longHistory + ";]"));
  ASSERT_TRUE(f.session.Resume(path));
  EXPECT_EQ(HistoryEntries(f.Histories()[0]).size(), 8u);
  EXPECT_EQ(f.session.Editor().FieldContents()[0], "499");
  EXPECT_EQ(f.Faults()[0], 8u);
}

TEST(PracticeResults, AFreshRunNeverOverwritesAnotherResult) {
  SessionFixture f;
  f.Open({"x {7}"}, CorrectionMode::A);
  EXPECT_EQ(f.session.ResultName(), "sheet");
  // Another run saved under the same name meanwhile.
  WriteFileAtomic(f.user + "sheet.QsR", "another run\r\n");
  f.Answer(0, "7");
  const LeaveReport report = f.session.Leave();
  EXPECT_EQ(report.resultPath, f.user + "sheet #01.QsR");
  EXPECT_EQ(f.Read(f.user + "sheet.QsR"), "another run\r\n");
}

TEST(PracticeResults, ShortSheetsAreDeletedWithTheirJob) {
  SessionFixture f;
  const std::string sheet =
      f.tc.dir.Write("appdata/sheets/short.QST", "header\r\n#[0/0/0/-1;s;0;0]\r\n");
  const std::string job = f.tc.dir.Write("appdata/sheets/short.JOB", "job\r\n");
  const std::string notes = f.tc.dir.Write("appdata/sheets/notes.txt", "a\r\nb\r\n");
  EXPECT_FALSE(f.session.OpenFresh(sheet));
  EXPECT_EQ(f.tc.status.last, "Error: 983745-A Empty file ..");
  EXPECT_FALSE(FileExists(sheet));
  EXPECT_FALSE(FileExists(job));
  // Only practice sheets are deleted.
  EXPECT_FALSE(f.session.OpenFresh(notes));
  EXPECT_TRUE(FileExists(notes));
  EXPECT_FALSE(f.session.OpenFresh(f.tc.dir.Path() + "missing.QST"));
  EXPECT_FALSE(f.session.IsOpen());
}

struct RecordingHook : ProgressHook {
  void EvaluateProgress(const ProgressInput& input, std::string& kind) override {
    inputs.push_back(input);
    if (input.faults != "-1") kind = "s";
  }
  std::vector<ProgressInput> inputs;
};

TEST(PracticeResults, ProgressiveSheetsGoThroughTheHook) {
  SessionFixture f;
  f.store.SetBool("Cb_AlwaysContinueEvByFail", false);
  f.ChooseMode(CorrectionMode::A);
  const std::string path = f.WriteSheet("prog.QST", {"x {7}", "y {8}"});
  ASSERT_TRUE(f.session.OpenFresh(path, "p"));
  EXPECT_EQ(f.tc.status.last, "To pass you must have 75 points");
  f.Mirrors();
  f.Answer(0, "7");
  f.Answer(1, "8");
  // Without a hook the kind stays: nothing is counted.
  LeaveReport report = f.session.Leave();
  EXPECT_EQ(report.kind, "p");
  EXPECT_FALSE(report.statisticsRecorded);

  RecordingHook hook;
  f.session.SetProgressHook(&hook);
  ASSERT_TRUE(f.session.OpenFresh(path, "p"));
  f.Mirrors();
  f.Answer(0, "7");
  f.Answer(1, "1");
  f.Answer(1, "8");
  report = f.session.Leave();
  ASSERT_EQ(hook.inputs.size(), 1u);
  EXPECT_EQ(hook.inputs[0].resultName, "prog #01");
  EXPECT_EQ(hook.inputs[0].faults, "1");
  EXPECT_EQ(hook.inputs[0].sheetPath, path);
  EXPECT_EQ(hook.inputs[0].tally.Text(), "0/2/2");
  EXPECT_EQ(report.kind, "S");
  EXPECT_TRUE(report.statisticsRecorded);
}

TEST(PracticeResults, PracticeProfileRulesWhileTheSheetIsOpen) {
  SessionFixture f;
  // The user's own settings: mode A. The sheet's profile: mode B.
  f.ChooseMode(CorrectionMode::A);
  WriteSettings(f.tc.ctx, f.user, kMasterIni);
  const std::string path = f.WriteSheet("prof.QST", {"x {7}"});
  f.ChooseMode(CorrectionMode::B);
  WriteSettings(f.tc.ctx, f.tc.dir.Path() + "appdata/sheets/", "prof.SQF");
  f.ChooseMode(CorrectionMode::A);

  ASSERT_TRUE(f.session.OpenFresh(path));
  EXPECT_EQ(f.session.Rules().mode, CorrectionMode::B);
  EXPECT_FALSE(f.session.Buttons().checkEnabled);
  f.session.Leave();
  EXPECT_EQ(CorrectionModeOf(f.tc.ctx), CorrectionMode::A);
}

}  // namespace
}  // namespace quillo

namespace quillo {
namespace {

TEST(PracticeResults, AResultThatCannotBeWrittenKeepsTheSheetOpen) {
  SessionFixture f;
  PracticeRules rules;
  rules.revFromNo = 1;
  f.Open({"x {7}", "y {8}"}, CorrectionMode::A, rules);
  f.Answer(0, "5");
  ASSERT_TRUE(f.session.TimerRunning());
  // A folder stands where the result file goes: the rename over it fails.
  f.tc.dir.Write(f.user.substr(f.tc.dir.Path().size()) + "sheet.QsR/blocker", "x");
  EXPECT_THROW(f.session.Leave(), Error);
  EXPECT_TRUE(f.session.IsOpen());
  EXPECT_TRUE(f.session.TimerRunning());
  EXPECT_EQ(f.session.Editor().FieldContents(), (std::vector<std::string>{"5", ""}));

  // Once the way is free, leaving writes the result; a revision that cannot be written is
  // reported and the sheet is left all the same.
  RemoveFile(f.user + "sheet.QsR/blocker");
  ::rmdir((f.user + "sheet.QsR").c_str());
  f.tc.dir.Write(f.user.substr(f.tc.dir.Path().size()) + "sheet.QsV/blocker", "x");
  const LeaveReport report = f.session.Leave();
  EXPECT_FALSE(f.session.IsOpen());
  EXPECT_EQ(report.resultPath, f.user + "sheet.QsR");
  EXPECT_TRUE(FileExists(report.resultPath));
  EXPECT_EQ(report.revisionPath, "");
  EXPECT_FALSE(report.revisionError.empty());
}

}  // namespace
}  // namespace quillo
