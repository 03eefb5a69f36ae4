// Tests of points, grades and pass marks: the worked example, the thresholds' edge values, the
// pass levels and the failure rule of progressive sheets.
#include "practice/points.h"

#include <gtest/gtest.h>

#include "setup/settings_store.h"
#include "support/temp_dir.h"

namespace quillo {
namespace {

PointsRules Example() {
  PointsRules rules;
  rules.scale = 6;
  rules.noteOne = 80;
  rules.noteTwo = 60;
  rules.noteThree = 40;
  rules.passLevel = 2;
  rules.alwaysContinue = false;
  return rules;
}

TEST(PracticePoints, WorkedExample) {
  const PointsRules rules = Example();
  EXPECT_EQ(ScaleThreshold(rules, rules.noteOne), 4);
  EXPECT_EQ(ScaleThreshold(rules, rules.noteTwo), 3);
  EXPECT_EQ(ScaleThreshold(rules, rules.noteThree), 2);
  EXPECT_EQ(PointsOf(rules, 10, 3), 4);
  EXPECT_EQ(GradeOf(rules, 4), 1);
  EXPECT_EQ(PassPoints(rules), 3);
  EXPECT_EQ(AllowedFaults(rules, 10), 5);
  EXPECT_EQ(PassMarkText(rules), "To pass you must have 3 points");
}

TEST(PracticePoints, GradesAndThresholds) {
  const PointsRules rules = Example();
  const int grades[] = {4, 4, 3, 2, 1, 1, 0};  // points 0 .. 6
  for (int points = 0; points <= 6; ++points) EXPECT_EQ(GradeOf(rules, points), grades[points]);

  PointsRules zero;
  zero.scale = 0;
  EXPECT_EQ(ScaleThreshold(zero, 0), 100);
  EXPECT_EQ(ScaleThreshold(zero, 50), 0);
  EXPECT_EQ(AllowedFaults(zero, 7), 7);     // no scale: nothing to fail by
  EXPECT_EQ(PointsOf(Example(), 0, 0), 6);  // a sheet without fields
}

TEST(PracticePoints, PassLevelsAndFailures) {
  PointsRules rules = Example();
  const int pass[] = {6, 4, 3, 2, 0};
  for (int level = 0; level <= 4; ++level) {
    rules.passLevel = level;
    EXPECT_EQ(PassPoints(rules), pass[level]) << level;
  }
  // Halves of T * pass / S round away from zero: 3 * 3 / 6 = 1.5 -> 2.
  rules.passLevel = 2;
  EXPECT_EQ(AllowedFaults(rules, 3), 1);
  EXPECT_EQ(AllowedFaults(rules, 5), 2);

  EXPECT_FALSE(SheetFails(rules, 10, 5));
  EXPECT_TRUE(SheetFails(rules, 10, 6));
  rules.passLevel = 0;  // every fault fails, but no fault never does
  EXPECT_FALSE(SheetFails(rules, 10, 0));
  EXPECT_TRUE(SheetFails(rules, 10, 1));
  rules.alwaysContinue = true;
  EXPECT_FALSE(SheetFails(rules, 10, 10));
}

TEST(PracticePoints, RulesFromSettings) {
  test::TestContext tc;
  SettingsStore store;
  tc.ctx.settings = &store;
  store.SetInt("UpDo2_TauxUnites", 20);
  store.SetInt("UpDo_NoLevelSmile", 1);
  store.SetBool("Cb_AlwaysContinueEvByFail", false);
  const PointsRules rules = PointsRules::FromSettings(tc.ctx);
  EXPECT_EQ(rules.scale, 20);
  EXPECT_EQ(rules.noteOne, 85);
  EXPECT_EQ(PassPoints(rules), 17);
  EXPECT_FALSE(rules.alwaysContinue);
}

}  // namespace
}  // namespace quillo
