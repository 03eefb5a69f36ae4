// Progressive practice plans and positions: the progress file (".STP", a header line and one title
// record per line ordered by LevelKey) and its progress state (".SNI", an INI file with the
// section [Pos]).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "books/job_files.h"
#include "shell/conventions.h"

namespace quillo {

struct Context;

// The sort key of a record whose LevelKey is empty: after every keyed record.
inline constexpr long double kNoLevelKey = 9000000;

// One record while sorting: its sort key and its line.
struct TarrayRec {
  long double key = 0;
  std::string line;
};

// The sort key of a record line: its field 9 (LevelKey) as an integer, kNoLevelKey when empty.
// Throws the conversion error "'%s' is not a valid integer value" for anything else.
long double LevelKeyOf(std::string_view recordLine);

// The record lines ordered by LevelKey ascending; equal keys keep their order.
std::vector<std::string> SortByLevelKey(const std::vector<std::string>& recordLines);

// Writes a progress file: the header line (path "¦" book title "¦" level name "¦" book header),
// then the non-empty record lines sorted by LevelKey, every line scrambled when the book header
// says so; with writeState, a fresh progress state beside it (any existing one is replaced).
// The Generate dialog also writes a job this way (without state). Nothing is written when a
// LevelKey is not an integer (the conversion error is thrown); the file is replaced atomically.
// Returns the number of records written.
int WriteProgressFile(Context& ctx, std::string_view path, const JobHeader& header,
                      const std::vector<std::string>& recordLines, bool writeState);

// --- Progress state ----------------------------------------------------------------------------

inline constexpr const char* kPosSection = "Pos";

// The position of a progression. The member defaults are the values written at creation.
struct ProgressState {
  std::string QsRLastFileName;  // result name of the open sheet; "Del" after it went missing
  std::string STPFileName;      // the progress file this state belongs to
  int StartPos = -1;            // titles before the current window; -1 not started
  int TotPosCount = 0;          // titles of the plan
  int MargeMin = 0;             // passed steps since the last merged sheet
  int MargeAskAgain = 0;        // passed merged sheets (0 to 2)
  int MargeMaxFault = 0;        // merged sheets failed in a row
  int FinishCount = 0;          // completed and restarted plans
  bool DirUpDown = true;        // the last step moved up
  bool QsRFinishNextOK = true;  // the last sheet was evaluated: the next one is generated
  DateTime LastDate;            // time of the last change

  friend bool operator==(const ProgressState&, const ProgressState&) = default;
};

// The state a new progression gets: its plan and title count, created now.
ProgressState NewProgressState(std::string_view stpPath, int titleCount, const DateTime& now);

// Reads [Pos] of a state file; every key that is missing or does not hold a value of its type
// keeps the value of defaults (a missing file gives defaults).
ProgressState ReadProgressState(std::string_view path, const ProgressState& defaults = {});

// Writes every key of the record into [Pos], keeping the other lines of the file (atomically).
void WriteProgressState(std::string_view path, const ProgressState& state);

// Replaces the file by a fresh state: every key of the record, then "MargeMax" 0 and
// "MergeFault" 1, which only creation writes.
void CreateProgressState(std::string_view path, const ProgressState& state);

// "LastDate" as written: "dd/mm/yy hh:mm:ss".
std::string DateTimeText(const DateTime& dt);

}  // namespace quillo
