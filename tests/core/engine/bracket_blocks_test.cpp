#include "engine/bracket_blocks.h"

#include <gtest/gtest.h>

#include "shell/seams.h"

namespace quillo {
namespace {

std::vector<std::string> Lines(const ScriptedMessageBox& box) {
  std::vector<std::string> lines;
  for (const ShownMessage& m : box.Shown()) lines.push_back(m.line1);
  return lines;
}

TEST(FindOperator, GivesTheRowInAnyLetterCaseAndReportsUnknownNames) {
  ScriptedMessageBox box;
  EXPECT_EQ(FindOperator("sqrt", box), "sqrt;6;1;YA");
  EXPECT_EQ(FindOperator("SqRt1", box), "sqrt1;6;1;A");
  EXPECT_EQ(FindOperator("del", box), "del;5;0;Y");
  EXPECT_EQ(FindOperator("^", box), "^;1;0;Y");
  EXPECT_EQ(FindOperator("ceil", box), "ceil;0;0;N");
  EXPECT_EQ(FindOperator("", box), ";0;0;N");  // the end row
  EXPECT_TRUE(box.Shown().empty());

  EXPECT_EQ(FindOperator("sin", box), "");
  EXPECT_EQ(Lines(box), std::vector<std::string>{kUnknownOperatorMessage});
  EXPECT_STREQ(kUnknownOperatorMessage, "Error:Over 7000 counts, check Ope String Er098752");
}

TEST(FindOperator, SymbolOperatorsAreTheLongNamesDrawnFromTheSymbolFile) {
  EXPECT_TRUE(IsSymbolOperator("sqrt"));
  EXPECT_TRUE(IsSymbolOperator("SQRT1"));
  EXPECT_TRUE(IsSymbolOperator("del"));
  EXPECT_FALSE(IsSymbolOperator("^"));    // one letter: exponent digits instead
  EXPECT_FALSE(IsSymbolOperator("cos"));  // written as text
  EXPECT_FALSE(IsSymbolOperator("x"));
}

TEST(DrawnWidth, TakesTheOperatorColumnsOffTheLength) {
  const struct {
    const char* text;
    int adjustment;
    int width;
  } cases[] = {
      {"12", 0, 2},
      {"sqrt(2)", 5, 2},          // the hook and the operand
      {"SQRT(16)", 5, 3},         // any letter case
      {"sqrt(sqrt(2))", 10, 3},   // two hooks and the operand
      {"2^3", 1, 2},              // "^" takes no column
      {"del(4)8", 5, 2},          // the cancelled digit keeps its column
      {"cos(30)", 0, 7},          // written out
      {"sqrt1", 10, -5},          // "sqrt1" holds "sqrt" as well
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WidthAdjustment(c.text), c.adjustment) << c.text;
    EXPECT_EQ(DrawnWidth(c.text), c.width) << c.text;
  }
  std::vector<TyOpeCodeFund> found = OperatorsIn("sqrt(2)+sqrt(3)^2");
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].name, "^");
  EXPECT_EQ(found[0].width, 1);
  EXPECT_EQ(found[1].name, "sqrt");
  EXPECT_EQ(found[1].width, 10);
}

TEST(TrackBracketBlock, ReportsWhatEachClosingBracketClosed) {
  const struct {
    const char* text;
    const char* closings;  // the results of the ")" characters, joined by "|"
    std::vector<std::string> messages;
  } cases[] = {
      {"sqrt(12)", "T;2;sqrt", {}},
      {"(12)", "F;2;", {}},
      {"del(4)", "T;1;del", {}},
      {"cos(30)", "F;2;", {}},
      // The inner root is taken off the outer operand's count by its width adjustment.
      {"sqrt(sqrt(2))", "T;1;sqrt|T;2;sqrt", {}},
      {"sqrt((1+2))", "F;3;|T;5;sqrt", {}},
      // Letters before another character are a plain word, not the start of a name.
      {"x+sqrt(2)", "T;1;sqrt", {}},
      // An operator's block ends with its operand.
      {"sqrt(2)(3)", "T;1;sqrt|F;1;", {}},
      {"2)", "F;0;", {kBracketMessage}},
      {"x)", "F;0;", {kBracketMessage}},
      {"foo(3)", "F;1;", {kUnknownOperatorMessage}},
  };
  for (const auto& c : cases) {
    ScriptedMessageBox box;
    BracketBlockTracker tracker(box);
    std::string closings;
    for (const char* p = c.text; *p; ++p) {
      std::string result = tracker.TrackBracketBlock(*p);
      if (*p == ')') {
        closings += (closings.empty() ? "" : "|") + result;
      } else {
        EXPECT_EQ(result, "F;0;") << c.text;
      }
    }
    EXPECT_EQ(closings, c.closings) << c.text;
    EXPECT_EQ(Lines(box), c.messages) << c.text;
  }
}

TEST(TrackBracketBlock, KeepsTheNameAndCountOfOpenBlocks) {
  ScriptedMessageBox box;
  BracketBlockTracker tracker(box);
  for (char ch : std::string("sqrt(1+")) tracker.TrackBracketBlock(ch);
  ASSERT_EQ(tracker.Blocks().size(), 2u);
  EXPECT_EQ(tracker.Blocks()[0].name, "sqrt");
  EXPECT_FALSE(tracker.Blocks()[0].collecting);
  EXPECT_TRUE(tracker.Blocks()[0].yKind);
  EXPECT_EQ(tracker.Blocks()[0].count, 7);
  EXPECT_EQ(tracker.Blocks()[1].count, 3);  // "(", "1", "+"
  EXPECT_EQ(tracker.Blocks()[1].openY, 1);
  tracker.TrackBracketBlock('c');
  tracker.TrackBracketBlock('o');
  EXPECT_EQ(tracker.PendingName(), "co");
  tracker.Reset();
  EXPECT_TRUE(tracker.Blocks().empty());
}

}  // namespace
}  // namespace quillo
