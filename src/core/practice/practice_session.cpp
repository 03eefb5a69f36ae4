// The open practice sheet: opening fresh or resumed, checking, the timer and leaving.
#include "practice/practice_session.h"

#include <algorithm>

#include "engine/text_toolkit.h"
#include "language/text_lookup.h"
#include "practice/practice_start.h"
#include "practice/statistics.h"
#include "setup/settings_store.h"
#include "shell/context.h"
#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo {

namespace {

constexpr const char* kEmptySheetMessage = "Error: 983745-A Empty file ..";
constexpr const char* kEmptyResultMessage = "Error: 983745-B Empty file ..";
constexpr const char* kDamagedResultMessage = "Error: 983745-C Damaged file ..";

bool HasExtension(std::string_view path, std::string_view extension) {
  const std::string name = FileNameOf(path);
  return name.size() > extension.size() &&
         LowerCaseAscii(name.substr(name.size() - extension.size())) == LowerCaseAscii(extension);
}

std::string WithExtension(std::string_view path, std::string_view extension) {
  return GetFolderPart(path) + BaseName(path) + std::string(extension);
}

std::vector<std::string> WordBankOf(std::string_view line) {
  const std::optional<std::string> inner = Unwrapped(line);
  const std::string text = inner ? Trim(*inner) : std::string();
  if (text.empty()) return {};
  return SplitAnswers(text);
}

}  // namespace

PracticeRules PracticeRules::FromSettings(const Context& ctx) {
  PracticeRules rules;
  rules.mode = CorrectionModeOf(ctx);
  rules.showAnswer.enabled = SettingBool(ctx, "Cb_InsResultAfter");
  rules.showAnswer.after = SettingInt(ctx, "UpDo_InsResultAfter");
  rules.points = PointsRules::FromSettings(ctx);
  rules.revFromNo = SettingInt(ctx, "UpDo1_RevFromNo");
  rules.saveEmptyToRevision = SettingBool(ctx, "cbSaveEmptyToRevFiles");
  return rules;
}

PracticeSession::PracticeSession(Context& ctx, std::string userFolder)
    : ctx_(ctx), userFolder_(WithSlash(userFolder)), editor_(&ctx.trace) {}

void PracticeSession::SetRules(const PracticeRules& rules) {
  rules_ = rules;
  buttons_ = ButtonsForMode(rules_.mode);
}

void PracticeSession::Reset() {
  editor_.Clear();
  open_ = false;
  resumed_ = false;
  kind_ = "s";
  faults_ = "-1";
  seconds_ = 0;
  attempt_ = 0;
  tally_ = {};
  status_.clear();
  buttons_ = {};
  timerRunning_ = false;
  resultName_.clear();
  resultBase_.clear();
  sheetPath_.clear();
  book_.clear();
  level_.clear();
  header_.clear();
  optionText_.clear();
  encoding_ = {};
  saved_ = {};
}

void PracticeSession::Flash(const std::string& text) {
  if (ctx_.status) ctx_.status->StatusMessage(text, true);
}

void PracticeSession::LoadProfile(const std::string& sheetPath) {
  if (!useProfiles_ || !ctx_.settings || sheetPath.empty()) return;
  const std::string profile = WithExtension(sheetPath, ".SQF");
  if (FileExists(profile)) ReadSettings(ctx_, GetFolderPart(profile), FileNameOf(profile));
}

void PracticeSession::StartRules() {
  SetRules(PracticeRules::FromSettings(ctx_));
  if (kind_ == "p" && !rules_.points.alwaysContinue && ctx_.status)
    ctx_.status->StatusMessage(PassMarkText(rules_.points), false);
}

// --- Opening ---------------------------------------------------------------------------------

