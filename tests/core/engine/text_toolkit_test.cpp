// Tests of the text field toolkit: one table of cases per group of operations,
// covering the documented examples and edge cases and the inputs that would read
// outside a text in a careless implementation (empty texts, positions 0, negative, past the end).
#include "engine/text_toolkit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/error.h"
#include "shell/seams.h"

namespace quillo {
namespace {

using Strings = std::vector<std::string>;

const std::string kBar = "\xA6";  // "¦"

// --- Primitive rules -----------------------------------------------------------------------

TEST(TextToolkitPrimitives, CopyDeleteInsert) {
  struct Case {
    std::string text;
    long start, count;
    std::string copy, del;
  };
  const Case cases[] = {
      {"abcdef", 2, 3, "bcd", "aef"},
      {"abcdef", 0, 2, "ab", "abcdef"},
      {"abcdef", -5, 2, "ab", "abcdef"},
      {"abcdef", 5, 10, "ef", "abcd"},
      {"abcdef", 6, 1, "f", "abcde"},
      {"abcdef", 7, 1, "", "abcdef"},
      {"abcdef", 2, 0, "", "abcdef"},
      {"abcdef", 2, -1, "", "abcdef"},
      {"", 1, 1, "", ""},
      {"", 0, 0, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " " + std::to_string(c.start) + " " + std::to_string(c.count));
    EXPECT_EQ(CopyStr(c.text, c.start, c.count), c.copy);
    EXPECT_EQ(DeleteStr(c.text, c.start, c.count), c.del);
  }

  struct InsertCase {
    std::string text;
    long pos;
    std::string expected;
  };
  const InsertCase inserts[] = {{"abc", 2, "aXbc"},  {"abc", 1, "Xabc"}, {"abc", 0, "Xabc"},
                                {"abc", -3, "Xabc"}, {"abc", 4, "abcX"}, {"abc", 10, "abcX"},
                                {"", 5, "X"}};
  for (const InsertCase& c : inserts) {
    SCOPED_TRACE(c.text + " " + std::to_string(c.pos));
    EXPECT_EQ(InsertStr(c.text, "X", c.pos), c.expected);
  }
}

TEST(TextToolkitPrimitives, PosOf) {
  struct Case {
    std::string sub, text;
    long from, expected;
  };
  const Case cases[] = {{"b", "abcb", 1, 2}, {"b", "abcb", 3, 4},  {"b", "abcb", 5, 0},
                        {"b", "abcb", 0, 2}, {"b", "abcb", -7, 2}, {"", "abc", 1, 0},
                        {"x", "abc", 1, 0},  {"bc", "abc", 2, 2},  {"bcd", "abc", 1, 0},
                        {"a", "", 1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sub + " in " + c.text + " from " + std::to_string(c.from));
    EXPECT_EQ(PosOf(c.sub, c.text, c.from), c.expected);
  }
}

TEST(TextToolkitPrimitives, TrimCaseAndReplaceAll) {
  EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
  EXPECT_EQ(Trim("\x01"
                 "a\x20"),
            "a");
  EXPECT_EQ(Trim("\xA0"
                 "a"),
            "\xA0"
            "a");  // 0xA0 is above space: kept
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(TrimLeft("  a  "), "a  ");
  EXPECT_EQ(TrimRight("  a  "), "  a");
  EXPECT_EQ(UpperCaseAscii("aZ\xE9"
                           "1"),
            "AZ\xE9"
            "1");
  EXPECT_EQ(LowerCaseAscii("Az\xC9"), "az\xC9");

  struct Case {
    std::string text, oldText, newText, expected;
  };
  const Case cases[] = {
      {"aaa", "a", "aa", "aaaaaa"}, {"abab", "ab", "", ""},
      {"abc", "", "x", "abc"},      {"aaaa", "aa", "a", "aa"},
      {"", "a", "b", ""},           {"x-y-z", "-", kBar, "x" + kBar + "y" + kBar + "z"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " " + c.oldText);
    EXPECT_EQ(ReplaceAll(c.text, c.oldText, c.newText), c.expected);
  }
}

// --- Fields ----------------------------------------------------------------------------------

TEST(TextToolkitFields, GetFieldAndGetFieldOrLast) {
  struct Case {
    std::string text, sep;
    long n;
    std::string field, orLast;
  };
  const Case cases[] = {
      {"a;b", ";", 1, "a", "a"},
      {"a;b", ";", 2, "b", "b"},
      {"a;b", ";", 3, "", "b"},
      {"a;b", ";", 4, "", "b"},
      {"a;b", ";", 0, "", ""},
      {"a;b", ";", -1, "", ""},
      {"abc", ";", 1, "abc", "abc"},
      {"abc", ";", 5, "", "abc"},
      {";x", ";", 1, "", ""},    
      {";x", ";", 2, "x", "x"},
      {"a;;b", ";", 2, "", ""},
      {"a;;b", ";", 3, "b", "b"},
      {"a;", ";", 2, "", ""},
      {"a;", ";", 3, "", ""},
      {"", ";", 1, "", ""},
      {"", ";", 2, "", ""},
      {"abc", "", 1, "", "abc"},  // an empty separator is never found
      {"1~5", "~", 2, "5", "5"},
      {"a" + kBar + "b" + kBar, kBar, 2, "b", "b"},
      {"a" + kBar + "b" + kBar, kBar, 3, "", ""},
      // Multi-character separator: the scan restarts one character after its start.
      {"a;;b", ";;", 1, "a", "a"},
      {"a;;b", ";;", 2, ";b", ";b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " by " + c.sep + " n=" + std::to_string(c.n));
    EXPECT_EQ(GetField(c.text, c.sep, c.n), c.field);
    EXPECT_EQ(GetFieldOrLast(c.text, c.sep, c.n), c.orLast);
    if (c.sep.size() == 1) {
      EXPECT_EQ(GetField(c.text, c.sep[0], c.n), c.field);
    }
  }
}

TEST(TextToolkitFields, CountingFromTheEnd) {
  struct Case {
    std::string text;
    long n;
    std::string tail, field;
  };
  const Case cases[] = {
      {"a\\b\\c", 1, "\\c", "c"},
      {"a\\b\\c", 2, "\\b\\c", "b"},
      {"a\\b\\c", 3, "a\\b\\c", "a"},
      {"a\\b\\c", 5, "a\\b\\c", "a"},  // fewer separators, first field
      {"a\\b\\c", 0, "", ""},
      {"a\\b\\c", -2, "", ""},
      {"abc", 1, "abc", "abc"},
      {"a\\", 1, "\\", ""},
      {"\\c", 1, "\\c", ""},  // the tail is the whole text: nothing dropped, field 1 is empty
      {"", 1, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " n=" + std::to_string(c.n));
    EXPECT_EQ(GetTailFromEnd(c.text, '\\', c.n), c.tail);
    EXPECT_EQ(GetFieldFromEnd(c.text, '\\', c.n), c.field);
  }

  struct BeforeLastCase {
    std::string text;
    char sep;
    std::string markers, expected;
  };
  const BeforeLastCase beforeLast[] = {
      {"dir\\sub\\file.txt", '\\', ".", "file"},
      {"a b#c", ' ', "#", "b"},
      {"x;y", ';', "#", "y"},
      {"a;b.c#d", ';', ".#", "b.c"},  // cut at the last of any marker
      {"#abc", ';', "#", ""},
      {"", ';', "#", ""},
      {"a;b", ';', "", "b"},
  };
  for (const BeforeLastCase& c : beforeLast) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(GetFieldBeforeLast(c.text, c.sep, c.markers), c.expected);
  }
}

// --- Enclosed text ---------------------------------------------------------------------------

TEST(TextToolkitEnclosed, GetBetween) {
  struct Case {
    std::string text;
    long n;
    std::string expected;
  };
  const Case cases[] = {
      {"(a)(b)", 1, "a"}, {"(a)(b)", 2, "b"}, {"(a)(b)", 3, ""}, {"x(abc)y", 1, "abc"},
      {"()", 1, ""},      {")a(b)", 1, ""},  // close before open: a pair with empty text
      {")a(b)", 2, "b"},                     // the rest after the first close holds the second pair
      {"a)b)", 1, ""},                       // closers only
      {"(ab", 1, ""},                        // opener without closer
      {"((a))", 1, "(a"}, {"(a)", 0, ""},     {"(a)", -1, ""},   {"", 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " n=" + std::to_string(c.n));
    EXPECT_EQ(GetBetween(c.text, '(', ')', c.n), c.expected);
  }
}

TEST(TextToolkitEnclosed, GetNthEnclosed) {
  struct Case {
    std::string text, open, close;
    long n;
    std::string expected;
  };
  const Case cases[] = {
      {"#DrawF_1$ x #DrawF_2$", "#DrawF_", "$", 1, "1"},
      {"#DrawF_1$ x #DrawF_2$", "#DrawF_", "$", 2, "2"},
      {"#DrawF_1$ x #DrawF_2$", "#DrawF_", "$", 3, ""},
      {"<<a>>b<<c>>", "<<", ">>", 1, "a"},  // markers skipped whole
      {"<<a>>b<<c>>", "<<", ">>", 2, "c"},
      {"abab]", "ab", "]", 1, "ab"},
      {"abc", "[", "]", 1, ""},
      {"[abc", "[", "]", 1, ""},
      {"[a]", "[", "]", 0, ""},
      {"[a]", "[", "]", -1, ""},
      {"[a]", "", "]", 1, ""},
      {"[a]", "[", "", 1, ""},
      {"", "[", "]", 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + " n=" + std::to_string(c.n));
    EXPECT_EQ(GetNthEnclosed(c.text, c.open, c.close, c.n), c.expected);
  }
}

TEST(TextToolkitEnclosed, FirstLastAndRanges) {
  struct FirstCase {
    std::string text, marker, close, expected;
  };
  const FirstCase firsts[] = {
      {"x#Ch13$y", "#Ch", "$", "Ch13"},  // after the marker's first character
      {"[a][b]", "[", "]", "a"},        {"x#abc", "#", "$", ""}, {"abc", "#", "$", ""},
      {"abc#", "#", "$", ""},           {"", "#", "$", ""},
  };
  for (const FirstCase& c : firsts) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(GetBetweenFirst(c.text, c.marker, c.close), c.expected);
  }

