#include "followup/followup_lists.h"

#include <gtest/gtest.h>

#include "books/sheet_files.h"
#include "followup_test_util.h"
#include "setup/settings_store.h"
#include "shell/ini_file.h"

namespace quillo {
namespace {

using test::DaysBefore;
using test::ResultText;
using test::SetFileTime;

// Lists without automatic deletion, on a points scale of 6.
FollowUpSettings Quiet(CorrectionMode mode = CorrectionMode::A) {
  FollowUpSettings s;
  s.deleteFinished = s.deleteUnfinished = s.deleteCreated = false;
  s.mode = mode;
  s.points.scale = 6;
  return s;
}

struct FollowUpFixture {
  test::TestContext tc;
  std::string user = tc.ctx.folders.UserFolder("pupil");

  FollowUpFixture() { EnsureFolder(user); }
  std::string Write(const std::string& name, const std::string& content) {
    return tc.dir.Write(user.substr(tc.dir.Path().size()) + name, content);
  }
  std::string Result(const std::string& name, const std::string& statusLine) {
    return Write(name + ".QsR", ResultText(statusLine));
  }
  const InspectRow* Row(const InspectList& list, const std::string& name) const {
    for (const InspectRow& r : list.rows) {
      if (r.name == name) return &r;
    }
    return nullptr;
  }
};

TEST(FillResultsTest, RowsShowStatusColourPointsAndPicture) {
  struct Case {
    const char* line2;
    CorrectionMode mode;
    const char* status;
    RowColour colour;
    const char* points;
    int picture;
  } cases[] = {
      {"#[0/7/7/0;S;95;1]", CorrectionMode::A, "Finished", RowColour::Green, " Points 6 [7]", 0},
      {"#[0/7/7/2;S;120;1]", CorrectionMode::A, "Finished (2)", RowColour::Green, " Points 4 [7]",
       2},
      {"#[3/2/7/-1;s;40;1]", CorrectionMode::A, "Still 3 Question(s)", RowColour::Purple,
       " Points ? [7]", 5},
      {"#[0/5/7/2;s;60;2]", CorrectionMode::A, "Improve ( 2 Fault )", RowColour::Red,
       " Points 4 [7]", 6},
      {"#[0/5/7/2;s;60;2]", CorrectionMode::B, "Finished (2)", RowColour::Green, " Points 4 [7]",
       2},
      // Improving a sheet whose first-try faults are unknown counts the wrong answers.
      {"#[0/4/7/-1;s;60;2]", CorrectionMode::A, "Improve ( 3 Fault )", RowColour::Red,
       " Points 3 [7]", 6},
      // "New.." replaces "Still" when every field is empty.
      {"#[7/0/7/-1;s;30;1]", CorrectionMode::A, "New..", RowColour::Black, " Points ? [7]", 5},
      {"#[1/0/7/-1;r;0;0]", CorrectionMode::A, "Revise", RowColour::Black, " Points ? [7]", 5},
      // A saved sheet nobody worked on: "Er-Revision..", then no status at all.
      {"#[7/0/7/-1;s;0;0]", CorrectionMode::A, "", RowColour::Black, " Points ? [7]", 5},
      {"#[7/0/7/-1;s;0;1]", CorrectionMode::A, "Er-Revision..", RowColour::Black, " Points ? [7]",
       5},
      {"#[0/7/7/0;R;50;1]", CorrectionMode::A, "r Finished", RowColour::Green, " Points 6 [7]", 0},
      {"#[0/7/7/1;X;50;3]", CorrectionMode::A, "x Finished (1)", RowColour::Green, " Points 5 [7]",
       1},
  };
  for (const Case& c : cases) {
    FollowUpFixture f;
    f.Result("sums", c.line2);
    const InspectList list = FillResults(f.tc.ctx, f.user, Quiet(c.mode));
    ASSERT_EQ(list.rows.size(), 1u) << c.line2;
    const InspectRow& r = list.rows[0];
    EXPECT_EQ(r.name, "sums");
    EXPECT_EQ(r.status, c.status) << c.line2;
    EXPECT_EQ(r.colour, c.colour) << c.line2;
    EXPECT_EQ(r.points, c.points) << c.line2;
    EXPECT_EQ(r.picture, c.picture) << c.line2;
    EXPECT_EQ(r.key, "Arithmetic;Additions");
    EXPECT_TRUE(r.newest);
  }
  FollowUpFixture f;
  f.Result("sums", "#[0/7/7/2;S;3725;4]");
  const InspectRow& r = FillResults(f.tc.ctx, f.user, Quiet()).rows[0];
  EXPECT_EQ(r.duration, "01:02:05");
  EXPECT_EQ(r.start, "4");
  EXPECT_EQ(r.kind, "S");
  EXPECT_EQ(r.faults, "2");
  EXPECT_EQ(DurationText(360000), "100:00:00");
}

TEST(FillResultsTest, DamagedResultsAreReportedAndDeleted) {
  FollowUpFixture f;
  f.tc.ctx.trace.SwitchOn();
  const std::string small = f.Write("small.QsR", std::string(50, 'x'));
  const std::string empty = f.Result("empty", "#[0/0/0/-1;s;5;1]");
  const std::string letters = f.Result("letters", "#[a/b/7/0;S;5;1]");
  const std::string good = f.Result("good", "#[0/7/7/0;S;5;1]");
  const InspectList list = FillResults(f.tc.ctx, f.user, Quiet());
  ASSERT_EQ(list.rows.size(), 1u);
  EXPECT_EQ(list.rows[0].name, "good");
  EXPECT_FALSE(FileExists(small));
  EXPECT_FALSE(FileExists(empty));
  EXPECT_FALSE(FileExists(letters));
  ASSERT_EQ(list.deleted.size(), 3u);
  for (const DeletedResult& d : list.deleted) EXPECT_TRUE(d.damaged);
  const auto& shown = f.tc.msgBox.Shown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].title, "Info");
  EXPECT_EQ(shown[0].line1, "Practice is corrupt, is now deleted !");
  EXPECT_EQ(shown[0].line2, "empty.QsR [0/0/0/-1;s;5;1] empty 0/0/0/-1");
  EXPECT_EQ(shown[2].line2, "small.QsR [File Size Corrupt...] small");
  const auto& trace = f.tc.ctx.trace.Lines();
  EXPECT_NE(std::find(trace.begin(), trace.end(), "Error: File is corrupt, is now deleted..."),
            trace.end());
}