bool PracticeSession::OpenFresh(const std::string& path, const std::string& kind) {
  Reset();
  try {
    std::vector<std::string> lines;
    // Reads and decodes the sheet; false (after the report) when it cannot be opened.
    auto readSheet = [&]() {
      std::string data;
      if (!ReadWholeFile(path, data)) {
        Flash("Error: cannot read " + path);
        return false;
      }
      lines = WholeLines(data);
      if (lines.size() < 3) {
        // Only a practice sheet (and its job) is ever deleted, never another file given by
        // mistake.
        if (HasExtension(path, ".QST")) {
          RemoveFile(path);
          const std::string job = WithExtension(path, ".JOB");
          if (FileExists(job)) RemoveFile(ResolveCase(job));
        }
        Flash(kEmptySheetMessage);
        return false;
      }
      encoding_ = LineEncoding::ForRawHeader(ctx_, lines[0]);
      for (std::string& line : lines) line = encoding_.Decode(line);
      header_ = lines[0];
      const std::string place = CopyStr(lines[2], 3, static_cast<long>(lines[2].size()) - 3);
      sheetPath_ = GetField(place, "\xA6", 1);
      book_ = GetField(place, "\xA6", 2);
      level_ = GetField(place, "\xA6", 3);
      return true;
    };
    if (!readSheet()) return false;
    kind_ = kind;
    faults_ = "-1";
    seconds_ = 0;
    attempt_ = 1;
    resultBase_ = BaseName(path);
    resultName_ = FreeResultName(userFolder_, resultBase_);
    LoadProfile(path);
    StartRules();
    // New questions from the sheet's job, when the settings (the profile's included) ask for
    // them; without a job the sheet opens as it is.
    if (regenerator_ && RegeneratesOnOpening(ctx_, kind_, path)) {
      if (!FileExists(WithExtension(path, ".JOB"))) {
        if (ctx_.msgBox) ctx_.msgBox->Inform("Info", MessageText(ctx_, "svL101"), resultName_);
      } else if (regenerator_(path)) {
        if (!readSheet()) {
          Reset();
          return false;
        }
      }
    }
    optionText_ = RemoveSpaces(GetField(header_, ";", 3));

    const std::vector<std::string> wordBank =
        lines.size() >= 6 ? WordBankOf(lines[5]) : std::vector<std::string>{};
    std::vector<std::string> questions;
    if (lines.size() > 6) questions.assign(lines.begin() + 6, lines.end());
    editor_.RenderSheet(questions, wordBank, pictureResolver_);
    open_ = true;
    CheckSheet(true);
    editor_.GoToField(0);
    return true;
  } catch (const std::exception& e) {
    Reset();
    Flash(e.what());
    return false;
  }
}

