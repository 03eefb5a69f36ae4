// Book files (".IDX"): the header's meaning, the trailer's offsets, reading a line at a byte
// offset, the walk of the level and title index, the companion offset index (".EDX"), title
// records and the list of installed books. Books are read whole or by offset, never kept open.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillo {

class TraceLog;

// The field separator "¦" (byte 0xA6).
inline constexpr std::string_view kFieldSep = "\xA6";
// Read windows: a book line holds at most 2047 bytes before its CR LF, a job line 4023.
inline constexpr std::size_t kBookWindow = 2049;
inline constexpr std::size_t kJobWindow = 4025;
inline constexpr std::size_t kMaxBookLine = kBookWindow - 2;
inline constexpr std::size_t kMaxJobLine = kJobWindow - 2;
// Line markers of the index and the trailer tokens.
inline constexpr std::string_view kLevelsEnd = "#E\xA6";    // closes the level section
inline constexpr std::string_view kTitlesEnd = "#P\xA6";    // closes the title section
inline constexpr std::string_view kLevelToken = "#R\xA6=";  // trailer: level-section offset
inline constexpr std::string_view kTitleToken = "#E\xA6=";  // trailer: title-section offset
// The trace line of a walk that found nothing.
inline constexpr std::string_view kNoDataTrace = "Error IDX_NO_Data E4001";

// One title record: eleven fields, each followed by "¦" on its line; the same layout in a book's
// title section, in jobs and in progress files. Checked lives in memory only.
struct TdBaseJob {
  bool Checked = false;
  std::string Code;        // level code, ".", title number
  std::string Title;       // the "Themes" column
  std::string Example;     // the "Examples" column and the title's heading in a sheet
  std::string Quantity;    // decimal: questions to draw
  std::string LineCount;   // decimal: exercise lines to draw from
  std::string Location;    // byte offset of exercise line 1, "-", further text
  std::string MergeGroup;  // merge letter
  std::string SpCode;      // generation mode
  std::string LevelKey;    // decimal sort key of progressive practice, may be empty
  std::string Extra10;     // carried unchanged
  std::string Extra11;     // carried unchanged

  friend bool operator==(const TdBaseJob&, const TdBaseJob&) = default;
};

// One entry of the book list (Key = the book's path, Info empty) or of a level list (Key = the
// level code as shown, Info = the two offsets "back-enter").
struct TtableStr2Col {
  std::string Key;
  std::string Caption;
  std::string Info;

  friend bool operator==(const TtableStr2Col&, const TtableStr2Col&) = default;
};

// --- Title records ------------------------------------------------------------------------------

// The record's eleven fields, each followed by "¦".
std::string RecordToLine(const TdBaseJob& record);
// The record of a line cut at "¦" eleven times from the left; nothing when the line holds fewer
// than 11 "¦". Checked is false.
std::optional<TdBaseJob> LineToRecord(std::string_view line);
// The records of the lines in order; the first line with fewer than 11 "¦" ends the reading.
std::vector<TdBaseJob> ReadTitleRecords(const std::vector<std::string>& lines);
// The offset before the first "-" of a Location; -1 when it is not a decimal number.
int64_t LocationOffset(std::string_view location);

// --- Header and trailer -------------------------------------------------------------------------

// The option code of a book header (field 3, ";"-separated, trimmed) read by character position
// when it is longer than 7 characters.
struct BookOptions {
  std::string code;
  bool positional = false;  // the code is longer than 7 characters
  std::string practice1;    // characters 1-2: an option of the practice window
  std::string practice2;    // characters 3-4: an option of the practice window
  char typeLetter = '\0';   // character 5: "A" gives sheets an answer bank
};
BookOptions ReadBookOptions(std::string_view header);
// True when the header's type letter is "A".
bool HasAnswerBank(std::string_view header);
// True when the header contains "UP.Y": a new version matches titles by Code, else by Title.
bool UpdatesByCode(std::string_view header);

// The offsets of a trailer line, -1 for a token that is missing or not followed by a decimal
// number and "¦".
struct BookTrailer {
  int64_t levelOffset = -1;  // after "#R¦="
  int64_t titleOffset = -1;  // after "#E¦="
};
BookTrailer ParseBookTrailer(std::string_view trailer);

// Lines 1 and 2 and the trailer of a book, unscrambled with the flag of the raw line 2.
struct BookBasics {
  bool readable = false;  // the file could be read
  std::string title;      // line 1: the caption of the book list
  std::string rawHeader;  // line 2 as stored
  std::string header;     // line 2 unscrambled: the BookHeader
  bool scrambled = true;
  BookTrailer trailer;
};
BookBasics ReadBookBasics(std::string_view bookPath, std::string_view keyDigits);

