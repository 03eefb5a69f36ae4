#include "engine/random_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "scripted_random.h"
#include "shell/error.h"
#include "support/error_text.h"
#include "shell/seams.h"

namespace quillo {
namespace {

using test::kAlmostOne;
using test::ScriptedRandom;

using test::ErrorOf;

TEST(RandomValues, RandomInRangeCutsTowardsZeroAndNeverDrawsTheUpperBound) {
  struct Case {
    const char* range;
    long double r;
    long double value;
  } cases[] = {
      {"2~9", 0, 2},           {"2~9", 0.5L, 5},        // 5,5 cut to 5
      {"2~9", 0.99999L, 8},    {"2~9", kAlmostOne, 2},  // would read 9: the first bound instead
      {"1~10", kAlmostOne, 1}, {"2~2", 0.7L, 2},
      {"9~2", 0, 9},  // wrong order: the first bound
      {"9~2", 0.5L, 9},        {"9~2", kAlmostOne, 9},
      {"-2~-9", 0.5L, -2},     {"0,5~2", 0.99L, 1.9L},    // 1,985 cut to one decimal
      {"0,5~2", 0, 0.5L},      {"1,25~3", 0.715L, 2.5L},  // 2,50125 cut to 2,50
      {"-5~5", 0.02L, -4},                                // -4,8 cut towards zero
      {"-5~5", 0.43L, 0},                                 // -0,7 cut towards zero
      {"-5~5", 0.57L, 0},      {"-5~5", kAlmostOne, -5},
      {"1~3", 0.6L, 2},
  };
  for (const Case& c : cases) {
    ScriptedRandom random{c.r};
    long double value = RandomInRange(c.range, random);
    EXPECT_EQ(value, c.value) << c.range << " r=" << static_cast<double>(c.r);
    EXPECT_FALSE(std::signbit(value) && value == 0) << c.range;
  }
}

TEST(RandomValues, DrawsCoverTheRangeWithTheDocumentedWeights) {
  StdRandomSource random;
  random.FixSeed(42);
  std::map<long double, int> small, signedRange, tenths;
  for (int i = 0; i < 20000; ++i) {
    ++small[RandomInRange("2~9", random)];
    ++signedRange[RandomInRange("-5~5", random)];
    ++tenths[RandomInRange("0,5~2", random)];
  }
  ASSERT_EQ(small.size(), 7u);  // 2 to 8
  EXPECT_EQ(small.begin()->first, 2);
  EXPECT_EQ(small.rbegin()->first, 8);
  ASSERT_EQ(signedRange.size(), 9u);  // -4 to 4, zero twice as often
  EXPECT_EQ(signedRange.begin()->first, -4);
  EXPECT_EQ(signedRange.rbegin()->first, 4);
  EXPECT_GT(signedRange[0], 2 * signedRange[3] * 8 / 10);
  EXPECT_LT(signedRange[0], 2 * signedRange[3] * 12 / 10);
  EXPECT_EQ(tenths.size(), 15u);  // 0,5 to 1,9 in steps of 0,1
  EXPECT_EQ(tenths.rbegin()->first, 1.9L);
}

TEST(RandomValues, DrawRandomRangesReplacesEveryRangeToken) {
  struct Case {
    const char* text;
    long double r;
    const char* drawn;
  } cases[] = {
      {"3 + 4", 0.5L, "3 + 4"},  // unchanged without a range
      {"3  +  4", 0.5L, "3  +  4"},
      {"2~2 + 1", 0.5L, "2 + 1 "},  // every token followed by one space
      {"a  2~2", 0.5L, "a  2 "},
      {"2,50~2,50", 0.5L, "2,5 "},  // bounds read and written again
      {"1,25~3", 0.715L, "2,5 "},   // no trailing zeros
      {"1,25~1,25", 0.5L, "1,25 "},
      {"-5~5", 0.43L, "0 "},  // no negative zero
      {"_rZeroTo( 1~4 ; 7 )", 0.5L, "_rZeroTo( 2 ; 7 ) "},
      {"2~9 x 2~9", 0, "2 x 2 "},
      {"0~1E-6", 0.5L, "0,0000005 "},
      {"1E20~1E20", 0.5L, "100000000000000000000 "},
  };
  for (const Case& c : cases) {
    ScriptedRandom random{c.r};
    EXPECT_EQ(DrawRandomRanges(c.text, random), c.drawn) << c.text;
  }
}

TEST(RandomValues, ABoundThatIsNotANumberFails) {
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"3 + a~5", "'a' is not a valid floating point value"},
      {"~5", "'' is not a valid floating point value"},
      {"1~5~9", "'5~9' is not a valid floating point value"},
      {"1~", "'' is not a valid floating point value"},
  };
  for (const Case& c : cases) {
    ScriptedRandom random{0.5L};
    EXPECT_EQ(ErrorOf([&] { DrawRandomRanges(c.text, random); }), c.message) << c.text;
  }
}

