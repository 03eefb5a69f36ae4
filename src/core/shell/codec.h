// Windows-1252 <-> UTF-8 conversion and Windows-1252 letter case. All texts of the program are
// Windows-1252 byte strings; this codec is used only where they meet the file system or the GUI.
#pragma once

#include <string>
#include <string_view>

namespace quillo {

// Converts Windows-1252 bytes to UTF-8. Never fails: the five bytes that Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same number,
// so every byte string survives a round trip.
std::string Cp1252ToUtf8(std::string_view text);

// Converts UTF-8 to Windows-1252. Returns false when the input is not valid UTF-8 or holds a
// character that Windows-1252 cannot write; such characters come out as "?".
bool Utf8ToCp1252(std::string_view text, std::string& out);

// The same, returning the converted text with "?" for what cannot be written.
std::string Utf8ToCp1252(std::string_view text);

// Letter case of Windows-1252 (ASCII letters and the accented letters of the code page).
char LowerChar1252(char ch);
char UpperChar1252(char ch);
std::string LowerCase1252(std::string_view text);
std::string UpperCase1252(std::string_view text);

// True when both texts are equal regardless of Windows-1252 letter case.
bool EqualsNoCase1252(std::string_view a, std::string_view b);

}  // namespace quillo