bool PracticeSession::Resume(const std::string& path, const std::string& kindOverride,
                             const std::string& faultsOverride) {
  Reset();
  try {
    ResultReading reading = ReadResultFile(ctx_, path);
    switch (reading.outcome) {
      case ResultReading::Outcome::Read:
        break;
      case ResultReading::Outcome::Unreadable:
        Flash("Error: cannot read " + path);
        return false;
      case ResultReading::Outcome::Empty:
        if (HasExtension(path, kResultExtension) || HasExtension(path, kRevisionExtension))
          RemoveFile(path);
        Flash(kEmptyResultMessage);
        return false;
      case ResultReading::Outcome::Damaged:
        Flash(std::string(kDamagedResultMessage) + " " + FileNameOf(path) + ": " + reading.problem);
        return false;
    }
    ResultContent& c = reading.content;
    if (reading.historiesCut)
      ctx_.trace.Trace("Result " + path + ": histories cut to their last " +
                       std::to_string(kHistoryLimit) + " entries");

    encoding_ = reading.encoding;
    header_ = c.header;
    kind_ = kindOverride.empty() ? c.status.kind : kindOverride;
    faults_ = faultsOverride.empty() ? c.status.faults : faultsOverride;
    seconds_ = c.status.seconds;
    attempt_ = c.status.attempt + (c.status.tally.right != c.status.tally.total ? 1 : 0);
    sheetPath_ = c.sheetPath;
    book_ = c.book;
    level_ = c.level;
    resultName_ = BaseName(path);
    resultBase_ = resultName_;
    // A revision stands in for its result only once that result is gone; while it exists, the
    // revision's run is a new run with a name of its own.
    resumed_ = !(HasExtension(path, kRevisionExtension) &&
                 FileExists(userFolder_ + resultName_ + std::string(kResultExtension)));
    optionText_ = RemoveSpaces(GetField(header_, ";", 3));
    // A path read from the file is followed only inside the program's own folders.
    if (IsInside(sheetPath_, ctx_.folders.userDataRoot) ||
        IsInside(sheetPath_, ctx_.folders.programDataRoot))
      LoadProfile(sheetPath_);
    StartRules();

    editor_.RenderSheet(c.questionLines, c.wordBank, pictureResolver_);
    std::vector<TG_EdRTrue>& expected = editor_.ExpectedAnswers();
    if (expected.size() != c.expected.size()) {
      const std::string problem = "the questions render " + std::to_string(expected.size()) +
                                  " fields for " + std::to_string(c.expected.size()) + " answers";
      Reset();
      Flash(std::string(kDamagedResultMessage) + " " + FileNameOf(path) + ": " + problem);
      return false;
    }
    for (std::size_t k = 0; k < expected.size(); ++k) expected[k] = {0, 0, c.expected[k]};
    open_ = true;
    ReplayHistories(c.histories);
    if (rules_.mode != CorrectionMode::B) {
      CheckSheet(true);
    } else {
      // The check is skipped in this mode, but the clock runs while answers remain.
      tally_ = ComputeTally(editor_);
      timerRunning_ = !tally_.AllRight();
    }
    editor_.GoToField(0);
    return true;
  } catch (const std::exception& e) {
    Reset();
    Flash(e.what());
    return false;
  }
}

void PracticeSession::ReplayHistories(const std::vector<std::string>& histories) {
  const std::size_t fields = std::min(histories.size(), editor_.ExpectedAnswers().size());
  if (fields == 0) return;
  std::vector<std::string> rest(histories.begin(), histories.begin() + fields);
  std::size_t rounds = 1;
  for (const std::string& h : rest) rounds = std::max(rounds, HistoryEntries(h).size());
  const CorrectionMode mode = rules_.mode;
  for (std::size_t round = 1; round <= rounds; ++round) {
    for (std::size_t k = 0; k < fields; ++k) {
      std::string entry;
      const std::size_t at = rest[k].find(kHistorySeparator);
      if (at == std::string::npos) {
        entry = rest[k];
      } else {
        entry = rest[k].substr(0, at);
        rest[k].erase(0, at + 1);
      }
      editor_.SetFieldText(static_cast<int>(k), entry);
    }
    tally_ = ComputeTally(editor_);
    RebuildLog(editor_);
    const bool last = round == rounds;
    if (!last)
      for (std::size_t k = 0; k < fields; ++k) editor_.SetFieldText(static_cast<int>(k), "");
    if (mode != CorrectionMode::C) ColourAllFields(editor_);
    if ((last && mode != CorrectionMode::A) || mode == CorrectionMode::C)
      ResetFieldColours(editor_);
  }
}

// --- Work ------------------------------------------------------------------------------------