  struct AfterCase {
    std::string text, chars, expected;
  };
  const AfterCase afters[] = {{"dir\\sub/file", "\\/", "file"},
                              {"abc", "/", "abc"},
                              {"abc/", "/", ""},
                              {"", "/", ""},
                              {"a/b", "", "a/b"}};
  for (const AfterCase& c : afters) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(GetAfterLast(c.text, c.chars), c.expected);
  }

  struct CharCase {
    std::string text;
    long n;
    std::string expected;
  };
  const CharCase chars[] = {{"abc", 1, "a"}, {"abc", 3, "c"}, {"abc", 4, ""},
                            {"abc", 0, ""},  {"abc", -1, ""}, {"", 1, ""}};
  for (const CharCase& c : chars) {
    SCOPED_TRACE(c.text + " " + std::to_string(c.n));
    EXPECT_EQ(CharAt(c.text, c.n), c.expected);
  }

  struct RangeCase {
    std::string text;
    long from, to;
    std::string expected;
  };
  const RangeCase ranges[] = {{"abcdef", 2, 4, "bcd"}, {"abcdef", 0, 2, "ab"},
                              {"abcdef", 5, 10, "ef"}, {"abcdef", 4, 3, ""},
                              {"abcdef", 7, 9, ""},    {"abcdef", 3, 3, "c"},
                              {"abcdef", -5, -1, ""},  {"", 1, 1, ""}};
  for (const RangeCase& c : ranges) {
    SCOPED_TRACE(c.text + " " + std::to_string(c.from) + ".." + std::to_string(c.to));
    EXPECT_EQ(CopyRange(c.text, c.from, c.to), c.expected);
  }
}

