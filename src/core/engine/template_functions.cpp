#include "engine/template_functions.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include "engine/evaluator.h"
#include "engine/random_values.h"
#include "engine/text_toolkit.h"
#include "shell/conventions.h"
#include "shell/error.h"

namespace quillo {
namespace {

const char* const kLineFunctions[] = {
    "_QST(",    "_LESS(",   "_GREAT(",    "_SRPLRESULT(", "_REFRESULTIF(", "_NBRSFROMLASTCHR(",
    "_INSTXT(", "_REPTXT(", "_RESROUND(", "_MOVESTR(",    "_SYMHLE(",
};

bool IsLineFunction(std::string_view upperName) {
  return std::any_of(std::begin(kLineFunctions), std::end(kLineFunctions),
                     [&](const char* name) { return upperName == name; });
}

std::string Zeros(int64_t count) {
  return std::string(static_cast<std::size_t>(std::clamp<int64_t>(count, 0, 9)), '0');
}

// The argument parts of an inline function: before the first ";", between the first and the
// last ";", after the last ";", each trimmed (the whole argument when there is no ";").
struct ArgumentParts {
  std::string first;
  std::string middle;
  std::string last;
};

ArgumentParts SplitArgument(std::string_view argument) {
  ArgumentParts parts;
  std::size_t firstSep = argument.find(';');
  std::size_t lastSep = argument.rfind(';');
  if (firstSep == std::string_view::npos) {
    parts.first = parts.last = Trim(argument);
    return parts;
  }
  parts.first = Trim(argument.substr(0, firstSep));
  parts.last = Trim(argument.substr(lastSep + 1));
  if (lastSep > firstSep)
    parts.middle = Trim(argument.substr(firstSep + 1, lastSep - firstSep - 1));
  return parts;
}

int64_t RequireDivisor(std::string_view text) {
  int64_t b = TextToInt(text);
  if (b == 0) throw Error("Division by zero");
  return b;
}

// The multiple of b next to a on the side of zero.
int64_t MultipleTowardsZero(int64_t a, int64_t b) { return b == -1 ? a : a - a % b; }

std::string DivisionSign(std::string_view op) { return op == "/" ? " / " : " : "; }

// "a-k" of "_DivIntAddZero": a number and a count of zeros after the last "-" that is not a
// sign; a missing count is 0.
std::pair<int64_t, int64_t> NumberAndZeros(std::string_view text) {
  std::string compact = RemoveSpaces(text);
  std::size_t dash = compact.rfind('-');
  if (dash == std::string::npos || dash == 0) return {TextToInt(compact), 0};
  int64_t zeros = TextToInt(std::string_view(compact).substr(dash + 1));
  return {TextToInt(std::string_view(compact).substr(0, dash)), std::min<int64_t>(zeros, 9)};
}

std::string RandomWord(std::string_view argument, RandomSource& random) {
  std::string words = RemoveSpaces(argument);
  long count = CountChar(words, ";") + 1;
  long double j = RandomInRange("1~" + std::to_string(count + 1), random);
  return GetField(words, ";", static_cast<long>(j));
}

std::string ResultOfPrefix(std::string_view currentText) {
  // Up to the gap the removed call left (through its first space), or the whole text; then
  // without its last character.
  std::size_t gap = currentText.find("  ");
  std::string prefix(gap == std::string_view::npos ? currentText : currentText.substr(0, gap + 1));
  if (!prefix.empty()) prefix.pop_back();
  prefix = Trim(prefix);
  if (prefix.empty()) return "";
  return FormatResult(EvaluateExpression(prefix));
}

// The text after the last space of a line.
std::string LastWord(std::string_view line) {
  std::size_t space = line.rfind(' ');
  return std::string(space == std::string_view::npos ? line : line.substr(space + 1));
}

// A leniently read integer: 0 when the trimmed text is not one.
int64_t LenientInt(std::string_view text) { return TryTextToInt(Trim(text)).value_or(0); }

// "n;text" or "text" of "_INSTXT(" and "_REPTXT(": the position (0 without one) and the text
// with its spaces held as "~", the space closing the argument included.
Ty_InsTxt TextArgument(std::string_view argument) {
  Ty_InsTxt entry;
  std::string_view text = argument;
  std::size_t sep = argument.find(';');
  if (sep != std::string_view::npos) {
    if (auto n = TryTextToInt(Trim(argument.substr(0, sep)))) {
      entry.position =
          static_cast<long>(std::clamp<int64_t>(*n, -1, std::numeric_limits<long>::max()));
      text = argument.substr(sep + 1);
    }
  }
  entry.text = ReplaceAll(TrimLeft(text), " ", "~");
  return entry;
}

std::vector<std::string> SplitWords(std::string_view line) {
  std::vector<std::string> words;
  std::size_t start = 0;
  while (true) {
    std::size_t p = line.find(' ', start);
    if (p == std::string_view::npos) {
      words.emplace_back(line.substr(start));
      return words;
    }
    words.emplace_back(line.substr(start, p - start));
    start = p + 1;
  }
}

std::string JoinWords(const std::vector<std::string>& words) {
  std::string line;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) line += ' ';
    line += words[i];
  }
  return line;
}

