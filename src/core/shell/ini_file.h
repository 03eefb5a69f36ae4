// Windows-style INI files in Windows-1252: sections in square brackets, "key=value" lines,
// section and key names matched regardless of letter case (the first match wins), values read
// to the end of their line (at most 2047 characters), a missing or unparsable value giving the
// caller's default and a missing file read as an empty one. Writing changes only the lines it
// must and keeps the rest of the file; the file is replaced atomically.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/conventions.h"

namespace quillo {

// Longest value text returned by the readers.
inline constexpr std::size_t kIniMaxValue = 2047;

using IniPairs = std::vector<std::pair<std::string, std::string>>;

// One INI file held in memory. The constructor reads the file (a missing or unreadable file is
// an empty one); the Write and Erase operations change the lines in memory and Save() writes
// them back.
class IniFile {
 public:
  IniFile() = default;
  explicit IniFile(std::string path);
  // An in-memory file over the given text (no path; Save() is not allowed).
  static IniFile FromText(std::string_view content);

  const std::string& Path() const { return path_; }
  // True when the file existed when it was read.
  bool Existed() const { return existed_; }

  // --- Reading ---------------------------------------------------------------------------
  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  // The value, trimmed and cut to kIniMaxValue characters, or def when the key is missing.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  // A decimal integer ("0x" or "$" for hexadecimal); def when missing or not a 32-bit integer.
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  // Any integer other than 0 is true; def when missing or not an integer.
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  // A short date "dd/mm/yy" or a long time "hh:mm:ss"; def when missing or not one.
  DateTime ReadDate(std::string_view section, std::string_view key, const DateTime& def) const;
  DateTime ReadTime(std::string_view section, std::string_view key, const DateTime& def) const;
  // The names of all sections in file order (each once, as first written).
  std::vector<std::string> ReadSections() const;
  // The key names of the first section of that name, in file order.
  std::vector<std::string> ReadSection(std::string_view section) const;
  // The key/value pairs of the first section of that name, in file order (duplicate keys
  // included; values trimmed and cut like ReadString's).
  IniPairs ReadSectionValues(std::string_view section) const;

  // --- Writing ---------------------------------------------------------------------------
  // Replaces the value of the first matching key of the first matching section, or adds the
  // key at the end of that section, or adds the section at the end of the file. Line breaks in
  // the value become spaces. Throws Error for a section or key name that cannot be written
  // (empty, a line break, "]" in a section, "=" in a key, a key starting with "[" or ";").
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int64_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);  // "1" / "0"
  // Removes every section of that name with all its lines.
  void EraseSection(std::string_view section);
  // Removes every line of that key in every section of that name.
  void DeleteKey(std::string_view section, std::string_view key);

  bool Modified() const { return modified_; }
  // The whole text, CR LF after each line.
  std::string Text() const;
  // Writes the file (atomically) when it was modified. Throws Error when it cannot be written.
  void Save();

 private:
  struct Span {
    std::size_t header;  // index of the section line
    std::size_t end;     // one past its last line
  };
  std::vector<Span> Sections(std::string_view section) const;
  // Index of the first line of key inside span, or npos.
  std::size_t FindKey(const Span& span, std::string_view key) const;

  std::string path_;
  bool existed_ = false;
  bool modified_ = false;
  std::vector<std::string> lines_;
};

// One-shot helpers over a file path: each reads the file; the writers write it back at once.
std::string IniReadString(std::string_view path, std::string_view section, std::string_view key,
                          std::string_view def);
int IniReadInteger(std::string_view path, std::string_view section, std::string_view key,
                   int def);
bool IniReadBool(std::string_view path, std::string_view section, std::string_view key, bool def);
void IniWriteString(std::string_view path, std::string_view section, std::string_view key,
                    std::string_view value);
void IniWriteBool(std::string_view path, std::string_view section, std::string_view key,
                  bool value);

}  // namespace quillo