TEST(TextToolkitEnclosed, TextAroundAndTextBackTo) {
  // Answer fields between character 30 and character 31.
  const std::string f =
      "ab\x1E"
      "cd\x1F"
      "ef\x1E"
      "gh\x1F";
  struct AroundCase {
    std::string text;
    long pos;
    std::string expected;
  };
  const AroundCase arounds[] = {
      {f, 4, "cd"},
      {f, 3, "cd"},
      {f, 6, "cd"},
      {f, 7, "cd"},
      {f, 10, "gh"},
      {f, 12, "gh"},
      {f, 99, "gh"},
      {f, 2,
       "ab\x1E"
       "cd"},  // no left delimiter: from the first character
      {f, 0,
       "ab\x1E"
       "cd"},
      {f, -3,
       "ab\x1E"
       "cd"},
      {"\x1E"
       "abc",
       2, "abc"},  // no right delimiter: to the end
      {"", 1, ""},
      {"", 0, ""},
  };
  for (const AroundCase& c : arounds) {
    SCOPED_TRACE(std::to_string(c.pos));
    EXPECT_EQ(TextAround(c.text, '\x1E', '\x1F', c.pos), c.expected);
  }

  struct BackCase {
    std::string text;
    char stop, start;
    long pos;
    std::string expected;
  };
  const BackCase backs[] = {
      {"x=(a+b)*c", '(', ')', 9, "(a+b)"},  {"x=(a+b)*c", '(', ')', 7, "(a+b)"},
      {"x=(a+b)*c", '(', ')', 99, "(a+b)"}, {"x=(a+b)*c", '(', ')', 6, ""},
      {"x=(a+b)*c", '(', ')', 0, ""},       {"x=(a+b)*c", '(', ')', -2, ""},
      {"a+b)", '(', ')', 4, "a+b)"},  // no stopChar: back to the first character
      {"a;b;c", ';', ';', 5, ";b;"},        {"", '(', ')', 1, ""},
  };
  for (const BackCase& c : backs) {
    SCOPED_TRACE(c.text + " " + std::to_string(c.pos));
    EXPECT_EQ(TextBackTo(c.text, c.stop, c.start, c.pos), c.expected);
  }
}

// --- Splitting, joining, counting ----------------------------------------------------------

