// Progressive practice: the evaluation that runs when a progressive sheet is saved (the window of
// titles moves forward, back or into merged sheets) and the continuation that decides what the
// pupil works on next when a progressive practice is picked: the unfinished sheet, the next
// window of titles, a merged sheet of the titles just practised, or, at the end of the plan, a
// fresh start.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "books/progress_files.h"
#include "practice/checking.h"
#include "practice/points.h"
#include "practice/practice_session.h"

namespace quillo {

struct Context;
class TraceLog;

// The settings that rule a progression, read after its practice profile was loaded.
struct ProgressRules {
  int titlesPerSheet = 3;         // W: "UpDo_stpNbrTitre"
  int mergeAfter = 3;             // M: "UpDo_stpMergeAfter"
  int questionsPerTitle = 3;      // Q: "UpDo_stpNbrQstParTitre"
  bool acceptMerge = true;        // "Cb_AcceptMerge"
  bool forceMerge = false;        // "ChForceToFastStepMerge": only merged sheets
  bool mergeToHigh = true;        // "Cb_MergeToHigh": merged sheets get at least W x Q questions
  bool allFieldsCorrect = false;  // "Cb_ConFieldCorrect": a sheet counts once all is right
  PointsRules points;             // the pass level and "Cb_AlwaysContinueEvByFail"

  static ProgressRules FromSettings(const Context& ctx);
  // G: the titles of a merged sheet, W when M < 2, else W + M - 1.
  int MergeTitles() const;
  // The questions per title of a merged sheet: W x Q / G (at least 1), one more with
  // mergeToHigh when G times that stays below W x Q.
  int MergeQuestionsPerTitle() const;
};

// The values the evaluation and the continuation assume for keys of [Pos] that are missing or
// do not hold a value of their type: "StartPos" 1, "TotPosCount" 0, "FinishCount" -1,
// "QsRFinishNextOK" false, "LastDate" now, every other number 0, texts empty, "DirUpDown" true.
ProgressState ProgressDefaults(const DateTime& now);

// --- Evaluation --------------------------------------------------------------------------------

// What a saved progressive sheet brings to its practice.
struct SheetOutcome {
  std::string resultName;  // N
  std::string faults;      // F, "-1" while incomplete
  Tally tally;
};

enum class Evaluation : uint8_t {
  NotANumber,  // F is not a number: nothing changed
  NoPlan,      // the state names no plan (or is out of reach): nothing changed
  StillOpen,   // not evaluated: the sheet stays the practice's open sheet
  Passed,
  Failed,
};

// The [Pos] keys a step writes (the others keep what the file holds).
enum PosKey : uint32_t {
  kPosLastFileName = 1u << 0,
  kPosStartPos = 1u << 1,
  kPosMargeMin = 1u << 2,
  kPosMargeAskAgain = 1u << 3,
  kPosMargeMaxFault = 1u << 4,
  kPosFinishCount = 1u << 5,
  kPosDirUpDown = 1u << 6,
  kPosFinishNextOK = 1u << 7,
  kPosLastDate = 1u << 8,
};

struct EvaluationStep {
  Evaluation outcome = Evaluation::NoPlan;
  bool mergeSheet = false;  // the sheet was evaluated as a merged sheet
  uint32_t written = 0;     // PosKey bits to write back
};

// Applies a saved sheet to the state as read from [Pos] (without file access): a sheet is
// evaluated once it is complete (F not "-1"), it is the practice's open sheet and, with
// allFieldsCorrect, every answer is right. A passed ordinary sheet moves the window one title
// up and counts towards the next merged sheet, a failed one moves it one title back; merged
// sheets are repeated until passed twice in a row, and the third failed one in a row moves the
// window back by G titles (W with forceMerge). Trace lines for F not a number and a state
// without plan.
EvaluationStep EvaluateState(ProgressState& state, const SheetOutcome& sheet,
                             const ProgressRules& rules, const DateTime& now, TraceLog& trace);

// What EvaluateProgress did, for the front ends.
struct EvaluationReport {
  std::string statePath;
  EvaluationStep step;
  ProgressState state;  // the state afterwards (as read when nothing was written)
};

// The evaluation of a saved progressive sheet: the state is the sheet path (field 1 of its line
// 3) with ".SNI", followed only inside the user data folder; the practice profile beside it is
// loaded for the rules (userFolder's own settings are read back afterwards) when the context has
// a settings store. An evaluated sheet's kind becomes "s" (so it is then saved complete).
EvaluationReport EvaluateProgress(Context& ctx, std::string_view userFolder,
                                  const ProgressInput& input, std::string& kind);

// The hook a practice session calls for sheets of kind "p".
class ProgressEvaluation : public ProgressHook {
 public:
  ProgressEvaluation(Context& ctx, std::string userFolder)
      : ctx_(ctx), userFolder_(std::move(userFolder)) {}
  void EvaluateProgress(const ProgressInput& input, std::string& kind) override;
  // The last evaluation run through this hook.
  const std::optional<EvaluationReport>& Last() const { return last_; }

