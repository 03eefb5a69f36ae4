// Helpers of the generation, sheet and version tests: a random source answering from a queue,
// the title records of a built book, and the decoded lines of a generated file.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "books/book_files.h"
#include "books/sheet_files.h"
#include "shell/seams.h"
#include "shell/trace_log.h"
#include "support/temp_dir.h"

namespace quillo::test {

// Answers the queued values in order, then those of a seeded generator; seeding is ignored.
class QueueRandom : public RandomSource {
 public:
  explicit QueueRandom(std::vector<long double> values = {}) : queue_(values.begin(), values.end()) {
    rest_.FixSeed(7);
  }
  long double Next() override {
    if (queue_.empty()) return rest_.Next();
    long double v = queue_.front();
    queue_.pop_front();
    return v;
  }
  void Seed(uint64_t) override {}
  void SeedFromClock() override {}
  void Push(long double v) { queue_.push_back(v); }

 private:
  std::deque<long double> queue_;
  StdRandomSource rest_;
};

// The value that makes the swap shuffle pick partner p among `partners` positions.
inline long double PartnerValue(int p, int partners) {
  return (static_cast<long double>(p) + 0.5L) / static_cast<long double>(partners);
}

// Installs the key text of the book tests (TestKey) where the context looks for it.
inline void InstallTestKey(const TestContext& tc) {
  tc.dir.Write("program/Tremsol/SetG/BookKey.txt", "Keys for the book tests: 42!\r\n");
}

// Every title record of a book, in file order.
inline std::vector<TdBaseJob> AllTitles(const std::string& bookPath, const std::string& key) {
  TraceLog trace;
  BookBasics basics = ReadBookBasics(bookPath, key);
  ScanResult scan =
      ScanLevel(bookPath, "0", basics.trailer.titleOffset, ScanMode::TakeAll, key, trace);
  std::vector<TdBaseJob> titles;
  for (const std::string& line : scan.titleLines) {
    if (auto r = LineToRecord(line)) titles.push_back(*r);
  }
  return titles;
}

// The records whose Code is listed, checked, in the order listed.
inline std::vector<TdBaseJob> Pick(const std::vector<TdBaseJob>& all,
                                   const std::vector<std::string>& codes) {
  std::vector<TdBaseJob> picked;
  for (const std::string& code : codes) {
    for (const TdBaseJob& t : all) {
      if (t.Code == code) {
        picked.push_back(t);
        picked.back().Checked = true;
      }
    }
  }
  return picked;
}

// The questions of a sheet: its lines after the six header lines.
inline std::vector<std::string> BodyOf(const std::vector<std::string>& lines) {
  if (lines.size() <= static_cast<std::size_t>(kSheetHeaderLines)) return {};
  return {lines.begin() + kSheetHeaderLines, lines.end()};
}

}  // namespace quillo::test