TEST(RandomValues, DecimalsOf) {
  struct Case {
    const char* a;
    const char* b;
    int decimals;
  } cases[] = {
      {"1", "2", 0},    {"1,25", "3", 2},     {"0,5", "2,125", 3}, {"2,5", "2,50", 2},
      {"1E-7", "1", 7}, {"1", "1,5E-12", 12}, {"1e-3", "1,5", 3},  {"1E20", "1,5", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(DecimalsOf(c.a, c.b), c.decimals) << c.a << " " << c.b;
}

TEST(RandomValues, FormatResult) {
  struct Case {
    long double value;
    const char* text;
  } cases[] = {
      {7, "7"},
      {3.5L, "3,5"},
      {-2, "-2"},
      {0.000001L, "0,000001"},
      {1.0L / 3, "0,333333333333333"},
      {-1.0L / 3, "-0,333333333333333"},
      {0.0000012345L, "0,0000012345"},
      {-1234.5678L, "-1234,5678"},
      {-123456.789L, "-123456,789"},
      {1e20L, "1E20"},
      {-1e20L, "-100000000000000000000"},
      {1e-20L, "0"},
      {-5e-17L, "0"},  // no "-0"
      {1234567890123456.0L, "1,23456789012346E15"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatResult(c.value), c.text) << c.text;
}

TEST(RandomValues, FormatFixed) {
  struct Case {
    long double value;
    int decimals;
    bool trim;
    const char* text;
  } cases[] = {
      {2.5L, 2, false, "2,50"},
      {2.5L, 0, false, "3"},
      {-2.5L, 0, false, "-3"},
      {-0.4L, 0, false, "0"},
      {0.05L, 1, false, "0,1"},
      {1e-7L, 7, false, "0,0000001"},
      {2.5L, 3, true, "2,5"},
      {2, 3, true, "2"},
      {1e20L, 0, false, "100000000000000000000"},
      {9.96L, 1, false, "10,0"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatFixed(c.value, c.decimals, c.trim), c.text) << c.text;
}

TEST(RandomValues, RoundToZeros) {
  struct Case {
    int64_t n;
    int64_t k;
    int64_t rounded;
  } cases[] = {
      {1234, 2, 1200},
      {1250, 2, 1300},
      {96, 1, 100},
      {7, 3, 7},
      {1234567890, 2, 1000000000},
      {149, 2, 100},
      {150, 2, 200},
      {1234, 0, 1234},
      {8, 1, 8},
      {999, 2, 1000},
      {0, 3, 0},
      {123456789012, 2, 123000000000},
      {5, -1, 5},
      {-1250, 2, -1300},
      {-149, 2, -100},
  };
  for (const Case& c : cases) EXPECT_EQ(RoundToZeros(c.n, c.k), c.rounded) << c.n << " " << c.k;
  EXPECT_EQ(ErrorOf([] { RoundToZeros(9223372036854775807, 9); }), "Integer overflow");
}

}  // namespace
}  // namespace quillo