// A chain of comparisons of the ";" fields of the argument: "e1 > e2 < e3 ...".
std::string ComparisonChain(std::string_view argument) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (true) {
    std::size_t p = argument.find(';', start);
    fields.emplace_back(argument.substr(start, p == std::string_view::npos ? p : p - start));
    if (p == std::string_view::npos) break;
    start = p + 1;
  }
  std::vector<double> values;
  for (const std::string& field : fields) {
    values.push_back(static_cast<double>(EvaluateExpression(field)));
  }
  std::string line = fields[0];
  for (std::size_t i = 1; i < fields.size(); ++i) {
    const char* sign = values[i - 1] == values[i] ? "=" : values[i - 1] > values[i] ? ">" : "<";
    line += sign;
    line += fields[i];
  }
  return line;
}

// The answer marks, replacements, insertions, spacing and word order recorded during the scan,
// applied to the line in this order.
struct PendingChanges {
  std::vector<long> answerPositions;
  std::vector<Ty_InsTxt> replacements;
  std::vector<Ty_InsTxt> insertions;
  std::vector<Ty_InsTxt> wordOrder;
  bool reorder = false;
};

std::string ApplyPending(std::string line, const PendingChanges& pending) {
  // Answer marks: one walk, positions consumed in the order recorded.
  if (!pending.answerPositions.empty()) {
    std::vector<std::string> words = SplitWords(line);
    std::size_t next = 0;
    for (std::size_t w = 0; w < words.size() && next < pending.answerPositions.size(); ++w) {
      if (pending.answerPositions[next] == static_cast<long>(w)) {
        words[w] = "{" + words[w] + "}";
        ++next;
      }
    }
    line = JoinWords(words);
  }
  // Replacements: word numbers from 1.
  if (!pending.replacements.empty()) {
    std::vector<std::string> words = SplitWords(line);
    std::size_t next = 0;
    for (std::size_t w = 0; w < words.size() && next < pending.replacements.size(); ++w) {
      if (pending.replacements[next].position == static_cast<long>(w) + 1) {
        words[w] = pending.replacements[next].text;
        ++next;
      }
    }
    line = JoinWords(words);
    if (static_cast<long>(words.size()) < pending.replacements.back().position &&
        next < pending.replacements.size()) {
      line += " " + pending.replacements[next].text;
    }
  }
  // Insertions: after the n-th space, 0 being the front.
  if (!pending.insertions.empty()) {
    std::vector<std::string> words = SplitWords(line);
    std::size_t next = 0;
    for (std::size_t w = 0; w < words.size() && next < pending.insertions.size(); ++w) {
      if (pending.insertions[next].position == static_cast<long>(w)) {
        words[w] = pending.insertions[next].text + words[w];
        ++next;
      }
    }
    line = JoinWords(words);
    if (static_cast<long>(words.size()) - 1 < pending.insertions.back().position &&
        next < pending.insertions.size()) {
      line += " " + pending.insertions[next].text;
    }
  }
  line = SqueezeChar(ReplaceAll(line, "~", " "), ' ');
  if (pending.reorder) {
    long wordCount = CountChar(line, " ") + 1;
    std::string head;
    std::string words;
    for (const Ty_InsTxt& entry : pending.wordOrder) {
      if (entry.position > wordCount) head = "*e";
      words += GetField(line, " ", entry.position) + " ";
    }
    line = Trim(head + words);
  }
  return line;
}

}  // namespace

std::string PrepareTemplateText(std::string_view templateLine, RandomSource& random) {
  return Trim(DrawRandomRanges(TokeniseExpression(StripSpacesOutsideText(templateLine)), random));
}

