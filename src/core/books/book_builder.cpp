#include "books/book_builder.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "books/book_files.h"
#include "books/book_text.h"
#include "engine/text_toolkit.h"
#include "books/scramble.h"
#include "shell/codec.h"
#include "shell/file_utils.h"
#include "shell/trace_log.h"

namespace quillo {

using book_text::DigitsValue;
using book_text::kSep;

namespace {

constexpr int kMaxNumber = 999999;

bool UsesOneLine(std::string_view spCode) { return spCode == "G1" || spCode == "GD1"; }

bool IsKnownSpCode(std::string_view code) {
  for (std::string_view known : {"", "LO1", "LO2", "PQ1", "VO1", "STB", "G1n", "G1", "GD1"}) {
    if (code == known) return true;
  }
  return false;
}

// --- Reading the source
// ---------------------------------------------------------------------------

struct SrcTitle {
  int line = 0;
  std::string code;
  TdBaseJob rec;
  std::optional<int> quantity;
  int quantityLine = 0;
  std::optional<int> lineCount;
  int lineCountLine = 0;
  std::map<std::string, int> given;  // field name -> source line
  std::vector<std::pair<int, std::string>> lines;
};

struct SrcLevel {
  int line = 0;
  std::string code;
  std::string caption;
  int parent = -1;
  std::vector<int> children;
  std::vector<SrcTitle> titles;
};

struct Source {
  std::string book;
  int bookLine = 0;
  std::string header;
  int headerLine = 0;
  bool scramble = false;
  int scrambleLine = 0;
  std::vector<SrcLevel> levels;
  std::vector<int> roots;
};

class SourceReader {
 public:
  explicit SourceReader(std::string_view name) : name_(name) {}

  [[noreturn]] void Fail(int line, const std::string& message) const {
    throw BookSourceError(name_, line, message);
  }

  Source Read(std::string_view text);

 private:
  std::string ToCp1252(std::string_view utf8, int line) const;
  void Directive(const std::string& name, const std::string& arg, const std::string& value,
                 int line);
  void TitleField(const std::string& name, const std::string& value, int line);
  void ExerciseLine(std::string text, int line);
  void Finish();