SessionChange PracticeSession::CheckSheet(bool allFields) {
  SessionChange change;
  if (!open_) return change;
  tally_ = ComputeTally(editor_);
  const CorrectionMode mode = rules_.mode;
  if (mode == CorrectionMode::C) buttons_.logVisible = false;
  if (mode == CorrectionMode::D && tally_.empty == 0) buttons_.logVisible = true;

  const bool colour = tally_.AllRight() || mode == CorrectionMode::A ||
                      (mode == CorrectionMode::D && tally_.empty == 0);
  if (colour) {
    // A sheet that has just become all right turns green as a whole, also in the modes that
    // coloured nothing before.
    change.sheetEdits = allFields || tally_.AllRight()
                            ? ColourAllFields(editor_)
                            : ColourCurrentField(editor_, rules_.showAnswer);
    change.logEdits = RebuildLog(editor_);
  }
  if (tally_.empty == 0 || mode == CorrectionMode::A) {
    status_ = StatusText(ctx_, tally_);
    if (mode == CorrectionMode::D && tally_.empty == 0) buttons_.jumpToWrongEnabled = true;
  }
  timerRunning_ = !tally_.AllRight();
  change.redrawBoard = true;
  change.caret = editor_.Caret();
  return change;
}

PracticeSession::KeyResult PracticeSession::HandleKey(const Key& key) {
  KeyResult result;
  result.key = editor_.HandleKey(key);
  if (result.key.runCheck && open_) {
    result.checked = true;
    result.check = Enter();
    result.key.caret = editor_.Caret();
  }
  return result;
}

SessionChange PracticeSession::Enter() {
  SessionChange change = CheckSheet(false);
  if (!open_) return change;
  const int caret = editor_.Caret();
  const CaretPlace place = editor_.Place(caret);
  bool right = false;
  if (place.inside) {
    const std::size_t k = static_cast<std::size_t>(editor_.FieldAt(caret).index);
    const auto& expected = editor_.ExpectedAnswers();
    right =
        k < expected.size() && IsRightAnswer(editor_.FieldAt(caret).content, expected[k].Expected);
  }
  if (right || rules_.mode != CorrectionMode::A || !place.inside) editor_.GoToNextField();
  change.caret = editor_.Caret();
  return change;
}

SessionChange PracticeSession::CheckButton() {
  SessionChange change;
  change.caret = editor_.Caret();
  if (!open_ || !buttons_.checkEnabled || !editor_.AnswersChanged()) return change;
  change = CheckSheet(true);
  editor_.SetAnswersChanged(false);
  return change;
}

SessionChange PracticeSession::GoToEmptyOrWrong(int firstVisibleLine, JumpTarget* target) {
  SessionChange change;
  change.caret = editor_.Caret();
  JumpTarget reached = JumpTarget::Stayed;
  auto moveTo = [&](int k) {
    editor_.GoToField(k);
    change.caret = editor_.Caret();
    const int line = editor_.Sheet().LineOf(change.caret);
    change.scrollLines = std::max(line - 1, 0) - firstVisibleLine;
  };
  if (open_) {
    const int empty = FirstEmptyField(editor_);
    const int wrong = FirstWrongField(editor_);
    const bool wrongAllowed = rules_.mode == CorrectionMode::A ||
                              (rules_.mode == CorrectionMode::D && buttons_.jumpToWrongEnabled);
    if (empty >= 0) {
      const int caret = editor_.Caret();
      const bool inEmpty =
          editor_.Place(caret).inside && Trim(editor_.FieldAt(caret).content).empty();
      if (!(inEmpty && editor_.Sheet().LineOf(caret) == firstVisibleLine + 1)) {
        moveTo(empty);
        reached = JumpTarget::EmptyField;
      }
    } else if (wrong >= 0 && wrongAllowed) {
      moveTo(wrong);
      reached = JumpTarget::WrongField;
    } else {
      reached = JumpTarget::Finished;
      if (ctx_.msgBox) ctx_.msgBox->Inform("Info", MessageText(ctx_, "svL007"));
    }
  }
  if (target) *target = reached;
  return change;
}

bool PracticeSession::Tick() {
  if (!open_ || !timerRunning_) return false;
  ++seconds_;
  return true;
}

// --- Leaving ---------------------------------------------------------------------------------

void PracticeSession::SetUserFolder(const std::string& userFolder) {
  if (!open_) userFolder_ = WithSlash(userFolder);
}

