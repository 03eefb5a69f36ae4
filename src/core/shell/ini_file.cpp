#include "shell/ini_file.h"

#include <climits>

#include "shell/codec.h"
#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo {
namespace {

constexpr std::size_t npos = std::string::npos;

std::string_view TrimBlanks(std::string_view s) {
  std::size_t b = 0;
  while (b < s.size() && (s[b] == ' ' || s[b] == '\t')) ++b;
  std::size_t e = s.size();
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

// Lines at CR LF, LF or a lone CR, never cut however long they are.
std::vector<std::string> SplitIniLines(std::string_view content) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < content.size(); ++i) {
    char c = content[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(content.substr(start, i - start));
    if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < content.size()) lines.emplace_back(content.substr(start));
  return lines;
}

// The section name of a header line, or nothing.
bool HeaderName(std::string_view line, std::string_view& name) {
  std::string_view t = TrimBlanks(line);
  if (t.empty() || t.front() != '[') return false;
  t.remove_prefix(1);
  std::size_t close = t.find(']');
  name = TrimBlanks(close == npos ? t : t.substr(0, close));
  return true;
}

// Key and raw value of a "key=value" line; false for blank, comment and other lines.
bool KeyValue(std::string_view line, std::string_view& key, std::string_view& value) {
  std::string_view t = TrimBlanks(line);
  if (t.empty() || t.front() == ';' || t.front() == '[') return false;
  std::size_t eq = t.find('=');
  if (eq == npos) return false;
  key = TrimBlanks(t.substr(0, eq));
  if (key.empty()) return false;
  value = TrimBlanks(t.substr(eq + 1));
  return true;
}

std::string CutValue(std::string_view value) {
  return std::string(value.substr(0, kIniMaxValue));
}

std::string NoLineBreaks(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

void CheckNames(std::string_view section, std::string_view key) {
  auto bad = [](std::string_view s) {
    return TrimBlanks(s).empty() || s.find_first_of("\r\n") != npos;
  };
  if (bad(section) || section.find(']') != npos) {
    throw Error("INI section name cannot be written: '" + std::string(section) + "'");
  }
  std::string_view k = TrimBlanks(key);
  if (bad(key) || key.find('=') != npos || k.front() == '[' || k.front() == ';') {
    throw Error("INI key name cannot be written: '" + std::string(key) + "'");
  }
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {
  std::string content;
  if (FileExists(path_) && ReadWholeFile(path_, content)) {
    existed_ = true;
    lines_ = SplitIniLines(content);
  }
}

IniFile IniFile::FromText(std::string_view content) {
  IniFile ini;
  ini.lines_ = SplitIniLines(content);
  return ini;
}

std::vector<IniFile::Span> IniFile::Sections(std::string_view section) const {
  std::vector<Span> spans;
  bool inside = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    std::string_view name;
    if (!HeaderName(lines_[i], name)) continue;
    if (inside) spans.back().end = i;
    inside = EqualsNoCase1252(name, section);
    if (inside) spans.push_back({i, lines_.size()});
  }
  return spans;
}

std::size_t IniFile::FindKey(const Span& span, std::string_view key) const {
  for (std::size_t i = span.header + 1; i < span.end; ++i) {
    std::string_view k, v;
    if (KeyValue(lines_[i], k, v) && EqualsNoCase1252(k, key)) return i;
  }
  return npos;
}

bool IniFile::SectionExists(std::string_view section) const { return !Sections(section).empty(); }

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
  auto spans = Sections(section);
  return !spans.empty() && FindKey(spans.front(), key) != npos;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view def) const {
  auto spans = Sections(section);
  if (spans.empty()) return std::string(def);
  std::size_t i = FindKey(spans.front(), key);
  if (i == npos) return std::string(def);
  std::string_view k, v;
  KeyValue(lines_[i], k, v);
  return CutValue(v);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
  if (!ValueExists(section, key)) return def;
  auto value = TryTextToInt(ReadString(section, key, ""));
  if (!value || *value < INT_MIN || *value > INT_MAX) return def;
  return static_cast<int>(*value);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

DateTime IniFile::ReadDate(std::string_view section, std::string_view key,
                           const DateTime& def) const {
  if (!ValueExists(section, key)) return def;
  auto date = ParseShortDate(ReadString(section, key, ""), def);
  return date ? *date : def;
}

DateTime IniFile::ReadTime(std::string_view section, std::string_view key,
                           const DateTime& def) const {
  if (!ValueExists(section, key)) return def;
  auto time = ParseLongTime(ReadString(section, key, ""), def);
  return time ? *time : def;
}

std::vector<std::string> IniFile::ReadSections() const {
  std::vector<std::string> names;
  for (const std::string& line : lines_) {
    std::string_view name;
    if (!HeaderName(line, name)) continue;
    bool seen = false;
    for (const std::string& n : names) seen = seen || EqualsNoCase1252(n, name);
    if (!seen) names.emplace_back(name);
  }
  return names;
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> keys;
  for (auto& [key, value] : ReadSectionValues(section)) keys.push_back(key);
  return keys;
}

IniPairs IniFile::ReadSectionValues(std::string_view section) const {
  IniPairs pairs;
  auto spans = Sections(section);
  if (spans.empty()) return pairs;
  for (std::size_t i = spans.front().header + 1; i < spans.front().end; ++i) {
    std::string_view k, v;
    if (KeyValue(lines_[i], k, v)) pairs.emplace_back(std::string(k), CutValue(v));
  }
  return pairs;
}

void IniFile::WriteString(std::string_view section, std::string_view key,
                          std::string_view value) {
  CheckNames(section, key);
  std::string sectionName(TrimBlanks(section));
  std::string keyName(TrimBlanks(key));
  std::string val = NoLineBreaks(value);
  modified_ = true;
  auto spans = Sections(sectionName);
  if (spans.empty()) {
    if (!lines_.empty() && !TrimBlanks(lines_.back()).empty()) lines_.emplace_back();
    lines_.push_back("[" + sectionName + "]");
    lines_.push_back(keyName + "=" + val);
    return;
  }
  const Span& span = spans.front();
  std::size_t i = FindKey(span, keyName);
  if (i != npos) {
    std::string_view k, v;
    KeyValue(lines_[i], k, v);
    lines_[i] = std::string(k) + "=" + val;
    return;
  }
  std::size_t last = span.header;
  for (std::size_t j = span.header + 1; j < span.end; ++j) {
    if (!TrimBlanks(lines_[j]).empty()) last = j;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last + 1), keyName + "=" + val);
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int64_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void IniFile::EraseSection(std::string_view section) {
  auto spans = Sections(section);
  for (auto it = spans.rbegin(); it != spans.rend(); ++it) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(it->header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(it->end));
    modified_ = true;
  }
}

void IniFile::DeleteKey(std::string_view section, std::string_view key) {
  auto spans = Sections(section);
  for (auto it = spans.rbegin(); it != spans.rend(); ++it) {
    for (std::size_t i = it->end; i-- > it->header + 1;) {
      std::string_view k, v;
      if (KeyValue(lines_[i], k, v) && EqualsNoCase1252(k, key)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
        modified_ = true;
      }
    }
  }
}

std::string IniFile::Text() const { return JoinLines(lines_); }

void IniFile::Save() {
  if (!modified_) return;
  if (path_.empty()) throw Error("INI file without a path cannot be saved");
  WriteFileAtomic(path_, Text());
  modified_ = false;
  existed_ = true;
}

std::string IniReadString(std::string_view path, std::string_view section, std::string_view key,
                          std::string_view def) {
  return IniFile(std::string(path)).ReadString(section, key, def);
}

int IniReadInteger(std::string_view path, std::string_view section, std::string_view key,
                   int def) {
  return IniFile(std::string(path)).ReadInteger(section, key, def);
}

bool IniReadBool(std::string_view path, std::string_view section, std::string_view key,
                 bool def) {
  return IniFile(std::string(path)).ReadBool(section, key, def);
}

void IniWriteString(std::string_view path, std::string_view section, std::string_view key,
                    std::string_view value) {
  IniFile ini{std::string(path)};
  ini.WriteString(section, key, value);
  ini.Save();
}

void IniWriteBool(std::string_view path, std::string_view section, std::string_view key,
                  bool value) {
  IniWriteString(path, section, key, value ? "1" : "0");
}

}  // namespace quillo