TEST(FillResultsTest, OldResultsAreDeletedByTheirRuleAndARevisionTakesTheirPlace) {
  FollowUpFixture f;
  const DateTime now = f.tc.clock.Now();
  const std::string finished = f.Result("done", "#[0/7/7/1;S;50;1]");
  const std::string revision = f.Write("done.QsV", ResultText("#[1/0/1/-1;r;0;0]"));
  const std::string open = f.Result("open", "#[2/5/7/-1;s;50;1]");
  const std::string created = f.Result("created", "#[7/0/7/-1;s;0;0]");
  for (const std::string& p : {finished, revision, open, created})
    SetFileTime(p, DaysBefore(now, 0.25));

  // 0 days: every finished result goes, its revision is listed in its place.
  FollowUpSettings s = Quiet();
  s.deleteFinished = true;
  s.finishedDays = 0;
  InspectList list = FillResults(f.tc.ctx, f.user, s);
  EXPECT_FALSE(FileExists(revision));
  ASSERT_TRUE(FileExists(finished));
  ASSERT_EQ(list.deleted.size(), 1u);
  EXPECT_EQ(list.deleted[0].reason, "finished");
  EXPECT_TRUE(list.deleted[0].revisionTookPlace);
  const InspectRow* row = f.Row(list, "done");
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->status, "Revise");
  EXPECT_EQ(row->kind, "r");
  EXPECT_EQ(list.rows.size(), 3u);

  // Unfinished and never used results by their own rules and days.
  s = Quiet();
  s.deleteUnfinished = true;
  s.unfinishedDays = 1;
  s.deleteCreated = true;
  s.createdDays = 0;
  list = FillResults(f.tc.ctx, f.user, s);
  EXPECT_TRUE(FileExists(open));
  EXPECT_FALSE(FileExists(created));
  SetFileTime(open, DaysBefore(now, 1.5));
  FillResults(f.tc.ctx, f.user, s);
  EXPECT_FALSE(FileExists(open));
}

