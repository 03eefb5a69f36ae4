#include "books/scramble.h"

#include <gtest/gtest.h>

#include <set>

#include "book_test_support.h"
#include "shell/error.h"
#include "support/temp_dir.h"

namespace quillo {
namespace {

TEST(ScrambleAlphabet, HoldsDistinctCharactersWithoutControls) {
  std::string_view a = ScrambleAlphabet();
  ASSERT_EQ(a.size(), 183u);
  std::set<unsigned char> seen(a.begin(), a.end());
  EXPECT_EQ(seen.size(), 183u);
  for (unsigned char c : a) {
    EXPECT_GE(c, 0x20) << int(c);
    EXPECT_NE(c, 0x7F);
  }
}

TEST(IsScrambled, ReadsTheHeaderMarks) {
  struct Case {
    const char* header;
    bool scrambled;
  } cases[] = {
      {"Ver.A 1.0;Book;0000A000", false},
      {"Ver.A;Ver.C", true},
      {"Ver.C 1.0", true},
      {"no mark at all", true},
      {"", true},
      {"ver.a", true},  // the marks are case-sensitive
  };
  for (const Case& c : cases) EXPECT_EQ(IsScrambled(c.header), c.scrambled) << c.header;
}

TEST(ScrambleLine, IsTheIdentityWhenTheFlagIsOff) {
  EXPECT_EQ(ScrambleLine("abc", false, "123"), "abc");
  EXPECT_EQ(UnscrambleLine("abc", false, "123"), "abc");
}

TEST(ScrambleLine, InterleavesFromBothEnds) {
  // A key of zeros substitutes nothing, so only the interleave shows.
  EXPECT_EQ(ScrambleLine("abcde", true, "0"), "eadbc");
  EXPECT_EQ(UnscrambleLine("eadbc", true, "0"), "abcde");
  EXPECT_EQ(ScrambleLine("abcdef", true, "0"),
            "fae"
            "bdc");
  EXPECT_EQ(ScrambleLine("x", true, "0"), "x");
  EXPECT_EQ(ScrambleLine("", true, "0"), "");
}

TEST(ScrambleLine, ShiftsAlphabetCharactersByTheirKeyDigit) {
  std::string_view a = ScrambleAlphabet();
  // Digit 1 moves the first character one place on; digit 3 carries the second-to-last
  // character past the end of the alphabet; the control character in between is not
  // substituted but uses up key digit 2.
  std::string line = {a[0], '\x01', a[181]};
  std::string expected = {a[1], a[1], '\x01'};
  EXPECT_EQ(ScrambleLine(line, true, "123"), expected);
  EXPECT_EQ(UnscrambleLine(expected, true, "123"), line);
  // The key restarts after its last digit.
  EXPECT_EQ(ScrambleLine(std::string{a[0], a[0]}, true, "5"), (std::string{a[5], a[5]}));
}

TEST(ScrambleLine, UnscrambleGivesBackAnyLine) {
  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
  std::string longLine;
  for (int i = 0; i < 2047; ++i) longLine += static_cast<char>('!' + i % 90);
  const std::string lines[] = {"",
                               "a",
                               test::Bars("1.1|Add two numbers|3 + 4|5|"),
                               "Ver.A 1.0;Caf\xE9 \x80 \x9C"
                               "uf;0000A000",
                               everyByte,
                               longLine};
  const std::string keys[] = {"", "0", "9", "1234567890", KeyDigitsFromText("Some key text!")};
  for (const std::string& key : keys) {
    for (const std::string& line : lines) {
      std::string scrambled = ScrambleLine(line, true, key);
      EXPECT_EQ(scrambled.size(), line.size());
      EXPECT_EQ(UnscrambleLine(scrambled, true, key), line) << "key " << key;
    }
  }
  EXPECT_NE(ScrambleLine("Ver.A 1.0;Book", true, "7"), "Ver.A 1.0;Book");
}

TEST(KeyDigitsFromText, ConcatenatesNeighbourDifferences) {
  struct Case {
    std::string text;
    std::string digits;
  } cases[] = {
      {"ace", "22"},       {"az", "25"}, {"za", "25"}, {"aa", "0"},
      {"\x01\xFF", "254"}, {"a", ""},    {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(KeyDigitsFromText(c.text), c.digits) << c.text;
}

TEST(LoadScrambleKey, ReadsTheInstalledKeyFile) {
  std::string digits = LoadScrambleKey(std::string(QUILLO_STAGE_DIR) + "/SetG/");
  ASSERT_GE(digits.size(), 20u);
  EXPECT_EQ(digits.find_first_not_of("0123456789"), std::string::npos);
}

TEST(LoadScrambleKey, RefusesAMissingOrEmptyKeyFile) {
  test::TempDir dir;
  std::string expected =
      "Error: the scramble key file is missing or empty: " + dir.Path() + "BookKey.txt";
  for (bool write : {false, true}) {
    if (write) dir.Write("BookKey.txt", "x\r\n");  // one character gives no digits
    try {
      LoadScrambleKey(dir.Path());
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), expected);
    }
  }
}

}  // namespace
}  // namespace quillo