// --- Level entries
// --------------------------------------------------------------------------------

// The offsets of a level entry's Info ("back-enter", "." ignored inside each part): where the
// list holding the entry starts and where the level's own children start. A part that is not
// all digits gives levelSectionOffset.
int64_t LevelBackOffset(std::string_view info, int64_t levelSectionOffset);
int64_t LevelEnterOffset(std::string_view info, int64_t levelSectionOffset);

// True when the text holds exactly three ";" (the four columns of a vocabulary book).
bool HasVocabularyColumns(std::string_view text);

// --- Reading by offset
// ----------------------------------------------------------------------------

// One line read at a byte offset: the text before the first CR LF of the window (unscrambled),
// and the offset of the next line (offset + length + 2). A window without CR LF gives the empty
// text and offset + 2. atEnd: the offset lies outside the file, nothing was read.
struct LineAt {
  std::string text;
  int64_t next = 0;
  bool atEnd = true;
};

// Reads one window of the file at the offset.
LineAt ReadLineAt(std::string_view path, int64_t offset, bool scrambled, std::string_view keyDigits,
                  std::size_t window = kBookWindow);

// The same reading over file content held in memory, for walks that read many lines.
class OffsetLineReader {
 public:
  OffsetLineReader(std::string content, bool scrambled, std::string keyDigits,
                   std::size_t window = kBookWindow);
  LineAt At(int64_t offset);
  int64_t Size() const { return static_cast<int64_t>(content_.size()); }

 private:
  std::size_t NextCrLf(std::size_t from);

  std::string content_;
  bool scrambled_;
  std::string key_;
  std::size_t window_;
  // The first CR LF at or after memoFrom_ (npos: none), so a stretch without line breaks is
  // searched once however the offset chain steps through it.
  std::size_t memoFrom_ = std::string::npos;
  std::size_t memoAt_ = std::string::npos;
};

// --- The index walk
// -------------------------------------------------------------------------------

// Title modes: run (a level's titles: ends at the first other line after a record), section
// (every title with the prefix up to "#P¦"), take-all (every line to the end of the file).
enum class ScanMode { Run, Section, TakeAll };
// "0" level entries found, "1" title records found, "N" nothing found.
enum class ScanState { Levels, Titles, Nothing };
char ScanStateChar(ScanState state);

struct ScanResult {
  ScanState state = ScanState::Nothing;
  std::vector<TtableStr2Col> levels;    // Key without a leading "0."
  std::vector<std::string> titleLines;  // unscrambled, in file order
};

// Walks the index of a book from a start offset with prefix "0" (top level; "0." counts as "0")
// or a level code followed by ".". Never fails: a missing or damaged book, or an offset outside
// it, gives state "N" and the trace line "Error IDX_NO_Data E4001".
ScanResult ScanLevel(std::string_view bookPath, std::string_view prefix, int64_t startOffset,
                     ScanMode mode, std::string_view keyDigits, TraceLog& trace);

// The walk of the Configurator down to a level: the top level from the trailer's level offset,
// then each level of the code entered through the second offset of its Info. An empty code walks
// the top level. Nothing when a level of the code is not listed on the way.
std::optional<ScanResult> WalkToLevel(std::string_view bookPath, std::string_view levelCode,
                                      std::string_view keyDigits, TraceLog& trace);

// The titles of a level and of all its sub-levels, as the level-wide pick collects them: from
// each offset the companion index gives for the level (run mode) when useEdx and it gives any,
// else from the trailer's title-section offset in section mode.
std::vector<std::string> LevelWideTitles(std::string_view bookPath, std::string_view levelCode,
                                         std::string_view keyDigits, TraceLog& trace,
                                         bool useEdx = true);

// --- Companion offset index
// ------------------------------------------------------------------------

// The ".EDX" beside a book (same folder and base name).
std::string EdxPathOf(std::string_view bookPath);
// The start offsets the companion index gives for the prefix (a level code followed by "."), the
// first of each run of matching lines; empty when there is no usable companion index.
std::vector<int64_t> FindEdxOffsets(std::string_view bookPath, std::string_view prefix);

// --- Installed books -----------------------------------------------------------------------------

// Every ".IDX" of the folder, in listing order: Key = path, Caption = line 1 unscrambled. A book
// whose caption is empty is not listed.
std::vector<TtableStr2Col> ListBooks(std::string_view booksDir, std::string_view keyDigits);

}  // namespace quillo
