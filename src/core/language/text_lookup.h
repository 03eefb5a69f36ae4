// The interface language: the language files of the language folder, the active language, and
// message texts by (default text, section, key) from the active language's file. Windows read
// the key/value pairs of their own section here and apply them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shell/ini_file.h"

namespace quillo {

struct Context;

// Section of the message texts.
inline constexpr const char* kMessageSection = "STv";

// One language: its display name ([INFOS] LngName) and the full path of its file.
struct LanguageEntry {
  std::string name;
  std::string path;
};

class TextLookup {
 public:
  explicit TextLookup(std::string languageDir) : languageDir_(std::move(languageDir)) {}

  const std::string& LanguageDir() const { return languageDir_; }

  // Rebuilds the language list from the "*.lng" files of the language folder that have a
  // non-empty [INFOS] LngName, in folder-listing order; true when at least one was found.
  bool RefreshLanguages();
  const std::vector<LanguageEntry>& Languages() const { return languages_; }
  // The names of the list in order.
  std::vector<std::string> LanguageNames() const;
  // The path of the first language of that name (letter case ignored), or "".
  std::string LanguageFile(std::string_view name) const;
  // The name as the list spells it (first match, letter case ignored), or "" when not listed.
  std::string FindLanguage(std::string_view name) const;

  // The active language (its LngName); empty means the built-in texts.
  const std::string& ActiveLanguage() const { return active_; }
  void SetActiveLanguage(std::string name) { active_ = std::move(name); }

  // The text in the active language: Lookup(defaultText, section, file of the active language,
  // key).
  std::string Lookup(std::string_view defaultText, std::string_view section,
                     std::string_view key) const;
  // The message of key in section "STv" with its built-in default text.
  std::string Message(std::string_view key) const;

  // The key/value pairs of a window's section in the active language's file; empty when there
  // is no active language or its file is gone.
  IniPairs WindowTexts(std::string_view section) const;

 private:
  std::string languageDir_;
  std::vector<LanguageEntry> languages_;
  std::string active_;
};

// The text of key in section of a language file: the default when file is empty; otherwise the
// stored value, in which every "¦" is a line break (CR LF; empty pieces before the first text
// are absorbed, the last piece always follows a line break); "er_" + default when the value is
// empty or missing.
std::string Lookup(std::string_view defaultText, std::string_view section, std::string_view file,
                   std::string_view key);

// All key/value pairs of a section of a language file (empty for a missing file or section).
IniPairs ReadWindowSection(std::string_view file, std::string_view section);

// True when a component of that name takes its caption from the language file rather than its
// hint: characters 3 and 4 of the name are "Ca" (as in "BtCa_TabAccUser").
bool TakesCaption(std::string_view componentName);

// The built-in default text of a message key ("svL053" -> "Wrong username or password !"), or
// "" for a key the program does not know.
std::string DefaultMessage(std::string_view key);

// The message of key in the active language of the context, or its default text when the
// context has no text lookup. The second form uses the given default instead of the built-in
// one (for keys used with two texts, such as "svL059").
std::string MessageText(const Context& ctx, std::string_view key);
std::string MessageText(const Context& ctx, std::string_view key, std::string_view defaultText);

}  // namespace quillo
