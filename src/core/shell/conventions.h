// The process conventions every file format depends on: "," as decimal separator, dates as
// "dd/mm/yy" and times as "hh:mm:ss", as plain functions that never consult the C locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillo {

// A local calendar date and time of day.
struct DateTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;

  friend bool operator==(const DateTime&, const DateTime&) = default;
};

// Days since 30 December 1899 00:00, the fraction being the time of day.
double ToSerial(const DateTime& dt);
DateTime FromSerial(double serial);
bool IsValidDate(int year, int month, int day);

// "dd/mm/yy" (the short date format) and "hh:mm:ss" (the long time format).
std::string ShortDateText(const DateTime& dt);
std::string LongTimeText(const DateTime& dt);
// Reads a short date "d/m/y" (two-digit years are 2000-based below 50, 1900-based otherwise) or
// a long time "h:m[:s]"; nothing for a text that is not one. The other fields of base are kept.
std::optional<DateTime> ParseShortDate(std::string_view text, const DateTime& base = {});
std::optional<DateTime> ParseLongTime(std::string_view text, const DateTime& base = {});

// Date and time as the trace log and screenshot names write them: "yy-mm-dd" and "hh-mm-ss".
std::string FileStampDate(const DateTime& dt);
std::string FileStampTime(const DateTime& dt);

// The decimal digits of a finite value rounded to `significant` significant digits:
// |value| = d.ddd... x 10^exponent, digits holding every digit (trailing zeros included).
struct DecimalDigits {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};
DecimalDigits ScientificDigits(long double value, int significant);

// The general number format: the shortest text with at most 15 significant digits, "," as
// separator, fixed notation for magnitudes from 0,00001 with at most 15 integer digits,
// otherwise exponent notation ("1E20", "1,5E-7").
std::string FloatToText(long double value);

// Reads a number written with "," as decimal separator: optional blanks, sign, digits, ",",
// digits, optional exponent "E"/"e" with sign; a "." is not a separator. Throws
// "'%s' is not a valid floating point value" for anything else.
long double TextToFloat(std::string_view text);
std::optional<long double> TryTextToFloat(std::string_view text);

// Reads an integer: optional sign, decimal digits, or hexadecimal after "$" or "0x". Throws
// "'%s' is not a valid integer value" for anything else (the empty text included).
int64_t TextToInt(std::string_view text);
std::optional<int64_t> TryTextToInt(std::string_view text);

}  // namespace quillo
