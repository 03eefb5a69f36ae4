#include "engine/random_values.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "engine/text_toolkit.h"
#include "shell/conventions.h"
#include "shell/error.h"
#include "shell/seams.h"

namespace quillo {
namespace {

// Number of significant digits a value is reduced to before it is written in fixed notation:
// enough for every digit of a 15-digit result, few enough to hide the binary representation.
constexpr int kFixedDigits = 18;

// Adds one to a text of decimal digits.
void IncrementDigits(std::string& digits) {
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
}

// The leading digits (up to two) of text as a number; 0 when there are none.
int LeadingNumber(std::string_view text) {
  int value = 0;
  for (std::size_t i = 0; i < text.size() && i < 2; ++i) {
    if (text[i] < '0' || text[i] > '9') break;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

std::vector<std::string> SplitAtSpaces(std::string_view text) {
  std::vector<std::string> tokens;
  std::size_t start = 0;
  while (true) {
    std::size_t p = text.find(' ', start);
    if (p == std::string_view::npos) {
      tokens.emplace_back(text.substr(start));
      return tokens;
    }
    tokens.emplace_back(text.substr(start, p - start));
    start = p + 1;
  }
}

}  // namespace

std::string FormatFixed(long double value, int decimals, bool trimZeros) {
  if (!std::isfinite(value)) return FloatToText(value);
  if (decimals < 0) decimals = 0;
  if (decimals > 99) decimals = 99;
  auto [negative, digits, exponent] = ScientificDigits(value, kFixedDigits);

  // The digits of round(|value| * 10^decimals).
  long kept = static_cast<long>(exponent) + decimals + 1;
  std::string whole;
  if (kept >= static_cast<long>(digits.size())) {
    whole = digits + std::string(static_cast<std::size_t>(kept) - digits.size(), '0');
  } else if (kept <= 0) {
    whole = kept == 0 && digits[0] >= '5' ? "1" : "0";
  } else {
    whole = digits.substr(0, static_cast<std::size_t>(kept));
    if (digits[static_cast<std::size_t>(kept)] >= '5') IncrementDigits(whole);
  }
  std::size_t lead = whole.find_first_not_of('0');
  if (lead == std::string::npos) {
    whole = "0";
  } else {
    whole.erase(0, lead);
  }
  if (whole.size() <= static_cast<std::size_t>(decimals)) {
    whole.insert(0, static_cast<std::size_t>(decimals) + 1 - whole.size(), '0');
  }
  std::string intPart = whole.substr(0, whole.size() - static_cast<std::size_t>(decimals));
  std::string fraction = whole.substr(whole.size() - static_cast<std::size_t>(decimals));
  if (trimZeros) {
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  }
  bool isZero = whole.find_first_not_of('0') == std::string::npos;
  std::string out = negative && !isZero ? "-" : "";
  out += intPart;
  if (!fraction.empty()) out += "," + fraction;
  return out;
}

int DecimalsOf(std::string_view a, std::string_view b) {
  std::string upA = UpperCaseAscii(a);
  std::string upB = UpperCaseAscii(b);
  std::size_t expA = upA.find("E-");
  std::size_t expB = upB.find("E-");
  if (expA != std::string::npos || expB != std::string::npos) {
    int da = expA == std::string::npos ? 0 : LeadingNumber(std::string_view(upA).substr(expA + 2));
    int db = expB == std::string::npos ? 0 : LeadingNumber(std::string_view(upB).substr(expB + 2));
    return std::max(da, db);
  }
  auto afterComma = [](std::string_view t) -> int {
    std::size_t p = t.find(',');
    return p == std::string_view::npos ? 0 : static_cast<int>(t.size() - p - 1);
  };
  return std::max(afterComma(a), afterComma(b));
}

long double RandomInRange(std::string_view rangeText, RandomSource& random) {
  std::string loText = GetField(rangeText, "~", 1);
  std::string hiText = GetField(rangeText, "~", 2);
  long double lo = TextToFloat(loText);
  long double hi = TextToFloat(hiText);
  long double x = random.Next() * (hi - lo) + lo;
  if (!std::isfinite(x)) throw Error("Floating point overflow");
  int decimals = DecimalsOf(loText, hiText);
  std::string text = FloatToText(x);
  std::size_t comma = text.find(',');
  // Cut towards zero after `decimals` decimals; a whole value is read back as written.
  long double value = comma == std::string::npos
                          ? TextToFloat(text)
                          : TextToFloat(text.substr(0, comma + 1 + decimals));
  // The upper bound is never drawn, not even when the 15-digit text of a value just below it
  // rounds up to it.
  if (value < lo || value > hi || (value == hi && lo < hi)) value = lo;
  return value + 0.0L;  // no negative zero
}

std::string DrawRandomRanges(std::string_view tokenText, RandomSource& random) {
  if (tokenText.find('~') == std::string_view::npos) return std::string(tokenText);
  std::vector<std::string> tokens = SplitAtSpaces(tokenText);
  for (std::string& token : tokens) {
    std::size_t tilde = token.find('~');
    if (tilde == std::string::npos) continue;
    long double lo = TextToFloat(std::string_view(token).substr(0, tilde));
    long double hi = TextToFloat(std::string_view(token).substr(tilde + 1));
    long double x = RandomInRange(FloatToText(lo) + "~" + FloatToText(hi), random);
    token = FormatFixed(x, DecimalsOf(FloatToText(x), "1"), false);
  }
  std::string result;
  for (const std::string& token : tokens) {
    result += token;
    result += ' ';
  }
  return result;
}

std::string FormatResult(long double value) {
  std::string text = FloatToText(value);
  if (!std::isfinite(value) || text.find('-') == std::string::npos) return text;
  return FormatFixed(value, 15, true);
}

int64_t RoundToZeros(int64_t n, int64_t k) {
  bool negative = n < 0;
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
  std::string digits = std::to_string(magnitude);
  auto length = static_cast<int64_t>(digits.size());
  if (k >= 9 || length > 9) k = length - 1;
  if (k >= length) k = length - 1;
  if (k > 9) k = 9;
  if (k <= 0) return n;
  uint64_t lead = std::stoull(digits.substr(0, static_cast<std::size_t>(length - k)));
  if (digits[static_cast<std::size_t>(length - k)] >= '5') ++lead;
  uint64_t scale = 1;
  for (int64_t i = 0; i < k; ++i) scale *= 10;
  uint64_t limit = negative ? static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + 1
                            : static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  if (lead > limit / scale) throw Error("Integer overflow");
  uint64_t rounded = lead * scale;
  return negative ? static_cast<int64_t>(0 - rounded) : static_cast<int64_t>(rounded);
}

}  // namespace quillo
