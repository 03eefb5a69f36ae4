// The open practice sheet: the editor with its documents, the sheet's kind, first-try faults,
// elapsed seconds and attempt number, the tally and status text, the correction mode with its
// buttons, the one-second timer's state, and the saving of results, revisions and statistics
// when the sheet is left. The practice window and the command line both drive it: they forward
// keys and button presses, apply the returned document edits to their views, tick the timer
// every second while TimerRunning(), and call Leave() when the pupil leaves the sheet.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "practice/checking.h"
#include "practice/points.h"
#include "practice/practice_editor.h"
#include "practice/result_files.h"

namespace quillo {

struct Context;

// The settings that rule a practice run, read when a sheet opens (after its practice profile).
struct PracticeRules {
  CorrectionMode mode = CorrectionMode::A;
  ShowAnswerRule showAnswer;  // "Cb_InsResultAfter", "UpDo_InsResultAfter"
  PointsRules points;
  int revFromNo = 3;                // "UpDo1_RevFromNo"
  bool saveEmptyToRevision = true;  // "cbSaveEmptyToRevFiles"

  static PracticeRules FromSettings(const Context& ctx);
};

// What an operation changed, for the view: edits of the sheet view and of the log view to be
// applied in order, the caret afterwards, and the scrolling asked for.
struct SessionChange {
  std::vector<DocEdit> sheetEdits;
  std::vector<DocEdit> logEdits;
  int caret = 0;
  int scrollLines = 0;       // lines to scroll, positive downwards
  bool redrawBoard = false;  // the tally, status or time changed
};

// What a progressive sheet hands to the evaluation of its practice when it is saved.
struct ProgressInput {
  std::string sheetPath;  // field 1 of the sheet's line 3
  std::string resultName;
  std::string faults;  // first-try faults, "-1" while incomplete
  Tally tally;
};

// The evaluation of a progressive practice, run when a sheet of kind "p" is saved; it may change
// the kind (to "s" once the sheet was evaluated). Without one the kind stays.
class ProgressHook {
 public:
  virtual ~ProgressHook() = default;
  virtual void EvaluateProgress(const ProgressInput& input, std::string& kind) = 0;
};

// The result of leaving a sheet.
struct LeaveReport {
  std::string resultPath;    // the result file written
  std::string revisionPath;  // the revision file written, "" when none
  std::string kind;          // the kind saved in the result file
  std::string faults;        // first-try faults, "-1" while incomplete
  Tally tally;
  bool statisticsRecorded = false;
  std::string revisionError;  // why the revision could not be written, "" when it could
};

// Where GoToEmptyOrWrong went.
enum class JumpTarget : uint8_t { EmptyField, WrongField, Stayed, Finished };

class PracticeSession {
 public:
  // userFolder: the user's folder, where results, revisions and statistics are written.
  PracticeSession(Context& ctx, std::string userFolder);

  // --- Opening ------------------------------------------------------------------------------
  // Opens a sheet fresh with the given kind ("s" or "p"): a new result name, 0 seconds, attempt
  // 1, first-try faults "-1". A sheet of fewer than 3 lines is deleted with its job (".JOB"),
  // "Error: 983745-A Empty file .." is flashed and false returned; other failures (an unreadable
  // file, a missing scramble key) are flashed as their error, nothing deleted.
  bool OpenFresh(const std::string& path, const std::string& kind = "s");
  // Resumes a result or revision file: its name, kind, first-try faults, seconds and attempt
  // (one more when it was not finished), the answers of every field with their histories, fault
  // counts and colours. An empty file is deleted and "Error: 983745-B Empty file .." flashed; a
  // damaged one is reported as "Error: 983745-C Damaged file .." with what is wrong and left as
  // it is. False when nothing was opened. A kind or first-try faults handed over (the
  // continuation of a progressive practice resumes its open sheet as progressive) replace those
  // of the file.
  bool Resume(const std::string& path, const std::string& kindOverride = "",
              const std::string& faultsOverride = "");
  bool IsOpen() const { return open_; }
  // The user whose results the next sheets write (another user logged in); ignored while a sheet
  // is open.
  void SetUserFolder(const std::string& userFolder);