 private:
  Context& ctx_;
  std::string userFolder_;
  std::optional<EvaluationReport> last_;
};

// --- Continuation ------------------------------------------------------------------------------

// Result codes of the continuation.
inline constexpr int kContinueNewSheet = 21;  // open the sheet generated fresh with kind "p"
inline constexpr int kContinueResume = 22;    // resume the practice's open result
inline constexpr int kContinueNothing = 2;    // nothing to open
inline constexpr int kContinueEnd = -1;       // nothing to open; the list stays

// The sheet the position calls for (without file access).
struct NextSheet {
  enum class Kind : uint8_t {
    Resume,    // the open sheet's result exists: resume it
    Ordinary,  // W titles from `first`, Q questions each
    Merge,     // G titles from `first`, all in one mixed group
    Finished,  // the plan is done: a restart is to be offered
    Nothing,   // the state gives nothing to do
  };
  Kind kind = Kind::Nothing;
  int first = 0;            // index (from 0) of the first title
  int titles = 0;           // titles asked for (fewer exist near the end of a short plan)
  int perTitle = 0;         // questions per title
  bool rolledBack = false;  // the open sheet's result vanished: the position went back
  uint32_t written = 0;     // PosKey bits of the state to write back
};

// Decides the next sheet from the state as read from [Pos]; resultExists tells whether the
// practice's open result (QsRLastFileName) still exists. Changes to the state that are to be
// kept are made in state and named in written (the roll-back after a vanished result).
NextSheet PlanNextSheet(ProgressState& state, const ProgressRules& rules, bool resultExists);

// The state after the pupil chose to start a finished plan again: "FinishCount" one more,
// "StartPos" -1, the merge counts 0, forward, the next pick generating, "LastDate" now.
void RestartProgress(ProgressState& state, const DateTime& now);

struct Continuation {
  int code = kContinueNothing;
  std::string sheetPath;        // 21: the sheet to open fresh with kind "p"
  std::string resultName;       // 22: the result to resume from the user's folder
  std::string kind;             // 22: the kind to resume it with
  std::string faults;           // 22: its first-try faults
  NextSheet plan;               // what the position called for
  int questions = 0;            // 21: questions written
  bool removeFromList = false;  // the plan is gone: its state was deleted
  bool restarted = false;       // the finished plan was started again
  ProgressState state;          // the state afterwards
};

// Continues the progressive practice of a progress file for a user: resumes the open sheet,
// generates the next ordinary or merged sheet (the progress file's path with ".QST", recorded
// as the user's last sheet), or at the end of the plan asks "OK, reset and continue .." (box
// "Progress", Cancel and OK) and restarts it on OK. The practice profile of the plan rules the
// step; the user's own settings (else the global ones) are read back at the end when the
// context has a settings store. A missing plan deletes the state and returns -1; a missing book
// or a plan refused by the version check returns 2. Errors of generation are thrown.
Continuation ContinueProgress(Context& ctx, std::string_view user, std::string_view progressPath);

}  // namespace quillo
