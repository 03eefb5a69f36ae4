// Small text helpers shared by the book and job readers and the book builder: fields by a
// separator byte, counting, prefixes and plain decimal numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillo::book_text {

// The field separator of every book-derived file (byte 0xA6).
inline constexpr char kSep = '\xA6';

// Field n (1-based) of text + sep cut at sep: empty for n < 1 or past the last field.
std::string FieldOf(std::string_view text, char sep, int n);
// How many times ch occurs.
long CountOf(std::string_view text, char ch);
bool StartsWith(std::string_view text, std::string_view prefix);
// Drops the characters up to and including space at both ends.
std::string TrimBlanks(std::string_view text);
// True for a non-empty text of decimal digits only.
bool AllDigits(std::string_view text);
// The value of a non-empty run of at most 18 decimal digits; nothing for anything else.
std::optional<int64_t> DigitsValue(std::string_view text);

}  // namespace quillo::book_text
