#include "books/scramble.h"

#include <array>
#include <cstdlib>
#include <vector>

#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo {
namespace {

// A fixed shuffle of printable ASCII, the Latin-1 letters and the common Windows-1252 signs.
constexpr char kAlphabet[] =
    "\xEAp\xF1\xFE\xDB\xEBnQ;\xD3\xEDG"
    "\xD4=0\xB7\xD0"
    "dBk\xC5q/\x9C"
    "r\xF8"
    "3\xD5(9\xD2`6^\xA6\xDA"
    "\xE4-*\xA1]\xFF\xDDi\xCC"
    "a\xE2\xB2"
    "\xD9K\x93R\xF7j\x85\xE8M#YC"
    "\xC2\xFD\xC3\xD6\xF0\xE1\xD8T\xF5"
    "4<D"
    "z&P\xB0XLH\xDE+1\x80\xBD"
    "x\xEEo\xF6"
    "A@)2f%\xCDV"
    "\xCF"
    "cO\x92\x91>\x22"
    "e\xDF!\xF2:"
    "yI\xE3\xC4\x97"
    "E\xB3\xE6\xFA\xDCw7"
    "\xBFh\xEC\xE7\xE0\xC6J\xD1\x94"
    "8|\xC8"
    "\xE5t\x8C\xEF\xF4\xCE\xBB\xE9WZ\xC1g"
    "\xB5\xBC\xF3._\xCA\xC0\xD7U\xC7\xCB\xA7"
    "\x96\x5C sS'\xA3N5\xFBl{"
    "\xC9,\x3F\xF9m\xAB[$u~}F"
    "bv\xFC";
static_assert(sizeof(kAlphabet) - 1 == kScrambleAlphabetSize);

// 1-based position of each byte in the alphabet, 0 for a byte outside it (first occurrence).
struct PositionTable {
  std::array<int, 256> pos{};
  constexpr PositionTable() {
    for (std::size_t i = kScrambleAlphabetSize; i > 0; --i) {
      pos[static_cast<unsigned char>(kAlphabet[i - 1])] = static_cast<int>(i);
    }
  }
};
constexpr PositionTable kPositions;

constexpr int kSize = static_cast<int>(kScrambleAlphabetSize);

// Shifts every alphabet character by the key digit of its index (forward or back), the key
// restarting at its first digit after its last.
std::string Substitute(std::string_view text, std::string_view key, bool forward) {
  std::string out(text);
  if (key.empty()) return out;
  std::size_t k = 0;
  for (char& ch : out) {
    int p = kPositions.pos[static_cast<unsigned char>(ch)];
    int d = key[k] - '0';
    if (++k == key.size()) k = 0;
    if (p == 0) continue;
    int q = forward ? p + d : p - d;
    if (q > kSize) q -= kSize;
    if (q < 1) q += kSize;
    ch = kAlphabet[q - 1];
  }
  return out;
}

// Last character, first, second-to-last, second, ...
std::string Interleave(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  std::size_t lo = 0;
  std::size_t hi = s.size();
  while (lo < hi) {
    out += s[--hi];
    if (lo < hi) out += s[lo++];
  }
  return out;
}

// The characters at the even positions in order, then those at the odd positions backwards.
std::string Deinterleave(std::string_view s) {
  std::string out;
  if (s.empty()) return out;
  out.reserve(s.size());
  const auto n = static_cast<std::ptrdiff_t>(s.size());
  for (std::ptrdiff_t i = 1; i < n; i += 2) out += s[static_cast<std::size_t>(i)];
  for (std::ptrdiff_t i = (n - 1) / 2 * 2; i >= 0; i -= 2) out += s[static_cast<std::size_t>(i)];
  return out;
}

// Keeps only the decimal digits of a key (anything else would not be a digit of the walk).
std::string DigitsOnly(std::string_view key) {
  std::string out;
  for (char c : key) {
    if (c >= '0' && c <= '9') out += c;
  }
  return out;
}

}  // namespace

std::string_view ScrambleAlphabet() { return {kAlphabet, kScrambleAlphabetSize}; }

bool IsScrambled(std::string_view rawHeaderLine) {
  bool plain = rawHeaderLine.find("er.A") != std::string_view::npos &&
               rawHeaderLine.find("er.C") == std::string_view::npos;
  return !plain;
}

std::string ScrambleLine(std::string_view text, bool scrambled, std::string_view keyDigits) {
  if (!scrambled) return std::string(text);
  return Interleave(Substitute(text, DigitsOnly(keyDigits), true));
}

std::string UnscrambleLine(std::string_view text, bool scrambled, std::string_view keyDigits) {
  if (!scrambled) return std::string(text);
  return Substitute(Deinterleave(text), DigitsOnly(keyDigits), false);
}

std::string KeyDigitsFromText(std::string_view keyText) {
  std::string digits;
  for (std::size_t i = 1; i < keyText.size(); ++i) {
    int a = static_cast<unsigned char>(keyText[i - 1]);
    int b = static_cast<unsigned char>(keyText[i]);
    digits += std::to_string(std::abs(a - b));
  }
  return digits;
}

std::string LoadScrambleKey(std::string_view programSettingsDir) {
  std::string path = WithSlash(programSettingsDir) + std::string(kScrambleKeyFile);
  std::string content;
  std::string digits;
  if (ReadWholeFile(path, content)) {
    std::vector<std::string> lines = SplitLines(content);
    if (!lines.empty()) digits = KeyDigitsFromText(lines.front());
  }
  if (digits.empty()) throw Error("Error: the scramble key file is missing or empty: " + path);
  return digits;
}

}  // namespace quillo
