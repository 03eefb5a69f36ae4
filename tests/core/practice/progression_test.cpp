#include "practice/progression.h"

#include <gtest/gtest.h>

#include "books/book_builder.h"
#include "books/book_files.h"
#include "books/progress_files.h"
#include "books/sheet_files.h"
#include "session_test_util.h"
#include "shell/ini_file.h"

namespace quillo {
namespace {

using test::SessionFixture;

ProgressRules Rules(int w, int m, int q) {
  ProgressRules r;
  r.titlesPerSheet = w;
  r.mergeAfter = m;
  r.questionsPerTitle = q;
  return r;
}

ProgressState State(int startPos, int total) {
  ProgressState s;
  s.STPFileName = "/plan.STP";
  s.StartPos = startPos;
  s.TotPosCount = total;
  return s;
}

SheetOutcome Sheet(const std::string& faults, int right = 10, int total = 10,
                   const std::string& name = "plan") {
  return {name, faults, Tally{total - right - 0, right, total}};
}

const DateTime kNow{2024, 5, 6, 7, 8, 9, 0};

// --- Rules ------------------------------------------------------------------------------------

TEST(ProgressRulesTest, MergedSheetsHoldWPlusMMinusOneTitlesAndAboutWTimesQQuestions) {
  struct Case {
    int w, m, q;
    bool toHigh;
    int g, perTitle;
  } cases[] = {
      {3, 2, 3, true, 4, 3},   // 9 / 4 = 2, 8 < 9: one more
      {3, 2, 3, false, 4, 2},  //
      {3, 1, 3, true, 3, 3},   // M < 2: the window itself
      {2, 3, 2, true, 4, 1},   // 4 / 4 = 1, nothing missing
      {1, 5, 1, false, 5, 1},  // 1 / 5 = 0, at least 1
  };
  for (const Case& c : cases) {
    ProgressRules r = Rules(c.w, c.m, c.q);
    r.mergeToHigh = c.toHigh;
    EXPECT_EQ(r.MergeTitles(), c.g) << c.w << " " << c.m;
    EXPECT_EQ(r.MergeQuestionsPerTitle(), c.perTitle) << c.w << " " << c.m << " " << c.q;
  }
}

// --- Evaluation ---------------------------------------------------------------------------------

TEST(EvaluateStateTest, OrdinarySheetsMoveOneTitleAndCountTowardsTheMerge) {
  struct Case {
    const char* what;
    int startPos, margeMin;
    std::string faults;
    bool alwaysContinue;
    bool acceptMerge;
    Evaluation outcome;
    int newStart, newMargeMin;
    bool forward;
  } cases[] = {
      {"passed", 2, 1, "1", false, true, Evaluation::Passed, 3, 2, true},
      {"not started counts as 0", -1, 0, "0", false, true, Evaluation::Passed, 1, 1, true},
      {"failed", 2, 1, "9", false, true, Evaluation::Failed, 1, 0, false},
      {"failed at 0 keeps 0", 0, 0, "9", false, true, Evaluation::Failed, 0, 0, false},
      {"always continue: all wrong still passes", 0, 0, "10", true, true, Evaluation::Passed, 1, 1,
       true},
      {"no merging: no count", 4, 0, "0", false, false, Evaluation::Passed, 5, 0, true},
      {"no merging: a stored count is dropped", 4, 1, "9", false, false, Evaluation::Failed, 3, 0,
       false},
  };
  for (const Case& c : cases) {
    ProgressState s = State(c.startPos, 8);
    s.MargeMin = c.margeMin;
    s.MargeAskAgain = 2;
    ProgressRules r = Rules(3, 3, 3);
    r.points.alwaysContinue = c.alwaysContinue;
    r.acceptMerge = c.acceptMerge;
    TraceLog trace;
    const EvaluationStep step = EvaluateState(s, Sheet(c.faults), r, kNow, trace);
    EXPECT_EQ(step.outcome, c.outcome) << c.what;
    EXPECT_FALSE(step.mergeSheet) << c.what;
    EXPECT_EQ(s.StartPos, c.newStart) << c.what;
    EXPECT_EQ(s.MargeMin, c.newMargeMin) << c.what;
    EXPECT_EQ(s.MargeAskAgain, 0) << c.what;
    EXPECT_EQ(s.DirUpDown, c.forward) << c.what;
    EXPECT_TRUE(s.QsRFinishNextOK) << c.what;
    EXPECT_EQ(s.LastDate, kNow) << c.what;
    EXPECT_EQ(step.written & kPosLastFileName, 0u) << c.what;
  }
}

TEST(EvaluateStateTest, NoFaultsNeverFailWhateverTheFaultsAllowed) {
  // Pass level 0 asks for full points: no fault at all is allowed.
  ProgressRules r = Rules(3, 3, 3);
  r.points.alwaysContinue = false;
  r.points.passLevel = 0;
  TraceLog trace;
  ProgressState s = State(0, 8);
  EXPECT_EQ(EvaluateState(s, Sheet("0"), r, kNow, trace).outcome, Evaluation::Passed);
  s = State(0, 8);
  EXPECT_EQ(EvaluateState(s, Sheet("1", 10, 10), r, kNow, trace).outcome, Evaluation::Failed);
  // Pass level 2 of a scale of 100 (75 points) allows 10 - round(7,5) = 2 of 10 faults.
  r.points.passLevel = 2;
  s = State(0, 8);
  EXPECT_EQ(EvaluateState(s, Sheet("2"), r, kNow, trace).outcome, Evaluation::Passed);
  s = State(0, 8);
  EXPECT_EQ(EvaluateState(s, Sheet("3"), r, kNow, trace).outcome, Evaluation::Failed);
}

TEST(EvaluateStateTest, AnUnfinishedSheetStaysTheOpenSheetAndMovesNothing) {
  ProgressState s = State(2, 8);
  s.MargeMin = 1;
  const ProgressRules r = Rules(3, 3, 3);
  TraceLog trace;
  EvaluationStep step = EvaluateState(s, Sheet("-1", 4), r, kNow, trace);
  EXPECT_EQ(step.outcome, Evaluation::StillOpen);
  EXPECT_EQ(step.written, kPosLastFileName | kPosFinishNextOK);
  EXPECT_EQ(s.QsRLastFileName, "plan");
  EXPECT_FALSE(s.QsRFinishNextOK);
  // Saved again (resumed, still unfinished): the same.
  step = EvaluateState(s, Sheet("-1", 6), r, kNow, trace);
  EXPECT_EQ(step.outcome, Evaluation::StillOpen);
  EXPECT_EQ(s.QsRLastFileName, "plan");
  EXPECT_FALSE(s.QsRFinishNextOK);
  EXPECT_EQ(s.StartPos, 2);
  EXPECT_EQ(s.MargeMin, 1);
  // Another run of the sheet is not the open sheet: not evaluated even when complete.
  step = EvaluateState(s, Sheet("0", 10, 10, "plan #01"), r, kNow, trace);
  EXPECT_EQ(step.outcome, Evaluation::StillOpen);
  EXPECT_EQ(s.QsRLastFileName, "plan");
  // The open sheet completed: evaluated.
  step = EvaluateState(s, Sheet("0"), r, kNow, trace);
  EXPECT_EQ(step.outcome, Evaluation::Passed);
  EXPECT_EQ(s.StartPos, 3);
}

TEST(EvaluateStateTest, AllFieldsCorrectWaitsForEveryAnswerRight) {
  ProgressRules r = Rules(3, 3, 3);
  r.allFieldsCorrect = true;
  TraceLog trace;
  ProgressState s = State(0, 8);
  EXPECT_EQ(EvaluateState(s, Sheet("1", 9, 10), r, kNow, trace).outcome, Evaluation::StillOpen);
  EXPECT_EQ(EvaluateState(s, Sheet("1", 10, 10), r, kNow, trace).outcome, Evaluation::Passed);
}

TEST(EvaluateStateTest, FaultsThatAreNoNumberAndStatesWithoutPlanChangeNothing) {
  const ProgressRules r = Rules(3, 3, 3);
  for (const std::string faults : {"", "x", "1,5", "1-"}) {
    ProgressState s = State(2, 8);
    const ProgressState before = s;
    TraceLog trace;
    trace.SwitchOn();
    const EvaluationStep step = EvaluateState(s, Sheet(faults), r, kNow, trace);
    EXPECT_EQ(step.outcome, Evaluation::NotANumber) << faults;
    EXPECT_EQ(step.written, 0u);
    EXPECT_EQ(s, before);
    ASSERT_EQ(trace.Lines().size(), 1u);
    EXPECT_EQ(trace.Lines()[0], "Error:3456853;sg_FirstExResult: is not a Number for file: plan");
  }
  ProgressState s = State(2, 8);
  s.STPFileName.clear();
  TraceLog trace;
  trace.SwitchOn();
  EXPECT_EQ(EvaluateState(s, Sheet("0"), r, kNow, trace).outcome, Evaluation::NoPlan);
  EXPECT_EQ(trace.Lines().back(), "Error:738846 Var for path with SNI is empty...");
}

TEST(EvaluateStateTest, MergedSheetsRepeatUntilPassedTwiceAndTheThirdFailureMovesBack) {
  const ProgressRules r = Rules(3, 2, 3);  // G = 4
  TraceLog trace;
  ProgressState s = State(5, 8);
  s.MargeMin = 2;
  ProgressRules strict = r;
  strict.points.alwaysContinue = false;

  // Passed once: asked again.
  EvaluationStep step = EvaluateState(s, Sheet("0"), strict, kNow, trace);
  EXPECT_TRUE(step.mergeSheet);
  EXPECT_EQ(s.MargeAskAgain, 1);
  EXPECT_EQ(s.MargeMin, 2);
  EXPECT_EQ(s.StartPos, 5);
  // Failed: the pass count starts again, the window stays.
  EvaluateState(s, Sheet("9"), strict, kNow, trace);
  EXPECT_EQ(s.MargeAskAgain, 0);
  EXPECT_EQ(s.MargeMaxFault, 1);
  EXPECT_FALSE(s.DirUpDown);
  EvaluateState(s, Sheet("9"), strict, kNow, trace);
  EXPECT_EQ(s.MargeMaxFault, 2);
  EXPECT_EQ(s.StartPos, 5);
  EXPECT_EQ(s.MargeMin, 2);
  // The third failure in a row: G titles back, a fresh start of the counts.
  EvaluateState(s, Sheet("9"), strict, kNow, trace);
  EXPECT_EQ(s.StartPos, 1);
  EXPECT_EQ(s.MargeMin, 0);
  EXPECT_EQ(s.MargeMaxFault, 0);
  EXPECT_EQ(s.MargeAskAgain, 0);

  // Passed twice in a row: ordinary sheets again.
  s = State(5, 8);
  s.MargeMin = 2;
  s.MargeMaxFault = 1;
  EvaluateState(s, Sheet("0"), strict, kNow, trace);
  EXPECT_EQ(s.MargeMaxFault, 0);
  EvaluateState(s, Sheet("0"), strict, kNow, trace);
  EXPECT_EQ(s.MargeAskAgain, 2);
  EXPECT_EQ(s.MargeMin, 0);
  EXPECT_EQ(s.StartPos, 5);
  EXPECT_TRUE(s.DirUpDown);

  // A third failure near the start does not go below 0.
  s = State(2, 8);
  s.MargeMin = 2;
  s.MargeMaxFault = 2;
  EvaluateState(s, Sheet("9"), strict, kNow, trace);
  EXPECT_EQ(s.StartPos, 0);
}

TEST(EvaluateStateTest, OnlyMergedSheetsStepByAWholeWindow) {
  ProgressRules r = Rules(3, 2, 3);
  r.forceMerge = true;
  r.points.alwaysContinue = false;
  TraceLog trace;
  // Passed twice: the window moves up by W, at most to the end of the plan.
  ProgressState s = State(3, 8);
  EvaluateState(s, Sheet("0"), r, kNow, trace);
  EXPECT_EQ(s.MargeMin, 2);  // every sheet is a merged one
  EvaluateState(s, Sheet("0"), r, kNow, trace);
  EXPECT_EQ(s.StartPos, 6);
  EXPECT_EQ(s.MargeAskAgain, 0);
  EvaluateState(s, Sheet("0"), r, kNow, trace);
  EvaluateState(s, Sheet("0"), r, kNow, trace);
  EXPECT_EQ(s.StartPos, 8);
  // Not started: the position starts at W.
  s = State(-1, 8);
  EvaluateState(s, Sheet("0"), r, kNow, trace);
  EXPECT_EQ(s.StartPos, 3);
  // The third failure: W back, never below W.
  s = State(7, 8);
  s.MargeMaxFault = 2;
  EvaluateState(s, Sheet("9"), r, kNow, trace);
  EXPECT_EQ(s.StartPos, 4);
  s = State(4, 8);
  s.MargeMaxFault = 2;
  EvaluateState(s, Sheet("9"), r, kNow, trace);
  EXPECT_EQ(s.StartPos, 3);
}

// --- The next sheet -----------------------------------------------------------------------------

TEST(PlanNextSheetTest, AllPassedWithMergeAfterTwoWalksTheWholePlan) {
  // W = 3, M = 2 (G = 4), Q = 3, five titles, every sheet passed.
  ProgressRules r = Rules(3, 2, 3);
  ProgressState s = State(-1, 5);
  TraceLog trace;
  using K = NextSheet::Kind;
  struct Step {
    K kind;
    int first;
  } expected[] = {
      {K::Ordinary, 0}, {K::Ordinary, 1}, {K::Merge, 0},    {K::Merge, 0},    {K::Ordinary, 2},
      {K::Ordinary, 2}, {K::Merge, 1},    {K::Merge, 1},    {K::Ordinary, 2}, {K::Ordinary, 2},
      {K::Merge, 1},    {K::Merge, 1},    {K::Finished, 0},
  };
  int n = 0;
  for (const Step& e : expected) {
    const NextSheet next = PlanNextSheet(s, r, false);
    ASSERT_EQ(next.kind, e.kind) << "sheet " << n;
    if (next.kind == K::Finished) break;
    EXPECT_EQ(next.first, e.first) << "sheet " << n;
    EXPECT_EQ(next.titles, e.kind == K::Merge ? 4 : 3);
    EXPECT_EQ(next.perTitle, 3);
    EXPECT_EQ(next.written, 0u);
    EvaluateState(s, Sheet("0", 10, 10, "run" + std::to_string(n)), r, kNow, trace);
    ++n;
  }
  RestartProgress(s, kNow);
  EXPECT_EQ(s.StartPos, -1);
  EXPECT_EQ(s.FinishCount, 1);
  const NextSheet again = PlanNextSheet(s, r, false);
  EXPECT_EQ(again.kind, K::Ordinary);
  EXPECT_EQ(again.first, 0);
}

TEST(PlanNextSheetTest, TheOpenSheetIsResumedOrRolledBackWhenItsResultVanished) {
  const ProgressRules r = Rules(3, 2, 3);
  ProgressState s = State(4, 8);
  s.QsRFinishNextOK = false;
  s.QsRLastFileName = "plan #02";
  s.MargeMin = 1;
  EXPECT_EQ(PlanNextSheet(s, r, true).kind, NextSheet::Kind::Resume);
  EXPECT_EQ(s.StartPos, 4);

  struct Case {
    int startPos, margeMin, newStart;
  } cases[] = {{4, 1, 1}, {4, 2, 0}, {6, 2, 2}, {2, 0, 0}, {-1, 0, 0}};
  for (const Case& c : cases) {
    s = State(c.startPos, 8);
    s.QsRFinishNextOK = false;
    s.QsRLastFileName = "plan #02";
    s.MargeMin = c.margeMin;
    s.MargeAskAgain = 1;
    const NextSheet next = PlanNextSheet(s, r, false);
    EXPECT_TRUE(next.rolledBack);
    EXPECT_EQ(s.StartPos, c.newStart) << c.startPos << " " << c.margeMin;
    EXPECT_EQ(s.QsRLastFileName, "Del");
    EXPECT_TRUE(s.QsRFinishNextOK);
    EXPECT_FALSE(s.DirUpDown);
    EXPECT_EQ(s.MargeMin, 0);
    EXPECT_EQ(next.written,
              kPosLastFileName | kPosStartPos | kPosFinishNextOK | kPosDirUpDown | kPosMargeMin);
    EXPECT_EQ(next.kind, NextSheet::Kind::Ordinary);
    EXPECT_EQ(next.first, c.newStart);
  }
}

TEST(PlanNextSheetTest, TheEndOfThePlan) {
  struct Case {
    const char* what;
    bool acceptMerge;
    int startPos, askAgain;
    NextSheet::Kind kind;
    int first;
  } cases[] = {
      {"last window", true, 4, 0, NextSheet::Kind::Ordinary, 2},
      {"past the end, merges to come", true, 5, 0, NextSheet::Kind::Ordinary, 2},
      {"past the end, merges done", true, 5, 2, NextSheet::Kind::Finished, 0},
      {"no merging: the position decides", false, 5, 0, NextSheet::Kind::Finished, 0},
      {"no merging: before the end", false, 4, 2, NextSheet::Kind::Ordinary, 2},
  };
  for (const Case& c : cases) {
    ProgressRules r = Rules(3, 2, 3);
    r.acceptMerge = c.acceptMerge;
    ProgressState s = State(c.startPos, 5);
    s.MargeAskAgain = c.askAgain;
    const NextSheet next = PlanNextSheet(s, r, false);
    EXPECT_EQ(next.kind, c.kind) << c.what;
    if (c.kind != NextSheet::Kind::Finished) {
      EXPECT_EQ(next.first, c.first) << c.what;
    }
  }
  // A plan shorter than a window starts at its first title.
  ProgressState s = State(0, 2);
  const NextSheet next = PlanNextSheet(s, Rules(3, 2, 3), false);
  EXPECT_EQ(next.first, 0);
}

TEST(PlanNextSheetTest, AStateThatNamesNoOpenResultStillMovesOn) {
  // Written by nobody but a damaged file: a sheet open without its name.
  ProgressState s = State(1, 8);
  s.QsRFinishNextOK = false;
  const NextSheet next = PlanNextSheet(s, Rules(3, 2, 3), false);
  EXPECT_EQ(next.kind, NextSheet::Kind::Ordinary);
  EXPECT_EQ(next.first, 1);
  EXPECT_FALSE(next.rolledBack);
}

// --- With files ---------------------------------------------------------------------------------

// Five titles of three fixed sums each; title k asks k + 1, k + 2 and k + 3.
std::string StepsBookSource() {
  std::string source =
      "book: Steps\nheader: Ver.A 1.0;Steps;00000000;UP.Y\nscramble: no\n\nlevel 1: One\n";
  for (int k = 1; k <= 5; ++k) {
    const std::string n = std::to_string(k);
    source += "title: Title " + n + "\n  example: Sums of " + n +
              "\n  quantity: 3\n  levelkey: " + n + "0\n";
    for (int j = 1; j <= 3; ++j)
      source += "  > " + n + " + " + std::to_string(j) + " = {" + std::to_string(k + j) + "}\n";
  }
  return source;
}

// A user with a progressive practice of the five titles (W = 2, M = 2, Q = 2, pass level 2,
// always continue off), the session to practise its sheets, and the evaluation hook.
struct ProgressFixture : SessionFixture {
  std::string book;
  std::string plan;
  std::string state;
  ProgressEvaluation hook;

