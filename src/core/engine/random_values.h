// Random values and number texts of the template engine: drawing the "lo~hi" ranges of a
// template, counting decimals, the text of a result and the rounding of "_RESROUND(".
// Numbers are written with "," as decimal separator, whatever the C locale says.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillo {

class RandomSource;

// Replaces every space-separated token that contains "~" by a value drawn from its range,
// written with as many decimals as the value's shortest text has (never in exponent notation).
// Without a range token the text is returned unchanged; otherwise every token is followed by
// one space. A bound that is not a number throws "'%s' is not a valid floating point value".
std::string DrawRandomRanges(std::string_view tokenText, RandomSource& random);

// A value of the range "lo~hi": lo <= value < hi, cut towards zero to the decimals of the
// bounds. The upper bound is never drawn; bounds in the wrong order give lo; "2~2" gives 2.
long double RandomInRange(std::string_view rangeText, RandomSource& random);

// The number of decimals the two number texts ask for: the larger count of characters after
// the first ","; for a text in exponent notation the (at most two-digit) number after "E-".
int DecimalsOf(std::string_view a, std::string_view b);

// The text of a result: the general number format, or for a value whose general text holds a
// "-" (negative, or tiny) fixed notation with at most 15 decimals and no trailing zeros.
std::string FormatResult(long double value);

// value in fixed notation with exactly `decimals` decimals (0 to 99), "," as separator, rounded
// half away from zero from the value's 18 significant digits; with trimZeros the trailing zeros
// of the decimals (and a bare ",") are dropped. A value that rounds to zero has no sign.
std::string FormatFixed(long double value, int decimals, bool trimZeros);

// n rounded to k zeros (k capped to leave at least one digit and at most 9 zeros): 1234 with
// k = 2 gives 1200, 1250 gives 1300, 96 with k = 1 gives 100, 7 with k = 3 gives 7. A negative
// n is rounded half away from zero. Throws "Integer overflow" when the result does not fit.
int64_t RoundToZeros(int64_t n, int64_t k);

}  // namespace quillo