TEST(DeleteByAgeTest, WholeDaysBetweenTheFileTimeAndNow) {
  struct Case {
    double age;
    int days;
    bool deleted;
  } cases[] = {{3.04, 3, true}, {3.04, 4, false}, {2.9, 3, false}, {0.1, 0, true}, {0.1, 1, false}};
  for (const Case& c : cases) {
    FollowUpFixture f;
    const std::string path = f.Result("old", "#[0/7/7/0;S;5;1]");
    SetFileTime(path, DaysBefore(f.tc.clock.Now(), c.age));
    EXPECT_EQ(DeleteByAge(f.tc.ctx, path, c.days), c.deleted) << c.age << " " << c.days;
    EXPECT_EQ(FileExists(path), !c.deleted);
  }
}

TEST(FillResultsTest, TheNewestResultIsMarked) {
  FollowUpFixture f;
  const DateTime now = f.tc.clock.Now();
  SetFileTime(f.Result("a", "#[0/7/7/0;S;5;1]"), DaysBefore(now, 0.3));
  SetFileTime(f.Result("b", "#[0/7/7/0;S;5;1]"), DaysBefore(now, 0.1));
  SetFileTime(f.Result("c", "#[0/7/7/0;S;5;1]"), DaysBefore(now, 0.2));
  const InspectList list = FillResults(f.tc.ctx, f.user, Quiet());
  ASSERT_EQ(list.rows.size(), 3u);
  EXPECT_EQ(list.newest, 1);
  EXPECT_EQ(list.rows[1].name, "b");
  EXPECT_TRUE(list.rows[1].newest);
  EXPECT_FALSE(list.rows[0].newest);
}

TEST(DeleteResultTest, ThePupilDeletesWhatTheSettingsAllow) {
  struct Case {
    bool all, onlyFinished;
    const char* line2;
    bool allowed;
  } cases[] = {
      {true, false, "#[2/5/7/-1;s;50;1]", true},
      {false, true, "#[0/7/7/0;S;50;1]", true},
      {false, true, "#[2/5/7/-1;s;50;1]", false},
      {false, false, "#[0/7/7/0;S;50;1]", false},
  };
  for (const Case& c : cases) {
    FollowUpFixture f;
    const std::string path = f.Result("r", c.line2);
    f.Write("r.QsV", ResultText("#[1/0/1/-1;r;0;0]"));
    FollowUpSettings s = Quiet();
    s.manualDelete = c.all;
    s.manualDeleteOnlyFinished = c.onlyFinished;
    const InspectRow row = FillResults(f.tc.ctx, f.user, s).rows.at(0);
    EXPECT_EQ(MayDeleteResult(row, s), c.allowed) << c.line2;
    EXPECT_EQ(DeleteResult(f.tc.ctx, row, s), c.allowed);
    if (!c.allowed) continue;
    ASSERT_EQ(f.tc.msgBox.Shown().size(), 1u);
    EXPECT_EQ(f.tc.msgBox.Shown()[0].title, "Follow up");
    EXPECT_EQ(f.tc.msgBox.Shown()[0].line1, "Do you want to delete ?");
    EXPECT_EQ(f.tc.msgBox.Shown()[0].line2, "r");
    // The revision took the result's place.
    EXPECT_EQ(FillResults(f.tc.ctx, f.user, s).rows.at(0).status, "Revise");
  }
  FollowUpFixture f;
  const std::string path = f.Result("r", "#[0/7/7/0;S;50;1]");
  FollowUpSettings s = Quiet();
  s.manualDelete = true;
  f.tc.msgBox.QueueAnswer(kMsgCancel);
  EXPECT_FALSE(DeleteResult(f.tc.ctx, FillResults(f.tc.ctx, f.user, s).rows.at(0), s));
  EXPECT_TRUE(FileExists(path));
}

