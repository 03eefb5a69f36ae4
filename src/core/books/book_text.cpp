#include "books/book_text.h"

#include "engine/text_toolkit.h"

namespace quillo::book_text {

std::optional<int64_t> DigitsValue(std::string_view text) {
  if (!IsDigitsOnly(text) || text.size() > 18) return std::nullopt;
  int64_t v = 0;
  for (char c : text) v = v * 10 + (c - '0');
  return v;
}

}  // namespace quillo::book_text
