// Line scrambling shared by books, jobs, practice sheets and progress files: a substitution over
// a fixed alphabet driven by key digits, followed by an interleave of the characters. The first
// raw line that carries a book header tells whether a whole file is scrambled.
#pragma once

#include <string>
#include <string_view>

namespace quillo {

// The substitution alphabet: 183 distinct Windows-1252 characters (no control characters, so a
// scrambled line never holds a line break). Characters outside it are not substituted.
inline constexpr std::size_t kScrambleAlphabetSize = 183;
std::string_view ScrambleAlphabet();

// The installed data file (in ProgramSettingsDir) whose first line is the key text.
inline constexpr std::string_view kScrambleKeyFile = "BookKey.txt";

// False when the raw header line contains "er.A" and does not contain "er.C"; true otherwise.
bool IsScrambled(std::string_view rawHeaderLine);

// Scrambles one line with the key digits; the identity when scrambled is false. An empty key
// substitutes nothing (every character then only moves in the interleave).
std::string ScrambleLine(std::string_view text, bool scrambled, std::string_view keyDigits);
// The inverse of ScrambleLine with the same key digits.
std::string UnscrambleLine(std::string_view text, bool scrambled, std::string_view keyDigits);

// The key digits of a key text: for each pair of neighbouring characters the absolute
// difference of their byte values in decimal, all concatenated ("ace" gives "22").
std::string KeyDigitsFromText(std::string_view keyText);

// Reads the key text from programSettingsDir + kScrambleKeyFile and returns its key digits.
// Throws Error "Error: the scramble key file is missing or empty: " + path when the file is
// missing or its first line gives no digits.
std::string LoadScrambleKey(std::string_view programSettingsDir);

}  // namespace quillo
