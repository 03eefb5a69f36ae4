// The "practice" command: a practice sheet worked through in the terminal, as the practice
// window does it, for pupils without a display (or with a screen reader) and for scripted checks.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>
#include <optional>

#include "cli.h"
#include "engine/text_toolkit.h"
#include "books/sheet_files.h"
#include "language/text_lookup.h"
#include "practice/practice_session.h"
#include "practice/progression.h"
#include "practice/result_files.h"
#include "setup/settings_store.h"
#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo::cli {
namespace {

const char* const kUsage = "practice SHEET.QST --user NAME | practice --resume NAME --user NAME";

const char* const kSummary =
    "Works through a practice sheet in the terminal as the practice window does: the sheet is\n"
    "      shown as text with its answer fields numbered ([1], [2: answer], \"(right)\" and\n"
    "      \"(wrong)\" where the correction mode shows it). Standard input gives the answers, one\n"
    "      line each: \"N: ANSWER\" fills field N (from 1), any other line the field the caret\n"
    "      is in when it is empty or Enter stayed on its wrong answer, else the next empty field;\n"
    "      each answer is typed key by key under the field rules and ends with Enter.\n"
    "      \"check\" presses the Check button, \"next\" goes to the first empty or wrong field,\n"
    "      \"hint N\" shows what the value picker offers in field N (choices or word bank),\n"
    "      \"show\" and \"log\" print the sheet and the answer history (these words are commands\n"
    "      in any letter case: answer \"N: log\" to give one as an answer), \"quit\" or the end "
    "of\n"
    "      input leaves the sheet: the result (.QsR), the revision (.QsV) and the statistics\n"
    "      (Statistic.f01) are written to the user's folder. --resume NAME opens the result\n"
    "      NAME (or its revision when the result is gone) of that folder again.\n"
    "      NAME is the user's folder in the users' folder, the folder of the account of that\n"
    "      name when one exists; no account is needed (the folder is created), no password is\n"
    "      asked. The user's own settings (Master.ini in that folder, else the global ones)\n"
    "      and the sheet's practice profile decide the correction mode and the points.\n"
    "      A sheet of a progressive practice (kind p in its status line, its progress state\n"
    "      .SNI beside it) and its results are evaluated when left: \"Progress:\" says whether\n"
    "      the sheet passed, failed or stays open, \"Position:\" the practice's new position.";

// Status messages: flashed ones are errors of the command, the others are printed.
class TerminalStatus : public StatusLine {
 public:
  void StatusMessage(const std::string& text, bool flash) override {
    last = text;
    flashed = flash;
    if (!flash && !text.empty()) std::cout << "Status: " << Out(text) << "\n";
  }
  std::string last;
  bool flashed = false;
};

bool ValidUserName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("/\\") == std::string::npos &&
         std::none_of(name.begin(), name.end(),
                      [](char c) { return static_cast<unsigned char>(c) < 32; });
}

// Field k (from 0) as the terminal shows it.
std::string FieldText(const SheetDocument& doc, const FieldSpan& span, int k, bool log) {
  const std::string content = Trim(doc.Text().substr(
      static_cast<std::size_t>(span.begin), static_cast<std::size_t>(span.end - span.begin)));
  std::string out = "[" + std::to_string(k + 1);
  if (content.empty()) return out + "]";
  out += ": " + content;
  if (!log) {
    for (int i = span.begin; i < span.end; ++i) {
      if (doc.ByteAt(i) == ' ') continue;
      if (doc.FormatAt(i).colour == kGreen) out += " (right)";
      if (doc.FormatAt(i).colour == kRed) out += " (wrong)";
      break;
    }
  }
  return out + "]";
}

