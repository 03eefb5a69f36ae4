#include "engine/evaluator.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/template_functions.h"
#include "scripted_random.h"
#include "shell/conventions.h"
#include "shell/error.h"
#include "support/error_text.h"

namespace quillo {
namespace {

using test::ErrorOf;

TEST(Evaluator, StripSpacesKeepsTheArgumentsOfTextFunctions) {
  struct Case {
    const char* text;
    const char* stripped;
  } cases[] = {
      {"3 + 4", "3+4"},
      {" 12 x ( 3 ) ", "12x(3)"},
      {"3+4 _INSTXT(2; big dog) + 1", "3+4_INSTXT(2; big dog)+1"},
      {"_instxt( a b )_QST( 1 )", "_instxt( a b )_QST(1)"},
      {"_REPTXT(a b", "_REPTXT(a b"},            // unclosed: the rest is kept
      {"TXT( a b )", "TXT(ab)"},                 // no "_": not a function
      {"_QST(1) TXT( a b )", "_QST(1)TXT(ab)"},  // ")" ended the function
  };
  for (const Case& c : cases) EXPECT_EQ(StripSpacesOutsideText(c.text), c.stripped) << c.text;
}

TEST(Evaluator, TokeniseSeparatesTokensAndKeepsSignsWithNumbers) {
  struct Case {
    const char* text;
    const char* tokens;
  } cases[] = {
      {"12+3x4", "12 + 3 x 4"},
      {"3*-4", "3 * -4"},
      {"(3)-4", "( 3 ) - 4"},
      {"-(2+1)", "- ( 2 + 1 ) "},
      {"3--4", "3 - -4"},
      {"2^-1", "2 ^ -1"},
      {"4-", "4 -"},
      {"3X4", "3 X 4"},
      {"2.5+1", "25 + 1"},
      {"a=b?\xE9\xFF", ""},
      {"2~9+1", "2~9 + 1"},
      {"-2~-9", "-2~-9"},
      {"1;2", "1 ; 2"},
      {"[3]{4}<5>", "[ 3 ] { 4 } < 5 > "},
      {"3:4\\5^2", "3 : 4 \\ 5 ^ 2"},
      {"5#U(Conv;11;0;8;0)+1", "5 #U(Conv;11;0;8;0) + 1"},
      {"5#U(Conv", "5 #U(Conv "},
      {"_DivInt(17;:;5)", " _DivInt( 17 ; :  ; 5 ) "},
      {"3+4_INSTXT(2;big dog)", "3 + 4 _INSTXT( 2;big dog ) "},
      {"3+4_qst()", "3 + 4 _qst( ) "},
      {"3_x+4", "3 _x+4"},
  };
  for (const Case& c : cases) EXPECT_EQ(TokeniseExpression(c.text), c.tokens) << c.text;
  EXPECT_EQ(TokeniseExpression(StripSpacesOutsideText("3 + 4")),
            TokeniseExpression(StripSpacesOutsideText("3+4")));
}

TEST(Evaluator, NormaliseMapsSchoolSymbols) {
  EXPECT_EQ(NormaliseOperators("[ 3 ] x { 4 } : < 5 > \\ 2 X 1 + 2 - 3 ^ 2"),
            "( 3 ) * ( 4 ) / ( 5 ) / 2 * 1 + 2 - 3 ^ 2");
}

TEST(Evaluator, TemplateTextsGiveTheirValue) {
  struct Case {
    const char* text;
    const char* value;
  } cases[] = {
      {"2*3^2", "36"},  // "^" binds no tighter than "*"
      {"2^3^2", "64"},  // left-associative
      {"8/2/2", "2"},
      {"7-2-1", "4"},
      {"[3+4]x2", "14"},
      {"{3+4}:2", "3,5"},
      {"<2+3>X2", "10"},
      {"6\\4", "1,5"},
      {"3*-4", "-12"},
      {"(3)-4", "-1"},
      {"1/3*3", "0,999999999999999"},  // the third is rounded to 15 digits
      {"-(3)+4", "1"},
      {"-(3+4)", "-7"},  // a leading sign is applied
      {"2*-(3+4)", "-7"},
      {"2.5+1", "26"},
      {"3 + 4", "7"},
      {"2^-1", "0,5"},
      {"2^0,5", "1,4142135623731"},
      {"(-2)^3", "-8"},
      {"0^0", "1"},
      {"0^0,5", "0"},
      {"10^-5000", "0"},
      {"10^15", "1E15"},
      {"0-1:3", "-0,333333333333333"},
      {"0,000001*1", "0,000001"},
      {"1,5+1,25", "2,75"},
      {"((3+4)", "7"},  // unbalanced brackets
      {"(3+4))", "7"},
      {"-(3+4)*2", "-14"},
      {"-(3+4)+1", "-6"},
      {"+(3+4)", "7"},
      {"3+", "3"},  // an operator without right operand is ignored
      {"3-", "3"},
      {"3*", "3"},
      {"(3-)", "3"},
      {"2#U(Conv;11;0;8;0)", "2000"},
      {"2,5#U(Conv;11;0;8;0)+1", "2501"},
  };
  test::ScriptedRandom random{0.5L};
  for (const Case& c : cases) {
    EXPECT_EQ(EvaluateTemplateText(c.text, random), c.value) << c.text;
  }
}

TEST(Evaluator, TokenTextsGiveTheirValue) {
  struct Case {
    const char* tokens;
    long double value;
  } cases[] = {
      {"5 7", 5},      // two operands, no operator
      {"( + 3 )", 3},  // sign clean-up
      {"3 - + 4", -1},
      {"3 abc + 4", 7},            // unknown tokens are ignored
      {"#U(Conv;11;0;8;0) 2", 2},  // a conversion without operand is dropped
      {"2 ^ 3 ^ 2", 64},
      {"  3   +  4 ", 7},
      {"-4 ^ 2", 16},
  };
  for (const Case& c : cases) EXPECT_EQ(EvaluateExpression(c.tokens), c.value) << c.tokens;
}

TEST(Evaluator, FailuresCarryTheirMessage) {
  struct Case {
    const char* tokens;
    const char* message;
  } cases[] = {
      {"", "'FIN' is not a valid floating point value"},
      {"+", "'+' is not a valid floating point value"},
      {"1,2,3 + 1", "'1,2,3' is not a valid floating point value"},
      {"( ( (", "'(' is not a valid floating point value"},
      {"3 / 0", "Floating point division by zero"},
      {"0 / 0", "Invalid floating point operation"},
      {"0 ^ -1", "Floating point division by zero"},
      {"-8 ^ 0,5", "Invalid floating point operation"},
      {"10 ^ 5000", "Floating point overflow"},
      {"2 ^ 99999999999", "Floating point overflow"},
      {"2 #X(Foo;11;0;8;0)", "'' is not a valid floating point value"},
      {"2 #U(Conv;11;0;8)", "'8)' is not a valid integer value"},
      {"2 #U(Conv;8;0;101;0)", "Incompatible conversion types [Meters, Grams]"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ErrorOf([&] { EvaluateExpression(c.tokens); }), c.message) << c.tokens;
  }
  std::string huge = "1" + std::string(3000, '0');
  EXPECT_EQ(ErrorOf([&] { EvaluateExpression(huge + " * " + huge); }), "Floating point overflow");
}

TEST(Evaluator, PowersOfWholeExponentsAreExact) {
  EXPECT_EQ(Power(3, 0), 1);
  EXPECT_EQ(Power(-3, 3), -27);
  EXPECT_EQ(Power(2, -2), 0.25L);
  EXPECT_EQ(Power(2, 63), 9223372036854775808.0L);
  EXPECT_EQ(Power(-1, 2147483647), -1);  // 31 squarings, no loop over the exponent
  EXPECT_TRUE(std::isinf(Power(10, 100000)));
  EXPECT_EQ(Power(1, 1e300L), 1);
}

TEST(Evaluator, LongAndHostileTextsEndWithAResultOrAnError) {
  std::string sum;
  for (int i = 0; i < 1000; ++i) sum += i == 0 ? "1" : "+1";
  test::ScriptedRandom random{0.5L};
  EXPECT_EQ(EvaluateTemplateText(sum, random), "1000");
  EXPECT_EQ(EvaluateTemplateText(std::string(2000, '9'), random), "1E2000");
  EXPECT_EQ(EvaluateTemplateText(std::string(1000, '(') + "2" + std::string(1000, ')'), random),
            "2");
  EXPECT_EQ(EvaluateTemplateText("3+\xE9\x80"
                                 "4\xFF",
                                 random),
            "7");
}

}  // namespace
}  // namespace quillo
