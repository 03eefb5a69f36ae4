#include "books/book_text.h"

namespace quillo::book_text {

std::string FieldOf(std::string_view text, char sep, int n) {
  if (n < 1) return "";
  std::size_t start = 0;
  for (int i = 1; i < n; ++i) {
    std::size_t at = text.find(sep, start);
    if (at == std::string_view::npos) return "";
    start = at + 1;
  }
  if (start > text.size()) return "";
  std::size_t end = text.find(sep, start);
  if (end == std::string_view::npos) end = text.size();
  return std::string(text.substr(start, end - start));
}

long CountOf(std::string_view text, char ch) {
  long n = 0;
  for (char c : text) n += c == ch;
  return n;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::string TrimBlanks(std::string_view text) {
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  return std::string(text.substr(b, e - b));
}

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

std::optional<int64_t> DigitsValue(std::string_view text) {
  if (!AllDigits(text) || text.size() > 18) return std::nullopt;
  int64_t v = 0;
  for (char c : text) v = v * 10 + (c - '0');
  return v;
}

}  // namespace quillo::book_text