TEST(TextToolkitSplit, SplitToListAndSplitToStrings) {
  struct Case {
    std::string text;
    Strings list, strings;
  };
  const Case cases[] = {
      {"a;b;", {"a", "b", ""}, {"a", "b"}},  // three against two
      {"", {}, {}},
      {"a", {"a"}, {"a"}},
      {";", {"", ""}, {""}},
      {";a", {"", "a"}, {"", "a"}},
      {"a;;b", {"a", "", "b"}, {"a", "", "b"}},
      {"a;;", {"a", "", ""}, {"a", ""}},
      {" a ; b ", {" a ", " b "}, {" a ", " b "}},  // spaces are data
      {"\"a;b\";c", {"a;b", "c"}, {"\"a", "b\"", "c"}},
      {"\"say \"\"hi\"\"\";x", {"say \"hi\"", "x"}, {"\"say \"\"hi\"\"\"", "x"}},
      {"\"ab;c", {"ab;c"}, {"\"ab", "c"}},  // unterminated quote runs to the end
      {"\"ab\"cd;e", {"ab", "cd", "e"}, {"\"ab\"cd", "e"}},
      {"a\"b;c", {"a\"b", "c"}, {"a\"b", "c"}},  // a quote inside a field is data
      {"\"\";x", {"", "x"}, {"\"\"", "x"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SplitToList(';', c.text), c.list);
    EXPECT_EQ(SplitToStrings(';', c.text), c.strings);
    // Callers size their arrays as CountChar + 1.
    EXPECT_LE(static_cast<long>(c.strings.size()), CountChar(c.text, ";") + 1);
  }
}

TEST(TextToolkitSplit, SplitToIntsAndJoining) {
  EXPECT_EQ(SplitToInts(';', "1;-2;+3"), (std::vector<int64_t>{1, -2, 3}));
  EXPECT_EQ(SplitToInts('~', "$1F~10"), (std::vector<int64_t>{31, 10}));
  EXPECT_EQ(SplitToInts(';', "7;"), (std::vector<int64_t>{7}));
  EXPECT_TRUE(SplitToInts(';', "").empty());
  struct BadCase {
    std::string text, message;
  };
  const BadCase bad[] = {{"1;x", "'x' is not a valid integer value"},
                         {"1;;2", "'' is not a valid integer value"},
                         {"1,5", "'1,5' is not a valid integer value"}};
  for (const BadCase& c : bad) {
    SCOPED_TRACE(c.text);
    try {
      SplitToInts(';', c.text);
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }

  EXPECT_EQ(JoinFields({}), "");
  EXPECT_EQ(JoinFields({""}), "");
  EXPECT_EQ(JoinFields({"a"}), "a");
  EXPECT_EQ(JoinFields({"a", "", "b"}), "a;;b");
  EXPECT_EQ(JoinWith({"a", "", "b"}, "\xA6"), "a\xA6\xA6" "b");
  EXPECT_EQ(JoinWith({}, "/"), "");
  // SplitAll keeps every piece, the trailing empty one too; joining gives the text back.
  for (std::string text : {"", ";", "a;;b;", "abc", ";x"}) {
    std::vector<std::string> parts = SplitAll(';', text);
    EXPECT_EQ(parts.size(), static_cast<std::size_t>(CountChar(text, ';') + 1)) << text;
    EXPECT_EQ(JoinWith(parts, ";"), text);
  }
  EXPECT_EQ(SeparatorRun(3), ";;;");
  EXPECT_EQ(SeparatorRun(1), ";");
  EXPECT_EQ(SeparatorRun(0), "");
  EXPECT_EQ(SeparatorRun(-2), "");
}

TEST(TextToolkitCount, CountingCharactersAndTexts) {
  struct CharCase {
    std::string text, ch;
    long expected;
  };
  const CharCase chars[] = {{"a;b;c", ";", 2},
                            {"abc", "", 0},
                            {"aab", "aa", 0},
                            {"", ";", 0},
                            {kBar + "x" + kBar, kBar, 2}};
  for (const CharCase& c : chars) {
    SCOPED_TRACE(c.text + " " + c.ch);
    EXPECT_EQ(CountChar(c.text, c.ch), c.expected);
  }

  struct UpToCase {
    std::string text;
    long n, expected;
  };
  const UpToCase upTo[] = {{"a;b;c", 3, 1}, {"a;b;c", 4, 2},  {"a;b;c", 99, 2},
                           {"a;b;c", 0, 0}, {"a;b;c", -1, 0}, {"", 5, 0}};
  for (const UpToCase& c : upTo) {
    SCOPED_TRACE(c.text + " " + std::to_string(c.n));
    EXPECT_EQ(CountCharUpTo(c.text, ';', c.n), c.expected);
  }

  struct TextCase {
    std::string text, sub;
    long exact, noCase;
  };
  const TextCase texts[] = {
      {"aaa", "aa", 2, 1},  // overlapping
      {"aAa", "aa", 0, 1},  // not overlapping, any case
      {"aaaa", "AA", 0, 2}, {"abab", "ab", 2, 2}, {"AbC abc", "abc", 1, 2},
      {"abc", "", 0, 0},    {"", "a", 0, 0},      {"ab", "abc", 0, 0},
  };
  for (const TextCase& c : texts) {
    SCOPED_TRACE(c.text + " " + c.sub);
    EXPECT_EQ(CountText(c.text, c.sub), c.exact);
    EXPECT_EQ(CountTextNoCase(c.text, c.sub), c.noCase);
  }

  EXPECT_EQ(CountPowerSigns("2^3^4"), 2);
  EXPECT_EQ(CountPowerSigns(""), 0);
}

TEST(TextToolkitCount, Positions) {
  struct DistanceCase {
    std::string text;
    char ch;
    long from;
    bool forward;
    long expected;
  };
  const DistanceCase distances[] = {
      {"abc", 'a', 1, true, 1},
      {"abc", 'c', 1, true, 3},   {"abc", 'z', 1, true, -1},  {"abc", 'a', 3, false, 3},
      {"abc", 'c', 3, false, 1},  {"abc", 'c', 2, false, -1}, {"abc", 'a', 0, true, 1},
      {"abc", 'b', -4, true, 2},  {"abc", 'a', 0, false, 1},  {"abc", 'a', 10, true, -1},
      {"abc", 'c', 10, false, 8},  // steps are counted from the given position
      {"", 'a', 1, true, -1},     {"", 'a', 1, false, -1},
  };
  for (const DistanceCase& c : distances) {
    SCOPED_TRACE(c.text + " " + c.ch + " " + std::to_string(c.from) + (c.forward ? " >" : " <"));
    EXPECT_EQ(DistanceToChar(c.text, c.ch, c.from, c.forward), c.expected);
  }

  struct NthCase {
    std::string text;
    long from, n, expected;
  };
  const NthCase nths[] = {
      {"a;b;c;d", 1, 2, 4}, {"a;b;c;d", 3, 1, 4},  {"a;b;c;d", 5, 2, 0},
      {"a;b;c;d", 0, 3, 2},  // from 0: both taken as 1
      {"a;b;c;d", 4, 0, 2},  // n 0: both taken as 1
      {"a;b;c;d", 1, 4, 0}, {"a;b;c;d", 99, 1, 0}, {"", 1, 1, 0},
  };
  for (const NthCase& c : nths) {
    SCOPED_TRACE(c.text + " " + std::to_string(c.from) + " " + std::to_string(c.n));
    EXPECT_EQ(PositionOfNthChar(c.text, ';', c.from, c.n), c.expected);
  }

  struct AfterCase {
    std::string text;
    long n, expected;
  };
  const AfterCase afters[] = {{"a;b;c", 0, 2}, {"a;b;c", 1, 4},  {"a;b;c", 2, 6},
                              {"a;b;c", 5, 6}, {"a;b;c", -1, 6}, {"", 0, 1}};
  for (const AfterCase& c : afters) {
    SCOPED_TRACE(c.text + " " + std::to_string(c.n));
    EXPECT_EQ(PositionAfterNth(c.text, ';', c.n), c.expected);
  }

  struct CollectCase {
    std::string text, expected;
  };
  const CollectCase collects[] = {{"{a} x {bc}", "a;bc"}, {"abc", ""},   {"{}", ""},
                                  {"{a}{}", "a;"},        {"{ab", "ab"}, {"", ""}};
  for (const CollectCase& c : collects) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CollectBetweenChars(c.text, '{', '}'), c.expected);
  }
}

