#include "shell/codec.h"

#include <gtest/gtest.h>

namespace quillo {
namespace {

TEST(Codec, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  std::string utf8 = Cp1252ToUtf8(all);
  std::string back;
  EXPECT_TRUE(Utf8ToCp1252(utf8, back));
  EXPECT_EQ(back, all);
}

TEST(Codec, KnownCharacters) {
  struct Case {
    std::string cp1252;
    std::string utf8;
  } cases[] = {
      {"Fran\xE7" "ais", "Fran\xC3\xA7" "ais"},
      {"\xA6", "\xC2\xA6"},          // the field separator
      {"\x80", "\xE2\x82\xAC"},      // euro sign
      {"\x9C", "\xC5\x93"},          // oe ligature
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8);
    EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252);
  }
}

TEST(Codec, UnwritableOrBrokenInputIsReported) {
  const char* cases[] = {
      "\xE4\xB8\xAD",  // a CJK character
      "\xC3",          // truncated sequence
      "\xC0\x80",      // overlong NUL
      "\xED\xA0\x80",  // surrogate
      "\xFF",
  };
  for (const char* c : cases) {
    std::string out;
    EXPECT_FALSE(Utf8ToCp1252(c, out)) << c;
    EXPECT_NE(out.find('?'), std::string::npos);
  }
}

TEST(Codec, LetterCaseCoversAccentedLetters) {
  EXPECT_EQ(LowerCase1252("\xC9L\xC8VE \xD7"), "\xE9l\xE8ve \xD7");  // multiplication sign stays
  EXPECT_EQ(UpperCase1252("\xFF\x9C\xF7"), "\x9F\x8C\xF7");
  EXPECT_TRUE(EqualsNoCase1252("\xC9" "cole", "\xE9" "COLE"));
  EXPECT_FALSE(EqualsNoCase1252("ab", "abc"));
}

}  // namespace
}  // namespace quillo