// --- Progress ------------------------------------------------------------------------------------

TEST(ProgressRowTest, IconAndFinishTextFollowThePosition) {
  struct Case {
    int startPos, total, askAgain;
    bool forward, merge;
    int icon;
    const char* finish;
  } cases[] = {
      // c = A + a (e + 1), n = e + (e + 1) C, on a scale of 100.
      {2, 5, 0, true, true, 7, "35,3 [~3]"},   // 6 / 17
      {2, 5, 0, false, true, 8, "35,3 [~3]"},  //
      {5, 5, 2, true, true, 0, "100"},         // 17 / 17: complete
      {9, 5, 2, true, true, 0, "100"},         // past the end counts as the end
      {5, 5, 0, true, true, 7, "88,2 [~1]"},   // 15 / 17
      {-1, 5, 0, true, true, 9, "0 [~6]"},     // not started
      {0, 5, 0, true, true, 7, "0 [~5]"},      //
      {1, 4, 0, true, false, 7, "25 [~3]"},    // no merging: 1 / 4
      {4, 4, 0, true, false, 0, "100"},        //
      {-1, -1, 0, true, true, 9, "0"},         // the defaults of a damaged state
      {3, 0, 0, true, false, 0, "0"},          // an empty plan
  };
  for (const Case& c : cases) {
    ProgressState s;
    s.STPFileName = "/nowhere/plan.STP";
    s.StartPos = c.startPos;
    s.TotPosCount = c.total;
    s.MargeAskAgain = c.askAgain;
    s.DirUpDown = c.forward;
    s.FinishCount = 3;
    s.LastDate = {2024, 3, 7, 14, 5, 9, 0};
    FollowUpSettings settings = Quiet();
    settings.points.scale = 100;
    settings.acceptMerge = c.merge;
    test::TestContext tc;
    const ProgressRow row = MakeProgressRow(s, "/data/plan.SNI", settings, tc.ctx);
    EXPECT_EQ(row.icon, c.icon) << c.startPos << "/" << c.total;
    EXPECT_EQ(row.finish, c.finish) << c.startPos << "/" << c.total;
    EXPECT_EQ(row.name, "plan");
    EXPECT_EQ(row.lastDate, "07/03/24 14:05:09");
    EXPECT_EQ(row.finishCount, " 3");
    // A plan outside the user's data is not followed: the state's own sibling is.
    EXPECT_EQ(row.progressPath, "/data/plan.STP");
  }
}

TEST(FillProgressTest, EveryStateWithAPlanUnderTheFolder) {
  FollowUpFixture f;
  const std::string qst = f.user + "Qst/";
  const std::string plan = qst + "Arithmetic/BL/level.STP";
  f.Write("Qst/Arithmetic/BL/level.SNI",
          "[Pos]\r\nSTPFileName=" + plan + "\r\nStartPos=2\r\nTotPosCount=5\r\n");
  f.Write("Qst/Fractions/UL/mine.SNI", "[Pos]\r\nSTPFileName=" + qst +
                                           "Fractions/UL/mine.STP\r\nStartPos=x\r\n"
                                           "FinishCount=?\r\n");
  f.Write("Qst/Fractions/UL/empty.SNI", "[Pos]\r\nSTPFileName=\r\nStartPos=2\r\n");
  const std::vector<ProgressRow> rows = FillProgress(f.tc.ctx, qst, Quiet());
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name, "level");
  EXPECT_EQ(rows[0].progressPath, plan);
  EXPECT_EQ(rows[0].icon, kIconForward);
  // Missing or junk keys: not started, no plan size, never finished, dated now.
  EXPECT_EQ(rows[1].name, "mine");
  EXPECT_EQ(rows[1].icon, kIconNotStarted);
  EXPECT_EQ(rows[1].finishCount, " 0");
  EXPECT_EQ(rows[1].lastDate, "07/03/24 14:05:09");
}

