#include "engine/fraction_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/bracket_blocks.h"
#include "shell/seams.h"

namespace quillo {
namespace {

struct Rec {
  std::string text;
  int width;
  int height;
};

std::vector<std::string> Lines(const ScriptedMessageBox& box) {
  std::vector<std::string> lines;
  for (const ShownMessage& m : box.Shown()) lines.push_back(m.line1);
  return lines;
}

FractionDrawing Draw(std::string_view description, ScriptedMessageBox& box) {
  return DrawExpression(description, box);
}

// The entries without the leading marker, as "text x,y w,h".
std::vector<std::string> Entries(const FractionDrawing& d) {
  std::vector<std::string> out;
  for (std::size_t i = 1; i < d.entries.size(); ++i) {
    const Ty_DrawCoorF& e = d.entries[i];
    out.push_back(e.text + " " + std::to_string(e.x) + "," + std::to_string(e.y) + " " +
                  std::to_string(e.w) + "," + std::to_string(e.h));
  }
  return out;
}

TEST(LayoutPass, ReducesGroupsInnermostFirst) {
  const struct {
    const char* description;
    std::vector<Rec> records;
  } cases[] = {
      {"<<3>\\<4>>", {{"3 \\ 4", 1, 2}, {"#0", 1, 2}}},
      // One over two thirds: the inner fraction first, then the outer one three rows high.
      {"<<1>\\<<2>\\<3>>>", {{"2 \\ 3", 1, 2}, {"1 \\ #0", 1, 3}, {"#1", 1, 3}}},
      // A row of fractions: their bars share one line.
      {"<<<1>\\<2>>+<<1>\\<3>>>",
       {{"1 \\ 2", 1, 2}, {"1 \\ 3", 1, 2}, {"#0 + #1 $", 3, 2}, {"#2", 3, 2}}},
      // A mixed number: the prefix adds its width.
      {"<2<1>\\<3>>", {{"2 1 \\ 3", 2, 2}, {"#0", 2, 2}}},
      {"<<12>\\<345>m>", {{"12 \\ 345 m", 4, 2}, {"#0", 4, 2}}},
      // A fraction over a row of a fraction and a number.
      {"<<<<1>\\<2>>+<1>>\\<3>>",
       {{"1 \\ 2", 1, 2}, {"#0 + 1 $", 3, 2}, {"#1 \\ 3", 3, 3}, {"#2", 3, 3}}},
      // Square brackets as groups: "<" and ">" are ordinary characters.
      {"[[[1]\\[2]]+[<3>]]", {{"1 \\ 2", 1, 2}, {"#0 + <3> $", 5, 2}, {"#1", 5, 2}}},
      {"{{1}\\{<2>}}", {{"1 \\ <2>", 3, 2}, {"#0", 3, 2}}},
      // No groups inside: the whole description is the only record.
      {"<2+3>", {{"2+3", 3, 1}}},
      {"<sqrt(<<1>\\<2>>)>", {{"1 \\ 2", 1, 2}, {"sqrt( #0 ) $", 2, 2}, {"#1", 2, 2}}},
      {"<2^3+del(4)>", {{"2^3+del(4)", 4, 1}}},
  };
  for (const auto& c : cases) {
    ScriptedMessageBox box;
    FractionDrawing d;
    LayoutPass(c.description, d, box);
    std::vector<Rec> got;
    for (const Ty_FractInLine& r : d.records) got.push_back({r.text, r.width, r.height});
    ASSERT_EQ(got.size(), c.records.size()) << c.description;
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(d.records[i].name, "#" + std::to_string(i)) << c.description;
      EXPECT_EQ(got[i].text, c.records[i].text) << c.description << " record " << i;
      EXPECT_EQ(got[i].width, c.records[i].width) << c.description << " record " << i;
      EXPECT_EQ(got[i].height, c.records[i].height) << c.description << " record " << i;
    }
    EXPECT_TRUE(box.Shown().empty()) << c.description;
    ASSERT_EQ(d.entries.size(), 1u);
    EXPECT_EQ(d.entries[0].text, "~");
    EXPECT_EQ(d.entries[0].x, 35);
    EXPECT_EQ(d.entries[0].y, 70);
  }
}

TEST(LayoutPass, KeepsThePartSizesOfFractionsAndRows) {
  ScriptedMessageBox box;
  FractionDrawing d;
  LayoutPass("<<<1>\\<<2>\\<3>>>+<2<45>\\<6>>>", d, box);
  ASSERT_EQ(d.records.size(), 5u);
  const Ty_FractInLine& over = d.records[1];  // 1 over two thirds
  EXPECT_TRUE(over.fraction);
  EXPECT_EQ(over.text, "1 \\ #0");
  EXPECT_EQ(over.numeratorWidth, 1);
  EXPECT_EQ(over.numeratorHeight, 1);
  EXPECT_EQ(over.denominatorWidth, 1);
  EXPECT_EQ(over.denominatorHeight, 2);
  const Ty_FractInLine& mixed = d.records[2];  // 2 and 45 sixths
  EXPECT_EQ(mixed.text, "2 45 \\ 6");
  EXPECT_EQ(mixed.prefixSuffixWidth, 1);
  EXPECT_EQ(mixed.numeratorWidth, 2);
  EXPECT_EQ(mixed.denominatorWidth, 1);
  EXPECT_EQ(mixed.width, 3);
  const Ty_FractInLine& row = d.records[3];
  EXPECT_FALSE(row.fraction);
  EXPECT_EQ(row.text, "#1 + #2 $");
  EXPECT_EQ(row.numeratorHeight, 1);
  EXPECT_EQ(row.denominatorHeight, 2);
  EXPECT_EQ(row.height, 3);
  EXPECT_EQ(row.width, 5);
}

TEST(PlacementPass, CentresEachFractionOnItsBar) {
  const struct {
    const char* description;
    std::vector<std::string> entries;
  } cases[] = {
      {"<<3>\\<4>>", {"3 0,0 7,14", "\\ 0,14 7,14", "4 0,14 7,14"}},
      // The narrower part is shifted by half the width difference, rounded towards zero.
      {"<<1>\\<234>>",
       {"1 7,0 7,14", "\\ 0,14 21,14", "2 0,14 7,14", "3 7,14 7,14", "4 14,14 7,14"}},
      {"<<12>\\<3>>", {"1 0,0 7,14", "2 7,0 7,14", "\\ 0,14 14,14", "3 3,14 7,14"}},
      // The prefix of a mixed number stands on the bar line; the bar spans the fraction only.
      {"<2<1>\\<3>>", {"2 0,7 7,14", "1 7,0 7,14", "\\ 7,14 14,14", "3 7,14 7,14"}},
      // Side by side, the bars share one line and the sign sits on it.
      {"<<<1>\\<2>>+<<1>\\<3>>>",
       {"1 0,0 7,14", "\\ 0,14 7,14", "2 0,14 7,14", "+ 7,7 7,14", "1 14,0 7,14",
        "\\ 14,14 21,14", "3 14,14 7,14"}},
      // Stacked: the inner bar is one pixel shorter at each end than the main bar.
      {"<<1>\\<<2>\\<3>>>",
       {"1 0,0 7,14", "\\ 0,14 7,14", "2 0,14 7,14", "\\ 1,28 6,28", "3 0,28 7,14"}},
      // A plain number beside a taller fraction is centred on its bar line.
      {"<<<1>\\<<2>\\<3>>>=4>",
       {"1 0,0 7,14", "\\ 0,14 7,14", "2 0,14 7,14", "\\ 1,28 6,28", "3 0,28 7,14",
        "= 7,7 7,14", "4 14,7 7,14"}},
  };
  for (const auto& c : cases) {
    ScriptedMessageBox box;
    FractionDrawing d = Draw(c.description, box);
    EXPECT_EQ(Entries(d), c.entries) << c.description;
    EXPECT_TRUE(box.Shown().empty()) << c.description;
  }
}

TEST(PlacementPass, StretchesSymbolsOverTheirOperands) {
  const struct {
    const char* description;
    std::vector<std::string> entries;
  } cases[] = {
      // The hook takes one column, then one bar piece per operand column.
      {"<sqrt(12)>",
       {"sqrt 0,-1 7,14", "sqrt1 7,-1 -255,14", "sqrt1 14,-1 -255,14", "1 7,0 7,14",
        "2 14,0 7,14"}},
      // Over a fraction the root is as high as the fraction.
      {"<sqrt(<<1>\\<2>>)>",
       {"sqrt 0,-1 7,28", "sqrt1 7,-1 -255,28", "1 7,0 7,14", "\\ 7,14 14,14", "2 7,14 7,14"}},
      // A root in a numerator, brackets given by braces.
      {"{{sqrt(2)}\\{3}}",
       {"sqrt 0,-1 7,14", "sqrt1 7,-1 -255,14", "2 7,0 7,14", "\\ 0,14 14,14", "3 3,14 7,14"}},
      // A cancellation covers its operand without taking a column.
      {"<del(4)8>", {"del 0,-2 7,14", "4 0,0 7,14", "8 7,0 7,14"}},
      // The exponent marker carries the number of digits that follow it.
      {"<2^34+1>",
       {"2 0,0 7,14", "^ -21,-21 2,0", "3 7,0 7,14", "4 14,0 7,14", "+ 21,0 7,14",
        "1 28,0 7,14"}},
      // Brackets stretch to their contents; an exponent after them stands at their top.
      {"<(<<1>\\<2>>)^2>",
       {"( 0,0 7,28", "1 7,0 7,14", "\\ 7,14 14,14", "2 7,14 7,14", ") 14,0 7,28",
        "^ -21,-21 1,0", "2 21,0 7,14"}},
      {"<2[3+4]>",
       {"2 0,0 7,14", "[ 7,0 7,14", "3 14,0 7,14", "+ 21,0 7,14", "4 28,0 7,14",
        "] 35,0 7,14"}},
      // Written functions are text with ordinary brackets.
      {"<cos(0)>",
       {"c 0,0 7,14", "o 7,0 7,14", "s 14,0 7,14", "( 21,0 7,14", "0 28,0 7,14",
        ") 35,0 7,14"}},
  };
  for (const auto& c : cases) {
    ScriptedMessageBox box;
    FractionDrawing d = Draw(c.description, box);
    EXPECT_EQ(Entries(d), c.entries) << c.description;
    EXPECT_TRUE(box.Shown().empty()) << c.description;
  }
}

TEST(PlacementPass, MarksTheRecordsAndTracesEveryStep) {
  ScriptedMessageBox box;
  FractionDrawing d = Draw("<< 1 > \\ < 2 3 >>", box);  // spaces are removed first
  ASSERT_EQ(d.records.size(), 2u);
  EXPECT_EQ(d.records[0].text, "1 \\ 23");
  for (const Ty_FractInLine& r : d.records) EXPECT_EQ(r.status1, "oK") << r.name;
  EXPECT_EQ(d.records[0].status2, "dec2");  // numerator, then bar and denominator
  EXPECT_EQ(d.records[1].status2, "");      // only one word
  EXPECT_EQ(d.trace,
            "\r\n#0,     X=0 ; Y=0"
            "\r\n1,     X=3 ; Y=0"
            "\r\n\\,     X=0 ; Y=14"
            "\r\n23,     X=0 ; Y=14");

  FreeExpression(d);
  EXPECT_TRUE(d.records.empty());
  EXPECT_TRUE(d.entries.empty());
  EXPECT_TRUE(d.trace.empty());
}

TEST(DrawExpression, MalformedDescriptionsGiveTheirMessageAndAPartialDrawing) {
  const std::string longFlat = "<" + std::string(4998, '7') + ">";
  std::string manyFractions = "<";
  while (manyFractions.size() < 4990) manyFractions += "<<1>\\<2>>+";
  manyFractions += "1>";
  const std::string deep = std::string(2500, '<') + std::string(2500, '>');
  std::string nested;
  for (int i = 0; i < 600; ++i) nested += "<<1>\\";
  nested += "<2>" + std::string(600, '>');
  const struct {
    std::string description;
    std::vector<std::string> messages;
    int lastWidth;  // -1: not checked
  } cases[] = {
      // A missing closing delimiter: the group runs to the end.
      {"<<1>\\<2>", {kBracketMessage}, 1},
      {"<<1>\\<2>>>", {kBracketMessage}, 1},
      {"<2)+3>", {kBracketMessage}, 4},
      {"<foo(3)>", {kUnknownOperatorMessage}, 6},
      {"<sqrt(2>", {}, 1},  // the operand reaches to the end
      {"<>", {}, 0},
      {"<<<>>>", {}, 0},
      {"", {}, 0},
      {"\\", {}, 1},
      {longFlat, {}, 4998},
      {manyFractions, {}, -1},
      {deep, {}, 0},
      {nested, {}, -1},
  };
  for (const auto& c : cases) {
    ScriptedMessageBox box;
    FractionDrawing d = Draw(c.description, box);
    const std::string what = c.description.substr(0, 40);
    EXPECT_EQ(Lines(box), c.messages) << what;
    ASSERT_FALSE(d.records.empty()) << what;
    if (c.lastWidth >= 0) {
      EXPECT_EQ(d.records.back().width, c.lastWidth) << what;
    }
    ASSERT_FALSE(d.entries.empty()) << what;
    EXPECT_EQ(d.entries[0].text, "~");
    // Both passes are bounded.
    EXPECT_LE(d.records.size(), static_cast<std::size_t>(kPassLimit) + 1) << what;
    EXPECT_LE(std::count(d.trace.begin(), d.trace.end(), '\n'), kPassLimit) << what;
  }
}

TEST(DrawExpression, NamesWrittenByHandNeitherLoopNorMultiply) {
  ScriptedMessageBox box;
  // "#0" stands three times, but only the first refers to the record of one half; "#7" and
  // "#1" refer to no record made before and are text.
  FractionDrawing d = Draw("<<<1>\\<2>><#0><#0><#7>#1>", box);
  ASSERT_EQ(d.records.size(), 3u);
  EXPECT_EQ(d.records[1].text, "#0  #0  #0  #7 #1 $");
  EXPECT_EQ(d.records[1].width, 1 + 2 + 2 + 2 + 2);
  std::vector<std::string> texts;
  for (const Ty_DrawCoorF& e : d.entries) texts.push_back(e.text);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "\\"), 1);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "#"), 4);
}

}  // namespace
}  // namespace quillo
