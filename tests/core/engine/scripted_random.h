// A random source that returns given values in turn (cycling), for tests that need a draw at
// an exact place of [0, 1).
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "shell/seams.h"

namespace quillo::test {

class ScriptedRandom : public RandomSource {
 public:
  ScriptedRandom(std::initializer_list<long double> values) : values_(values) {}
  long double Next() override {
    long double v = values_[next_ % values_.size()];
    ++next_;
    return v;
  }
  void Seed(uint64_t) override {}
  void SeedFromClock() override {}
  std::size_t Draws() const { return next_; }

 private:
  std::vector<long double> values_;
  std::size_t next_ = 0;
};

// The largest value below 1 that the process-wide source can give.
inline constexpr long double kAlmostOne = 1.0L - 0x1p-64L;

}  // namespace quillo::test