LeaveReport PracticeSession::Leave() {
  LeaveReport report;
  if (!open_) return report;
  const bool timerWasRunning = timerRunning_;
  timerRunning_ = false;
  try {
    SaveResult(report);
  } catch (...) {
    timerRunning_ = timerWasRunning;
    throw;
  }
  editor_.Clear();
  try {
    SaveRevision(report);
  } catch (const std::exception& e) {
    report.revisionPath.clear();
    report.revisionError = e.what();
    ctx_.trace.Trace(std::string("Error: revision not written: ") + e.what());
  }
  const std::string kind = kind_;
  Reset();
  kind_ = kind;
  if (useProfiles_ && ctx_.settings) ReadSettings(ctx_, userFolder_, kMasterIni);
  return report;
}

void PracticeSession::SaveResult(LeaveReport& report) {
  tally_ = ComputeTally(editor_);
  RebuildLog(editor_);
  std::vector<std::string> histories = quillo::FieldContents(editor_.Log());
  if (faults_ == "-1") faults_ = FirstTryFaults(histories, editor_.ExpectedAnswers());
  for (std::string& history : histories) history = KeepLastEntries(history);

  // A fresh run never takes the name of files written since it was opened.
  if (!resumed_) {
    const std::string free = FreeResultName(userFolder_, resultName_);
    if (free != resultName_) resultName_ = FreeResultName(userFolder_, resultBase_);
  }

  if (kind_ == "p" && progressHook_)
    progressHook_->EvaluateProgress({sheetPath_, resultName_, faults_, tally_}, kind_);
  if (kind_.empty() || kind_ == "X") ctx_.trace.Trace("Error786231 Observe why: " + kind_);

  if (faults_ != "-1" && (kind_ == "s" || kind_ == "r")) {
    kind_ = kind_ == "s" ? "S" : "R";
    const std::optional<int64_t> faults = TryTextToInt(faults_);
    // A sheet without fields has no first-attempt share to record.
    if (faults && tally_.total > 0) {
      RecordStatistics(ctx_, userFolder_, book_ + ";" + level_, tally_.total, *faults, kind_[0]);
      report.statisticsRecorded = true;
    }
  }

  ResultContent& c = saved_;
  c.header = header_;
  c.status = {tally_, faults_, kind_, seconds_, attempt_};
  c.sheetPath = sheetPath_;
  c.book = book_;
  c.level = level_;
  c.expected.clear();
  for (const TG_EdRTrue& e : editor_.ExpectedAnswers()) c.expected.push_back(e.Expected);
  c.histories = std::move(histories);
  c.wordBank = editor_.WordBank();
  c.questionLines = editor_.QuestionLines();

  report.resultPath = userFolder_ + resultName_ + std::string(kResultExtension);
  WriteEncodedLines(report.resultPath, ResultFileLines(c), encoding_);
  report.kind = kind_;
  report.faults = faults_;
  report.tally = tally_;
  resumed_ = true;  // the name is ours from now on
  kind_ = "X";
}

void PracticeSession::SaveRevision(LeaveReport& report) {
  const ResultContent& c = saved_;
  const std::vector<int> selected = RevisionFields(c.histories, c.expected, rules_.revFromNo);
  std::string faults = faults_;
  if (!IsSignedInteger(faults)) {
    ctx_.trace.Trace("-Error993213 not number in finish result: is.." + faults);
    faults = "-1";
  }
  if (selected.empty()) return;
  if (!faults.empty() && faults[0] == '-' && !rules_.saveEmptyToRevision) return;
  const std::optional<std::vector<std::string>> lines = RevisionFileLines(c, selected, ctx_.trace);
  if (!lines) return;
  report.revisionPath = userFolder_ + resultName_ + std::string(kRevisionExtension);
  WriteEncodedLines(report.revisionPath, *lines, encoding_);
  kind_ = "X";
}

}  // namespace quillo
