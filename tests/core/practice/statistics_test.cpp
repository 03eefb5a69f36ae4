// Tests of the statistics file: the first-attempt percentage with its two roundings, new and
// existing keys, the 20-entry lists, revision sheets, and the other lines left as they were.
#include "practice/statistics.h"

#include <gtest/gtest.h>

#include <string>

#include "shell/file_utils.h"
#include "support/temp_dir.h"

namespace quillo {
namespace {

TEST(PracticeStatistics, Percentages) {
  struct Case {
    int64_t total, faults;
    int percent;
  };
  const Case cases[] = {
      {4, 1, 75},    {3, 1, 67},   {8, 7, 12},  // 12.5 to the even neighbour
      {8, 5, 38},                               // 37.5 up to the even 38
      {52, 19, 64},   // 63.46 is 63.5 at one decimal, then 64 (rounding at once gives 63)
      {200, 1, 100},  // 99.5 -> 100
      {400, 3, 99},   // 99.25 -> 99.3 -> 99
      {10, 10, 0},   {10, 0, 100}, {0, 0, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FirstTryPercentage(c.total, c.faults), c.percent) << c.total << "/" << c.faults;
}

TEST(PracticeStatistics, RowsParseAndFormat) {
  const std::string line =
      "Book;Level\xA6"
      "3;4;1;2\xA6"
      "75,50\xA6"
      "07.03.24 14:05:09,08.03.24 10:00:00";
  const StatisticsRow row = StatisticsRow::Parse(line);
  EXPECT_EQ(row.key, "Book;Level");
  EXPECT_EQ(row.r1, 3);
  EXPECT_EQ(row.t2, 2);
  EXPECT_EQ(row.percentages, (std::vector<std::string>{"75", "50"}));
  EXPECT_EQ(row.times.size(), 2u);
  EXPECT_EQ(row.Line(), line);
  // Damaged counts read as 0.
  const StatisticsRow bad = StatisticsRow::Parse("K\xA6x;;5");
  EXPECT_EQ(bad.r1, 0);
  EXPECT_EQ(bad.r2, 5);
  EXPECT_EQ(bad.Line(),
            "K\xA6"
            "0;0;5;0\xA6\xA6");
  EXPECT_EQ(StatisticsTimeText({2024, 3, 7, 4, 5, 9, 0}), "07.03.24 04:05:09");
}

TEST(PracticeStatistics, RecordingKeepsOtherLinesAndTheLast20) {
  test::TestContext tc;
  const std::string folder = tc.ctx.folders.UserFolder("pupil");
  const std::string path = folder + "Statistic.f01";
  tc.ctx.trace.SwitchOn();

  RecordStatistics(tc.ctx, folder, "Book;Level", 4, 1, 'S');
  EXPECT_EQ(tc.ctx.trace.Lines().back(), "Cree Statistic.f01:=>[" + path + "]");
  std::string data;
  ASSERT_TRUE(ReadWholeFile(path, data));
  EXPECT_EQ(data,
            "Book;Level\xA6"
            "3;4;0;0\xA6"
            "75\xA6"
            "07.03.24 14:05:09\r\n");

  // Another key's line, written by hand with odd spacing, is never touched.
  const std::string other =
      "Other;Key\xA6"
      "1; 2;0;0\xA6"
      "50\xA6"
      "01.01.24 00:00:00";
  WriteFileAtomic(path, data + other + "\r\n");

  RecordStatistics(tc.ctx, folder, "Book;Level", 4, 0, 'R');
  RecordStatistics(tc.ctx, folder, "Rev;Only", 5, 2, 'R');
  for (int i = 1; i <= 20; ++i) {
    tc.clock.AdvanceSeconds(1);
    RecordStatistics(tc.ctx, folder, "Book;Level", 10, i % 10, 'S');
  }
  RecordStatistics(tc.ctx, folder, "Book;Level", 10, 0, 'X');  // no complete kind: nothing
  ASSERT_TRUE(ReadWholeFile(path, data));
  const std::vector<std::string> lines = SplitLines(data);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], other);
  EXPECT_EQ(lines[2],
            "Rev;Only\xA6"
            "0;0;3;5\xA6\xA6");

  const StatisticsRow row = StatisticsRow::Parse(lines[0]);
  EXPECT_EQ(row.r1, 3 + (200 - 90));
  EXPECT_EQ(row.t1, 4 + 200);
  EXPECT_EQ(row.r2, 4);
  EXPECT_EQ(row.t2, 4);
  // The 21st sheet dropped the first percentage (75) and its time.
  ASSERT_EQ(row.percentages.size(), 20u);
  ASSERT_EQ(row.times.size(), 20u);
  EXPECT_EQ(row.percentages.front(), "90");
  EXPECT_EQ(row.percentages.back(), "100");
  EXPECT_EQ(row.times.front(), "07.03.24 14:05:10");
  EXPECT_EQ(row.times.back(), "07.03.24 14:05:29");
}

}  // namespace
}  // namespace quillo
