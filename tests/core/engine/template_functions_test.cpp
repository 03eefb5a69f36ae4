#include "engine/template_functions.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "scripted_random.h"
#include "shell/error.h"
#include "support/error_text.h"
#include "shell/seams.h"

namespace quillo {
namespace {

using test::ScriptedRandom;

using test::ErrorOf;

struct LineCase {
  const char* templateLine;
  const char* line;  // "" for a rejected draw
};

void ExpectLines(const LineCase* begin, const LineCase* end, long double r = 0.5L) {
  for (const LineCase* c = begin; c != end; ++c) {
    ScriptedRandom random{r};
    EXPECT_EQ(ExpandTemplateLine(c->templateLine, random), c->line) << c->templateLine;
  }
}

TEST(TemplateFunctions, LineFunctionsMarkTestAndRewriteTheLine) {
  const LineCase cases[] = {
      {"3+4", "3 + 4 = 7"},
      {"[3+4]x2", "[ 3 + 4 ] x 2 = 14"},
      {"3+4_QST()", "3 + 4 = {7}"},
      {"3+4_QST(0)", "{3} + 4 = 7"},
      {"3+4_QST(2)_QST(0)", "3 + {4} = 7"},  // a position below an earlier one is not marked
      {"3+4_QST(0)_QST()", "{3} + 4 = {7}"},
      {"3+4_QST(2)_QST(2)", "3 + {4} = 7"},
      {"3+4_qst()", "3 + 4 = {7}"},  // line functions in any case
      {"12-5_LESS(5)", ""},
      {"12-7_LESS(5)", "12 - 7 = 5"},
      {"12-7_GREAT(6)", ""},
      {"12-7_GREAT(5)", "12 - 7 = 5"},
      {"7:2_REFRESULTIF(,)", ""},
      {"8:2_REFRESULTIF(,)", "8 : 2 = 4"},
      {"2-5_REFRESULTIF(-)", ""},
      {"2-5_REFRESULTIF()", "2 - 5 = -3"},
      {"10:4_NBRSFROMLASTCHR(,;T;1)", "10 : 4 = 2,5"},
      {"10:8_NBRSFROMLASTCHR(,;T;1)", ""},
      {"8:4_NBRSFROMLASTCHR(,;F;2)", ""},  // no "," at all
      {"10:8_NBRSFROMLASTCHR(,;F;2)", "10 : 8 = 1,25"},
      {"10:16_NBRSFROMLASTCHR(,;F;2)", ""},  // 0,625
      {"10:4_NBRSFROMLASTCHR(,;P;2)", "10 : 4 = 2,5"},
      {"10:4_NBRSFROMLASTCHR(,;P;1)", ""},
      {"1234+0_RESROUND(2)", "1234 + 0 = 1200"},
      {"1250+0_RESROUND(2)", "1250 + 0 = 1300"},
      {"9+5_RESROUND(1)_LESS(10)", "9 + 5 = 10"},  // conditions see the line as it stands
      {"9+5_LESS(10)_RESROUND(1)", ""},
      {"2,5+1_SRPLRESULT(5;50)", "2,5 + 1 = 3,50"},
      {"3+4_MOVESTR(5;4;1;2;3)", "7 = 3 + 4"},
      {"3+4_MOVESTR(5;4;9;2;3)", "*e7 =  + 4"},
      {"0_SYMHLE(3+4;5;2*6)", " 3 + 4 > 5 < 2 * 6 "},
      {"0_SYMHLE(2*3;6;1)", " 2 * 3 = 6 > 1 "},
      {"3+4_INSTXT(2;big dog)", "3 + big dog 4 = 7"},
      {"3+4_INSTXT(Hello)", "Hello 3 + 4 = 7"},
      {"3+4_INSTXT(9;cm)", "3 + 4 = 7 cm "},  // past the end: appended
      {"3+4_REPTXT(3;big dog)", "3 + big dog = 7"},
      {"3+4_REPTXT(9;cm)", "3 + 4 = 7 cm "},
      {"3+4_REPTXT(cm)", "3 + 4 = 7"},  // word 0 does not exist
      {"3+4_QST()_INSTXT(4;about)", "3 + 4 = about {7}"},
      {"2#U(Conv;11;0;8;0)_QST()", "2 = {2000}"},
      {"2#U(Conv;11;0;8;0)+1", "2 + 1 = 2001"},
  };
  ExpectLines(std::begin(cases), std::end(cases));
}

TEST(TemplateFunctions, InlineFunctionsBecomePartOfTheQuestion) {
  const LineCase cases[] = {
      {"_DivInt(17;:;5)", "15 : 5 = 3"},
      {"_DivInt(17;/;5)", "15 / 5 = 3"},
      {"_DivInt(-17;:;5)", "-15 : 5 = -3"},
      {"_DivIntAddZero(17-2;:;5-1)", "1500 : 50 = 30"},
      {"_DivIntAddZero(17-1;:;5-2)", "1500 : 50 = 30"},  // the dividend gets the more zeros
      {"_rZeroTo(0;7)+1", "7 + 1 = 8"},
      {"_rZeroTo(3;7):7", "7000 : 7 = 1000"},
      {"_randomw(1;2)+3", "+ 3 = 3"},  // inline names only as written
      {"_Unknown(5)+3", "+ 3 = 3"},
      {"3+_x", "3 + _x = 3"},  // a "_" without "(" stays
      {"12+_CopyFromIns(1)", "12 + 12 = 24"},
      {"3+4_GetResult()", "3 + 4 7 = 3"},
      {"3+4-_GetResult()", "3 + 4 - 7 = 0"},  // the operator before the call is not applied
      {"_AddSigGrLoEq(3;x;5)", "3 5 = 3"},
      {"_RandomW(7)x2", "7 x 2 = 14"},
  };
  ExpectLines(std::begin(cases), std::end(cases));
}

TEST(TemplateFunctions, InlineFunctionOutputs) {
  struct Case {
    const char* name;
    const char* argument;
    const char* current;
    const char* output;
  } cases[] = {
      {"_rZeroTo", "3 ; 7", "", "7000"},
      {"_rZeroTo", "12 ; 7", "", "7000000000"},  // at most nine zeros
      {"_rZeroTo", "-2 ; 7", "", "7"},
      {"_DivInt", "17 ; : ; -5", "", "15 : -5"},
      {"_DivInt", "-9223372036854775808 ; : ; -1", "", "-9223372036854775808 : -1"},
      {"_DivIntAddZero", "17 - 12 ; : ; 5", "", "15000000000 : 5"},
      {"_DivIntAddZero", "17 ; / ; 5", "", "15 / 5"},
      {"_CopyFromIns", "3", "12 + 5 ", "5"},
      {"_CopyFromIns", "2", "12 + 5 ", "1"},  // "+" is not a number
      {"_CopyFromIns", "99999999999999999999", "12 + 5", "5"},
      {"_CopyFromIns", "x", "12 + 5", "1"},
      {"_GetResult", "", "3 + 4  * 2", "7"},
      {"_GetResult", "", "0 - 1 / 3 ", "-0,333333333333333"},
      {"_GetResult", "", "2 x 3 ", "2"},  // not normalised
      {"_GetResult", "", " ", ""},
      {"_AddSigGrLoEq", "3 ; x ; 5", "", "3  5"},
      {"_Unknown", "1", "", ""},
  };
  ScriptedRandom random{0.5L};
  for (const Case& c : cases) {
    EXPECT_EQ(InlineFunction(c.name, c.argument, c.current, random), c.output)
        << c.name << "(" << c.argument << ")";
  }
}

TEST(TemplateFunctions, RandomWordChoosesEachWordEvenly) {
  StdRandomSource random;
  random.FixSeed(7);
  std::map<std::string, int> counts;
  for (int i = 0; i < 3000; ++i) ++counts[InlineFunction("_RandomW", "2 ; 5 ; 9", "", random)];
  ASSERT_EQ(counts.size(), 3u);
  for (const auto& [word, count] : counts) {
    EXPECT_TRUE(word == "2" || word == "5" || word == "9") << word;
    EXPECT_GT(count, 850) << word;
  }
}

TEST(TemplateFunctions, ExpansionStepsOnTheirOwn) {
  ScriptedRandom random{0.5L};
  EXPECT_EQ(PrepareTemplateText(" 2~9 + 1 _QST( ) ", random), "5 + 1 _QST( )");
  EXPECT_EQ(ExpandInlineFunctions("_QST( 1 ) 3 + 4 _less( 9 ) _Other( 2 )", random), " 3 + 4 ");
  EXPECT_EQ(ExpandInlineFunctions("3 _INSTXT( 2;a ) b ) + 4", random), "3 b ) + 4");
  EXPECT_EQ(
      RestoreDisplaySymbols("[ 3 + 4 ] x 2 #U(Conv;11;0;8;0)", "( 3 + 4 ) * 2 #U(Conv;11;0;8;0)"),
      "[ 3 + 4 ] x 2");
  // Marks, then replacements, then insertions, then spacing, then the word order.
  EXPECT_EQ(ApplyLineFunctions("_QST( 4 ) _REPTXT( 1;x y ) _INSTXT( 0;z ) _MOVESTR( 2;1;3 )",
                               "a b c = 5"),
            "x z y");
  EXPECT_EQ(ApplyLineFunctions("_QST( ) _LESS( 1 )", "a = 5"), "");
}

TEST(TemplateFunctions, ConversionErrorsAreNotCaught) {
  struct Case {
    const char* templateLine;
    const char* message;
  } cases[] = {
      {"_SYMHLE(3+4;5)", "'FIN' is not a valid floating point value"},
      {"7:2_RESROUND(1)", "'3,5' is not a valid integer value"},
      {"70_RESROUND(A)", "'A' is not a valid integer value"},
      {"10:4_NBRSFROMLASTCHR(,;T;)", "'' is not a valid integer value"},
      {"0_SYMHLE(1;2)_LESS(5)", "'' is not a valid floating point value"},
      {"_rZeroTo(A;7)", "'A' is not a valid integer value"},
      {"_DivInt(17;:;0)", "Division by zero"},
      {"_DivIntAddZero(17-1;:;0-1)", "Division by zero"},
      {"3+4_MOVESTR(1;;2)", "'' is not a valid integer value"},
      {"3/0_QST()", "Floating point division by zero"},
      {"A~5", "'' is not a valid floating point value"},
  };
  for (const Case& c : cases) {
    ScriptedRandom random{0.5L};
    EXPECT_EQ(ErrorOf([&] { ExpandTemplateLine(c.templateLine, random); }), c.message)
        << c.templateLine;
  }
}

TEST(TemplateFunctions, BadTemplatesEndWithAResultOrAnError) {
  std::string longLine;
  for (int i = 0; i < 400; ++i) longLine += "1~9+";
  longLine += "1_QST()_LESS(9999)";
  const std::string lines[] = {
      "((3+4",
      "3+4))",
      ")(",
      "_QST(",
      "_(",
      "_",
      "3+4_INSTXT(",
      "#U(Conv;",
      "~",
      "_RandomW()",
      "_MOVESTR(",
      "_CopyFromIns()",
      "_GetResult()",
      "_DivIntAddZero(-;:;5)",
      "3\xE9\xFF+4",
      std::string(2000, '('),
      std::string(2000, ')'),
      std::string(2000, '_'),
      std::string(2000, '~'),
      std::string(2000, '9'),
      longLine,
      "2^2147483647",
      "_SYMHLE(;;)",
      "3+4_NBRSFROMLASTCHR(;;1)",
  };
  StdRandomSource random;
  random.FixSeed(1);
  for (const std::string& line : lines) {
    try {
      ExpandTemplateLine(line, random);
    } catch (const Error&) {
    }
  }
  std::string expanded = ExpandTemplateLine(longLine, random);
  EXPECT_NE(expanded.find(" = {"), std::string::npos) << expanded;
}

TEST(TemplateFunctions, FixedSeedsReproduceExpansions) {
  auto expand = [](uint64_t seed) {
    StdRandomSource random;
    random.FixSeed(seed);
    random.SeedFromClock();  // ignored once the seed is fixed
    std::string lines;
    for (int i = 0; i < 20; ++i) lines += ExpandTemplateLine("2~99+1~9_QST()", random) + "\n";
    return lines;
  };
  EXPECT_EQ(expand(3), expand(3));
  EXPECT_NE(expand(3), expand(4));
}

TEST(TemplateFunctions, TemplateCanVary) {
  struct Case {
    const char* templateLine;
    bool canVary;
  } cases[] = {
      {"3+4_QST()", false},
      {"_DivInt(17;:;5)", false},
      {"_randomw(1;2)", false},  // not the random function: replaced by nothing
      {"2~9+1", true},
      {"3 + _RandomW(1;2;3)", true},
      {"3 + _Random W (1;2)", true},
      {"3+4_INSTXT(1;a~b)", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TemplateCanVary(c.templateLine), c.canVary) << c.templateLine;
}

}  // namespace
}  // namespace quillo