// --- Character classes -----------------------------------------------------------------------

TEST(TextToolkitClasses, WholeTextTests) {
  using Test = bool (*)(std::string_view);
  struct Case {
    const char* name;
    Test test;
    std::string text;
    bool expected;
  };
  const Case cases[] = {
      {"DigitsOnly", IsDigitsOnly, "0123", true},
      {"DigitsOnly", IsDigitsOnly, "", false},
      {"DigitsOnly", IsDigitsOnly, "12a", false},
      {"DigitsOnly", IsDigitsOnly, "-1", false},
      {"DigitsOnly", IsDigitsOnly, "1,5", false},
      {"DigitsOrComma", IsDigitsOrComma, "1,5", true},
      {"DigitsOrComma", IsDigitsOrComma, ",", true},
      {"DigitsOrComma", IsDigitsOrComma, "", false},
      {"DigitsOrComma", IsDigitsOrComma, "1.5", false},
      {"DigitsOrComma", IsDigitsOrComma, "-1", false},
      {"NumberText", IsNumberText, "-1,5", true},
      {"NumberText", IsNumberText, "1-2", true},
      {"NumberText", IsNumberText, "", false},
      {"NumberText", IsNumberText, "1 2", false},
      {"NumberText", IsNumberText, "+1", false},
      {"DigitsOrMinus", IsDigitsOrMinus, "-12", true},
      {"DigitsOrMinus", IsDigitsOrMinus, "--", true},
      {"DigitsOrMinus", IsDigitsOrMinus, "1,2", false},
      {"DigitsOrMinus", IsDigitsOrMinus, "", false},
      {"SignedInteger", IsSignedInteger, "12", true},
      {"SignedInteger", IsSignedInteger, "-12", true},
      {"SignedInteger", IsSignedInteger, "+12", true},
      {"SignedInteger", IsSignedInteger, "-+12", true},  // "-" removed, then "+"
      {"SignedInteger", IsSignedInteger, "+-12", false},
      {"SignedInteger", IsSignedInteger, "--1", false},
      {"SignedInteger", IsSignedInteger, "-", false},
      {"SignedInteger", IsSignedInteger, "+", false},
      {"SignedInteger", IsSignedInteger, "-+", false},
      {"SignedInteger", IsSignedInteger, "1-", false},
      {"SignedInteger", IsSignedInteger, "", false},
      {"AllPunctuation", IsAllPunctuation, "!#$&'()+,-.:;?[]{}\"" + kBar, true},
      {"AllPunctuation", IsAllPunctuation, "", false},
      {"AllPunctuation", IsAllPunctuation, "%", false},
      {"AllPunctuation", IsAllPunctuation, "*", false},
      {"AllPunctuation", IsAllPunctuation, "/", false},
      {"AllPunctuation", IsAllPunctuation, "<", false},
      {"AllPunctuation", IsAllPunctuation, "=", false},
      {"AllPunctuation", IsAllPunctuation, ">", false},
      {"AllPunctuation", IsAllPunctuation, " ", false},
      {"AllPunctuation", IsAllPunctuation, ".a", false},
      {"ContainsBracket", ContainsBracket, "a(b", true},
      {"ContainsBracket", ContainsBracket, "]", true},
      {"ContainsBracket", ContainsBracket, "a{b}", false},
      {"ContainsBracket", ContainsBracket, "", false},
      {"ContainsOperator", ContainsOperator, "2x3", true},
      {"ContainsOperator", ContainsOperator, "a-b", true},
      {"ContainsOperator", ContainsOperator, "6:2", true},
      {"ContainsOperator", ContainsOperator, "2/3", false},
      {"ContainsOperator", ContainsOperator, "2^3", false},
      {"ContainsOperator", ContainsOperator, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.text);
    EXPECT_EQ(c.test(c.text), c.expected);
  }
}

