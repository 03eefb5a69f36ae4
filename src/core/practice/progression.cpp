// Progressive practice: evaluation after a saved sheet and continuation to the next sheet.
#include "practice/progression.h"

#include <algorithm>
#include <limits>

#include "books/book_text.h"
#include "engine/text_toolkit.h"
#include "books/generator.h"
#include "books/job_version.h"
#include "books/sheet_files.h"
#include "language/text_lookup.h"
#include "practice/result_files.h"
#include "setup/settings_store.h"
#include "shell/context.h"
#include "shell/file_utils.h"
#include "shell/ini_file.h"

namespace quillo {

namespace {

DateTime NowOf(const Context& ctx) { return ctx.clock ? ctx.clock->Now() : SystemClock().Now(); }

// Positions are computed wide so that junk in a damaged state cannot overflow, and stored back
// within the range of the file's integers.
int Narrow(int64_t value) {
  return static_cast<int>(
      std::clamp<int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// The first-try faults as a number: digits with "-" only (the empty text is not a number).
std::optional<int64_t> FaultsNumber(std::string_view faults) {
  if (faults.empty() || faults.find_first_not_of("-0123456789") != std::string_view::npos)
    return std::nullopt;
  return TryTextToInt(faults);
}

bool InsideUserData(const Context& ctx, std::string_view path) {
  return !path.empty() && IsInside(path, ctx.folders.userDataRoot);
}

bool InsideProgramFolders(const Context& ctx, std::string_view path) {
  return InsideUserData(ctx, path) ||
         (!path.empty() && IsInside(path, ctx.folders.programDataRoot));
}

// A result name that names a file of the user's folder and nothing else.
bool IsPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

void WritePosKeys(std::string_view path, const ProgressState& s, uint32_t keys) {
  if (keys == 0) return;
  IniFile ini{std::string(path)};
  if (keys & kPosLastFileName) ini.WriteString(kPosSection, "QsRLastFileName", s.QsRLastFileName);
  if (keys & kPosStartPos) ini.WriteInteger(kPosSection, "StartPos", s.StartPos);
  if (keys & kPosMargeMin) ini.WriteInteger(kPosSection, "MargeMin", s.MargeMin);
  if (keys & kPosMargeAskAgain) ini.WriteInteger(kPosSection, "MargeAskAgain", s.MargeAskAgain);
  if (keys & kPosMargeMaxFault) ini.WriteInteger(kPosSection, "MargeMaxFault", s.MargeMaxFault);
  if (keys & kPosFinishCount) ini.WriteInteger(kPosSection, "FinishCount", s.FinishCount);
  if (keys & kPosDirUpDown) ini.WriteBool(kPosSection, "DirUpDown", s.DirUpDown);
  if (keys & kPosFinishNextOK) ini.WriteBool(kPosSection, "QsRFinishNextOK", s.QsRFinishNextOK);
  if (keys & kPosLastDate) ini.WriteString(kPosSection, "LastDate", DateTimeText(s.LastDate));
  ini.Save();
}

// Loads the practice profile of a plan or sheet (its path with ".SQF") when it exists inside
// the program's folders, and reads the user's own settings back when it goes out of scope.
class ProfileScope {
 public:
  ProfileScope(Context& ctx, std::string userFolder, std::string_view planOrSheet, bool always)
      : ctx_(ctx), userFolder_(std::move(userFolder)), restore_(always && ctx.settings) {
    if (!ctx_.settings || planOrSheet.empty()) return;
    const std::string profile = ProfilePathOf(planOrSheet);
    if (!InsideProgramFolders(ctx_, profile) || !FileExists(profile)) return;
    ReadSettings(ctx_, GetFolderPart(ResolveCase(profile)), FileNameOf(ResolveCase(profile)));
    restore_ = true;
  }
  ~ProfileScope() {
    if (!restore_) return;
    try {
      ReadSettings(ctx_, userFolder_, kMasterIni);
    } catch (const std::exception& e) {
      ctx_.trace.Trace(std::string("Error: the user's settings were not read back: ") + e.what());
    }
  }
  ProfileScope(const ProfileScope&) = delete;
  ProfileScope& operator=(const ProfileScope&) = delete;

 private:
  Context& ctx_;
  std::string userFolder_;
  bool restore_ = false;
};

}  // namespace

// --- Rules -------------------------------------------------------------------------------------

ProgressRules ProgressRules::FromSettings(const Context& ctx) {
  ProgressRules r;
  r.titlesPerSheet = SettingInt(ctx, "UpDo_stpNbrTitre");
  r.mergeAfter = SettingInt(ctx, "UpDo_stpMergeAfter");
  r.questionsPerTitle = SettingInt(ctx, "UpDo_stpNbrQstParTitre");
  r.acceptMerge = SettingBool(ctx, "Cb_AcceptMerge");
  r.forceMerge = SettingBool(ctx, "ChForceToFastStepMerge");
  r.mergeToHigh = SettingBool(ctx, "Cb_MergeToHigh");
  r.allFieldsCorrect = SettingBool(ctx, "Cb_ConFieldCorrect");
  r.points = PointsRules::FromSettings(ctx);
  return r;
}

int ProgressRules::MergeTitles() const {
  return mergeAfter < 2 ? titlesPerSheet : titlesPerSheet + mergeAfter - 1;
}

int ProgressRules::MergeQuestionsPerTitle() const {
  const int g = MergeTitles();
  if (g <= 0) return std::max(questionsPerTitle, 1);
  const int all = titlesPerSheet * questionsPerTitle;
  int q = std::max(all / g, 1);
  if (mergeToHigh && g * q < all) ++q;
  return q;
}

ProgressState ProgressDefaults(const DateTime& now) {
  ProgressState s;
  s.StartPos = 1;
  s.TotPosCount = 0;
  s.FinishCount = -1;
  s.QsRFinishNextOK = false;
  s.DirUpDown = true;
  s.LastDate = now;
  return s;
}

// --- Evaluation --------------------------------------------------------------------------------

EvaluationStep EvaluateState(ProgressState& s, const SheetOutcome& sheet,
                             const ProgressRules& rules, const DateTime& now, TraceLog& trace) {
  EvaluationStep step;
  const std::optional<int64_t> faults = FaultsNumber(sheet.faults);
  if (!faults) {
    trace.Trace("Error:3456853;sg_FirstExResult: is not a Number for file: " + sheet.resultName);
    step.outcome = Evaluation::NotANumber;
    return step;
  }
  if (s.STPFileName.empty()) {
    trace.Trace("Error:738846 Var for path with SNI is empty...");
    step.outcome = Evaluation::NoPlan;
    return step;
  }

  std::string last = s.QsRLastFileName;
  if (last.empty() || s.QsRFinishNextOK) last = sheet.resultName;
  const bool complete = *faults != -1;
  const bool allRight = sheet.tally.right == sheet.tally.total;
  if (!complete || last != sheet.resultName || (rules.allFieldsCorrect && !allRight)) {
    s.QsRLastFileName = last;
    s.QsRFinishNextOK = false;
    step.outcome = Evaluation::StillOpen;
    step.written = kPosLastFileName | kPosFinishNextOK;
    return step;
  }

  const int64_t W = rules.titlesPerSheet;
  const int64_t M = rules.mergeAfter;
  const int64_t G = rules.MergeTitles();
  const int64_t C = s.TotPosCount;
  int64_t P = s.StartPos == -1 ? 0 : s.StartPos;
  int64_t m = s.MargeMin;
  int64_t A = s.MargeAskAgain;
  int64_t X = s.MargeMaxFault;
  if (!rules.acceptMerge) m = 0;
  if (rules.forceMerge) {
    m = M;
    if (A == 2) A = 0;
    if (P < W) P = W;
  }
  const bool fails = SheetFails(rules.points, sheet.tally.total, Narrow(*faults));
  bool forward = !fails;
  if (m < M) {
    A = 0;
    if (fails) {
      if (m > 0) --m;
      if (P > 0) --P;
    } else {
      if (rules.acceptMerge) ++m;
      ++P;
    }
  } else {
    step.mergeSheet = true;
    if (fails) {
      A = 0;
      const int64_t before = X++;
      if (before == 2) {  // the third failed merged sheet in a row
        if (rules.acceptMerge && !rules.forceMerge) {
          P -= G;
        } else if (rules.forceMerge) {
          P -= W;
          if (P < W) P = W;
        } else {
          trace.Trace("Error:0923726 invalide place code:KLGT98");
          P = 0;
        }
        A = 0;
        m = 0;
        X = 0;
        if (P < 0) P = 0;
      }
    } else {
      X = 0;
      const int64_t before = A++;
      if (before == 1) {  // the second passed merged sheet in a row
        m = 0;
        if (rules.forceMerge && P != C) {
          A = 0;
          P = std::min(P + W, C);
        }
      }
    }
  }
  if (A > 2) A = 0;

  s.StartPos = Narrow(P);
  s.MargeMin = Narrow(m);
  s.MargeAskAgain = Narrow(A);
  s.MargeMaxFault = Narrow(X);
  s.DirUpDown = forward;
  s.LastDate = now;
  s.QsRFinishNextOK = true;
  step.outcome = fails ? Evaluation::Failed : Evaluation::Passed;
  step.written = kPosStartPos | kPosMargeMin | kPosMargeAskAgain | kPosMargeMaxFault |
                 kPosDirUpDown | kPosLastDate | kPosFinishNextOK;
  return step;
}

EvaluationReport EvaluateProgress(Context& ctx, std::string_view userFolder,
                                  const ProgressInput& input, std::string& kind) {
  EvaluationReport report;
  const DateTime now = NowOf(ctx);
  report.state = ProgressDefaults(now);
  if (!input.sheetPath.empty()) {
    report.statePath = StatePathOf(input.sheetPath);
    // A path read from a sheet is only followed inside the user's data.
    if (!InsideUserData(ctx, report.statePath)) {
      ctx.trace.Trace("Error: progress state out of reach: " + report.statePath);
      report.statePath.clear();
    } else if (FileExists(report.statePath)) {
      report.statePath = ResolveCase(report.statePath);
      report.state = ReadProgressState(report.statePath, ProgressDefaults(now));
    }
  }
  ProgressRules rules;
  {
    ProfileScope profile(ctx, WithSlash(userFolder), input.sheetPath, false);
    rules = ProgressRules::FromSettings(ctx);
  }
  report.step = EvaluateState(report.state, {input.resultName, input.faults, input.tally}, rules,
                              now, ctx.trace);
  if (report.step.written != 0 && !report.statePath.empty())
    WritePosKeys(report.statePath, report.state, report.step.written);
  if (report.step.outcome == Evaluation::Passed || report.step.outcome == Evaluation::Failed)
    kind = "s";
  return report;
}

void ProgressEvaluation::EvaluateProgress(const ProgressInput& input, std::string& kind) {
  last_ = quillo::EvaluateProgress(ctx_, userFolder_, input, kind);
}

// --- Continuation ------------------------------------------------------------------------------

NextSheet PlanNextSheet(ProgressState& s, const ProgressRules& rules, bool resultExists) {
  NextSheet next;
  const int64_t W = rules.titlesPerSheet;
  const int64_t M = rules.mergeAfter;
  const int64_t Q = rules.questionsPerTitle;
  const int64_t G = rules.MergeTitles();
  const int64_t C = s.TotPosCount;
  const int64_t A = s.MargeAskAgain;
  int64_t P = s.StartPos;
  int64_t m = s.MargeMin;
  bool ok = s.QsRFinishNextOK;
  if (rules.forceMerge) {
    m = M;
    if (P >= C && A > 1) m = 0;
    if (P == -1) P = W;
  }
  // A state that says a sheet is open without naming its result (a damaged state) could never
  // move again: its position is taken up as if the sheet had been evaluated.
  if (!ok && s.QsRLastFileName.empty()) ok = true;

  if (!ok) {
    if (resultExists) {
      next.kind = NextSheet::Kind::Resume;
      return next;
    }
    // The open sheet's result is gone: one window back, and a new sheet there.
    P = std::max<int64_t>(static_cast<int64_t>(s.StartPos) - W - (m == M ? 1 : 0), 0);
    m = 0;
    ok = true;
    s.QsRLastFileName = "Del";
    s.StartPos = Narrow(P);
    s.QsRFinishNextOK = true;
    s.DirUpDown = false;
    s.MargeMin = 0;
    next.rolledBack = true;
    next.written =
        kPosLastFileName | kPosStartPos | kPosFinishNextOK | kPosDirUpDown | kPosMargeMin;
  }

  if (m < M) {
    const bool mayContinue = rules.forceMerge || rules.acceptMerge ? (P < C || A < 2) : P < C;
    if (!mayContinue) {
      next.kind = NextSheet::Kind::Finished;
      return next;
    }
    if (P == -1) P = 0;
    P = std::min(P, C);
    if (P + W > C) P = C - W;
    next.kind = NextSheet::Kind::Ordinary;
    next.first = Narrow(std::max<int64_t>(P, 0));
    next.titles = Narrow(W);
    next.perTitle = Narrow(Q);
    return next;
  }

  // m >= M with the sheet evaluated: a merged sheet of the titles up to the position.
  if (P < C) {
    --P;
  } else {
    P = C - W + 1;
  }
  next.kind = NextSheet::Kind::Merge;
  next.first = Narrow(W + P - G < 1 ? 0 : W + P - G - 1);
  next.titles = Narrow(G);
  next.perTitle = rules.MergeQuestionsPerTitle();
  return next;
}

void RestartProgress(ProgressState& s, const DateTime& now) {
  s.FinishCount = Narrow(static_cast<int64_t>(s.FinishCount) + 1);
  s.QsRLastFileName.clear();
  s.StartPos = -1;
  s.MargeMin = 0;
  s.MargeAskAgain = 0;
  s.DirUpDown = true;
  s.QsRFinishNextOK = true;
  s.LastDate = now;
}

namespace {

// Kind and first-try faults of a result file's line 2; empty texts when it has none.
void ReadResultKind(const Context& ctx, const std::string& path, std::string& kind,
                    std::string& faults) {
  kind.clear();
  faults = "-1";
  DerivedFile file;
  try {
    file = ReadDerivedFile(ctx, path);
  } catch (const std::exception&) {
    return;  // resuming reports what is wrong with the file
  }
  if (file.lines.size() < 2) return;
  const std::optional<std::string> inner = Unwrapped(file.lines[1]);
  if (!inner) return;
  kind = GetField(*inner, ';', 2);
  const std::string tally = GetField(*inner, ';', 1);
  faults = GetField(tally, '/', 4);
}

// The book of a plan: BooksDir + the name of its book folder + ".IDX", else the book path of
// its header when that lies inside the program's folders.
std::string BookOfPlan(const Context& ctx, std::string_view progressPath,
                       const std::string& headerBook) {
  std::string book = BookPathFor(ctx.folders.booksDir, progressPath);
  if (!book.empty() && FileExists(book)) return ResolveCase(book);
  if (InsideProgramFolders(ctx, headerBook) && FileExists(headerBook))
    return ResolveCase(headerBook);
  return book.empty() ? headerBook : book;
}

}  // namespace

Continuation ContinueProgress(Context& ctx, std::string_view user, std::string_view progressPath) {
  Continuation out;
  const std::string userFolder = WithSlash(ctx.folders.UserFolder(user));
  const std::string statePath = StatePathOf(progressPath);
  const DateTime now = NowOf(ctx);
  const bool stateExists = FileExists(statePath);
  ProgressState s = ProgressDefaults(now);
  if (stateExists) s = ReadProgressState(ResolveCase(statePath), ProgressDefaults(now));
  out.state = s;

  // The plan's practice profile rules this step; the user's own settings come back at the end.
  ProfileScope profile(ctx, userFolder, stateExists ? s.STPFileName : std::string(), true);
  const ProgressRules rules = ProgressRules::FromSettings(ctx);

  if (s.STPFileName.empty() || !FileExists(s.STPFileName)) {
    ctx.trace.Trace("Er09808236;  File not exist...");
    if (stateExists) RemoveFile(ResolveCase(statePath));
    out.removeFromList = true;
    out.code = kContinueEnd;
    return out;
  }

  DerivedFile plan = ReadDerivedFile(ctx, progressPath);
  const std::string headerLine = plan.lines.empty() ? std::string() : plan.lines[0];
  const std::string book =
      BookOfPlan(ctx, progressPath, GetField(headerLine, book_text::kSep, 1));
  const BookBasics basics = ReadCurrentBook(ctx, book);
  if (basics.header.empty()) {
    ctx.trace.Trace("Er98423 File not fond: " + book);
    return out;
  }
  if (!CheckJobVersion(ctx, progressPath, book)) return out;
  plan = ReadDerivedFile(ctx, progressPath);  // the check may have brought it up to date
  s = ReadProgressState(ResolveCase(statePath), ProgressDefaults(now));

  const std::string last = s.QsRLastFileName;
  const bool resultExists =
      IsPlainName(last) && FileExists(userFolder + last + std::string(kResultExtension));
  out.plan = PlanNextSheet(s, rules, resultExists);
  WritePosKeys(statePath, s, out.plan.written);
  out.state = s;

  switch (out.plan.kind) {
    case NextSheet::Kind::Resume: {
      out.resultName = last;
      ReadResultKind(ctx, ResolveCase(userFolder + last + std::string(kResultExtension)), out.kind,
                     out.faults);
      if (out.kind != "p") {
        ctx.trace.Trace(".Error:29372282 strange must be [p] ! It is -> " + out.kind);
        if (out.kind == "r" || out.kind == "R") out.kind = "p";
      }
      out.code = kContinueResume;
      return out;
    }
    case NextSheet::Kind::Finished: {
      out.code = kContinueEnd;
      const bool again =
          ctx.msgBox && ctx.msgBox->ShowMsgBox("Progress", MessageText(ctx, "svL010"), "",
                                               kPicCancel, kPicOk, kNoPicture, kIconInfo) == kMsgOk;
      if (again) {
        RestartProgress(s, now);
        WritePosKeys(statePath, s,
                     kPosFinishCount | kPosLastFileName | kPosStartPos | kPosMargeMin |
                         kPosMargeAskAgain | kPosDirUpDown | kPosFinishNextOK | kPosLastDate);
        out.restarted = true;
        out.state = s;
      }
      return out;
    }
    case NextSheet::Kind::Nothing:
      return out;
    case NextSheet::Kind::Ordinary:
    case NextSheet::Kind::Merge:
      break;
  }

  std::vector<std::string> records;
  for (int64_t k = out.plan.first; k < static_cast<int64_t>(out.plan.first) + out.plan.titles;
       ++k) {
    const std::size_t line = static_cast<std::size_t>(k) + 1;
    if (line < plan.lines.size() && !plan.lines[line].empty()) records.push_back(plan.lines[line]);
  }
  if (records.empty()) {
    ctx.trace.Trace("Error: no titles at position " + std::to_string(out.plan.first) + " of " +
                    std::string(progressPath));
    return out;
  }
  SheetTarget target;
  target.sheetPath = SheetPathOf(progressPath);
  target.bookPath = book;
  target.bookTitle = GetField(plan.lines[0], book_text::kSep, 2);
  target.levelName = GetField(plan.lines[0], book_text::kSep, 3);
  target.user = std::string(user);
  const bool merge = out.plan.kind == NextSheet::Kind::Merge;
  const SheetResult result =
      GenerateFromLines(ctx, target, "p", merge ? "A" : "", records, out.plan.perTitle);
  if (!result.written) return out;
  out.questions = result.questions;
  out.sheetPath = target.sheetPath;
  out.code = kContinueNewSheet;
  return out;
}

}  // namespace quillo
