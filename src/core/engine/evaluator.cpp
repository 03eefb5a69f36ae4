#include "engine/evaluator.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/text_toolkit.h"
#include "engine/units.h"
#include "shell/conventions.h"
#include "shell/error.h"

namespace quillo {
namespace {

const char kOpenMark[] = "Fin";  // bottom of the operator stack
const char kEndMark[] = "FIN";   // end of the reduction list

bool InSet(char ch, const char* set) { return ch != '\0' && std::strchr(set, ch) != nullptr; }

// Characters after which a "-" may start a new token, and before which a number ends.
bool InTokenBreaks(char ch) { return InSet(ch, "()*+-/:<>[\\]^x{}"); }

bool IsDigitOrComma(char ch) { return (ch >= '0' && ch <= '9') || ch == ','; }

bool EndsWithNoCase(const std::string& text, std::string_view tail) {
  return text.size() >= tail.size() &&
         UpperCaseAscii(std::string_view(text).substr(text.size() - tail.size())) == tail;
}

bool IsOperator(std::string_view token) {
  return token == "+" || token == "-" || token == "*" || token == "/" || token == "^";
}

// Whether a "-" between prev and next is an operator rather than the sign of a number.
bool IsMinusOperator(char prev, char next) {
  return (IsDigitOrComma(prev) && IsDigitOrComma(next)) ||
         (InSet(prev, "()*+/") && InSet(next, "()*+/")) || InTokenBreaks(next) ||
         (prev == ')' && IsDigitOrComma(next)) || (IsDigitOrComma(prev) && next == '-') ||
         (InTokenBreaks(prev) && next == '-');
}

[[noreturn]] void FailDivisionByZero() { throw Error("Floating point division by zero"); }
[[noreturn]] void FailInvalid() { throw Error("Invalid floating point operation"); }

// The value written back into the reduction list: 15 significant digits.
std::string ResultText(long double value) {
  if (std::isnan(value)) FailInvalid();
  if (std::isinf(value)) throw Error("Floating point overflow");
  return FloatToText(value);
}

long double Apply(std::string_view op, long double a, long double b) {
  switch (op[0]) {
    case '+':
      return a + b;
    case '-':
      return a - b;
    case '*':
      return a * b;
    case '/':
      if (b == 0) {
        if (a == 0) FailInvalid();
        FailDivisionByZero();
      }
      return a / b;
    default:
      return Power(a, b);
  }
}

// An operator with a single operand b.
long double ApplyToOne(std::string_view op, long double b) {
  switch (op[0]) {
    case '+':
      return b + 0;
    case '-':
      return 0 - b;
    case '*':
      return b * 0;
    case '/':
      return b;
    default:
      return 1;  // 1 raised to the power b
  }
}

// An entry of the operator stack or of the postfix list; `sign` marks an operator that had no
// operand before it.
struct Entry {
  std::string text;
  bool sign = false;
};

std::vector<std::string> SplitTokens(std::string_view text) {
  std::vector<std::string> tokens;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t p = text.find(' ', start);
    if (p == std::string_view::npos) p = text.size();
    if (p > start) tokens.emplace_back(text.substr(start, p - start));
    start = p + 1;
  }
  return tokens;
}

}  // namespace

std::string StripSpacesOutsideText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool inFunction = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char ch = text[i];
    if (ch == ' ') continue;
    out += ch;
    if (ch == '_') {
      inFunction = true;
    } else if (ch == ')') {
      inFunction = false;
    }
    if (inFunction && EndsWithNoCase(out, "TXT(")) {
      // The argument of a text function keeps its spaces, through its ")".
      std::size_t close = text.find(')', i + 1);
      if (close == std::string_view::npos) {
        out.append(text.substr(i + 1));
        break;
      }
      out.append(text.substr(i + 1, close - i));
      i = close;
      inFunction = false;
    }
  }
  return out;
}

std::string TokeniseExpression(std::string_view text) {
  std::string in(text);
  in += ' ';  // every real character has a successor
  const std::size_t n = in.size();
  const std::size_t textEnd = n - 1;
  std::string out;
  out.reserve(2 * n);
  for (std::size_t i = 0; i < n; ++i) {
    char ch = in[i];
    char prev = i > 0 ? in[i - 1] : '\0';
    char next = i + 1 < n ? in[i + 1] : '\0';
    if (IsDigitOrComma(ch)) {
      out += ch;
      if (InTokenBreaks(next)) out += ' ';
    } else if (InSet(ch, "()*+/:<>[\\]^x{}")) {
      out += ch;
      out += ' ';
    } else if (ch == '-') {
      out += ch;
      if (IsMinusOperator(prev, next)) out += ' ';
    } else if (ch >= 'A' && ch <= 'Z') {
      out += ' ';
      out += ch;
      out += ' ';
    } else if (ch == ';') {
      out += " ; ";
    } else if (ch == '~') {
      out += ch;
    } else if (ch == '#') {
      // One conversion token, through the next ")" or to the end of the text.
      std::size_t close = in.find(')', i);
      std::size_t last = close == std::string::npos || close >= textEnd ? textEnd - 1 : close;
      out += ' ';
      out.append(in, i, last - i + 1);
      out += ' ';
      i = last;
    } else if (ch == '_') {
      if (out.empty() || out.back() != ' ') out += ' ';
      std::size_t open = in.find('(', i);
      if (open == std::string::npos) {
        // A name without "(": the rest of the text stays as it is.
        out.append(in, i, textEnd - i);
        break;
      }
      out.append(in, i, open - i);
      out += "( ";
      i = open;
      if (EndsWithNoCase(out, "TXT( ")) {
        std::size_t close = in.find(')', open + 1);
        if (close == std::string::npos) {
          out.append(in, open + 1, textEnd - open - 1);
          break;
        }
        out.append(in, open + 1, close - open - 1);
        out += " ) ";
        i = close;
      }
    }
    // Anything else has no role and is dropped.
  }
  return out;
}

