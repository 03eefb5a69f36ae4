// What the practice window opens and how its board reads: the last sheet that "Start a practice
// sheet" takes from the user's account file, the choices the follow-up window hands back, when a
// sheet is made anew from its job as it opens, and the clock text of the board.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillo {

struct Context;

// How the practice window opens a file: nothing, a fresh sheet ("1"), or a result or revision
// resumed ("2").
enum class StartCode : uint8_t { None, Fresh, Resume };

struct SheetRequest {
  StartCode code = StartCode::None;
  std::string path;
  std::string kind = "s";  // the kind of a fresh sheet: "s" ordinary, "p" progressive
  // A resumed result: the kind and first-try faults handed over, empty to keep the file's.
  std::string resumeKind;
  std::string resumeFaults;
};

// The section and keys of the account file that remember the last job and sheet.
inline constexpr const char* kLastInputSection = "Last Input";
inline constexpr const char* kLastJobKey = "Nom 1";
inline constexpr const char* kLastSheetKey = "Nom 2";

// "Start a practice sheet": the sheet recorded as "Nom 2" of [Last Input] in the account file
// "LastuFile.ini" of the user's folder, opened fresh as an ordinary sheet. When no sheet is
// recorded, the recorded file is gone, or it lies outside the program's folders, "Nom 1" and
// "Nom 2" are cleared, the box "Info..." says "Pls. generate a new file !" and nothing opens.
SheetRequest LastSheetRequest(Context& ctx, std::string_view userFolder);

// The result codes of the follow-up window.
inline constexpr int kFollowUpNothing = 2;
inline constexpr int kFollowUpResume = 20;
inline constexpr int kFollowUpNextSheet = 21;
inline constexpr int kFollowUpResumeProgress = 22;

// What a follow-up result code opens: 20 and 22 resume the result of that name in the user's
// folder (its revision when the result is gone; 22 with the kind and first-try faults the
// continuation hands over), 21 opens the sheet just generated for a progressive practice fresh
// with kind "p"; any other code opens nothing. A result name that is not a plain file name opens
// nothing.
SheetRequest FollowUpRequest(int code, std::string_view userFolder, std::string_view resultName,
                             std::string_view generatedSheet, std::string_view kind = "",
                             std::string_view faults = "");

// Whether a sheet is made anew from its job when it opens fresh: the setting "Automatic
// generate new practices questions" is on, the sheet is not progressive, and it does not lie in
// the shared folder (the third path component from the end is not "ShQst").
bool RegeneratesOnOpening(const Context& ctx, std::string_view kind, std::string_view sheetPath);

// The clock of the board: elapsed time "hh:mm:ss" (hours at least two digits) + " (" attempt
// ")".
std::string BoardClockText(int64_t seconds, int64_t attempt);

}  // namespace quillo