TEST(DeleteProgressPracticeTest, TheFourFilesOfThePracticeGo) {
  FollowUpFixture f;
  const std::string plan = f.Write("Qst/Arithmetic/UL/mine.STP", "plan");
  f.Write("Qst/Arithmetic/UL/mine.SNI", "[Pos]\r\nSTPFileName=" + plan + "\r\n");
  f.Write("Qst/Arithmetic/UL/mine.SQF", "profile");
  f.Write("Qst/Arithmetic/UL/mine.QST", "sheet");
  const std::string other = f.Write("Qst/Arithmetic/UL/other.STP", "plan");
  const ProgressRow row = FillProgress(f.tc.ctx, f.user + "Qst/", Quiet()).at(0);

  FollowUpSettings s = Quiet();
  s.deletePracticesAndStatistics = false;
  EXPECT_FALSE(DeleteProgressPractice(f.tc.ctx, row, s));
  s.deletePracticesAndStatistics = true;
  f.tc.msgBox.QueueAnswer(kMsgCancel);
  EXPECT_FALSE(DeleteProgressPractice(f.tc.ctx, row, s));
  EXPECT_TRUE(FileExists(plan));
  EXPECT_TRUE(DeleteProgressPractice(f.tc.ctx, row, s));
  for (const char* ext : {".STP", ".SNI", ".SQF", ".QST"})
    EXPECT_FALSE(FileExists(ChangeExtension(plan, ext))) << ext;
  EXPECT_TRUE(FileExists(other));
}

// --- Statistik -----------------------------------------------------------------------------------

TEST(FillStatisticsTest, PointsOnTheScaleWithOneDecimal) {
  FollowUpFixture f;
  const std::string file = f.user + "Statistic.f01";
  EXPECT_TRUE(FillStatistics(f.tc.ctx, f.user, Quiet()).empty());
  EXPECT_TRUE(FileExists(file));

  f.Write("Statistic.f01",
          "Arithmetic;Additions\xA6"
          "3;5;0;0\xA6"
          "60\xA6"
          "07.03.24 14:05:09\r\n\r\n"
          "Arithmetic;Tables\xA6"
          "2;3;5;8\xA6"
          "50,100\xA6"
          "01.02.24 08:09:10,02.02.24 "
          "18:19:20\r\n");
  FollowUpSettings s = Quiet();
  s.points.scale = 20;
  const std::vector<StatisticsListRow> rows = FillStatistics(f.tc.ctx, f.user, s);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].book, "Arithmetic");
  EXPECT_EQ(rows[0].level, "Additions");
  EXPECT_EQ(rows[0].points, "12");
  EXPECT_EQ(rows[0].revisionPoints, "20");  // no revision counted: the full scale
  EXPECT_EQ(rows[1].points, "13,3");        // 2 x 20 / 3
  EXPECT_EQ(rows[1].revisionPoints, "12,5");
  EXPECT_EQ(CurveTimeLabels(rows[1].data),
            (std::vector<std::string>{"01.02 08:09", "02.02 18:19"}));

  f.tc.msgBox.QueueAnswer(kMsgCancel);
  EXPECT_FALSE(DeleteStatistics(f.tc.ctx, f.user, {"Arithmetic;Additions"}, s));
  EXPECT_TRUE(DeleteStatistics(f.tc.ctx, f.user, {"Arithmetic;Additions"}, s));
  const std::vector<StatisticsListRow> left = FillStatistics(f.tc.ctx, f.user, s);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].level, "Tables");
  s.deletePracticesAndStatistics = false;
  EXPECT_FALSE(DeleteStatistics(f.tc.ctx, f.user, {"Arithmetic;Tables"}, s));
}

}  // namespace
}  // namespace quillo
