// Small text helpers shared by the book and job readers and the book builder: the field
// separator and plain decimal numbers (fields, counts and trimming are the text toolkit's).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillo::book_text {

// The field separator of every book-derived file (byte 0xA6).
inline constexpr char kSep = '\xA6';

// The value of a non-empty run of at most 18 decimal digits; nothing for anything else.
std::optional<int64_t> DigitsValue(std::string_view text);

}  // namespace quillo::book_text