std::string InlineFunction(std::string_view name, std::string_view argument,
                           std::string_view currentText, RandomSource& random) {
  ArgumentParts args = SplitArgument(argument);
  if (name == "_rZeroTo") {
    return args.last + Zeros(TextToInt(args.first));
  }
  if (name == "_DivInt") {
    int64_t a = TextToInt(args.first);
    int64_t b = RequireDivisor(args.last);
    return std::to_string(MultipleTowardsZero(a, b)) + DivisionSign(args.middle) +
           std::to_string(b);
  }
  if (name == "_DivIntAddZero") {
    auto [a, k] = NumberAndZeros(args.first);
    auto [b, m] = NumberAndZeros(args.last);
    if (b == 0) throw Error("Division by zero");
    if (k < m) std::swap(k, m);
    return std::to_string(MultipleTowardsZero(a, b)) + Zeros(k) + DivisionSign(args.middle) +
           std::to_string(b) + Zeros(m);
  }
  if (name == "_CopyFromIns") {
    if (IsDigitsOnly(argument)) {
      // Beyond the number of words the last word repeats, so the index can be capped.
      long words = CountChar(currentText, " ") + 2;
      long n =
          argument.size() > 9 ? words : std::min(words, static_cast<long>(TextToInt(argument)));
      std::string word = GetFieldOrLast(currentText, " ", n);
      if (IsDigitsOrComma(word)) return word;
    }
    return "1";
  }
  if (name == "_GetResult") return ResultOfPrefix(currentText);
  if (name == "_RandomW") return RandomWord(argument, random);
  if (name == "_AddSigGrLoEq") return args.first + "  " + args.last;
  return "";
}

std::string ExpandInlineFunctions(std::string_view prepared, RandomSource& random) {
  std::string text(prepared);
  // Line functions are taken out, with the space in front of them.
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '_') {
      ++i;
      continue;
    }
    std::size_t start = i;
    std::size_t j = i + 1;
    while (j < text.size() && text[j] != '(' && text[j] != '_') ++j;
    if (j >= text.size()) break;
    if (text[j] == '_') {
      i = j;
      continue;
    }
    if (!IsLineFunction(UpperCaseAscii(std::string_view(text).substr(start, j - start + 1)))) {
      i = j + 1;
      continue;
    }
    std::size_t close = text.find(')', j + 1);
    std::size_t end = close == std::string::npos ? text.size() : close + 1;
    std::size_t from = start > 0 && text[start - 1] == ' ' ? start - 1 : start;
    text.erase(from, end - from);
    i = from;
  }
  // Inline functions are replaced by their output.
  i = 0;
  while (i < text.size()) {
    if (text[i] != '_') {
      ++i;
      continue;
    }
    std::size_t open = text.find('(', i);
    if (open == std::string::npos) break;  // no "_" from here on can be a call
    std::size_t close = text.find(')', open + 1);
    std::size_t end = close == std::string::npos ? text.size() : close + 1;
    std::string name = text.substr(i, open - i);
    std::string argument = Trim(std::string_view(text).substr(
        open + 1, (close == std::string::npos ? text.size() : close) - open - 1));
    text.erase(i, end - i);
    std::string output = InlineFunction(name, argument, text, random);
    text.insert(i, output);
    if (!output.empty()) ++i;
  }
  return text;
}

std::string RestoreDisplaySymbols(std::string_view expression, std::string_view normalised) {
  static const char kWritten[] = "()[]{}<>*+-/:\\^xX";
  static const char kNormal[] = "()*+-/^";
  std::string written = Trim(RemoveBetweenChars(expression, '#', ')'));
  std::string question = Trim(RemoveBetweenChars(normalised, '#', ')'));
  std::string symbols;
  for (char ch : written) {
    if (std::strchr(kWritten, ch) != nullptr && ch != '\0') symbols += ch;
  }
  std::size_t next = 0;
  for (char& ch : question) {
    if (ch == '\0' || std::strchr(kNormal, ch) == nullptr) continue;
    if (next >= symbols.size()) break;
    ch = symbols[next++];
  }
  return question;
}

