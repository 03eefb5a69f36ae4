#include "shell/conventions.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "shell/error.h"

namespace quillo {
namespace {

constexpr int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysIn(int y, int m) { return m == 2 && IsLeap(y) ? 29 : kDaysInMonth[m - 1]; }

// Days from 0001-01-01 to the given date (proleptic Gregorian).
int64_t DayNumber(int y, int m, int d) {
  int64_t yy = y - 1;
  int64_t n = yy * 365 + yy / 4 - yy / 100 + yy / 400;
  for (int i = 1; i < m; ++i) n += DaysIn(y, i);
  return n + d - 1;
}

const int64_t kEpoch = DayNumber(1899, 12, 30);

std::string Two(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Splits "a<sep>b<sep>c" into up to three small non-negative integers.
int SplitNumbers(std::string_view text, char sep, int out[3]) {
  int count = 0;
  std::size_t pos = 0;
  while (count < 3) {
    std::size_t end = text.find(sep, pos);
    std::string_view part = text.substr(pos, end == std::string_view::npos ? text.npos : end - pos);
    if (part.empty() || part.size() > 4) return -1;
    int v = 0;
    for (char c : part) {
      if (c < '0' || c > '9') return -1;
      v = v * 10 + (c - '0');
    }
    out[count++] = v;
    if (end == std::string_view::npos) return count;
    pos = end + 1;
  }
  return -1;  // more than three parts
}

}  // namespace

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysIn(year, month);
}

double ToSerial(const DateTime& dt) {
  double days = static_cast<double>(DayNumber(dt.year, dt.month, dt.day) - kEpoch);
  double frac = (dt.hour * 3600000.0 + dt.minute * 60000.0 + dt.second * 1000.0 + dt.millisecond) /
                86400000.0;
  // Before the epoch the time of day still counts forwards from midnight of that day.
  return days >= 0 ? days + frac : days - frac;
}

DateTime FromSerial(double serial) {
  double whole = std::trunc(serial);
  double frac = std::fabs(serial - whole);
  int64_t n = static_cast<int64_t>(whole) + kEpoch;
  DateTime dt;
  // Year by estimate, then corrected.
  int y = static_cast<int>(n / 365.2425) + 1;
  while (y > 1 && DayNumber(y, 1, 1) > n) --y;
  while (DayNumber(y + 1, 1, 1) <= n) ++y;
  int m = 1;
  while (m < 12 && DayNumber(y, m + 1, 1) <= n) ++m;
  dt.year = y;
  dt.month = m;
  dt.day = static_cast<int>(n - DayNumber(y, m, 1)) + 1;
  auto ms = static_cast<int64_t>(std::llround(frac * 86400000.0));
  if (ms >= 86400000) ms = 86399999;
  dt.hour = static_cast<int>(ms / 3600000);
  dt.minute = static_cast<int>(ms / 60000 % 60);
  dt.second = static_cast<int>(ms / 1000 % 60);
  dt.millisecond = static_cast<int>(ms % 1000);
  return dt;
}

std::string ShortDateText(const DateTime& dt) {
  return Two(dt.day) + "/" + Two(dt.month) + "/" + Two(dt.year % 100);
}

std::string LongTimeText(const DateTime& dt) {
  return Two(dt.hour) + ":" + Two(dt.minute) + ":" + Two(dt.second);
}

std::string FileStampDate(const DateTime& dt) {
  return Two(dt.year % 100) + "-" + Two(dt.month) + "-" + Two(dt.day);
}

std::string FileStampTime(const DateTime& dt) {
  return Two(dt.hour) + "-" + Two(dt.minute) + "-" + Two(dt.second);
}

std::optional<DateTime> ParseShortDate(std::string_view text, const DateTime& base) {
  int v[3];
  if (SplitNumbers(TrimBlanks(text), '/', v) != 3) return std::nullopt;
  int year = v[2];
  if (year < 100) year += year < 50 ? 2000 : 1900;
  if (!IsValidDate(year, v[1], v[0])) return std::nullopt;
  DateTime dt = base;
  dt.day = v[0];
  dt.month = v[1];
  dt.year = year;
  return dt;
}

std::optional<DateTime> ParseLongTime(std::string_view text, const DateTime& base) {
  int v[3] = {0, 0, 0};
  int n = SplitNumbers(TrimBlanks(text), ':', v);
  if (n < 2) return std::nullopt;
  if (v[0] > 23 || v[1] > 59 || v[2] > 59) return std::nullopt;
  DateTime dt = base;
  dt.hour = v[0];
  dt.minute = v[1];
  dt.second = n == 3 ? v[2] : 0;
  dt.millisecond = 0;
  return dt;
}

DecimalDigits ScientificDigits(long double value, int significant) {
  char buf[160];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific,
                           significant - 1);
  std::string sci(buf, res.ptr);
  DecimalDigits d;
  d.negative = sci[0] == '-';
  if (d.negative) sci.erase(0, 1);
  std::size_t epos = sci.find('e');
  d.exponent = std::atoi(sci.c_str() + epos + 1);
  d.digits = epos > 1 ? sci.substr(0, 1) + sci.substr(2, epos - 2) : sci.substr(0, 1);
  return d;
}