  std::string name_;
  Source src_;
  std::map<std::string, int> levelIndex_;
  std::map<std::string, int> titleCodes_;
  std::map<std::string, int> topFields_;
  int current_ = -1;  // the level titles go to
  bool inTitle_ = false;
};

// The code point of one UTF-8 sequence, nothing when it is not valid UTF-8.
std::optional<char32_t> DecodeOne(std::string_view s) {
  auto b0 = static_cast<unsigned char>(s[0]);
  std::size_t len = b0 < 0x80             ? 1
                    : (b0 & 0xE0) == 0xC0 ? 2
                    : (b0 & 0xF0) == 0xE0 ? 3
                    : (b0 & 0xF8) == 0xF0 ? 4
                                          : 0;
  if (len == 0 || len != s.size()) return std::nullopt;
  char32_t cp = len == 1 ? b0 : len == 2 ? (b0 & 0x1F) : len == 3 ? (b0 & 0x0F) : (b0 & 0x07);
  for (std::size_t i = 1; i < len; ++i) {
    auto b = static_cast<unsigned char>(s[i]);
    if ((b & 0xC0) != 0x80) return std::nullopt;
    cp = (cp << 6) | (b & 0x3F);
  }
  return cp;
}

std::string SourceReader::ToCp1252(std::string_view utf8, int line) const {
  std::string out;
  std::size_t i = 0;
  while (i < utf8.size()) {
    auto b0 = static_cast<unsigned char>(utf8[i]);
    std::size_t len = b0 >= 0xF0 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC0 ? 2 : 1;
    std::string_view one = utf8.substr(i, len);
    std::string converted;
    if (!Utf8ToCp1252(one, converted)) {
      std::optional<char32_t> cp = DecodeOne(one);
      if (!cp) Fail(line, "the text is not valid UTF-8");
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(*cp));
      Fail(line, std::string("the character ") + code + " cannot be written in Windows-1252");
    }
    out += converted;
    i += one.size();
  }
  return out;
}

std::string TrimSpaces(std::string_view s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return "";
  std::size_t e = s.find_last_not_of(" \t");
  return std::string(s.substr(b, e - b + 1));
}

std::string LowerAscii(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

// A level code: numbers from 1 without leading zeros, joined by ".".
bool IsLevelCode(std::string_view code) {
  std::size_t pos = 0;
  while (true) {
    std::size_t dot = code.find('.', pos);
    std::string_view part = code.substr(pos, dot == std::string_view::npos ? dot : dot - pos);
    if (!IsDigitsOnly(part) || part[0] == '0' || part.size() > 9) return false;
    if (dot == std::string_view::npos) return true;
    pos = dot + 1;
  }
}

std::optional<int> Count(std::string_view text) {
  std::optional<int64_t> v = DigitsValue(text);
  if (!v || *v < 1 || *v > kMaxNumber) return std::nullopt;
  return static_cast<int>(*v);
}

Source SourceReader::Read(std::string_view text) {
  if (StartsWith(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
  int lineNo = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view raw = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    std::size_t first = raw.find_first_not_of(" \t");
    if (first == std::string_view::npos || raw[first] == '#') continue;
    if (raw.find('\r') != std::string_view::npos) Fail(lineNo, "a carriage return inside a line");
    std::string line = ToCp1252(raw.substr(first), lineNo);
    if (line[0] == '>') {
      bool whole = line.size() > 1 && line[1] == '>';
      std::string rest = line.substr(whole ? 2 : 1);
      if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
      if (!whole) {
        if (rest.find(kSep) != std::string::npos) {
          Fail(lineNo, "a template cannot hold \"\xA6\" (write the whole line with \">>\")");
        }
        if (rest.empty()) Fail(lineNo, "an exercise line needs a template");
        rest = std::string(1, kSep) + rest + kSep;
      } else if (rest.empty()) {
        Fail(lineNo, "an exercise line cannot be empty");
      }
      ExerciseLine(std::move(rest), lineNo);
      continue;
    }
    std::size_t colon = line.find(':');
    if (colon == std::string::npos) {
      Fail(lineNo,
           "expected \"name: value\", a level, a title or an exercise line (\"> template\")");
    }
    std::string head = TrimSpaces(line.substr(0, colon));
    std::string value = TrimSpaces(line.substr(colon + 1));
    std::size_t space = head.find_first_of(" \t");
    std::string name = LowerAscii(head.substr(0, space));
    std::string arg = space == std::string::npos ? "" : TrimSpaces(head.substr(space));
    if (value.find(kSep) != std::string::npos) {
      Fail(lineNo, "a field cannot hold \"\xA6\"");
    }
    if (!arg.empty() && name != "level" && name != "title") {
      Fail(lineNo, "unknown field \"" + head + "\"");
    }
    Directive(name, arg, value, lineNo);
  }
  Finish();
  return std::move(src_);
}

void SourceReader::Directive(const std::string& name, const std::string& arg,
                             const std::string& value, int line) {
  if (name == "book" || name == "header" || name == "scramble") {
    auto [it, fresh] = topFields_.emplace(name, line);
    if (!fresh) {
      Fail(line,
           "\"" + name + "\" is given twice (first on line " + std::to_string(it->second) + ")");
    }
    if (name == "book") {
      src_.book = value;
      src_.bookLine = line;
    } else if (name == "header") {
      src_.header = value;
      src_.headerLine = line;
    } else {
      std::string v = LowerAscii(value);
      if (v != "yes" && v != "no") Fail(line, "scramble must be \"yes\" or \"no\"");
      src_.scramble = v == "yes";
      src_.scrambleLine = line;
    }
    return;
  }
  if (name == "level") {
    if (arg.empty()) Fail(line, "a level needs its code, as in \"level 2.1: Caption\"");
    if (!IsLevelCode(arg)) {
      Fail(line, "level code \"" + arg + "\" must be numbers from 1 joined by \".\" (1, 2, 2.1)");
    }
    if (auto it = levelIndex_.find(arg); it != levelIndex_.end()) {
      Fail(line, "level " + arg + " is declared twice (first on line " +
                     std::to_string(src_.levels[it->second].line) + ")");
    }
    if (value.empty()) Fail(line, "level " + arg + " has no caption");
    SrcLevel level;
    level.line = line;
    level.code = arg;
    level.caption = value;
    std::size_t dot = arg.rfind('.');
    int index = static_cast<int>(src_.levels.size());
    if (dot == std::string::npos) {
      src_.roots.push_back(index);
    } else {
      std::string parentCode = arg.substr(0, dot);
      auto parent = levelIndex_.find(parentCode);
      if (parent == levelIndex_.end()) {
        Fail(line, "level " + arg + " comes before its parent level " + parentCode);
      }
      SrcLevel& p = src_.levels[parent->second];
      if (!p.titles.empty()) {
        Fail(line, "level " + parentCode + " holds titles and cannot hold sub-levels too");
      }
      level.parent = parent->second;
      p.children.push_back(index);
    }
    levelIndex_[arg] = index;
    src_.levels.push_back(std::move(level));
    current_ = index;
    inTitle_ = false;
    return;
  }
  if (name == "title") {
    if (current_ < 0) Fail(line, "a title must follow a level");
    SrcLevel& level = src_.levels[current_];
    if (value.empty()) Fail(line, "a title needs its text");
    std::string code;
    if (!arg.empty()) {
      std::string prefix = level.code + ".";
      std::string number = StartsWith(arg, prefix) ? arg.substr(prefix.size()) : "";
      if (!IsDigitsOnly(number) || number.size() > 9) {
        Fail(line, "title code \"" + arg + "\" must be the level code " + level.code +
                       " followed by \".\" and a number");
      }
      code = arg;
    } else {
      int next = 1;
      if (!level.titles.empty()) {
        const std::string& prev = level.titles.back().code;
        std::optional<int64_t> n = DigitsValue(prev.substr(prev.rfind('.') + 1));
        next = static_cast<int>(n.value_or(0) + 1);
      }
      code = level.code + "." + std::to_string(next);
    }
    if (auto it = titleCodes_.find(code); it != titleCodes_.end()) {
      Fail(line, "title code " + code + " is used twice (first on line " +
                     std::to_string(it->second) + ")");
    }
    titleCodes_[code] = line;
    SrcTitle title;
    title.line = line;
    title.code = code;
    title.rec.Code = code;
    title.rec.Title = value;
    level.titles.push_back(std::move(title));
    inTitle_ = true;
    return;
  }
  static const char* const kTitleFields[] = {"example", "quantity", "linecount", "merge",
                                             "spcode",  "levelkey", "extra10",   "extra11"};
  for (const char* field : kTitleFields) {
    if (name == field) {
      TitleField(name, value, line);
      return;
    }
  }
  Fail(line, "unknown field \"" + name + "\"");
}

void SourceReader::TitleField(const std::string& name, const std::string& value, int line) {
  if (!inTitle_) Fail(line, "\"" + name + "\" belongs to a title");
  SrcTitle& t = src_.levels[current_].titles.back();
  if (!t.given.emplace(name, line).second) {
    Fail(line, "\"" + name + "\" is given twice for this title");
  }
  if (name == "example") {
    t.rec.Example = value;
  } else if (name == "quantity" || name == "linecount") {
    std::optional<int> n = Count(value);
    if (!n) Fail(line, name + " must be a whole number from 1 to " + std::to_string(kMaxNumber));
    if (name == "quantity") {
      t.quantity = n;
      t.quantityLine = line;
    } else {
      t.lineCount = n;
      t.lineCountLine = line;
    }
  } else if (name == "merge") {
    if (!value.empty() && (value.size() != 1 || value[0] < 'A' || value[0] > 'Z')) {
      Fail(line, "merge must be one letter from A to Z");
    }
    t.rec.MergeGroup = value;
  } else if (name == "spcode") {
    if (!IsKnownSpCode(value)) {
      Fail(line, "unknown spcode \"" + value +
                     "\" (use LO1, LO2, PQ1, VO1, STB, G1n, G1 or GD1, or leave it empty)");
    }
    t.rec.SpCode = value;
  } else if (name == "levelkey") {
    std::string_view digits = value;
    if (StartsWith(digits, "-")) digits.remove_prefix(1);
    if (!value.empty() && (!IsDigitsOnly(digits) || digits.size() > 9)) {
      Fail(line, "levelkey must be a whole number");
    }
    t.rec.LevelKey = value;
  } else if (name == "extra10") {
    t.rec.Extra10 = value;
  } else {
    t.rec.Extra11 = value;
  }
}

void SourceReader::ExerciseLine(std::string text, int line) {
  if (!inTitle_) Fail(line, "an exercise line belongs to a title");
  src_.levels[current_].titles.back().lines.emplace_back(line, std::move(text));
}

void SourceReader::Finish() {
  if (src_.bookLine == 0) Fail(1, "the source has no \"book:\" line (the book's title)");
  if (src_.book.empty()) Fail(src_.bookLine, "the book's title is empty");
  if (src_.headerLine == 0) Fail(1, "the source has no \"header:\" line");
  if (src_.header.empty()) Fail(src_.headerLine, "the header is empty");
  if (src_.levels.empty()) Fail(1, "the source has no level");
  for (SrcLevel& level : src_.levels) {
    if (level.children.empty() && level.titles.empty() && level.caption[0] != '-') {
      Fail(level.line, "level " + level.code + " has neither sub-levels nor titles");
    }
    for (SrcTitle& t : level.titles) {
      const int lines = static_cast<int>(t.lines.size());
      if (lines == 0) Fail(t.line, "title \"" + t.rec.Title + "\" has no exercise lines");
      int quantity = t.quantity.value_or(DefaultQuantity(t.rec.SpCode, lines));
      int count = t.lineCount.value_or(DefaultLineCount(t.rec.SpCode, lines, quantity));
      if (quantity > count) {
        Fail(t.quantity ? t.quantityLine : t.line,
             "quantity " + std::to_string(quantity) + " is more than the line count " +
                 std::to_string(count) + ": this title would give no questions");
      }
      if (count > lines && !(UsesOneLine(t.rec.SpCode) && quantity == count)) {
        Fail(t.lineCount ? t.lineCountLine : t.line,
             "linecount " + std::to_string(count) + " is more than the " + std::to_string(lines) +
                 " exercise lines of this title: generation would read the lines of the next "
                 "title" +
                 (UsesOneLine(t.rec.SpCode) ? " (for G1 and GD1 it may only be more when it "
                                              "equals the quantity)"
                                            : ""));
      }
      t.rec.Quantity = std::to_string(quantity);
      t.rec.LineCount = std::to_string(count);
    }
  }
}

// --- Laying out the book
// --------------------------------------------------------------------------

struct OutLine {
  std::string text;
  int sourceLine;
};

std::string Num(int64_t v) { return std::to_string(v); }

}  // namespace

BookSourceError::BookSourceError(std::string file, int line, std::string message)
    : Error(file + ":" + std::to_string(line) + ": " + message),
      file_(std::move(file)),
      line_(line),
      message_(std::move(message)) {}

int DefaultQuantity(std::string_view spCode, int exerciseLines) {
  return UsesOneLine(spCode) ? 3 : std::max(1, std::min(3, exerciseLines));
}

int DefaultLineCount(std::string_view spCode, int exerciseLines, int quantity) {
  return UsesOneLine(spCode) ? std::max(exerciseLines, quantity) : exerciseLines;
}

BuiltBook BuildBook(std::string_view source, std::string_view sourceName,
                    std::string_view keyDigits, const BookBuildOptions& options) {
  SourceReader reader(sourceName);
  Source src = reader.Read(source);
  const bool scrambled = src.scramble || options.scramble;
  if (scrambled && keyDigits.empty()) throw Error("A scrambled book needs the scramble key");
  if (!scrambled && IsScrambled(src.header)) {
    reader.Fail(src.headerLine,
                "the header of a plain book must contain \"er.A\" and not \"er.C\" (start it "
                "with \"Ver.A\")");
  }
  if (BookOptions o = ReadBookOptions(src.header); !o.code.empty() && !o.positional) {
    reader.Fail(src.headerLine, "the option code \"" + o.code +
                                    "\" (header field 3) counts only with at least 8 characters");
  }
  if (scrambled && !IsScrambled(ScrambleLine(src.header, true, keyDigits))) {
    reader.Fail(src.headerLine,
                "scrambled, this header would read as plain; change a character of it");
  }

  // Levels in tree order (each level followed by its sub-levels), which is also the order of
  // the titles and their exercise lines; the level section lists each level's children as one
  // group, the top level first, then the groups level by level.
  std::vector<int> treeOrder;
  std::function<void(int)> visit = [&](int i) {
    treeOrder.push_back(i);
    for (int c : src.levels[i].children) visit(c);
  };
  for (int r : src.roots) visit(r);
  std::vector<std::vector<int>> groups{src.roots};
  std::vector<int> groupOf(src.levels.size(), 0);
  std::vector<int> childGroup(src.levels.size(), -1);
  for (std::size_t g = 0; g < groups.size(); ++g) {
    for (int i : groups[g]) {
      groupOf[i] = static_cast<int>(g);
      if (!src.levels[i].children.empty()) {
        childGroup[i] = static_cast<int>(groups.size());
        groups.push_back(src.levels[i].children);
      }
    }
  }

  std::vector<OutLine> out;
  int64_t pos = 0;
  auto add = [&](std::string text, int sourceLine) {
    pos += static_cast<int64_t>(text.size()) + 2;
    out.push_back({std::move(text), sourceLine});
  };
  add(src.book, src.bookLine);
  add(src.header, src.headerLine);
  int titleCount = 0;
  for (int i : treeOrder) {
    for (SrcTitle& t : src.levels[i].titles) {
      int64_t start = pos;
      for (auto& [line, text] : t.lines) add(text, line);
      t.rec.Location = Num(start) + "-" + Num(pos);
      ++titleCount;
    }
  }
  const int64_t levelOffset = pos;

  auto levelLine = [&](int i, const std::string& info) {
    const SrcLevel& l = src.levels[i];
    return (l.parent < 0 ? "0." : "") + l.code + kSep + l.caption + kSep + info;
  };
  // The Info offsets point into the section they belong to, so the section is laid out again
  // until the lengths of the offsets written settle.
  std::vector<std::string> info(src.levels.size(), "0-0");
  int64_t titleOffset = 0;
  std::vector<int64_t> recordOffsets;
  for (int round = 0; round < 64; ++round) {
    int64_t p = levelOffset;
    std::vector<int64_t> groupStart(groups.size());
    for (std::size_t g = 0; g < groups.size(); ++g) {
      groupStart[g] = p;
      for (int i : groups[g]) p += static_cast<int64_t>(levelLine(i, info[i]).size()) + 2;
    }
    titleOffset = p;
    p += static_cast<int64_t>(kLevelsEnd.size()) + 2;
    std::vector<int64_t> firstRecord(src.levels.size(), -1);
    recordOffsets.clear();
    for (int i : treeOrder) {
      for (const SrcTitle& t : src.levels[i].titles) {
        if (firstRecord[i] < 0) firstRecord[i] = p;
        recordOffsets.push_back(p);
        p += static_cast<int64_t>(RecordToLine(t.rec).size()) + 2;
      }
    }
    const int64_t endMarker = p;
    bool changed = false;
    for (std::size_t i = 0; i < src.levels.size(); ++i) {
      int64_t enter = childGroup[i] >= 0    ? groupStart[childGroup[i]]
                      : firstRecord[i] >= 0 ? firstRecord[i]
                                            : endMarker;
      std::string s = Num(groupStart[groupOf[i]]) + "-" + Num(enter);
      if (s != info[i]) changed = true;
      info[i] = std::move(s);
    }
    if (!changed) break;
  }
  for (const std::vector<int>& group : groups) {
    for (int i : group) add(levelLine(i, info[i]), src.levels[i].line);
  }
  add(std::string(kLevelsEnd), 0);
  std::vector<std::string> edxLines;
  std::size_t r = 0;
  for (int i : treeOrder) {
    for (const SrcTitle& t : src.levels[i].titles) {
      edxLines.push_back(t.code + kSep + Num(recordOffsets[r++] - titleOffset) + kSep);
      add(RecordToLine(t.rec), t.line);
    }
  }
  add(std::string(kTitlesEnd), 0);
  add(std::string(kLevelToken) + Num(levelOffset) + kSep + std::string(kTitleToken) +
          Num(titleOffset) + kSep,
      0);

  BuiltBook built;
  built.scrambled = scrambled;
  built.levels = static_cast<int>(src.levels.size());
  built.titles = titleCount;
  for (const OutLine& line : out) {
    if (line.text.size() > kMaxBookLine) {
      reader.Fail(line.sourceLine, "this makes a book line of " + Num(line.text.size()) +
                                       " bytes; a book line holds at most " + Num(kMaxBookLine));
    }
    built.idx += ScrambleLine(line.text, scrambled, keyDigits);
    built.idx += "\r\n";
  }
  built.edx = "EDX" + std::string(1, kSep) + Num(titleOffset) + "." + Num(built.idx.size()) + ":" +
              kSep + "\r\n";
  for (const std::string& line : edxLines) built.edx += line + "\r\n";
  return built;
}

void WriteBuiltBook(std::string_view idxPath, const BuiltBook& book, bool withEdx) {
  std::string folder = GetFolderPart(idxPath);
  if (!folder.empty()) EnsureFolder(folder);
  WriteFileAtomic(idxPath, book.idx);
  std::string edxPath = EdxPathOf(idxPath);
  if (withEdx) {
    WriteFileAtomic(edxPath, book.edx);
  } else if (FileExists(edxPath)) {
    RemoveFile(edxPath);
  }
}

// --- Printing a book as source
// ----------------------------------------------------------------------

namespace {

class BookPrinter {
 public:
  BookPrinter(std::string_view path, std::string_view key, TraceLog& trace)
      : path_(path), key_(key), trace_(trace) {}

  std::string Print() {
    BookBasics basics = ReadBookBasics(path_, key_);
    if (!basics.readable) throw Error("Cannot read book " + path_);
    if (basics.trailer.levelOffset < 0) {
      throw Error("Not a book: its last line has no level-section offset (\"#R\xA6=\"): " + path_);
    }
    std::string content;
    ReadWholeFile(path_, content);
    reader_.emplace(std::move(content), basics.scrambled, key_);
    levelOffset_ = basics.trailer.levelOffset;
    out_ += "book: " + basics.title + "\n";
    out_ += "header: " + basics.header + "\n";
    out_ += std::string("scramble: ") + (basics.scrambled ? "yes" : "no") + "\n";
    Levels("0", levelOffset_, 0);
    return Cp1252ToUtf8(out_);
  }

 private:
  void Levels(const std::string& prefix, int64_t offset, int depth) {
    if (depth > 32) return;
    ScanResult r = ScanLevel(path_, prefix, offset, ScanMode::Run, key_, trace_);
    if (r.state == ScanState::Levels) {
      for (const TtableStr2Col& e : r.levels) {
        out_ += "\nlevel " + e.Key + ": " + e.Caption + "\n";
        Levels(e.Key + ".", LevelEnterOffset(e.Info, levelOffset_), depth + 1);
      }
    } else if (r.state == ScanState::Titles) {
      std::string level = prefix.substr(0, prefix.size() - 1);
      std::string expected = level + ".1";
      for (const TdBaseJob& t : ReadTitleRecords(r.titleLines)) {
        Title(t, expected);
        std::optional<int64_t> n = DigitsValue(t.Code.substr(t.Code.rfind('.') + 1));
        expected = level + "." + Num(n.value_or(0) + 1);
      }
    }
  }

  void Title(const TdBaseJob& t, const std::string& expectedCode) {
    out_ += "\ntitle";
    if (t.Code != expectedCode) out_ += " " + t.Code;
    out_ += ": " + t.Title + "\n";
    std::vector<std::string> lines = ExerciseLines(t);
    auto field = [&](const char* name, const std::string& value, bool always = false) {
      if (always || !value.empty()) out_ += std::string("  ") + name + ": " + value + "\n";
    };
    field("example", t.Example);
    field("quantity", t.Quantity, true);
    std::optional<int64_t> quantity = DigitsValue(t.Quantity);
    bool defaultCount =
        quantity && t.LineCount == Num(DefaultLineCount(t.SpCode, static_cast<int>(lines.size()),
                                                        static_cast<int>(*quantity)));
    if (!defaultCount) field("linecount", t.LineCount, true);
    field("merge", t.MergeGroup);
    field("spcode", t.SpCode);
    field("levelkey", t.LevelKey);
    field("extra10", t.Extra10);
    field("extra11", t.Extra11);
    for (const std::string& line : lines) {
      const std::string inner = line.size() >= 2 ? line.substr(1, line.size() - 2) : "";
      bool plain = line.size() > 2 && line.front() == kSep && line.back() == kSep &&
                   inner.find(kSep) == std::string::npos;
      out_ += plain ? "  > " + inner + "\n" : "  >> " + line + "\n";
    }
  }

  // The exercise lines from the Location offset up to its end offset (the text after "-"), or,
  // when that is not an offset past the start, LineCount lines.
  std::vector<std::string> ExerciseLines(const TdBaseJob& t) {
    std::vector<std::string> lines;
    int64_t offset = LocationOffset(t.Location);
    if (offset < 0) return lines;
    std::size_t dash = t.Location.find('-');
    std::optional<int64_t> end;
    if (dash != std::string::npos) end = DigitsValue(t.Location.substr(dash + 1));
    if (end && *end <= offset) end.reset();
    std::size_t limit = end ? 100000
                            : static_cast<std::size_t>(std::clamp<int64_t>(
                                  DigitsValue(t.LineCount).value_or(1), 1, 100000));
    while (lines.size() < limit) {
      if (end && offset >= *end) break;
      LineAt line = reader_->At(offset);
      if (line.atEnd) break;
      lines.push_back(std::move(line.text));
      offset = line.next;
    }
    return lines;
  }

  std::string path_;
  std::string key_;
  TraceLog& trace_;
  std::optional<OffsetLineReader> reader_;
  int64_t levelOffset_ = -1;
  std::string out_;
};

}  // namespace

std::string DumpBook(std::string_view bookPath, std::string_view keyDigits, TraceLog& trace) {
  return BookPrinter(bookPath, keyDigits, trace).Print();
}

}  // namespace quillo
