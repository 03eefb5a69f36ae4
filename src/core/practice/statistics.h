// The statistics file of a user: per book and level, the answers right at the first attempt of
// every complete sheet, and the percentages and times of the last complete ordinary and
// progressive sheets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shell/conventions.h"

namespace quillo {

struct Context;

inline constexpr std::string_view kStatisticsFileName = "Statistic.f01";
// The longest the lists of percentages and times get; the oldest entries go first.
inline constexpr std::size_t kStatisticsListLimit = 20;

// One line: key "¦" R1 ";" T1 ";" R2 ";" T2 "¦" percentages "¦" times.
struct StatisticsRow {
  std::string key;  // book name ";" level name
  int64_t r1 = 0;   // ordinary and progressive sheets: right at the first attempt, in all
  int64_t t1 = 0;
  int64_t r2 = 0;  // revision sheets: the same
  int64_t t2 = 0;
  std::vector<std::string> percentages;  // whole numbers
  std::vector<std::string> times;        // "dd.mm.yy hh:mm:ss"

  // Reads a line; counts that are missing or not numbers read as 0.
  static StatisticsRow Parse(std::string_view line);
  std::string Line() const;
};

// The first-attempt percentage (T - F) * 100 / T: first to one decimal (halves away from zero),
// then to a whole number with halves to the even neighbour. 0 for a sheet without fields.
int FirstTryPercentage(int64_t total, int64_t faults);

// "dd.mm.yy hh:mm:ss".
std::string StatisticsTimeText(const DateTime& when);

// Adds a complete sheet to userFolder + "Statistic.f01" (created when missing): kind 'S' adds
// T - F and T to R1 and T1 and appends the percentage and the time (a new line at the end for a
// new key); kind 'R' adds them to R2 and T2 (a new line for a new key, lists left empty). Every
// other line stays as it was. The file is rewritten whole. Other kinds change nothing.
void RecordStatistics(Context& ctx, std::string_view userFolder, std::string_view key,
                      int64_t total, int64_t faults, char kind);

}  // namespace quillo