// The document lines from..to (0-based, inclusive) as text.
std::string DocumentText(const SheetDocument& doc, bool log, int fromLine = 0, int toLine = -1) {
  const std::vector<FieldSpan> spans = FieldSpans(doc);
  std::string out;
  int line = 0;
  std::size_t field = 0;
  for (int i = 0; i < doc.Size(); ++i) {
    const bool shown = line >= fromLine && (toLine < 0 || line <= toLine);
    switch (doc.KindAt(i)) {
      case ElementKind::Char:
        if (shown) out.push_back(doc.ByteAt(i));
        break;
      case ElementKind::Glyph:
        break;
      case ElementKind::Picture:
        if (shown) out += "[picture]";
        break;
      case ElementKind::LineBreak:
        if (shown) out.push_back('\n');
        ++line;
        break;
      case ElementKind::Delimiter:
        if (doc.ByteAt(i) == kFieldOpen && field < spans.size()) {
          if (shown) out += FieldText(doc, spans[field], static_cast<int>(field), log);
          i = spans[field].end;  // the closing delimiter
          ++field;
        }
        break;
    }
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

void Print(const std::string& cp1252) { std::cout << Out(cp1252) << "\n"; }

class TerminalPractice {
 public:
  TerminalPractice(Context& ctx, const std::string& userFolder) : session_(ctx, userFolder) {}

  PracticeSession& Session() { return session_; }
  // The evaluation of progressive sheets, run when one is left.
  void SetProgressHook(ProgressEvaluation* hook) {
    progress_ = hook;
    session_.SetProgressHook(hook);
  }

  void ShowOpened() {
    Print("Sheet: " + session_.SheetPath());
    Print("Book: " + session_.BookName() + " - " + session_.LevelName());
    Print("Result: " + session_.ResultName());
    std::cout << "Correction mode: " << ModeLetter(session_.Rules().mode) << "\n";
    Print(DocumentText(session_.Editor().Sheet(), false));
    ShowStatus();
  }

  // Runs the input lines until "quit" or the end of input.
  void Run(std::istream& in) {
    std::string raw;
    auto last = std::chrono::steady_clock::now();
    double carried = 0;
    while (std::getline(in, raw)) {
      // The one-second timer, counted while it runs.
      const auto now = std::chrono::steady_clock::now();
      carried += std::chrono::duration<double>(now - last).count();
      last = now;
      for (; carried >= 1; carried -= 1) session_.Tick();

      if (!raw.empty() && raw.back() == '\r') raw.pop_back();
      const std::string line = In(raw);
      const std::string word = LowerCaseAscii(Trim(line));
      if (word == "quit") break;
      if (word.empty()) continue;
      if (word == "check") {
        Check();
      } else if (word == "next") {
        Next();
      } else if (word == "show") {
        Print(DocumentText(session_.Editor().Sheet(), false));
        ShowStatus();
      } else if (word == "log") {
        if (session_.Buttons().logVisible)
          Print(DocumentText(session_.Editor().Log(), true));
        else
          std::cout << "The log is not available in this correction mode.\n";
      } else if (word.rfind("hint ", 0) == 0) {
        Hint(Trim(word.substr(5)));
      } else if (word == "help") {
        std::cout << "N: ANSWER, ANSWER, check, next, hint N, show, log, quit\n";
      } else {
        Answer(line);
      }
    }
  }

  int Leave() {
    const PointsRules points = session_.Rules().points;
    const LeaveReport report = session_.Leave();
    if (progress_ && progress_->Last()) ShowProgress(*progress_->Last());
    Print("Saved result: " + report.resultPath);
    if (!report.revisionPath.empty()) Print("Saved revision: " + report.revisionPath);
    if (report.statisticsRecorded) std::cout << "Statistics recorded.\n";
    std::cout << "Tally: " << report.tally.Text() << ", first-try faults: " << report.faults
              << "\n";
    if (const std::optional<int64_t> faults = TryTextToInt(report.faults);
        faults && *faults >= 0 && report.tally.total > 0) {
      const int p = PointsOf(points, report.tally.total, static_cast<int>(*faults));
      std::cout << "Points: " << p << " of " << points.scale << ", grade " << GradeOf(points, p)
                << "\n";
    }
    return 0;
  }

 private:
  static void ShowProgress(const EvaluationReport& r) {
    const char* what = "";
    switch (r.step.outcome) {
      case Evaluation::NotANumber: what = "not evaluated (no first-try faults)"; break;
      case Evaluation::NoPlan: what = "not evaluated (no progress state)"; break;
      case Evaluation::StillOpen: what = "the sheet stays open"; break;
      case Evaluation::Passed: what = "passed"; break;
      case Evaluation::Failed: what = "failed"; break;
    }
    std::cout << "Progress: " << what << (r.step.mergeSheet ? " (merged sheet)" : "") << "\n";
    const ProgressState& s = r.state;
    if (r.step.written != 0)
      std::cout << "Position: StartPos " << s.StartPos << ", MargeMin " << s.MargeMin
                << ", MargeAskAgain " << s.MargeAskAgain << ", MargeMaxFault "
                << s.MargeMaxFault << "\n";
  }

  void ShowStatus() {
    if (!session_.Status().empty()) Print("Status: " + session_.Status());
  }

  // The lines of the sheet that hold field k.
  void ShowField(int k) {
    const SheetDocument& doc = session_.Editor().Sheet();
    const FieldSpan span = FieldSpanOf(doc, k);
    if (span.begin < 0) return;
    const int line = doc.LineOf(span.begin);
    Print(DocumentText(doc, false, line, line));
  }

  void Answer(const std::string& line) {
    PracticeEditor& editor = session_.Editor();
    const int fields = FieldCount(editor.Sheet());
    int k = -1;
    std::string answer = line;
    const std::size_t colon = line.find(':');
    const std::string number = colon == std::string::npos ? "" : Trim(line.substr(0, colon));
    if (!number.empty() && IsDigitsOnly(number)) {
      k = static_cast<int>(TryTextToInt(number).value_or(0)) - 1;
      answer = line.substr(colon + 1);
      if (k < 0 || k >= fields) {
        std::cout << "There is no field " << number << " (the sheet has " << fields
                  << " fields).\n";
        return;
      }
    } else {
      k = PlainLineField();
      if (k < 0) {
        std::cout << "Every field is filled; answer with N: ANSWER.\n";
        return;
      }
    }
    answer = Trim(answer);
    // The field is emptied and the answer typed key by key, as the pupil would.
    editor.GoToField(k);
    const FieldSpan span = FieldSpanOf(editor.Sheet(), k);
    for (int i = span.begin; i < span.end; ++i) session_.HandleKey(Key::Of(KeyCode::Delete));
    std::string refused;
    for (char ch : answer) {
      if (!session_.HandleKey(Key::Char(ch)).key.accepted) refused.push_back(ch);
    }
    if (!refused.empty()) Print("Not typed: " + refused);
    session_.HandleKey(Key::Of(KeyCode::Enter));
    const int at = editor.Place(editor.Caret()).inside ? editor.FieldAt(editor.Caret()).index : -1;
    stayedOn_ = at == k ? k : -1;
    ShowField(k);
    ShowStatus();
  }

  // The field a line without a number fills: the field at the caret when it is empty or when
  // Enter kept the caret on its wrong answer (as typing in the window goes on there); otherwise
  // the next empty field in field order, from the caret on and then from the start.
  int PlainLineField() const {
    const PracticeEditor& editor = session_.Editor();
    const std::vector<std::string> answers = editor.FieldContents();
    const int fields = static_cast<int>(answers.size());
    const int caret =
        editor.Place(editor.Caret()).inside ? editor.FieldAt(editor.Caret()).index : -1;
    if (caret >= 0 && caret < fields &&
        (answers[static_cast<std::size_t>(caret)].empty() || caret == stayedOn_))
      return caret;
    for (int n = 1; n <= fields; ++n) {
      const int k = (std::max(caret, 0) + n - (caret < 0 ? 1 : 0)) % fields;
      if (answers[static_cast<std::size_t>(k)].empty()) return k;
    }
    return -1;
  }

  // What the value picker offers in field N (from 1): the choices of the question, the sheet's
  // answer list or the field's word-bank entry.
  void Hint(const std::string& number) {
    PracticeEditor& editor = session_.Editor();
    const int k =
        IsDigitsOnly(number) ? static_cast<int>(TryTextToInt(number).value_or(0)) - 1 : -1;
    const int at = FieldCaret(editor.Sheet(), k);
    if (k < 0 || at < 0) {
      std::cout << "There is no field " << number << ".\n";
      return;
    }
    const PickerSource source = editor.PickerSourceAt(at);
    if (source.kind == PickerSource::Kind::WordBank) {
      Print("Hint: " + source.hint);
    } else if (!source.values.empty()) {
      Print("Choices: " + JoinFields(source.values));
    } else {
      std::cout << "No hint for this field.\n";
    }
  }

  void Check() {
    if (!session_.Buttons().checkEnabled) {
      std::cout << "The Check button is not available in this correction mode.\n";
      return;
    }
    session_.CheckButton();
    Print(DocumentText(session_.Editor().Sheet(), false));
    ShowStatus();
  }

  void Next() {
    JumpTarget target = JumpTarget::Stayed;
    session_.GoToEmptyOrWrong(0, &target);
    const PracticeEditor& editor = session_.Editor();
    if (target == JumpTarget::EmptyField || target == JumpTarget::WrongField) {
      const int k = editor.FieldAt(editor.Caret()).index;
      std::cout << "Field " << k + 1
                << (target == JumpTarget::EmptyField ? " is empty" : " is wrong") << ":\n";
      ShowField(k);
    }
  }

  PracticeSession session_;
  ProgressEvaluation* progress_ = nullptr;
  int stayedOn_ = -1;  // the field Enter kept the caret on
};

// The kind a sheet is opened with: "p" for a sheet of a progressive practice (its status line
// says so and its progress state lies beside it), else "s".
std::string FreshKind(const Context& ctx, const std::string& path) {
  try {
    const DerivedFile file = ReadDerivedFile(ctx, path);
    if (file.lines.size() < 2) return "s";
    const std::optional<SheetStatus> status = SheetStatus::Parse(file.lines[1]);
    if (status && status->kind == "p" && FileExists(StatePathOf(path))) return "p";
  } catch (const std::exception&) {
    // Opening reports what is wrong with the sheet.
  }
  return "s";
}

int RunPractice(const Args& arguments) {
  Args args = arguments;
  std::string user, resume;
  const bool hasUser = TakeOption(args, "--user", user);
  const bool resuming = TakeOption(args, "--resume", resume);
  if (!hasUser || (resuming ? !args.empty() : args.size() != 1))
    return Fail(std::string("Usage: quillomark-cli ") + kUsage);
  user = In(user);
  if (!ValidUserName(user)) return Fail("Not a user name: " + user);

  CliRun run;
  Context& ctx = run.ctx;
  TerminalStatus status;
  ctx.status = &status;
  SettingsStore store;
  TextLookup lookup(ctx.folders.languageDir);
  ctx.settings = &store;
  ctx.lookup = &lookup;
  CreateStartupFolders(ctx.folders);
  lookup.RefreshLanguages();
  SeedGlobalSettings(ctx);
  const std::string userFolder = ctx.folders.UserFolder(user);
  EnsureFolder(userFolder);
  ReadSettings(ctx, userFolder, kMasterIni);

  TerminalPractice practice(ctx, userFolder);
  ProgressEvaluation progress(ctx, userFolder);
  practice.SetProgressHook(&progress);
  bool opened = false;
  if (resuming) {
    const std::string name = In(resume);
    if (!ValidUserName(name)) return Fail("Not a result name: " + name);
    std::string path = userFolder + name + std::string(kResultExtension);
    if (!FileExists(path)) path = userFolder + name + std::string(kRevisionExtension);
    if (!FileExists(path)) return Fail("There is no result " + name + " in " + userFolder);
    opened = practice.Session().Resume(ResolveCase(path));
  } else {
    const std::string sheet = In(args[0]);
    opened = practice.Session().OpenFresh(sheet, FreshKind(ctx, sheet));
  }
  if (!opened) return Fail(status.last.empty() ? "The sheet could not be opened" : status.last);
  practice.ShowOpened();
  practice.Run(std::cin);
  const int rc = practice.Leave();
  if (ctx.trace.TraceOn()) {
    for (const std::string& line : ctx.trace.Lines()) std::cerr << "trace: " << Out(line) << "\n";
  }
  return rc;
}

Registrar practice{{"practice", kUsage, kSummary, RunPractice}};

}  // namespace
}  // namespace quillo::cli
