// The arithmetic evaluator of templates: a raw template text becomes space-separated tokens,
// school symbols become the five operators + - * / ^, and the token text is evaluated with two
// precedence levels, left associativity and every intermediate result rounded to 15
// significant digits.
#pragma once

#include <string>
#include <string_view>

namespace quillo {

// Removes every space, except inside the argument of a template function whose name ends in
// "TXT(" (any letter case), which is copied unchanged through its ")".
std::string StripSpacesOutsideText(std::string_view text);

// Puts spaces around operators, brackets, ";" and function names, keeps a sign with its number,
// keeps "~" inside its range and a "#...)" conversion as one token, and drops every character
// without a role (spaces, ".", "=", lower-case letters other than "x", bytes above 127 ...).
// "12+3x4" gives "12 + 3 x 4", "3*-4" gives "3 * -4".
std::string TokeniseExpression(std::string_view text);

// Maps "[" "{" "<" to "(", "]" "}" ">" to ")", ":" and "\" to "/", "x" and "X" to "*".
std::string NormaliseOperators(std::string_view tokenText);

// 2 for "+" and "-", 3 for "*", "/" and "^", 0 for anything else.
int OperatorPrecedence(std::string_view op);

// The value of a token text: operand tokens are number texts ("12", "-3,5"), operators
// + - * / ^ (all left-associative, "^" on the level of "*" and "/"), round brackets, and "#"
// conversion tokens applied to the operand before them; every other token is ignored.
// A sign before a bracket applies to it ("-(3+4)" is -7); an operator without a right operand
// is ignored ("3-" is 3). Throws "'%s' is not a valid floating point value"
// for an operand that is not a number (and with the text FIN for a text without operands),
// "Floating point division by zero", "Invalid floating point operation",
// "Floating point overflow", and the errors of the unit conversion.
long double EvaluateExpression(std::string_view tokenText);

// base raised to exponent: a whole exponent in the 32-bit range by repeated squaring (a negative
// one gives the reciprocal), any other as e^(exponent * ln base), so that a negative base then
// fails with "Invalid floating point operation"; 0 to a negative power fails with
// "Floating point division by zero". An overflow gives an infinite value.
long double Power(long double base, long double exponent);

}  // namespace quillo
