// Commands of practice sheets and progressions: generate a sheet from titles of a book, show any
// sheet, job, progress, result or revision file decoded, create a progress file for a level, and
// run the version check of a job or progress file.
#include <filesystem>
#include <iostream>
#include <map>

#include "books/book_files.h"
#include "books/generator.h"
#include "books/job_files.h"
#include "books/job_version.h"
#include "books/progress_files.h"
#include "books/sheet_files.h"
#include "cli.h"
#include "language/text_lookup.h"
#include "setup/accounts.h"
#include "setup/settings_store.h"
#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo::cli {
namespace {

// A path given on the command line, made absolute: sheets, plans and states keep their own
// path and that of their book, which must not depend on the folder the command ran in.
std::string Absolute(const std::string& utf8) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(utf8, ec);
  return In(ec ? utf8 : p.lexically_normal().string());
}

void PrintTrace(const Context& ctx) {
  for (const std::string& line : ctx.trace.Lines()) std::cerr << "trace: " << Out(line) << "\n";
}

// The progress worker of the command line: each file of a migration on standard error.
class ConsoleProgress : public ProgressWorker {
 public:
  void Start(const std::string& title, const std::string& text) override {
    std::cerr << "[" << Out(title) << "] " << Out(text) << "\n";
  }
  void Step(const std::string& current) override { std::cerr << "  " << Out(current) << "\n"; }
  void Stop() override { std::cerr << kProgressFinished << "\n"; }
};

// A run with the settings store and the language service, and the trace on when asked.
struct GenRun {
  GenRun() : lookup(run.ctx.folders.languageDir) {
    run.ctx.lookup = &lookup;
    run.ctx.progress = &progress;
  }
  // The settings a login of the user would load: the user's own, else the global ones.
  void LoginSettings(const std::string& user) {
    run.ctx.settings = &store;
    CreateStartupFolders(run.ctx.folders);
    lookup.RefreshLanguages();
    SeedGlobalSettings(run.ctx);
    ReadSettings(run.ctx, run.ctx.folders.UserFolder(user), kMasterIni);
  }
  CliRun run;
  SettingsStore store;
  TextLookup lookup;
  ConsoleProgress progress;
};

// Every title record of the book, by code.
std::map<std::string, TdBaseJob> BookTitles(const Context& ctx, const std::string& book,
                                            const BookBasics& basics, TraceLog& trace) {
  ScanResult scan = ScanLevel(book, "0", basics.trailer.titleOffset, ScanMode::TakeAll,
                              KeyDigitsFor(ctx, basics.scrambled), trace);
  std::map<std::string, TdBaseJob> titles;
  for (const std::string& line : scan.titleLines) {
    if (std::optional<TdBaseJob> r = LineToRecord(line)) titles.emplace(r->Code, *r);
  }
  return titles;
}

// The code of the level holding a title or level ("1.1.5" -> "1.1"); "" at the top.
std::string ParentCode(const std::string& code) {
  std::size_t dot = code.rfind('.');
  return dot == std::string::npos ? "" : code.substr(0, dot);
}

// The caption of a level as its parent's list shows it; "" when it is not listed.
std::string LevelCaption(const Context& ctx, const std::string& book, const BookBasics& basics,
                         const std::string& levelCode, TraceLog& trace) {
  std::optional<ScanResult> parent =
      WalkToLevel(book, ParentCode(levelCode), KeyDigitsFor(ctx, basics.scrambled), trace);
  if (!parent) return "";
  for (const TtableStr2Col& e : parent->levels) {
    if (e.Key == levelCode) return e.Caption;
  }
  return "";
}

// The caption up to its first " -", as level names are written into files.
std::string LevelName(const std::string& caption) {
  std::size_t cut = caption.find(" -");
  return caption.substr(0, cut);
}

std::string ReadBook(const Context& ctx, const std::string& book, BookBasics& basics) {
  basics = ReadCurrentBook(ctx, book);
  if (!basics.readable || basics.header.empty()) throw Error("Cannot read book " + book);
  return book;
}

const char* const kGenerateUsage =
    "generate BOOK.IDX --title CODE[:QUANTITY[:MERGE]]... -o SHEET.QST [--seed S] [--user NAME]"
    " [--no-job] [--trace]";