std::string ApplyLineFunctions(std::string_view prepared, std::string_view baseLine) {
  std::string line(baseLine);
  PendingChanges pending;
  bool collecting = false;
  std::string collected;
  for (std::size_t i = 0; i < prepared.size(); ++i) {
    char ch = prepared[i];
    if (ch == '_') {
      collecting = true;
      collected = "_";
      continue;
    }
    if (!collecting) continue;
    if (ch == ')') {
      collecting = false;
      continue;
    }
    collected += ch;
    if (ch != '(') continue;
    collecting = false;

    std::string name = UpperCaseAscii(collected);
    std::size_t close = prepared.find(')', i + 1);
    std::string_view argument = prepared.substr(
        i + 1, close == std::string_view::npos ? std::string_view::npos : close - i - 1);
    bool reject = false;
    if (name == "_QST(") {
      std::string n = Trim(argument);
      pending.answerPositions.push_back(n.empty() ? CountChar(line, " ")
                                                  : static_cast<long>(LenientInt(n)));
    } else if (name == "_LESS(") {
      reject = !(TextToFloat(LastWord(line)) <= static_cast<long double>(LenientInt(argument)));
    } else if (name == "_GREAT(") {
      reject = !(TextToFloat(LastWord(line)) >= static_cast<long double>(LenientInt(argument)));
    } else if (name == "_SRPLRESULT(") {
      std::string oldText = Trim(GetField(argument, ";", 1));
      std::string newText = Trim(GetField(argument, ";", 2));
      std::string word = LastWord(line);
      std::size_t at = oldText.empty() ? std::string::npos : word.find(oldText);
      if (at != std::string::npos) word.replace(at, oldText.size(), newText);
      std::size_t equals = line.find('=');
      line = (equals == std::string::npos ? std::string() : line.substr(0, equals)) + "= " + word;
    } else if (name == "_REFRESULTIF(") {
      std::string refused = Trim(argument);
      reject = !refused.empty() && LastWord(line).find(refused) != std::string::npos;
    } else if (name == "_NBRSFROMLASTCHR(") {
      std::string mark = Trim(GetField(argument, ";", 1));
      std::string mode = UpperCaseAscii(Trim(GetField(argument, ";", 2)));
      int64_t n = TextToInt(Trim(GetField(argument, ";", 3)));
      std::string word = LastWord(line);
      std::size_t at = mark.empty() ? std::string::npos : word.rfind(mark);
      if (at == std::string::npos) {
        reject = true;
      } else {
        auto after = static_cast<int64_t>(word.size() - at - mark.size());
        if (mode == "F") reject = after > n;
        if (mode == "T") reject = after != n;
        if (mode == "P")
          reject = n < 1 || CharAt(word, static_cast<long>(std::min<int64_t>(
                                             n, std::numeric_limits<long>::max()))) != mark;
      }
    } else if (name == "_INSTXT(") {
      pending.insertions.push_back(TextArgument(argument));
    } else if (name == "_REPTXT(") {
      pending.replacements.push_back(TextArgument(argument));
    } else if (name == "_RESROUND(") {
      int64_t value = TextToInt(LastWord(line));
      int64_t zeros = TextToInt(Trim(GetField(argument, ";", 1)));
      std::size_t space = line.rfind(' ');
      line = (space == std::string::npos ? std::string() : line.substr(0, space + 1)) +
             std::to_string(RoundToZeros(value, zeros));
    } else if (name == "_MOVESTR(") {
      pending.reorder = true;
      for (int64_t index : SplitToInts(';', RemoveSpaces(argument))) {
        long position = static_cast<long>(std::clamp<int64_t>(
            index, std::numeric_limits<long>::min(), std::numeric_limits<long>::max()));
        pending.wordOrder.push_back({position, ""});
      }
    } else if (name == "_SYMHLE(") {
      line = ComparisonChain(argument);
    }
    if (reject) return "";
  }
  return ApplyPending(std::move(line), pending);
}

std::string ExpandTemplateLine(std::string_view templateLine, RandomSource& random) {
  std::string prepared = PrepareTemplateText(templateLine, random);
  std::string expression = ExpandInlineFunctions(prepared, random);
  std::string normalised = NormaliseOperators(expression);
  std::string result = FormatResult(EvaluateExpression(normalised));
  std::string question = RestoreDisplaySymbols(expression, normalised);
  return ApplyLineFunctions(prepared, question + " " + "= " + result);
}

std::string EvaluateTemplateText(std::string_view text, RandomSource& random) {
  std::string prepared = PrepareTemplateText(text, random);
  std::string normalised = NormaliseOperators(ExpandInlineFunctions(prepared, random));
  return FormatResult(EvaluateExpression(normalised));
}

bool TemplateCanVary(std::string_view templateLine) {
  std::string stripped = StripSpacesOutsideText(templateLine);
  return stripped.find('~') != std::string::npos || stripped.find("_RandomW(") != std::string::npos;
}

}  // namespace quillo
