#include "books/book_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "books/book_text.h"
#include "engine/text_toolkit.h"
#include "books/scramble.h"
#include "shell/file_utils.h"
#include "shell/trace_log.h"

namespace quillo {

using book_text::DigitsValue;
using book_text::kSep;

namespace {

constexpr int kRecordFields = 11;

// The first count lines of file content, split as the line readers split them.
std::vector<std::string> HeadLines(std::string_view content, std::size_t count) {
  std::vector<std::string> lines = SplitLines(content.substr(0, count * (kLineBlock + 2)));
  if (lines.size() > count) lines.resize(count);
  return lines;
}

// The first bytes of a file (fewer when it is shorter); false when it cannot be read.
bool ReadFileHead(std::string_view path, std::size_t bytes, std::string& out) {
  out.assign(bytes, '\0');
  int fd = ::open(SystemPath(path).c_str(), O_RDONLY);
  if (fd < 0) return false;
  std::size_t got = 0;
  while (got < bytes) {
    ssize_t n = ::read(fd, out.data() + got, bytes - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  out.resize(got);
  return true;
}

// Text of an offset field with "." ignored; -1 when the rest is not a decimal number.
int64_t DottedOffset(std::string_view text, int64_t fallback) {
  std::string digits;
  for (char c : text) {
    if (c != '.') digits += c;
  }
  std::optional<int64_t> v = DigitsValue(digits);
  return v ? *v : fallback;
}

// The decimal number after token, up to the next "¦"; -1 when missing.
int64_t OffsetAfter(std::string_view text, std::string_view token) {
  std::size_t at = text.find(token);
  if (at == std::string_view::npos) return -1;
  std::string_view rest = text.substr(at + token.size());
  std::size_t end = rest.find(kSep);
  if (end == std::string_view::npos) return -1;
  std::optional<int64_t> v = DigitsValue(rest.substr(0, end));
  return v ? *v : -1;
}

// True when the code of a level line continues with a further "." after the prefix.
bool IsDeeper(std::string_view line, std::string_view prefix) {
  std::string code = GetField(line, kSep, 1);
  return code.find('.', prefix.size()) != std::string::npos;
}

// The index walk over a book held in memory.
void Walk(OffsetLineReader& reader, const std::string& prefix, int64_t start, ScanMode mode,
          ScanResult& result) {
  LineAt line = reader.At(start);
  if (line.atEnd) return;
  if (CountChar(line.text, kSep) <= kRecordFields - 1) {
    bool found = false;
    bool titles = false;
    for (; !line.atEnd; line = reader.At(line.next)) {
      const std::string& t = line.text;
      if (StartsWith(t, prefix)) {
        if (found && prefix != "0" && IsDeeper(t, prefix)) break;
        TtableStr2Col entry{GetField(t, kSep, 1), GetField(t, kSep, 2), GetField(t, kSep, 3)};
        if (StartsWith(entry.Key, "0")) entry.Key.erase(0, 2);
        result.levels.push_back(std::move(entry));
        found = true;
      } else if (found) {
        break;
      } else if (StartsWith(t, kLevelsEnd)) {
        titles = true;
        line = reader.At(line.next);
        break;
      }
    }
    if (found) {
      result.state = ScanState::Levels;
      return;
    }
    if (!titles) return;
  }
  for (; !line.atEnd; line = reader.At(line.next)) {
    if (mode == ScanMode::TakeAll) {
      result.titleLines.push_back(std::move(line.text));
      continue;
    }
    if (StartsWith(line.text, kTitlesEnd)) break;
    if (StartsWith(line.text, prefix)) {
      result.titleLines.push_back(std::move(line.text));
    } else if (mode == ScanMode::Run && !result.titleLines.empty()) {
      break;
    }
  }
  if (!result.titleLines.empty()) result.state = ScanState::Titles;
}

// The text before the first CR LF of the window starting at data[0]; nothing without one.
std::optional<std::size_t> LineLengthInWindow(const char* data, std::size_t avail,
                                              std::size_t window) {
  std::size_t n = std::min(avail, window);
  for (std::size_t i = 0; i + 1 < n; ++i) {
    if (data[i] == '\r' && data[i + 1] == '\n') return i;
  }
  return std::nullopt;
}

}  // namespace

// --- Title records ------------------------------------------------------------------------------

std::string RecordToLine(const TdBaseJob& r) {
  std::string line;
  for (const std::string* f :
       {&r.Code, &r.Title, &r.Example, &r.Quantity, &r.LineCount, &r.Location, &r.MergeGroup,
        &r.SpCode, &r.LevelKey, &r.Extra10, &r.Extra11}) {
    line += *f;
    line += kSep;
  }
  return line;
}

std::optional<TdBaseJob> LineToRecord(std::string_view line) {
  if (CountChar(line, kSep) < kRecordFields) return std::nullopt;
  TdBaseJob r;
  std::string* fields[] = {&r.Code,      &r.Title,    &r.Example,    &r.Quantity,
                           &r.LineCount, &r.Location, &r.MergeGroup, &r.SpCode,
                           &r.LevelKey,  &r.Extra10,  &r.Extra11};
  std::size_t start = 0;
  for (std::string* f : fields) {
    std::size_t end = line.find(kSep, start);
    *f = std::string(line.substr(start, end - start));
    start = end + 1;
  }
  return r;
}

std::vector<TdBaseJob> ReadTitleRecords(const std::vector<std::string>& lines) {
  std::vector<TdBaseJob> records;
  for (const std::string& line : lines) {
    std::optional<TdBaseJob> r = LineToRecord(line);
    if (!r) break;
    records.push_back(std::move(*r));
  }
  return records;
}

int64_t LocationOffset(std::string_view location) {
  std::optional<int64_t> v = DigitsValue(location.substr(0, location.find('-')));
  return v ? *v : -1;
}

// --- Header and trailer -------------------------------------------------------------------------

BookOptions ReadBookOptions(std::string_view header) {
  BookOptions o;
  o.code = Trim(GetField(header, ';', 3));
  if (o.code.size() > 7) {
    o.positional = true;
    o.practice1 = o.code.substr(0, 2);
    o.practice2 = o.code.substr(2, 2);
    o.typeLetter = o.code[4];
  }
  return o;
}

bool HasAnswerBank(std::string_view header) { return ReadBookOptions(header).typeLetter == 'A'; }

bool UpdatesByCode(std::string_view header) {
  return header.find("UP.Y") != std::string_view::npos;
}

BookTrailer ParseBookTrailer(std::string_view trailer) {
  return {OffsetAfter(trailer, kLevelToken), OffsetAfter(trailer, kTitleToken)};
}

BookBasics ReadBookBasics(std::string_view bookPath, std::string_view keyDigits) {
  BookBasics b;
  std::string content;
  if (!ReadWholeFile(bookPath, content)) return b;
  b.readable = true;
  std::vector<std::string> head = HeadLines(content, 2);
  head.resize(2);
  b.rawHeader = head[1];
  b.scrambled = IsScrambled(b.rawHeader);
  b.title = UnscrambleLine(head[0], b.scrambled, keyDigits);
  b.header = UnscrambleLine(b.rawHeader, b.scrambled, keyDigits);
  std::vector<std::string> lines = SplitLines(content);
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    if (it->empty()) continue;
    b.trailer = ParseBookTrailer(UnscrambleLine(*it, b.scrambled, keyDigits));
    break;
  }
  return b;
}

// --- Level entries
// --------------------------------------------------------------------------------

int64_t LevelBackOffset(std::string_view info, int64_t levelSectionOffset) {
  std::size_t dash = info.find('-');
  if (dash == std::string_view::npos) return levelSectionOffset;
  return DottedOffset(info.substr(0, dash), levelSectionOffset);
}

int64_t LevelEnterOffset(std::string_view info, int64_t levelSectionOffset) {
  std::size_t dash = info.find('-');
  if (dash == std::string_view::npos) return levelSectionOffset;
  return DottedOffset(info.substr(dash + 1), levelSectionOffset);
}

bool HasVocabularyColumns(std::string_view text) { return CountChar(text, ';') == 3; }

// --- Reading by offset
// ----------------------------------------------------------------------------

LineAt ReadLineAt(std::string_view path, int64_t offset, bool scrambled, std::string_view keyDigits,
                  std::size_t window) {
  LineAt r;
  r.next = offset;
  if (offset < 0 || window < 2) return r;
  int fd = ::open(SystemPath(path).c_str(), O_RDONLY);
  if (fd < 0) return r;
  std::string buf(window, '\0');
  std::size_t got = 0;
  while (got < window) {
    ssize_t n = ::pread(fd, buf.data() + got, window - got,
                        static_cast<off_t>(offset) + static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (got == 0) return r;
  r.atEnd = false;
  std::optional<std::size_t> len = LineLengthInWindow(buf.data(), got, window);
  if (len) {
    r.text = UnscrambleLine(std::string_view(buf.data(), *len), scrambled, keyDigits);
    r.next = offset + static_cast<int64_t>(*len) + 2;
  } else {
    r.next = offset + 2;
  }
  return r;
}

OffsetLineReader::OffsetLineReader(std::string content, bool scrambled, std::string keyDigits,
                                   std::size_t window)
    : content_(std::move(content)),
      scrambled_(scrambled),
      key_(std::move(keyDigits)),
      window_(window < 2 ? 2 : window) {}

std::size_t OffsetLineReader::NextCrLf(std::size_t from) {
  if (memoFrom_ != std::string::npos && from >= memoFrom_ &&
      (memoAt_ == std::string::npos || from <= memoAt_)) {
    return memoAt_;
  }
  std::size_t at = from;
  for (;;) {
    at = content_.find('\r', at);
    if (at == std::string::npos || at + 1 >= content_.size()) {
      at = std::string::npos;
      break;
    }
    if (content_[at + 1] == '\n') break;
    ++at;
  }
  memoFrom_ = from;
  memoAt_ = at;
  return at;
}

LineAt OffsetLineReader::At(int64_t offset) {
  LineAt r;
  r.next = offset;
  if (offset < 0 || offset >= Size()) return r;
  r.atEnd = false;
  auto from = static_cast<std::size_t>(offset);
  std::size_t crlf = NextCrLf(from);
  if (crlf != std::string::npos && crlf - from <= window_ - 2) {
    r.text = UnscrambleLine(std::string_view(content_).substr(from, crlf - from), scrambled_, key_);
    r.next = offset + static_cast<int64_t>(crlf - from) + 2;
  } else {
    r.next = offset + 2;
  }
  return r;
}

// --- The index walk
// -------------------------------------------------------------------------------

char ScanStateChar(ScanState state) {
  switch (state) {
    case ScanState::Levels:
      return '0';
    case ScanState::Titles:
      return '1';
    case ScanState::Nothing:
      break;
  }
  return 'N';
}

ScanResult ScanLevel(std::string_view bookPath, std::string_view prefix, int64_t startOffset,
                     ScanMode mode, std::string_view keyDigits, TraceLog& trace) {
  ScanResult result;
  std::string p(prefix == "0." ? std::string_view("0") : prefix);
  std::string content;
  if (!p.empty() && ReadWholeFile(bookPath, content)) {
    std::vector<std::string> head = HeadLines(content, 2);
    bool scrambled = IsScrambled(head.size() > 1 ? head[1] : "");
    OffsetLineReader reader(std::move(content), scrambled, std::string(keyDigits));
    Walk(reader, p, startOffset, mode, result);
  }
  if (result.state == ScanState::Nothing) trace.Trace(kNoDataTrace);
  return result;
}

std::optional<ScanResult> WalkToLevel(std::string_view bookPath, std::string_view levelCode,
                                      std::string_view keyDigits, TraceLog& trace) {
  BookBasics basics = ReadBookBasics(bookPath, keyDigits);
  const int64_t top = basics.trailer.levelOffset;
  ScanResult result = ScanLevel(bookPath, "0", top, ScanMode::Run, keyDigits, trace);
  std::string code(levelCode);
  std::string walked;
  std::size_t pos = 0;
  while (pos < code.size()) {
    std::size_t dot = code.find('.', pos);
    if (dot == std::string::npos) dot = code.size();
    walked = code.substr(0, dot);
    pos = dot + 1;
    if (result.state != ScanState::Levels) return std::nullopt;
    const TtableStr2Col* entry = nullptr;
    for (const TtableStr2Col& e : result.levels) {
      if (e.Key == walked) {
        entry = &e;
        break;
      }
    }
    if (!entry) return std::nullopt;
    result = ScanLevel(bookPath, walked + ".", LevelEnterOffset(entry->Info, top), ScanMode::Run,
                       keyDigits, trace);
  }
  return result;
}

std::vector<std::string> LevelWideTitles(std::string_view bookPath, std::string_view levelCode,
                                         std::string_view keyDigits, TraceLog& trace, bool useEdx) {
  const std::string prefix = std::string(levelCode) + ".";
  std::vector<int64_t> offsets;
  if (useEdx) offsets = FindEdxOffsets(bookPath, prefix);
  std::vector<std::string> lines;
  if (offsets.empty()) {
    int64_t section = ReadBookBasics(bookPath, keyDigits).trailer.titleOffset;
    return ScanLevel(bookPath, prefix, section, ScanMode::Section, keyDigits, trace).titleLines;
  }
  for (int64_t offset : offsets) {
    ScanResult r = ScanLevel(bookPath, prefix, offset, ScanMode::Run, keyDigits, trace);
    lines.insert(lines.end(), r.titleLines.begin(), r.titleLines.end());
  }
  return lines;
}

// --- Companion offset index
// ------------------------------------------------------------------------

std::string EdxPathOf(std::string_view bookPath) {
  std::string folder = GetFolderPart(bookPath);
  std::string name = FileNameOf(bookPath);
  std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return folder + name + ".EDX";
}

std::vector<int64_t> FindEdxOffsets(std::string_view bookPath, std::string_view prefix) {
  std::vector<int64_t> offsets;
  std::string content;
  if (prefix.empty() || !ReadWholeFile(EdxPathOf(bookPath), content)) return offsets;
  std::vector<std::string> lines = SplitLines(content);
  if (lines.empty()) return offsets;
  const std::string& first = lines.front();
  std::size_t bar = first.find(kSep);
  if (bar == std::string::npos) return offsets;
  std::size_t dot = first.find('.', bar + 1);
  if (dot == std::string::npos) return offsets;
  std::optional<int64_t> base = DigitsValue(std::string_view(first).substr(bar + 1, dot - bar - 1));
  std::string field2 = GetField(first, kSep, 2);
  std::size_t fdot = field2.find('.');
  std::size_t colon = fdot == std::string::npos ? fdot : field2.find(':', fdot + 1);
  if (!base || colon == std::string::npos) return offsets;
  std::string check;
  for (char c : field2.substr(fdot + 1, colon - fdot - 1)) {
    if (c != 'x' && c != 'X') check += c;
  }
  if (!IsDigitsOnly(check)) return offsets;
  bool inRun = false;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::optional<int64_t> rel;
    if (StartsWith(lines[i], prefix)) rel = DigitsValue(GetField(lines[i], kSep, 2));
    if (rel && !inRun) offsets.push_back(*rel + *base);
    inRun = rel.has_value();
  }
  return offsets;
}

// --- Installed books -----------------------------------------------------------------------------

std::vector<TtableStr2Col> ListBooks(std::string_view booksDir, std::string_view keyDigits) {
  std::vector<std::string> paths;
  ListFolder(booksDir, "*.IDX", paths, true, true, false);
  std::vector<TtableStr2Col> books;
  for (const std::string& path : paths) {
    std::string content;
    if (!ReadFileHead(path, 2 * (kLineBlock + 2), content)) continue;
    std::vector<std::string> head = HeadLines(content, 2);
    head.resize(2);
    std::string caption = UnscrambleLine(head[0], IsScrambled(head[1]), keyDigits);
    if (caption.empty()) continue;
    books.push_back({path, caption, ""});
  }
  return books;
}

}  // namespace quillo