  // The rules in force; read from the settings when a sheet opens, replaceable afterwards.
  const PracticeRules& Rules() const { return rules_; }
  void SetRules(const PracticeRules& rules);
  void SetProgressHook(ProgressHook* hook) { progressHook_ = hook; }
  // The pictures of the sheets opened from now on (a view's pictures, asked once per picture
  // tag while a sheet renders); without one the picture positions stay unresolved.
  void SetPictureResolver(PictureResolver* resolver) { pictureResolver_ = resolver; }
  // Makes a sheet anew from its job (the sheet's path with ".JOB") before it opens fresh, when
  // RegeneratesOnOpening says so; answers false when nothing was written. Without one, or when
  // the job is missing (the box "Info" says "There is no query saved for practice !" with the
  // result name), the sheet opens as it is.
  using SheetRegenerator = std::function<bool(const std::string& sheetPath)>;
  void SetRegenerator(SheetRegenerator regenerator) { regenerator_ = std::move(regenerator); }
  // When set (the default), opening loads the sheet's practice profile (".SQF" beside the sheet,
  // when it exists inside the program's folders) and leaving reads the user's own "Master.ini"
  // again. Needs ctx.settings.
  void SetUseProfiles(bool use) { useProfiles_ = use; }

  // --- Work ---------------------------------------------------------------------------------
  PracticeEditor& Editor() { return editor_; }
  const PracticeEditor& Editor() const { return editor_; }

  // The check: the tally, the log button in modes C and D, colouring (every field with the flag,
  // else the field at the caret) with the log's histories, the status text, the timer.
  SessionChange CheckSheet(bool allFields);
  // A key in the sheet view; Enter runs the check of the current field and moves on as the
  // correction mode says.
  struct KeyResult {
    KeyOutcome key;
    bool checked = false;
    SessionChange check;  // when checked: the check's edits, applied after key.edits
  };
  KeyResult HandleKey(const Key& key);
  SessionChange Enter();
  // The Check button: the full check when answers changed since the last one (and the button is
  // enabled in the mode); otherwise nothing.
  SessionChange CheckButton();
  // The button "go to empty or wrong": the first empty field, else (mode A, or mode D once every
  // field is filled) the first wrong field, else the "Finish" box. firstVisibleLine is the view's
  // first visible line; the change scrolls the caret's line to the second visible line.
  SessionChange GoToEmptyOrWrong(int firstVisibleLine, JumpTarget* target = nullptr);
  // One second of the timer: counts while the timer runs; true when the board is to be redrawn.
  bool Tick();

  // --- Leaving ------------------------------------------------------------------------------
  // Saves the result, then the revision, then empties the session (and reads the user's own
  // settings again when profiles are used). When the result cannot be written the error is
  // thrown and the sheet stays open as it was (the timer as before), so that leaving can be tried
  // again; a revision that cannot be written is reported in the LeaveReport and the sheet is
  // left all the same, its result being safe.
  LeaveReport Leave();

  // --- State --------------------------------------------------------------------------------
  const std::string& Kind() const { return kind_; }
  const std::string& Faults() const { return faults_; }
  int64_t ElapsedSeconds() const { return seconds_; }
  int64_t Attempt() const { return attempt_; }
  const Tally& CurrentTally() const { return tally_; }
  const std::string& Status() const { return status_; }
  const ButtonStates& Buttons() const { return buttons_; }
  bool TimerRunning() const { return timerRunning_; }
  const std::string& ResultName() const { return resultName_; }
  const std::string& SheetPath() const { return sheetPath_; }
  const std::string& BookName() const { return book_; }
  const std::string& LevelName() const { return level_; }
  const std::string& Header() const { return header_; }
  // Field 3 of the header at ";", spaces removed: the sheet's options.
  const std::string& OptionText() const { return optionText_; }
  const std::string& UserFolder() const { return userFolder_; }

 private:
  void Reset();
  void Flash(const std::string& text);
  void LoadProfile(const std::string& sheetPath);
  void StartRules();
  void ReplayHistories(const std::vector<std::string>& histories);
  void SaveResult(LeaveReport& report);
  void SaveRevision(LeaveReport& report);

  Context& ctx_;
  std::string userFolder_;
  PracticeEditor editor_;
  PracticeRules rules_;
  ProgressHook* progressHook_ = nullptr;
  PictureResolver* pictureResolver_ = nullptr;
  SheetRegenerator regenerator_;
  bool useProfiles_ = true;

  bool open_ = false;
  bool resumed_ = false;
  std::string kind_ = "s";
  std::string faults_ = "-1";
  int64_t seconds_ = 0;
  int64_t attempt_ = 0;
  Tally tally_;
  std::string status_;
  ButtonStates buttons_;
  bool timerRunning_ = false;
  std::string resultName_;
  std::string sheetPath_;
  std::string book_;
  std::string level_;
  std::string header_;
  std::string optionText_;
  LineEncoding encoding_;
  // The base name of a fresh sheet's result names.
  std::string resultBase_;
  // The result as saved, for the revision written after it.
  ResultContent saved_;
};

}  // namespace quillo