int RunGenerate(const Args& all) {
  Args args = all;
  GenRun g;
  Context& ctx = g.run.ctx;
  if (TakeFlag(args, "--trace")) ctx.trace.SwitchOn();
  const bool writeJob = !TakeFlag(args, "--no-job");
  std::string output, seed, user, titleArg;
  bool hasOutput = TakeOption(args, "-o", output);
  bool hasSeed = TakeOption(args, "--seed", seed);
  bool hasUser = TakeOption(args, "--user", user);
  std::vector<std::string> titleArgs;
  while (TakeOption(args, "--title", titleArg)) titleArgs.push_back(In(titleArg));
  if (args.size() != 1 || !hasOutput || titleArgs.empty()) {
    return Fail(std::string("Usage: quillomark-cli ") + kGenerateUsage);
  }
  if (hasSeed) {
    std::optional<int64_t> s = TryTextToInt(seed);
    if (!s || *s < 0) return Fail("The seed must be a whole number: " + In(seed));
    g.run.random.FixSeed(static_cast<uint64_t>(*s));
  }
  SheetTarget target;
  if (hasUser) {
    target.user = In(user);
    if (!IsValidAccountName(target.user)) return Fail("Not a user name: " + target.user);
    g.LoginSettings(target.user);
  }
  BookBasics basics;
  target.bookPath = ReadBook(ctx, Absolute(args[0]), basics);
  // For a user, a bare name means a sheet in the user's folder of the book, where the program
  // looks for it.
  std::string outputName = In(output);
  if (hasUser && outputName.find('/') == std::string::npos) {
    if (!HasExtension(outputName, ".QST")) outputName += ".QST";
    std::string folder = BookFolder(ctx.folders, target.user, target.bookPath);
    EnsureFolder(folder);
    target.sheetPath = folder + outputName;
  } else {
    target.sheetPath = Absolute(output);
  }
  target.bookTitle = basics.title;

  std::map<std::string, TdBaseJob> book = BookTitles(ctx, target.bookPath, basics, ctx.trace);
  std::vector<TdBaseJob> titles;
  int64_t total = 0;
  std::string level;
  for (const std::string& s : titleArgs) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
      std::size_t colon = s.find(':', start);
      parts.push_back(s.substr(start, colon == std::string::npos ? colon : colon - start));
      if (colon == std::string::npos) break;
      start = colon + 1;
    }
    if (parts.size() > 3) return Fail("Not a title: " + s + " (CODE[:QUANTITY[:MERGE]])");
    auto found = book.find(parts[0]);
    if (found == book.end()) return Fail("No title " + parts[0] + " in " + target.bookPath);
    TdBaseJob title = found->second;
    title.Checked = true;
    if (parts.size() > 1) {
      std::optional<int64_t> q = TryTextToInt(parts[1]);
      if (!q || *q < 1 || *q > 1000) return Fail("Not a quantity (1 to 1000): " + parts[1]);
      title.Quantity = std::to_string(*q);
    }
    if (parts.size() > 2) title.MergeGroup = parts[2];
    total += TryTextToInt(title.Quantity).value_or(0);
    std::string titleLevel = ParentCode(title.Code);
    level = titles.empty() || level == titleLevel ? titleLevel : "\n";
    titles.push_back(std::move(title));
  }
  target.levelName =
      level == "\n" ? "Mixe"
                    : LevelName(LevelCaption(ctx, target.bookPath, basics, level, ctx.trace));
  SheetResult result =
      GenerateSheet(ctx, target, "s", static_cast<int>(std::min<int64_t>(total, INT32_MAX)), titles);
  PrintTrace(ctx);
  if (!result.written) return Fail("No sheet was written to " + target.sheetPath);
  if (writeJob) {
    // The job beside the sheet, as the Configurator saves it: the sheet can be made again with
    // fresh questions from it.
    JobHeader header{JobPathOf(target.sheetPath), target.bookTitle, target.levelName,
                     basics.header};
    WriteJob(JobPathOf(target.sheetPath), header, titles, basics.scrambled,
             KeyDigitsFor(ctx, basics.scrambled));
  }
  std::cout << result.questions << "\n";
  return 0;
}

int ShowState(const std::string& path) {
  if (!FileExists(path)) return Fail("Cannot read " + path);
  ProgressState s = ReadProgressState(path, ProgressState{});
  std::cout << "[Pos]\n"
            << "QsRLastFileName=" << Out(s.QsRLastFileName) << "\n"
            << "STPFileName=" << Out(s.STPFileName) << "\n"
            << "StartPos=" << s.StartPos << "\n"
            << "TotPosCount=" << s.TotPosCount << "\n"
            << "MargeMin=" << s.MargeMin << "\n"
            << "MargeAskAgain=" << s.MargeAskAgain << "\n"
            << "MargeMaxFault=" << s.MargeMaxFault << "\n"
            << "FinishCount=" << s.FinishCount << "\n"
            << "DirUpDown=" << (s.DirUpDown ? 1 : 0) << "\n"
            << "QsRFinishNextOK=" << (s.QsRFinishNextOK ? 1 : 0) << "\n"
            << "LastDate=" << DateTimeText(s.LastDate) << "\n";
  return 0;
}