std::string FloatToText(long double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";
  auto [negative, digits, exponent] = ScientificDigits(value, 15);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = negative ? "-" : "";
  // Fixed for |x| >= 0,00001 with at most 15 integer digits.
  if (exponent >= -5 && exponent < 15) {
    if (exponent < 0) {
      out += "0,";
      out.append(static_cast<std::size_t>(-exponent - 1), '0');
      out += digits;
    } else {
      auto intDigits = static_cast<std::size_t>(exponent + 1);
      if (digits.size() <= intDigits) {
        out += digits;
        out.append(intDigits - digits.size(), '0');
      } else {
        out += digits.substr(0, intDigits);
        out += ',';
        out += digits.substr(intDigits);
      }
    }
    return out;
  }
  out += digits.substr(0, 1);
  if (digits.size() > 1) {
    out += ',';
    out += digits.substr(1);
  }
  out += 'E';
  out += std::to_string(exponent);
  return out;
}

std::optional<long double> TryTextToFloat(std::string_view text) {
  std::string_view s = TrimBlanks(text);
  std::string norm;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') norm += '-';
    ++i;
  }
  std::size_t mantissaDigits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    norm += s[i++];
    ++mantissaDigits;
  }
  if (i < s.size() && s[i] == ',') {
    norm += '.';
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      norm += s[i++];
      ++mantissaDigits;
    }
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    norm += 'e';
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) norm += s[i++];
    std::size_t expDigits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      norm += s[i++];
      ++expDigits;
    }
    if (expDigits == 0) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;
  long double value = 0;
  auto res = std::from_chars(norm.data(), norm.data() + norm.size(), value);
  if (res.ec == std::errc::result_out_of_range) {
    // Too large becomes infinite, too small zero, as a hardware conversion would give.
    bool tiny = norm.find("e-") != std::string::npos;
    if (tiny) return norm[0] == '-' ? -0.0L : 0.0L;
    return std::nullopt;
  }
  if (res.ec != std::errc() || res.ptr != norm.data() + norm.size()) return std::nullopt;
  return value;
}

long double TextToFloat(std::string_view text) {
  auto value = TryTextToFloat(text);
  if (!value) throw Error("'" + std::string(text) + "' is not a valid floating point value");
  return *value;
}

std::optional<int64_t> TryTextToInt(std::string_view text) {
  std::string_view s = TrimBlanks(text);
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s[0] == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return std::nullopt;
  uint64_t magnitude = 0;
  auto res = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
  if (res.ec != std::errc() || res.ptr != s.data() + s.size()) return std::nullopt;
  if (negative) {
    if (magnitude > static_cast<uint64_t>(INT64_MAX) + 1) return std::nullopt;
    return static_cast<int64_t>(0 - magnitude);
  }
  if (magnitude > static_cast<uint64_t>(INT64_MAX)) return std::nullopt;
  return static_cast<int64_t>(magnitude);
}

int64_t TextToInt(std::string_view text) {
  auto value = TryTextToInt(text);
  if (!value) throw Error("'" + std::string(text) + "' is not a valid integer value");
  return *value;
}

}  // namespace quillo