TEST(TextToolkitClasses, PositionTests) {
  using Test = bool (*)(std::string_view, long);
  struct Case {
    const char* name;
    Test test;
    std::string text;
    long pos;
    bool expected;
  };
  const Case cases[] = {
      {"Digit", IsDigitAt, "a1", 2, true},           {"Digit", IsDigitAt, "a1", 1, false},
      {"Digit", IsDigitAt, "a1", 3, false},          {"Digit", IsDigitAt, "a1", 0, false},
      {"Digit", IsDigitAt, "a1", -1, false},         {"Digit", IsDigitAt, "", 1, false},
      {"Letter", IsLetterAt, "aZ1", 1, true},        {"Letter", IsLetterAt, "aZ1", 2, true},
      {"Letter", IsLetterAt, "aZ1", 3, false},       {"Letter", IsLetterAt, "\xE9", 1, false},
      {"Letter", IsLetterAt, "aZ1", 4, false},       {"Letter", IsLetterAt, "aZ1", 0, false},
      {"Times", IsTimesSignAt, "3x4", 2, true},      {"Times", IsTimesSignAt, "3X4", 2, true},
      {"Times", IsTimesSignAt, "3*4", 2, false},     {"Times", IsTimesSignAt, "3x4", 4, false},
      {"Times", IsTimesSignAt, "x", 0, false},       {"Operator", IsOperatorAt, "*+-:Xx", 1, true},
      {"Operator", IsOperatorAt, "*+-:Xx", 2, true}, {"Operator", IsOperatorAt, "*+-:Xx", 3, true},
      {"Operator", IsOperatorAt, "*+-:Xx", 4, true}, {"Operator", IsOperatorAt, "*+-:Xx", 5, true},
      {"Operator", IsOperatorAt, "*+-:Xx", 6, true}, {"Operator", IsOperatorAt, "*+-:Xx", 7, false},
      {"Operator", IsOperatorAt, "/", 1, false},     {"Operator", IsOperatorAt, "^", 1, false},
      {"Operator", IsOperatorAt, "+", -1, false},    {"Bracket", IsBracketAt, "()[]", 1, true},
      {"Bracket", IsBracketAt, "()[]", 2, true},     {"Bracket", IsBracketAt, "()[]", 3, true},
      {"Bracket", IsBracketAt, "()[]", 4, true},     {"Bracket", IsBracketAt, "()[]", 5, false},
      {"Bracket", IsBracketAt, "{", 1, false},       {"Power", IsPowerSignAt, "2^3", 2, true},
      {"Power", IsPowerSignAt, "2^3", 0, false},     {"Power", IsPowerSignAt, "2^", 3, false},
      {"Power", IsPowerSignAt, "", 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.text + " " + std::to_string(c.pos));
    EXPECT_EQ(c.test(c.text, c.pos), c.expected);
  }
}

// --- Stripping and replacing -----------------------------------------------------------------

TEST(TextToolkitStrip, RemovingCharacters) {
  EXPECT_EQ(RemoveSpaces(" a b  c "), "abc");
  EXPECT_EQ(RemoveSpaces(""), "");
  EXPECT_EQ(SqueezeChar("a;;;b;;", ';'), "a;b;");
  EXPECT_EQ(SqueezeChar("  a  ", ' '), " a ");
  EXPECT_EQ(SqueezeChar("", ' '), "");
  EXPECT_EQ(FillLike("abc", '_'), "___");
  EXPECT_EQ(FillLike("", '_'), "");

  struct BetweenCase {
    std::string text;
    bool dropStray;
    std::string expected;
  };
  const BetweenCase betweens[] = {
      {"3 km#km>m) = ?", false, "3 km = ?"},
      {"a#bc", false, "a"},  // an unclosed stretch runs to the end
      {"a)b#c)d", false, "a)bd"},
      {"a)b#c)d", true, "abd"},
      {"", false, ""},
  };
  for (const BetweenCase& c : betweens) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(RemoveBetweenChars(c.text, '#', ')', c.dropStray), c.expected);
  }

  EXPECT_EQ(RemovePunctuation("a!#$*./:;<>?[\\]{}\"" + kBar + "b"), "ab");
  EXPECT_EQ(RemovePunctuation("=()-+,'%&"), "=()-+,'%&");
  EXPECT_EQ(RemovePunctuation(""), "");
}