int RunSheet(const Args& args) {
  if (args.size() != 2 || args[0] != "show") return Fail("Usage: quillomark-cli sheet show FILE");
  std::string path = In(args[1]);
  if (HasExtension(path, ".SNI")) return ShowState(path);
  if (HasExtension(path, ".SQF") || HasExtension(path, ".INI")) {
    // Profiles are plain INI files.
    std::string content;
    if (!ReadWholeFile(path, content)) return Fail("Cannot read " + path);
    for (const std::string& line : SplitLines(content)) std::cout << Out(line) << "\n";
    return 0;
  }
  CliRun run;
  DerivedFile file = ReadDerivedFile(run.ctx, path);
  if (!file.readable) return Fail("Cannot read " + path);
  for (const std::string& line : file.lines) std::cout << Out(line) << "\n";
  return 0;
}

int RunProgress(const Args& all) {
  if (!all.empty() && all[0] == "continue") return RunProgressContinue(all);
  Args args = all;
  GenRun g;
  Context& ctx = g.run.ctx;
  if (TakeFlag(args, "--trace")) ctx.trace.SwitchOn();
  std::string level, output;
  bool hasLevel = TakeOption(args, "--level", level);
  bool hasOutput = TakeOption(args, "-o", output);
  if (args.size() != 2 || args[0] != "create" || !hasLevel || !hasOutput) {
    return Fail("Usage: quillomark-cli progress create BOOK.IDX --level CODE -o FILE.STP");
  }
  BookBasics basics;
  std::string book = ReadBook(ctx, Absolute(args[1]), basics);
  std::string code = In(level);
  std::vector<std::string> lines =
      LevelWideTitles(book, code, KeyDigitsFor(ctx, basics.scrambled), ctx.trace);
  if (lines.empty()) {
    PrintTrace(ctx);
    return Fail("No titles found at level " + code + " of " + book);
  }
  std::string caption = LevelCaption(ctx, book, basics, code, ctx.trace);
  JobHeader header{book, basics.title, caption.empty() ? "Mixe!" : LevelName(caption),
                   basics.header};
  std::string path = Absolute(output);
  int written = WriteProgressFile(ctx, path, header, lines, true);
  PrintTrace(ctx);
  std::cout << "Wrote " << Out(path) << " (" << written << " titles) and "
            << Out(StatePathOf(path)) << "\n";
  return 0;
}

int RunJob(const Args& all) {
  Args args = all;
  GenRun g;
  Context& ctx = g.run.ctx;
  if (TakeFlag(args, "--trace")) ctx.trace.SwitchOn();
  std::string book;
  bool hasBook = TakeOption(args, "--book", book);
  if (args.size() != 2 || args[0] != "check") {
    return Fail("Usage: quillomark-cli job check FILE [--book BOOK.IDX]");
  }
  std::string path = In(args[1]);
  std::string before;
  ReadWholeFile(path, before);
  bool kept = hasBook ? CheckJobVersion(ctx, path, In(book)) : CheckJobVersion(ctx, path);
  std::string after;
  ReadWholeFile(path, after);
  PrintTrace(ctx);
  std::cout << (!kept ? "deleted" : before == after ? "unchanged" : "updated") << "\n";
  return 0;
}

Registrar generate{{"generate", kGenerateUsage,
                    "Generates a practice sheet from titles of a book (default quantity and\n"
                    "      merge letter: the book's) and prints the number of questions written.\n"
                    "      --seed makes the sheet reproducible; --user loads that user's settings\n"
                    "      and records the sheet as the user's last one.",
                    RunGenerate}};
Registrar sheet{{"sheet", "sheet show FILE",
                 "Prints a sheet, job, progress, result or revision file decoded line by line\n"
                 "      (a progress state .SNI: its [Pos] values; a profile as it stands).",
                 RunSheet}};
Registrar progress{{"progress",
                    "progress create BOOK.IDX --level CODE -o FILE.STP [--trace]\n  "
                    "progress continue FILE.STP --user NAME [--seed S] [--cancel] [--trace]",
                    "create writes a progress file of all titles of a level, ordered by level\n"
                    "      key, and its fresh progress state (.SNI) beside it. continue runs the\n"
                    "      next step of the progressive practice for the user and prints its code\n"
                    "      (21: a new sheet was generated, \"sheet PATH\" to practise; 22: \"resume\n"
                    "      NAME\", the open sheet's result; -1 or 2: nothing to open). At the end\n"
                    "      of the plan the question \"OK, reset and continue ..\" is answered OK\n"
                    "      (--cancel: Cancel). --seed makes the generated sheet reproducible.",
                    RunProgress}};
Registrar job{{"job", "job check FILE [--book BOOK.IDX] [--trace]",
               "Checks a job or progress file against its book (default: the book named by\n"
               "      its folder) and brings all files of its kind in its folder up to a new\n"
               "      version, answering OK; prints unchanged, updated or deleted.",
               RunJob}};

}  // namespace
}  // namespace quillo::cli
