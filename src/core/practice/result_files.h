// The files of a practice run: the line encoding shared with the sheet, the status line, result
// names, the result file's lines, the first-try faults, the revision sheet built from the hard
// questions, and the reading back of a result or revision file with its checks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "practice/checking.h"

namespace quillo {

struct Context;
class TraceLog;

inline constexpr std::string_view kResultExtension = ".QsR";
inline constexpr std::string_view kRevisionExtension = ".QsV";
// The most entries a history keeps in a result file; the oldest go first.
inline constexpr std::size_t kHistoryLimit = 8;
// The longest first-try faults text.
inline constexpr std::size_t kFaultsTextLimit = 8;

// How the lines of a sheet and of its result and revision files are stored: plain or scrambled,
// as the raw first line (the book header) tells.
class LineEncoding {
 public:
  LineEncoding() = default;  // plain
  // The encoding a raw first line announces; the key is read (and may throw Error) only for a
  // scrambled file.
  static LineEncoding ForRawHeader(const Context& ctx, std::string_view rawHeader);
  static LineEncoding WithKey(bool scrambled, std::string keyDigits);
  bool Scrambled() const { return scrambled_; }
  std::string Encode(std::string_view line) const;
  std::string Decode(std::string_view line) const;

 private:
  bool scrambled_ = false;
  std::string key_;
};

// Whole lines of a file at CR LF or LF, however long; a final line break adds no line.
std::vector<std::string> WholeLines(std::string_view content);
// Writes the lines, each encoded and ended by CR LF, replacing the file atomically.
void WriteEncodedLines(std::string_view path, const std::vector<std::string>& lines,
                       const LineEncoding& encoding);

// "#[" text "]", and back: the text inside the wrapper (surrounding blanks of the line
// ignored); nothing when the line is not wrapped so.
std::string Wrapped(std::string_view text);
std::optional<std::string> Unwrapped(std::string_view line);

// Splits at ";" keeping every piece: n separators give n + 1 texts ("" gives one empty text).
std::vector<std::string> SplitAnswers(std::string_view text);

// Line 2 of sheets and result files: "#[" E "/" R "/" T "/" F ";" kind ";" seconds ";"
// attempt "]".
struct SheetStatus {
  Tally tally;
  std::string faults = "-1";
  std::string kind = "s";
  int64_t seconds = 0;
  int64_t attempt = 0;

  std::string Line() const;
  // Nothing unless every part is there and a number where one is due, the faults a whole number
  // of at most 8 characters and the kind one of "s", "p", "r", "S", "R", "X".
  static std::optional<SheetStatus> Parse(std::string_view line);
};

// The base name of the result and revision files of a fresh run of a sheet: the sheet's file
// name without folder and extension, or, when userFolder already holds a result or a revision
// of that name, the name + " #" + a counter of at least two digits from 01 up.
std::string UniqueResultName(std::string_view userFolder, std::string_view sheetPath);
// The same rule for a base name already cut from its path.
std::string FreeResultName(std::string_view userFolder, std::string_view base);

// The first-try faults of a sheet from its histories: "-1" while a history is empty, otherwise
// T less the fields whose history is a single entry equal to the expected answer.
std::string FirstTryFaults(const std::vector<std::string>& histories,
                           const std::vector<TG_EdRTrue>& expected);
// The history with at most limit entries, the last ones.
std::string KeepLastEntries(std::string_view history, std::size_t limit = kHistoryLimit);

// Everything a result file holds, decoded.
struct ResultContent {
  std::string header;  // line 1, the sheet's book header
  SheetStatus status;
  std::string sheetPath;  // line 3
  std::string book;
  std::string level;
  std::vector<std::string> expected;   // line 4
  std::vector<std::string> histories;  // line 5
  std::vector<std::string> wordBank;   // line 6
  std::vector<std::string> questionLines;
};

// The lines of a result file (before encoding).
std::vector<std::string> ResultFileLines(const ResultContent& content);

// The number of answer fields of question lines, as rendering counts them.
int CountFields(const std::vector<std::string>& questionLines);

// The fields a revision takes: those whose history has at least revFromNo entries and whose
// entry number revFromNo is not the expected answer.
std::vector<int> RevisionFields(const std::vector<std::string>& histories,
                                const std::vector<std::string>& expected, int revFromNo);

// The lines of the revision sheet of the selected fields, or nothing when no line with a
// selected field exists (traced as "Error: 7298glo32  ars_RefaireSesQst ; Empty!").
std::optional<std::vector<std::string>> RevisionFileLines(const ResultContent& source,
                                                          const std::vector<int>& selected,
                                                          TraceLog& trace);

// A result or revision file read back.
struct ResultReading {
  enum class Outcome : uint8_t {
    Read,
    Unreadable,  // the file cannot be read
    Empty,       // no line after the header
    Damaged,     // lines missing or not in the result layout; `problem` says what
  };
  Outcome outcome = Outcome::Unreadable;
  std::string problem;
  LineEncoding encoding;
  ResultContent content;
  bool historiesCut = false;  // a history had more than kHistoryLimit entries
};
// Reads and checks a result or revision file; never throws for the file's content (an
// unreadable scramble key is reported as Damaged). Histories longer than kHistoryLimit entries
// keep their last ones.
ResultReading ReadResultFile(const Context& ctx, std::string_view path);

}  // namespace quillo