TEST(TextToolkitStrip, Replacing) {
  struct Case {
    const char* name;
    std::string actual, expected;
  };
  const Case cases[] = {
      {"ReplaceFirst", ReplaceFirst("a-b-c", "-", "+"), "a+b-c"},
      {"ReplaceFirst absent", ReplaceFirst("abc", "x", "y"), "abc"},
      {"ReplaceFirst empty old", ReplaceFirst("abc", "", "y"), "abc"},
      {"ReplaceFirst growing", ReplaceFirst("aaa", "a", "aa"), "aaaa"},
      {"ReplaceEach", ReplaceEach("a,b.c", ",;.", " "), "a b c"},
      {"ReplaceEach multi", ReplaceEach("xyzxy", "xy", "Q"), "QzQ"},
      {"ReplaceEach stops at empty", ReplaceEach("a,b.c", ",;;.", "_"), "a_b.c"},
      {"ReplaceEach no targets", ReplaceEach("abc", "", "x"), "abc"},
      {"ReplaceRun", ReplaceRun("ab123;cd", "X", ';', 3), "abX;cd"},
      {"ReplaceRun to end", ReplaceRun("ab123", "X", ';', 3), "abX"},
      {"ReplaceRun at delimiter", ReplaceRun("ab;c", "X", ';', 3), "abX;c"},
      {"ReplaceRun from 0", ReplaceRun("ab;c", "X", ';', 0), "Xab;c"},
      {"ReplaceRun past end", ReplaceRun("ab", "X", ';', 5), "abX"},
      {"ReplaceRun empty", ReplaceRun("", "X", ';', 1), "X"},
      {"Context plain", ReplaceInContext("a#Ch13$b#Ch13$", "#Ch13$", "#Ch13$\n", "", ""),
       "a#Ch13$\nb#Ch13$\n"},
      {"Context left", ReplaceInContext("xa ya xa", "a", "A", "x", ""), "xA ya xA"},
      {"Context right", ReplaceInContext("ab ac ab", "a", "A", "", "b"), "Ab ac Ab"},
      {"Context both", ReplaceInContext("xab xac yab", "a", "A", "x", "b"), "xAb xac yab"},
      {"Context left at start", ReplaceInContext("ab", "a", "A", "x", ""), "ab"},
      {"Context right at end", ReplaceInContext("ba", "a", "A", "", "b"), "ba"},
      {"Context empty find", ReplaceInContext("abc", "", "X", "", ""), "abc"},
      {"Context empty text", ReplaceInContext("", "a", "X", "", ""), ""},
      {"DeleteThroughNth 2", DeleteThroughNth("a b c d", ' ', 2), "c d"},
      {"DeleteThroughNth 3", DeleteThroughNth("a b c d", ' ', 3), "d"},
      {"DeleteThroughNth fewer", DeleteThroughNth("a b c d", ' ', 4), ""},
      {"DeleteThroughNth 0", DeleteThroughNth("a b c d", ' ', 0), "a b c d"},
      {"DeleteThroughNth empty", DeleteThroughNth("", ' ', 1), ""},
      {"CutAfterNth 2", CutAfterNth("#DrawF_ab$ #DrawF_cd$", "#DrawF_", "$", 2),
       "#DrawF_ab$ #DrawF_$"},
      {"CutAfterNth 1", CutAfterNth("#DrawF_ab$ #DrawF_cd$", "#DrawF_", "$", 1),
       "#DrawF_$ #DrawF_cd$"},
      {"CutAfterNth fewer", CutAfterNth("#DrawF_ab$", "#DrawF_", "$", 2), "#DrawF_ab$"},
      {"CutAfterNth no terminator", CutAfterNth("#Dx abc", "#D", "$", 1), "#D"},
      {"CutAfterNth not overlapping", CutAfterNth("aaa|", "aa", "|", 2), "aaa|"},
      {"CutAfterNth first", CutAfterNth("aaa|", "aa", "|", 1), "aa|"},
      {"CutAfterNth 0", CutAfterNth("#Dab$", "#D", "$", 0), "#Dab$"},
      {"CutAfterNth empty", CutAfterNth("", "#D", "$", 1), ""},
      {"FillQuoted", FillQuoted("a \"x\" b \"y\" c", '"', {"1", "2"}), "a 1 b 2 c"},
      {"FillQuoted run out", FillQuoted("a \"x\" b \"y\" c", '"', {"1"}), "a 1 b  c"},
      {"FillQuoted none", FillQuoted("a \"x\" b \"y\" c", '"', {}), "a  b  c"},
      {"FillQuoted unpaired", FillQuoted("a \"x\" \"b", '"', {"1", "2"}), "a 1 \"b"},
      {"FillQuoted empty", FillQuoted("", '"', {"1"}), ""},
      {"PadInto right-aligned cut", PadInto("abcdef", "1234", 2, "Right", 3), "a234ef"},
      {"PadInto right", PadInto("abcdef", "12", 2, "Right", 3), "a 12ef"},
      {"PadInto left", PadInto("abcdef", "12", 2, "Left", 3), "a12 ef"},
      {"PadInto left cut", PadInto("abcdef", "1234", 2, "Left", 3), "a123ef"},
      {"PadInto near end", PadInto("abc", "xy", 3, "Left", 3), "abxy "},
      {"PadInto past end", PadInto("ab", "x", 5, "Left", 2), "abx "},
      {"PadInto pos 0", PadInto("ab", "x", 0, "Right", 2), " xab"},
      {"PadInto width 0", PadInto("ab", "x", 1, "Left", 0), "ab"},
      {"PadInto empty", PadInto("", "7", 1, "Right", 2), " 7"},
      {"SpaceAround", SpaceAround("l'ami", '\'', " "), "l ' ami"},
      {"SpaceAround spaced", SpaceAround("l' ami", '\'', " "), "l ' ami"},
      {"SpaceAround first", SpaceAround("'a", '\'', " "), "' a"},
      {"SpaceAround last", SpaceAround("a'", '\'', " "), "a '"},
      {"SpaceAround alone", SpaceAround("'", '\'', " "), "'"},
      {"SpaceAround pad", SpaceAround("a-b", '-', "_"), "a_-_b"},
      {"SpaceAround empty", SpaceAround("", '-', " "), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.actual, c.expected);
  }
}

// --- Bracket-aware operations ----------------------------------------------------------------