  ProgressFixture() : hook(tc.ctx, user) {
    book = tc.ctx.folders.booksDir + "Steps.IDX";
    WriteBuiltBook(book, BuildBook(StepsBookSource(), "steps.book", ""), false);
    plan = user + "Qst/Steps/BL/plan.STP";
    state = StatePathOf(plan);
    TraceLog trace;
    const std::vector<std::string> titles = LevelWideTitles(book, "1", "", trace);
    WriteProgressFile(tc.ctx, plan, {book, "Steps", "One", "Ver.A 1.0;Steps;00000000;UP.Y"}, titles,
                      true);
    store.SetInt("UpDo_stpNbrTitre", 2);
    store.SetInt("UpDo_stpMergeAfter", 2);
    store.SetInt("UpDo_stpNbrQstParTitre", 2);
    store.SetBool("Cb_AlwaysContinueEvByFail", false);
    WriteSettings(tc.ctx, user, kMasterIni);
    session.SetProgressHook(&hook);
  }

  Continuation Continue() { return ContinueProgress(tc.ctx, "pupil", plan); }

  // Opens the generated sheet fresh and answers it: right, or with `wrong` fields answered
  // wrong first; unfinished leaves the last field empty.
  LeaveReport Practise(int wrong = 0, bool unfinished = false) {
    EXPECT_TRUE(session.OpenFresh(SheetPathOf(plan), "p"));
    return Answer(wrong, unfinished);
  }
  LeaveReport Answer(int wrong, bool unfinished) {
    const std::vector<TG_EdRTrue> expected = session.Editor().ExpectedAnswers();
    for (std::size_t k = 0; k < expected.size(); ++k) {
      if (unfinished && k + 1 == expected.size()) break;
      if (static_cast<int>(k) < wrong) SessionFixture::Answer(static_cast<int>(k), "0");
      SessionFixture::Answer(static_cast<int>(k), expected[k].Expected);
    }
    return session.Leave();
  }
  ProgressState Pos() const { return ReadProgressState(state, ProgressDefaults({})); }
  // The titles of the current sheet by their headings.
  std::vector<std::string> Headings() const {
    std::vector<std::string> out;
    for (const std::string& line : Lines(SheetPathOf(plan))) {
      if (line.rfind("#ChB$", 0) == 0) out.push_back(line.substr(5));
    }
    return out;
  }
};

TEST(ContinueProgressTest, SheetsArePractisedEvaluatedAndFollowedByTheNext) {
  ProgressFixture f;
  Continuation c = f.Continue();
  ASSERT_EQ(c.code, kContinueNewSheet);
  EXPECT_EQ(c.sheetPath, SheetPathOf(f.plan));
  EXPECT_EQ(f.Headings(), (std::vector<std::string>{"Sums of 1", "Sums of 2"}));
  EXPECT_EQ(f.Lines(c.sheetPath)[1], "#[0/0/2/-1;p;0;0]");
  EXPECT_EQ(IniReadString(f.user + "LastuFile.ini", "Last Input", "Nom 2", ""), c.sheetPath);

  // Passed: saved complete, counted, one title up.
  LeaveReport report = f.Practise();
  EXPECT_EQ(report.kind, "S");
  EXPECT_TRUE(report.statisticsRecorded);
  ProgressState pos = f.Pos();
  EXPECT_EQ(pos.StartPos, 1);
  EXPECT_EQ(pos.MargeMin, 1);
  EXPECT_TRUE(pos.QsRFinishNextOK);
  EXPECT_TRUE(pos.DirUpDown);
  EXPECT_EQ(pos.LastDate, f.tc.clock.Now());

  ASSERT_EQ(f.Continue().code, kContinueNewSheet);
  EXPECT_EQ(f.Headings(), (std::vector<std::string>{"Sums of 2", "Sums of 3"}));
  // Failed (3 of 4 wrong at the first attempt, 1 allowed): one title back.
  report = f.Practise(3);
  EXPECT_EQ(report.faults, "3");
  pos = f.Pos();
  EXPECT_EQ(pos.StartPos, 0);
  EXPECT_EQ(pos.MargeMin, 0);
  EXPECT_FALSE(pos.DirUpDown);

  // Passed twice: a merged sheet of G = 3 titles, 2 x 2 / 3 = 1 (+1) question each, mixed.
  f.Continue();
  f.Practise();
  f.Continue();
  f.Practise();
  EXPECT_EQ(f.Pos().MargeMin, 2);
  c = f.Continue();
  ASSERT_EQ(c.code, kContinueNewSheet);
  EXPECT_EQ(c.plan.kind, NextSheet::Kind::Merge);
  EXPECT_EQ(f.Headings(), (std::vector<std::string>{"Sums of 1", "Sums of 2", "Sums of 3"}));
  EXPECT_EQ(c.questions, 6);
  EXPECT_EQ(f.Lines(c.sheetPath)[1], "#[0/0/2/-1;p;0;0]");
}

TEST(ContinueProgressTest, AnUnfinishedSheetIsResumedAndRolledBackWhenItsResultIsGone) {
  ProgressFixture f;
  f.Continue();
  f.Practise();
  f.Continue();
  f.Practise();
  f.Continue();  // a merged sheet
  LeaveReport report = f.Practise(0, true);
  EXPECT_EQ(report.kind, "p");
  EXPECT_FALSE(report.statisticsRecorded);
  ProgressState pos = f.Pos();
  EXPECT_FALSE(pos.QsRFinishNextOK);
  const std::string name = pos.QsRLastFileName;
  EXPECT_EQ(name, "plan #02");
  EXPECT_EQ(pos.StartPos, 2);

  // Picking the practice resumes the open sheet; saved unfinished again, nothing moves.
  Continuation c = f.Continue();
  ASSERT_EQ(c.code, kContinueResume);
  EXPECT_EQ(c.resultName, name);
  EXPECT_EQ(c.kind, "p");
  EXPECT_EQ(c.faults, "-1");
  ASSERT_TRUE(f.session.Resume(f.user + name + ".QsR"));
  EXPECT_EQ(f.session.Kind(), "p");
  f.session.Leave();
  EXPECT_EQ(f.Pos(), pos);

  // The result is deleted: one window back (MargeMin 2 = M: one title more) and a new sheet.
  ASSERT_TRUE(RemoveFile(f.user + name + ".QsR"));
  c = f.Continue();
  ASSERT_EQ(c.code, kContinueNewSheet);
  EXPECT_TRUE(c.plan.rolledBack);
  pos = f.Pos();
  EXPECT_EQ(pos.QsRLastFileName, "Del");
  EXPECT_EQ(pos.StartPos, 0);
  EXPECT_EQ(pos.MargeMin, 0);
  EXPECT_FALSE(pos.DirUpDown);
  EXPECT_TRUE(pos.QsRFinishNextOK);
  EXPECT_EQ(f.Headings(), (std::vector<std::string>{"Sums of 1", "Sums of 2"}));
}

TEST(ContinueProgressTest, TheEndOfThePlanOffersAFreshStart) {
  ProgressFixture f;
  IniWriteString(f.state, "Pos", "StartPos", "5");
  IniWriteString(f.state, "Pos", "MargeAskAgain", "2");
  const ProgressState before = f.Pos();

  f.tc.msgBox.QueueAnswer(kMsgCancel);
  Continuation c = f.Continue();
  EXPECT_EQ(c.code, kContinueEnd);
  EXPECT_FALSE(c.restarted);
  ASSERT_EQ(f.tc.msgBox.Shown().size(), 1u);
  EXPECT_EQ(f.tc.msgBox.Shown()[0].title, "Progress");
  EXPECT_EQ(f.tc.msgBox.Shown()[0].line1, "OK, reset and continue ..");
  EXPECT_EQ(f.Pos(), before);

  f.tc.clock.AdvanceSeconds(60);
  c = f.Continue();
  EXPECT_EQ(c.code, kContinueEnd);
  EXPECT_TRUE(c.restarted);
  const ProgressState pos = f.Pos();
  EXPECT_EQ(pos.FinishCount, 1);
  EXPECT_EQ(pos.StartPos, -1);
  EXPECT_EQ(pos.MargeAskAgain, 0);
  EXPECT_EQ(pos.QsRLastFileName, "");
  EXPECT_TRUE(pos.QsRFinishNextOK);
  EXPECT_EQ(pos.LastDate, f.tc.clock.Now());
  EXPECT_EQ(f.Continue().code, kContinueNewSheet);
  EXPECT_EQ(f.Headings(), (std::vector<std::string>{"Sums of 1", "Sums of 2"}));
}

TEST(ContinueProgressTest, TheProfileOfThePlanRulesAndTheUserSettingsComeBack) {
  ProgressFixture f;
  // The practice profile asks for three titles of one question.
  f.store.SetInt("UpDo_stpNbrTitre", 3);
  f.store.SetInt("UpDo_stpNbrQstParTitre", 1);
  WriteSettings(f.tc.ctx, GetFolderPart(f.plan), "plan.SQF");
  f.store.SetInt("UpDo_stpNbrTitre", 6);  // whatever is loaded before is replaced

  Continuation c = f.Continue();
  ASSERT_EQ(c.code, kContinueNewSheet);
  EXPECT_EQ(f.Headings().size(), 3u);
  EXPECT_EQ(c.questions, 3);
  EXPECT_EQ(f.store.GetInt("UpDo_stpNbrTitre"), 2);  // the user's own again
}

TEST(ContinueProgressTest, AMissingPlanRemovesItsStateAndAMissingBookStops) {
  ProgressFixture f;
  ASSERT_TRUE(RemoveFile(f.book));
  f.tc.ctx.trace.SwitchOn();
  Continuation c = f.Continue();
  EXPECT_EQ(c.code, kContinueNothing);
  EXPECT_TRUE(FileExists(f.state));
  EXPECT_FALSE(FileExists(SheetPathOf(f.plan)));

  ASSERT_TRUE(RemoveFile(f.plan));
  c = f.Continue();
  EXPECT_EQ(c.code, kContinueEnd);
  EXPECT_TRUE(c.removeFromList);
  EXPECT_FALSE(FileExists(f.state));
  EXPECT_EQ(f.tc.ctx.trace.Lines().back(), "Er09808236;  File not exist...");
}

TEST(ContinueProgressTest, DamagedStatesTakeTheDefaults) {
  ProgressFixture f;
  // Junk everywhere but the plan and its size: StartPos 1, nothing open (QsRFinishNextOK false
  // without a name), no merge counts.
  f.tc.dir.Write(f.state.substr(f.tc.dir.Path().size()),
                 "[Pos]\r\nSTPFileName=" + f.plan +
                     "\r\nStartPos=abc\r\nTotPosCount=5\r\nMargeMin=99999999999\r\n"
                     "MargeAskAgain=-\r\nQsRFinishNextOK=yes\r\nFinishCount=\r\n"
                     "DirUpDown=maybe\r\nLastDate=31/02/24 x\r\n");
  Continuation c = f.Continue();
  ASSERT_EQ(c.code, kContinueNewSheet);
  EXPECT_EQ(c.plan.kind, NextSheet::Kind::Ordinary);
  EXPECT_EQ(f.Headings(), (std::vector<std::string>{"Sums of 2", "Sums of 3"}));
  // Evaluated from there: the position read as 1 moves to 2.
  f.Practise();
  const ProgressState pos = f.Pos();
  EXPECT_EQ(pos.StartPos, 2);
  EXPECT_EQ(pos.MargeMin, 1);

  // A state file without [Pos] at all has no plan: removed from the list.
  f.tc.dir.Write(f.state.substr(f.tc.dir.Path().size()), "garbage\r\n\r\n");
  c = f.Continue();
  EXPECT_EQ(c.code, kContinueEnd);
  EXPECT_TRUE(c.removeFromList);
}

TEST(EvaluateProgressTest, ASheetOutsideTheUserDataIsNotFollowed) {
  ProgressFixture f;
  const std::string outside = f.tc.dir.Path() + "elsewhere/plan.QST";
  f.tc.dir.Write("elsewhere/plan.SNI", "[Pos]\r\nSTPFileName=x\r\nStartPos=3\r\n");
  std::string kind = "p";
  const EvaluationReport r =
      EvaluateProgress(f.tc.ctx, f.user, {outside, "plan", "0", Tally{0, 4, 4}}, kind);
  EXPECT_EQ(r.step.outcome, Evaluation::NoPlan);
  EXPECT_EQ(kind, "p");
  EXPECT_EQ(f.tc.dir.Read("elsewhere/plan.SNI"), "[Pos]\r\nSTPFileName=x\r\nStartPos=3\r\n");
}

}  // namespace
}  // namespace quillo
