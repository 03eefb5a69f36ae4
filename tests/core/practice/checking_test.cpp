// Tests of answer checking through the practice session: tally and status text, the four
// correction modes on Enter and on the Check button, the answer histories and fault counts, the
// correct answer shown after repeated faults, the jump to empty or wrong fields. Every test
// also replays the reported edits on mirrors of the two views.
#include "practice/checking.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "practice/practice_session.h"
#include "session_test_util.h"
#include "setup/settings_store.h"

namespace quillo {
namespace {

using test::SessionFixture;
using test::Shown;
using Strings = std::vector<std::string>;

const Strings kTwoFields = {"#ChB$Sums", "3 + 4 = {7}#EndLig$", "5 + 4 = {9}#EndLig$"};

PracticeRules NoAnswers() {
  PracticeRules rules;
  rules.showAnswer.enabled = false;
  return rules;
}

TEST(PracticeChecking, TallyStatusAndRightAnswers) {
  struct Case {
    std::string first, second;
    const char* tally;
    const char* status;
  };
  const Case cases[] = {
      {"", "", "2/0/2", "Still 2 to make (2)"},
      {"paris", "", "1/0/2", "Still 2 to make (2)"},
      {"Paris", "", "1/1/2", "Still 1 to make (2)"},
      {" Paris ", "7", "0/2/2", "Finished (2)"},
      {"Paris", "7 ", "0/2/2", "Finished (2)"},
      {"Paris", "07", "0/1/2", "Still 1 to make (2)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first + "|" + c.second);
    SessionFixture f;
    f.Open({"Capital: {Paris}", "Sum: { 7 }"}, CorrectionMode::A, NoAnswers());
    f.Type(0, c.first);
    f.Type(1, c.second);
    f.Apply(f.session.CheckButton());
    EXPECT_EQ(f.session.CurrentTally().Text(), c.tally);
    EXPECT_EQ(f.session.Status(), c.status);
    EXPECT_EQ(f.session.TimerRunning(), std::string(c.status).rfind("Still", 0) == 0);
    f.ExpectMirrorsMatch();
  }

  // A sheet without fields is finished at once and its clock never runs.
  SessionFixture f;
  f.Open({"Read this.", ""}, CorrectionMode::B);
  EXPECT_EQ(f.session.CurrentTally().Text(), "0/0/0");
  EXPECT_EQ(f.session.Status(), "Finished (0)");
  EXPECT_FALSE(f.session.TimerRunning());
  EXPECT_FALSE(f.session.Tick());
}

TEST(PracticeChecking, ModeAStaysOnWrongAnswersAndRecordsDistinctOnes) {
  SessionFixture f;
  f.Open(kTwoFields, CorrectionMode::A, NoAnswers());
  EXPECT_EQ(f.session.Buttons(), (ButtonStates{true, true, true}));

  f.Answer(0, "x");
  EXPECT_EQ(f.CaretField(), 0);
  EXPECT_EQ(f.Colours(), "r-");
  EXPECT_EQ(f.Histories(), (Strings{"x", ""}));
  EXPECT_EQ(f.Faults(), (std::vector<uint32_t>{1, 0}));
  EXPECT_EQ(f.session.Status(), "Still 2 to make (2)");

  // The same wrong answer with other capitals adds nothing and no fault.
  f.Answer(0, "X");
  EXPECT_EQ(f.Histories(), (Strings{"x", ""}));
  EXPECT_EQ(f.Faults(), (std::vector<uint32_t>{1, 0}));

  f.Answer(0, "y");
  f.Answer(0, "7");
  EXPECT_EQ(f.CaretField(), 1);
  EXPECT_EQ(f.Colours(), "g-");
  EXPECT_EQ(f.Histories(), (Strings{"x\xA6y\xA6"
                                    "7",
                                    ""}));
  EXPECT_EQ(f.Faults(), (std::vector<uint32_t>{2, 0}));
  // The separators are bold green, wrong entries red, right ones green.
  const SheetDocument& log = f.session.Editor().Log();
  const FieldSpan span = FieldSpanOf(log, 0);
  EXPECT_EQ(log.FormatAt(span.begin), kWrongText);
  EXPECT_EQ(log.FormatAt(span.begin + 1), kHistorySeparatorFormat);
  EXPECT_EQ(log.FormatAt(span.end - 1), kRightText);

  f.Answer(1, "9");
  EXPECT_EQ(f.session.Status(), "Finished (2)");
  EXPECT_FALSE(f.session.TimerRunning());
  EXPECT_EQ(f.Colours(), "gg");
  // A right answer after a wrong one with other capitals is still recorded.
  f.Answer(1, "Q");
  f.Answer(1, "9");
  EXPECT_EQ(f.Histories()[1],
            "9\xA6Q\xA6"
            "9");
  f.ExpectMirrorsMatch();
}

TEST(PracticeChecking, ModesBAndCColourNothingUntilEverythingIsRight) {
  for (CorrectionMode mode : {CorrectionMode::B, CorrectionMode::C}) {
    SCOPED_TRACE(ModeLetter(mode));
    SessionFixture f;
    f.Open(kTwoFields, mode);
    EXPECT_EQ(f.session.Buttons().checkEnabled, mode == CorrectionMode::C);
    EXPECT_FALSE(f.session.Buttons().logVisible);
    EXPECT_EQ(f.session.Status(), "");

    f.Answer(0, "x");
    EXPECT_EQ(f.CaretField(), 1);  // moves on over a wrong answer
    f.Answer(1, "9");
    f.Apply(f.session.CheckButton());
    EXPECT_EQ(f.Colours(), "bb");
    EXPECT_EQ(f.Histories(), (Strings{"", ""}));
    EXPECT_EQ(f.session.Status(), "Still 1 to make (2)");  // every field is filled
    EXPECT_TRUE(f.session.TimerRunning());

    f.Answer(0, "7");
    EXPECT_EQ(f.Colours(), "gg");
    EXPECT_EQ(f.Histories(), (Strings{"7", "9"}));
    EXPECT_EQ(f.session.Status(), "Finished (2)");
    EXPECT_FALSE(f.session.TimerRunning());
    EXPECT_FALSE(f.session.Buttons().logVisible);
    f.ExpectMirrorsMatch();
  }
}

TEST(PracticeChecking, ModeDCorrectsOnceEveryFieldIsFilled) {
  SessionFixture f;
  f.Open(kTwoFields, CorrectionMode::D, NoAnswers());
  EXPECT_EQ(f.session.Buttons(), (ButtonStates{true, false, false}));

  f.Answer(0, "x");
  EXPECT_EQ(f.CaretField(), 1);
  EXPECT_EQ(f.Colours(), "b-");
  EXPECT_FALSE(f.session.Buttons().logVisible);

  f.Answer(1, "8");
  EXPECT_EQ(f.Colours(), "br");  // the last field filled is coloured
  EXPECT_TRUE(f.session.Buttons().logVisible);
  EXPECT_TRUE(f.session.Buttons().jumpToWrongEnabled);
  EXPECT_EQ(f.session.Status(), "Still 2 to make (2)");
  EXPECT_EQ(f.Histories(), (Strings{"x", "8"}));

  f.Apply(f.session.CheckButton());
  EXPECT_EQ(f.Colours(), "rr");
  f.ExpectMirrorsMatch();
}

TEST(PracticeChecking, CorrectAnswerShownOnceAtTheSetNumberOfDistinctWrongAnswers) {
  SessionFixture f;
  PracticeRules rules;
  rules.showAnswer = {true, 2};
  f.Open(kTwoFields, CorrectionMode::A, rules);
  const std::string untouched = Shown(f.session.Editor().Sheet());

  f.Answer(0, "x");
  f.Answer(0, "x");  // the same answer again is no second wrong answer
  f.Answer(0, "X");
  EXPECT_EQ(Shown(f.session.Editor().Sheet()).find(" # "), std::string::npos);

  f.Answer(0, "y");
  const SheetDocument& sheet = f.session.Editor().Sheet();
  const std::string shown = Shown(sheet);
  const std::size_t at = shown.find("> # 7");
  ASSERT_NE(at, std::string::npos) << shown;
  EXPECT_EQ(sheet.FormatAt(static_cast<int>(at) + 1), kShownAnswerText);
  EXPECT_EQ(f.session.Editor().ExpectedAnswers()[0].AnswerShown, 1);
  EXPECT_EQ(f.Faults()[0], 2u);

  f.Answer(0, "z");
  const std::string again = Shown(f.session.Editor().Sheet());
  EXPECT_EQ(again.find(" # 7"), again.rfind(" # 7"));
  EXPECT_EQ(f.CaretField(), 0);
  // The insert stands outside the fields: answers and later fields are unchanged.
  f.Answer(0, "7");
  f.Answer(1, "9");
  EXPECT_EQ(f.session.CurrentTally().Text(), "0/2/2");
  f.ExpectMirrorsMatch();

  // Switched off, nothing is ever shown.
  SessionFixture off;
  off.Open(kTwoFields, CorrectionMode::A, NoAnswers());
  for (const char* wrong : {"a", "b", "c", "d", "e"}) off.Answer(0, wrong);
  EXPECT_EQ(Shown(off.session.Editor().Sheet()).find(" # "), std::string::npos);
  EXPECT_NE(untouched.find("<|  |>"), std::string::npos);
}

TEST(PracticeChecking, GoToEmptyOrWrong) {
  const Strings lines = {"Title", "a {1}", "b {2}", "c {3}"};
  struct Case {
    const char* what;
    CorrectionMode mode;
    Strings answers;  // typed without Enter, then the Check button
    JumpTarget target;
    int field;
  };
  const Case cases[] = {
      {"first empty field", CorrectionMode::A, {"1", "", "x"}, JumpTarget::EmptyField, 1},
      {"wrong field in mode A", CorrectionMode::A, {"1", "2", "x"}, JumpTarget::WrongField, 2},
      {"no wrong jump in mode B", CorrectionMode::B, {"1", "2", "x"}, JumpTarget::Finished, -2},
      {"no wrong jump in mode C", CorrectionMode::C, {"1", "x", "3"}, JumpTarget::Finished, -2},
      {"wrong field in mode D once filled",
       CorrectionMode::D,
       {"1", "x", "3"},
       JumpTarget::WrongField,
       1},
      {"all right", CorrectionMode::A, {"1", "2", "3"}, JumpTarget::Finished, -2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SessionFixture f;
    f.Open(lines, c.mode);
    for (int k = 0; k < 3; ++k) f.Type(k, c.answers[static_cast<std::size_t>(k)]);
    f.Apply(f.session.CheckButton());
    f.session.Editor().GoToField(0);
    const int caretBefore = f.session.Editor().Caret();
    JumpTarget target = JumpTarget::Stayed;
    SessionChange change = f.session.GoToEmptyOrWrong(0, &target);
    EXPECT_EQ(target, c.target);
    if (c.field >= 0) {
      EXPECT_EQ(f.CaretField(), c.field);
      // The caret's line (field k stands on line k + 1) becomes the second visible line.
      EXPECT_EQ(change.scrollLines, c.field);
    } else {
      EXPECT_EQ(f.session.Editor().Caret(), caretBefore);
      ASSERT_EQ(f.tc.msgBox.Shown().size(), 1u);
      EXPECT_EQ(f.tc.msgBox.Shown()[0].title, "Info");
      EXPECT_EQ(f.tc.msgBox.Shown()[0].line1, "Finish");
    }
  }

  // Standing in an empty field on the second visible line, nothing moves.
  SessionFixture f;
  f.Open(lines, CorrectionMode::A);
  f.session.Editor().GoToField(1);
  const int caret = f.session.Editor().Caret();
  JumpTarget target = JumpTarget::EmptyField;
  SessionChange change = f.session.GoToEmptyOrWrong(1, &target);
  EXPECT_EQ(target, JumpTarget::Stayed);
  EXPECT_EQ(change.caret, caret);
  EXPECT_EQ(change.scrollLines, 0);
}

TEST(PracticeChecking, CheckButtonNeedsChangedAnswersAndTheMode) {
  SessionFixture f;
  f.Open(kTwoFields, CorrectionMode::A, NoAnswers());
  EXPECT_TRUE(f.session.CheckButton().sheetEdits.empty());
  f.Type(0, "7");
  f.Type(1, "1");
  EXPECT_TRUE(f.session.Editor().AnswersChanged());
  SessionChange change = f.session.CheckButton();
  f.Apply(change);
  EXPECT_EQ(change.sheetEdits.size(), 2u);
  EXPECT_EQ(f.Colours(), "gr");
  EXPECT_FALSE(f.session.Editor().AnswersChanged());
  EXPECT_TRUE(f.session.CheckButton().sheetEdits.empty());
  f.ExpectMirrorsMatch();

  // Mode B has no Check button.
  SessionFixture b;
  b.Open(kTwoFields, CorrectionMode::B);
  b.Type(0, "7");
  b.Type(1, "9");
  const Tally before = b.session.CurrentTally();
  EXPECT_TRUE(b.session.CheckButton().sheetEdits.empty());
  EXPECT_EQ(b.session.CurrentTally(), before);
}

TEST(PracticeChecking, ButtonsPerModeAndModeFromSettings) {
  EXPECT_EQ(ButtonsForMode(CorrectionMode::A), (ButtonStates{true, true, true}));
  EXPECT_EQ(ButtonsForMode(CorrectionMode::B), (ButtonStates{false, false, true}));
  EXPECT_EQ(ButtonsForMode(CorrectionMode::C), (ButtonStates{true, false, true}));
  EXPECT_EQ(ButtonsForMode(CorrectionMode::D), (ButtonStates{true, false, false}));

  test::TestContext tc;
  EXPECT_EQ(CorrectionModeOf(tc.ctx), CorrectionMode::A);  // no store: the read defaults
  SettingsStore store;
  tc.ctx.settings = &store;
  const char* keys[] = {"Rb1_PerCor", "Rb2_PerCor", "Rb3_PerCor", "Rb4_PerCor"};
  for (int i = 0; i < 4; ++i) {
    store.SetBool(keys[i], true);
    EXPECT_EQ(CorrectionModeOf(tc.ctx), static_cast<CorrectionMode>(i));
  }
  store.SetBool("Rb4_PerCor", false);  // no choice at all reads as the first mode
  EXPECT_EQ(CorrectionModeOf(tc.ctx), CorrectionMode::A);
}

TEST(PracticeChecking, HistoryEntries) {
  EXPECT_EQ(HistoryEntries(""), Strings{""});
  EXPECT_EQ(HistoryEntries("x"), Strings{"x"});
  EXPECT_EQ(HistoryEntries("x\xA6"
                           "7"),
            (Strings{"x", "7"}));
  EXPECT_EQ(HistoryEntries("\xA6"), (Strings{"", ""}));
}

}  // namespace
}  // namespace quillo
