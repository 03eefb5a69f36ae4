#include "shell/conventions.h"

#include <gtest/gtest.h>

#include "shell/error.h"

namespace quillo {
namespace {

TEST(Conventions, NumbersUseCommaAsDecimalSeparator) {
  EXPECT_EQ(FloatToText(3.5L), "3,5");
  EXPECT_EQ(TextToFloat("3,5"), 3.5L);
  EXPECT_THROW(TextToFloat("3.5"), Error);
}

TEST(Conventions, GeneralNumberFormat) {
  struct Case {
    long double value;
    const char* text;
  } cases[] = {
      {0, "0"},
      {7, "7"},
      {-2, "-2"},
      {1.0L / 3, "0,333333333333333"},
      {-1.0L / 3, "-0,333333333333333"},
      {2.5L, "2,5"},
      {100, "100"},
      {0.00001L, "0,00001"},
      {0.000001L, "1E-6"},
      {0.0000015L, "1,5E-6"},
      {123456789012345.0L, "123456789012345"},
      {1234567890123456.0L, "1,23456789012346E15"},
      {1e20L, "1E20"},
      {-1e20L, "-1E20"},
      {0.1L + 0.2L, "0,3"},
      {999999999999999.9L, "1E15"},
  };
  for (const auto& c : cases) EXPECT_EQ(FloatToText(c.value), c.text) << c.text;
}

TEST(Conventions, ReadingNumbers) {
  struct Case {
    const char* text;
    long double value;
  } good[] = {{"0", 0}, {"-4", -4}, {" 12 ", 12}, {"+1,25", 1.25L}, {",5", 0.5L},
              {"2,", 2},  {"1E3", 1000}, {"1,5e-2", 0.015L}};
  for (const auto& c : good) EXPECT_EQ(TextToFloat(c.text), c.value) << c.text;

  const char* bad[] = {"", " ", "-", ",", "1,2,3", "1e", "abc", "1 2", "0x10", "1.5"};
  for (const char* text : bad) EXPECT_FALSE(TryTextToFloat(text).has_value()) << text;
  try {
    TextToFloat("x1");
    FAIL();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "'x1' is not a valid floating point value");
  }
}

TEST(Conventions, ReadingIntegers) {
  EXPECT_EQ(TextToInt("42"), 42);
  EXPECT_EQ(TextToInt("-7"), -7);
  EXPECT_EQ(TextToInt("$1F"), 31);
  EXPECT_EQ(TextToInt("0x10"), 16);
  const char* bad[] = {"", "1,5", "x", "99999999999999999999", "0x", "$"};
  for (const char* text : bad) EXPECT_FALSE(TryTextToInt(text).has_value()) << text;
  try {
    TextToInt("");
    FAIL();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "'' is not a valid integer value");
  }
}

TEST(Conventions, DateAndTimeTexts) {
  DateTime dt{2024, 3, 7, 14, 5, 9, 0};
  EXPECT_EQ(ShortDateText(dt), "07/03/24");
  EXPECT_EQ(LongTimeText(dt), "14:05:09");
  EXPECT_EQ(FileStampDate(dt), "24-03-07");
  EXPECT_EQ(FileStampTime(dt), "14-05-09");

  auto date = ParseShortDate("07/03/24");
  ASSERT_TRUE(date);
  EXPECT_EQ(date->year, 2024);
  EXPECT_EQ(ParseShortDate("01/01/01")->year, 2001);
  EXPECT_FALSE(ParseShortDate("31/02/24"));
  EXPECT_FALSE(ParseShortDate("junk"));
  auto time = ParseLongTime("01:02:03");
  ASSERT_TRUE(time);
  EXPECT_EQ(time->second, 3);
  EXPECT_FALSE(ParseLongTime("25:00:00"));
}

TEST(Conventions, SerialDaysCountFromDecember1899) {
  EXPECT_EQ(ToSerial({1899, 12, 30, 0, 0, 0, 0}), 0.0);
  EXPECT_EQ(ToSerial({1900, 1, 1, 12, 0, 0, 0}), 2.5);
  EXPECT_EQ(ToSerial({1899, 12, 29, 6, 0, 0, 0}), -1.25);
  DateTime dt{2024, 2, 29, 23, 59, 58, 0};
  EXPECT_EQ(FromSerial(ToSerial(dt)), dt);
  EXPECT_EQ(FromSerial(-1.25), (DateTime{1899, 12, 29, 6, 0, 0, 0}));
}

}  // namespace
}  // namespace quillo