std::string NormaliseOperators(std::string_view tokenText) {
  std::string out(tokenText);
  for (char& ch : out) {
    switch (ch) {
      case '[':
      case '{':
      case '<':
        ch = '(';
        break;
      case ']':
      case '}':
      case '>':
        ch = ')';
        break;
      case ':':
      case '\\':
        ch = '/';
        break;
      case 'X':
      case 'x':
        ch = '*';
        break;
      default:
        break;
    }
  }
  return out;
}

int OperatorPrecedence(std::string_view op) {
  if (op == "+" || op == "-") return 2;
  if (op == "*" || op == "/" || op == "^") return 3;
  return 0;
}

long double Power(long double base, long double exponent) {
  if (exponent == std::trunc(exponent) && exponent >= INT32_MIN && exponent <= INT32_MAX) {
    auto e = static_cast<int64_t>(exponent);
    uint64_t m = e < 0 ? static_cast<uint64_t>(-e) : static_cast<uint64_t>(e);
    long double result = 1;
    long double square = base;
    while (m != 0) {
      if (m & 1) result *= square;
      m >>= 1;
      if (m != 0) square *= square;
    }
    if (e < 0) {
      if (result == 0) FailDivisionByZero();
      if (std::isinf(result)) return 0;  // the reciprocal is too small to be represented
      result = 1 / result;
    }
    return result;
  }
  if (base < 0) FailInvalid();
  if (base == 0) {
    if (exponent > 0) return 0;
    FailDivisionByZero();
  }
  return std::exp(exponent * std::log(base));
}

long double EvaluateExpression(std::string_view tokenText) {
  std::string text = ReplaceAll(ReplaceAll(tokenText, "( +", "("), "- +", "-");

  // Infix to postfix. An operator with no operand before it (at the start, after "(" or after
  // another operator) is a sign.
  std::vector<Entry> stack{{kOpenMark}};
  std::vector<Entry> output;
  bool afterOperand = false;
  for (std::string& token : SplitTokens(text)) {
    if (token == "(") {
      stack.push_back({token});
      afterOperand = false;
    } else if (IsOperator(token)) {
      while (stack.back().text != kOpenMark && stack.back().text != "(" &&
             OperatorPrecedence(stack.back().text) >= OperatorPrecedence(token)) {
        output.push_back(std::move(stack.back()));
        stack.pop_back();
      }
      stack.push_back({token, !afterOperand});
      afterOperand = false;
    } else if (IsNumberText(token)) {
      output.push_back({token});
      afterOperand = true;
    } else if (token == ")") {
      while (stack.back().text != "(" && stack.back().text != kOpenMark) {
        output.push_back(std::move(stack.back()));
        stack.pop_back();
      }
      if (stack.size() > 1) stack.pop_back();
      afterOperand = true;
    } else if (token[0] == '#') {
      if (!output.empty() && IsNumberText(output.back().text)) {
        output.back().text = ConvertUnits(output.back().text, token);
      }
    }
  }
  // An unclosed "(" goes along and is never taken as an operator.
  while (stack.size() > 1) {
    output.push_back(std::move(stack.back()));
    stack.pop_back();
  }

  // Reduction: each step replaces the first operator and its operands by the value's text.
  std::vector<Entry> list = std::move(output);
  list.push_back({kEndMark});
  std::size_t scanStart = 0;
  while (list.size() > 3) {
    std::size_t i = scanStart;
    scanStart = 1;
    while (list[i].text != kEndMark && (i == 0 || !IsOperator(list[i].text))) ++i;
    if (list[i].text == kEndMark) break;
    if (i >= 2) {
      long double a = TextToFloat(list[i - 2].text);
      long double b = TextToFloat(list[i - 1].text);
      list[i] = {ResultText(Apply(list[i].text, a, b))};
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i - 2),
                 list.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      long double b = TextToFloat(list[0].text);
      list[1] = {ResultText(ApplyToOne(list[1].text, b))};
      list.erase(list.begin());
    }
  }
  // A list that ends as operand, sign, end: the sign still applies to its operand
  // ("-(3+4)" is -7). An operator that lacks its right operand stays ignored ("3-" is 3).
  if (list.size() == 3 && list[1].sign && IsOperator(list[1].text) && list[2].text == kEndMark) {
    long double b = TextToFloat(list[0].text);
    list[0] = {ResultText(ApplyToOne(list[1].text, b))};
  }
  return TextToFloat(list[0].text);
}

}  // namespace quillo