TEST(TextToolkitBrackets, DepthGroupsAndReplacement) {
  EXPECT_EQ(BracketDepthStep('(', 0, "([", ")]"), 1);
  EXPECT_EQ(BracketDepthStep(']', 2, "([", ")]"), 1);
  EXPECT_EQ(BracketDepthStep('a', 3, "([", ")]"), 3);
  EXPECT_EQ(BracketDepthStep(')', 0, "([", ")]"), -1);

  struct Case {
    const char* name;
    std::string actual, expected;
  };
  const Case cases[] = {
      {"RemoveGroups", RemoveGroups("Le (petit) chat [x].", "([{", ")]}"), "Le  chat ."},
      {"RemoveGroups nested", RemoveGroups("a(b(c)d)e", "(", ")"), "ae"},
      {"RemoveGroups stray close", RemoveGroups("a)b", "(", ")"), "a"},
      {"RemoveGroups empty", RemoveGroups("", "(", ")"), ""},
      {"GroupContents of two groups", GroupContents("(ab)[cd]", "([", ")]"), "ab;cd"},
      {"GroupContents braces", GroupContents("x{a}y", "{", "}"), "a"},
      {"GroupContents empty group", GroupContents("()(b)", "(", ")"), ";b"},
      {"GroupContents nested", GroupContents("(a(b)c)", "(", ")"), "a;c"},
      {"GroupContents none", GroupContents("abc", "(", ")"), ""},
      {"GroupContents empty", GroupContents("", "(", ")"), ""},
      {"ReplaceGroup", ReplaceGroup("[1] Revision", "2", '[', ']', 1), "[2] Revision"},
      {"ReplaceGroup second", ReplaceGroup("[1] a [22] b", "9", '[', ']', 2), "[1] a [9] b"},
      {"ReplaceGroup missing", ReplaceGroup("[1] a", "9", '[', ']', 3), "[1] a"},
      {"ReplaceGroup outer", ReplaceGroup("[a[b]c]", "X", '[', ']', 1), "[X[b]]"},
      {"ReplaceGroup nested", ReplaceGroup("[a[b]c]", "X", '[', ']', 2), "[a[X]c]"},
      {"ReplaceGroup empty group", ReplaceGroup("[]", "X", '[', ']', 1), "[]"},
      {"ReplaceGroup 0", ReplaceGroup("[1]", "X", '[', ']', 0), "[1]"},
      {"ReplaceGroup empty", ReplaceGroup("", "X", '[', ']', 1), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.actual, c.expected);
  }
}

TEST(TextToolkitBrackets, WrapWords) {
  struct Case {
    std::string text;
    bool bracketAware;
    long minLength;
    std::string expected;
  };
  const Case cases[] = {
      {"le chat", false, 1, "{le} {chat}"},
      {"le chat dort", false, 3, "le {chat} {dort}"},  // the last word is always braced
      {"ab, c", false, 3, "{ab}, {c}"},                // the delimiter counts in the length
      {"ab c", false, 3, "ab {c}"},                    // a space does not
      {"a (bc d) e", true, 1, "{a} (bc d) {e}"},
      {"a (bc d) e", false, 1, "{a} ({bc} {d}) {e}"},
      {"il dit \"oui non\" ok", true, 1, "{il} {dit} \"oui non\" {ok}"},
      {"ab(c) d", true, 1, "ab(c) {d}"},  // a word ended by a bracket
      {"ab\" d", true, 1, "ab\" {d}"},    // a word ended by a double quote
      {"(ab", true, 5, "({ab}"},
      {"l'ami", false, 1, "{l}'{ami}"},
      {"a b", false, 0, "{a} {b}"},
      {"  ,", false, 1, "  ,"},
      {"", true, 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(WrapWords(c.text, c.bracketAware, c.minLength), c.expected);
  }
}

// --- Key filters ------------------------------------------------------------------------------

TEST(TextToolkitKeys, FilterNameKey) {
  ScriptedMessageBox msgBox;
  for (char ch : std::string("\b -09AZ_az")) {
    SCOPED_TRACE(static_cast<int>(ch));
    EXPECT_EQ(FilterNameKey(ch, msgBox), ch);
  }
  EXPECT_TRUE(msgBox.Shown().empty());

  const std::string refused = std::string(".@/\xE9") + kBar + std::string(1, '\0');
  for (char ch : refused) {
    SCOPED_TRACE(static_cast<int>(ch));
    msgBox.Clear();
    EXPECT_EQ(FilterNameKey(ch, msgBox), 0);
    ASSERT_EQ(msgBox.Shown().size(), 1u);
    EXPECT_EQ(msgBox.Shown()[0].title, "");
    EXPECT_EQ(msgBox.Shown()[0].line1, "0..9 ; A..Z");
    EXPECT_EQ(msgBox.Shown()[0].icon, kIconWarning);
  }
}

TEST(TextToolkitKeys, FilterFieldKey) {
  struct Case {
    char ch;
    std::string text;
    long maxLength;
    char expected;
  };
  const Case cases[] = {
      {'x', "abc", 2, 8},  // already longer than the limit
      {'"', "abc", 2, 8},   {'a', "ab", 2, 'a'}, {'a', "", 0, 'a'},        {'"', "", 10, 0},
      {'\'', "", 10, 0},    {'*', "", 10, 0},    {'/', "", 10, 0},         {':', "", 10, 0},
      {'<', "", 10, 0},     {'>', "", 10, 0},    {'?', "", 10, 0},         {'\\', "", 10, 0},
      {'\xA6', "", 10, 0},  {'#', "", 10, 0},    {';', "", 10, 0},         {' ', "", 10, ' '},
      {'.', "", 10, '.'},   {'-', "", 10, '-'},  {'\xA7', "", 10, '\xA7'}, {'\xE9', "", 10, '\xE9'},
      {'\b', "", 10, '\b'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<unsigned char>(c.ch)) + " " + c.text);
    EXPECT_EQ(FilterFieldKey(c.ch, c.text, c.maxLength), c.expected);
  }
}

}  // namespace
}  // namespace quillo
