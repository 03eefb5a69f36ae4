// The statistics file "Statistic.f01".
#include "practice/statistics.h"

#include <cstdio>

#include "engine/text_toolkit.h"
#include "shell/context.h"
#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo {

namespace {

constexpr char kFieldSep = '\xA6';

std::string Join(const std::vector<std::string>& parts, char sep) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) out.push_back(sep);
    out += parts[i];
  }
  return out;
}

int64_t CountOr0(const std::vector<std::string>& counts, std::size_t i) {
  if (i >= counts.size()) return 0;
  return TryTextToInt(Trim(counts[i])).value_or(0);
}

void KeepLast(std::vector<std::string>& list) {
  if (list.size() > kStatisticsListLimit)
    list.erase(list.begin(), list.end() - static_cast<std::ptrdiff_t>(kStatisticsListLimit));
}

// Whole lines at LF or CR LF, however long; empty lines dropped.
std::vector<std::string> FileLines(const std::string& content) {
  std::vector<std::string> lines;
  for (std::string& line : SplitAll('\n', content)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(std::move(line));
  }
  return lines;
}

std::string TwoDigits(int n) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", ((n % 100) + 100) % 100);
  return buf;
}

}  // namespace

StatisticsRow StatisticsRow::Parse(std::string_view line) {
  StatisticsRow row;
  const std::vector<std::string> fields = SplitAll(kFieldSep, line);
  if (fields.empty()) return row;
  row.key = fields[0];
  if (fields.size() > 1) {
    const std::vector<std::string> counts = SplitAll(';', fields[1]);
    row.r1 = CountOr0(counts, 0);
    row.t1 = CountOr0(counts, 1);
    row.r2 = CountOr0(counts, 2);
    row.t2 = CountOr0(counts, 3);
  }
  if (fields.size() > 2) row.percentages = SplitAll(',', fields[2]);
  if (fields.size() > 3) row.times = SplitAll(',', fields[3]);
  return row;
}

std::string StatisticsRow::Line() const {
  const std::string sep(1, kFieldSep);
  return key + sep + std::to_string(r1) + ";" + std::to_string(t1) + ";" + std::to_string(r2) +
         ";" + std::to_string(t2) + sep + Join(percentages, ',') + sep + Join(times, ',');
}

int FirstTryPercentage(int64_t total, int64_t faults) {
  if (total <= 0) return 0;
  // Tenths, rounded half away from zero.
  const int64_t numerator = (total - faults) * 1000;
  const bool negative = numerator < 0;
  const int64_t magnitude = negative ? -numerator : numerator;
  int64_t tenths = magnitude / total;
  if (2 * (magnitude % total) >= total) ++tenths;
  // Whole number, halves to the even neighbour.
  int64_t whole = tenths / 10;
  const int64_t rest = tenths % 10;
  if (rest > 5 || (rest == 5 && whole % 2 == 1)) ++whole;
  return static_cast<int>(negative ? -whole : whole);
}

std::string StatisticsTimeText(const DateTime& when) {
  return TwoDigits(when.day) + "." + TwoDigits(when.month) + "." + TwoDigits(when.year) + " " +
         TwoDigits(when.hour) + ":" + TwoDigits(when.minute) + ":" + TwoDigits(when.second);
}

void RecordStatistics(Context& ctx, std::string_view userFolder, std::string_view key,
                      int64_t total, int64_t faults, char kind) {
  if (kind != 'S' && kind != 'R') return;
  const std::string path = WithSlash(userFolder) + std::string(kStatisticsFileName);
  std::string content;
  if (!FileExists(path)) {
    EnsureFolder(GetFolderPart(path));
    ctx.trace.Trace("Cree Statistic.f01:=>[" + path + "]");
  } else if (!ReadWholeFile(path, content)) {
    throw Error("Error: cannot read " + path);
  }
  std::vector<std::string> lines = FileLines(content);

  std::size_t at = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (GetFieldOrLast(lines[i], "\xA6", 1) == key) {
      at = i;
      break;
    }
  }
  StatisticsRow row;
  if (at < lines.size()) {
    row = StatisticsRow::Parse(lines[at]);
  } else {
    row.key = std::string(key);
    lines.emplace_back();
  }
  if (kind == 'S') {
    row.r1 += total - faults;
    row.t1 += total;
    row.percentages.push_back(std::to_string(FirstTryPercentage(total, faults)));
    SystemClock system;
    Clock& clock = ctx.clock ? *ctx.clock : system;
    row.times.push_back(StatisticsTimeText(clock.Now()));
    KeepLast(row.percentages);
    KeepLast(row.times);
  } else {
    row.r2 += total - faults;
    row.t2 += total;
  }
  lines[at] = row.Line();
  WriteFileAtomic(path, JoinLines(lines));
}

}  // namespace quillo
