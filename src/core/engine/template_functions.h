// Template lines to exercise lines: a template line of a book (an expression with school
// symbols, random ranges "a~b" and template functions "_NAME(...)") becomes one question with
// its result, "3 + 4 = {7}", or is rejected when a line function refuses the draw.
//
// Inline functions ("_rZeroTo", "_DivInt", "_DivIntAddZero", "_CopyFromIns", "_GetResult",
// "_RandomW", "_AddSigGrLoEq", exact letter case) are replaced by text inside the expression;
// line functions ("_QST(", "_LESS(", "_GREAT(", "_SRPLRESULT(", "_REFRESULTIF(",
// "_NBRSFROMLASTCHR(", "_INSTXT(", "_REPTXT(", "_RESROUND(", "_MOVESTR(", "_SYMHLE(", any
// letter case) are taken out and applied to the finished line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillo {

class RandomSource;

// A pending insertion, replacement or word-order entry: a word position and a text.
struct Ty_InsTxt {
  long position = 0;
  std::string text;
};

// One template line to one exercise line: question text + " = " + result text, answer words
// in braces, or the empty text for a rejected draw. Throws the conversion and arithmetic errors
// of the evaluator unchanged.
std::string ExpandTemplateLine(std::string_view templateLine, RandomSource& random);

// The prepared text P: spaces stripped, tokenised, every range drawn, trimmed.
std::string PrepareTemplateText(std::string_view templateLine, RandomSource& random);

// The expression text E: P without its line functions and with every inline function replaced
// by its output. A "_" without "(" stays; an unknown function gives the empty text.
std::string ExpandInlineFunctions(std::string_view prepared, RandomSource& random);

// The output of one inline function: name as written ("_DivInt"), its trimmed argument, and the
// current text (P with this call cut out). An unknown name gives the empty text.
std::string InlineFunction(std::string_view name, std::string_view argument,
                           std::string_view currentText, RandomSource& random);

// The question text: the normalised expression with the operator and bracket symbols of the
// expression as written, conversion tokens removed, trimmed.
std::string RestoreDisplaySymbols(std::string_view expression, std::string_view normalised);

// The line functions of P applied to the base line; the empty text when one rejects the draw.
std::string ApplyLineFunctions(std::string_view prepared, std::string_view line);

// The value of a template text taken through stripping, tokenising, the ranges, the inline
// functions, normalising and evaluation, as a result text (the "eval" command of the CLI).
std::string EvaluateTemplateText(std::string_view text, RandomSource& random);

// Whether two expansions of a template line can differ: false only when the line holds no range
// ("~") and no "_RandomW", so that every expansion gives the same line (or the same error).
bool TemplateCanVary(std::string_view templateLine);

}  // namespace quillo
