// Commands for book authors: build a book from its source, print it back, walk its index as the
// Configurator does, list the installed books.
#include <iostream>

#include "books/book_builder.h"
#include "books/book_files.h"
#include "books/scramble.h"
#include "cli.h"
#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo::cli {
namespace {

const char* const kUsage =
    "book build SOURCE [-o BOOK.IDX] [--scramble] [--edx]\n"
    "  book dump BOOK.IDX [-o SOURCE]\n"
    "  book levels BOOK.IDX [LEVEL-CODE]\n"
    "  book titles BOOK.IDX LEVEL-CODE [--records] [--no-edx]\n"
    "  book info BOOK.IDX\n"
    "  book list [FOLDER]";

// The key digits, or the empty text when the installed key file cannot be read (the reason is
// kept for the error of a command that needs the key).
std::string TryKey(const Context& ctx, std::string* why = nullptr) {
  try {
    return LoadScrambleKey(ctx.folders.programSettingsDir);
  } catch (const Error& e) {
    if (why) *why = e.what();
    return "";
  }
}

// The key for reading a book: needed only when the book is scrambled.
std::string KeyFor(const Context& ctx, const std::string& book) {
  BookBasics basics = ReadBookBasics(book, "");
  if (!basics.readable) throw Error("Cannot read book " + book);
  return basics.scrambled ? LoadScrambleKey(ctx.folders.programSettingsDir) : "";
}

void PrintTrace(const Context& ctx) {
  for (const std::string& line : ctx.trace.Lines()) std::cerr << "trace: " << Out(line) << "\n";
}

int Build(CliRun& run, Args args) {
  std::string output;
  bool hasOutput = TakeOption(args, "-o", output);
  BookBuildOptions options;
  options.scramble = TakeFlag(args, "--scramble");
  bool edx = TakeFlag(args, "--edx");
  if (args.size() != 1)
    return Fail(
        "Usage: quillomark-cli book build SOURCE [-o BOOK.IDX] "
        "[--scramble] [--edx]");
  std::string sourcePath = In(args[0]);
  std::string idxPath;
  if (hasOutput) {
    idxPath = In(output);
  } else {
    std::string name = FileNameOf(sourcePath);
    std::size_t dot = name.rfind('.');
    idxPath = GetFolderPart(sourcePath) + name.substr(0, dot) + ".IDX";
  }
  std::string text;
  if (!ReadWholeFile(sourcePath, text)) return Fail("Cannot read book source " + sourcePath);
  std::string keyError;
  std::string key = TryKey(run.ctx, &keyError);
  BuiltBook built;
  try {
    built = BuildBook(text, sourcePath, key, options);
  } catch (const BookSourceError&) {
    throw;
  } catch (const Error&) {
    if (key.empty()) return Fail(keyError);
    throw;
  }
  WriteBuiltBook(idxPath, built, edx);
  std::cout << "Wrote " << Out(idxPath) << " (" << built.idx.size() << " bytes, " << built.levels
            << " levels, " << built.titles << " titles" << (built.scrambled ? ", scrambled" : "")
            << ")\n";
  if (edx) std::cout << "Wrote " << Out(EdxPathOf(idxPath)) << "\n";
  return 0;
}

int Dump(CliRun& run, Args args) {
  std::string output;
  bool hasOutput = TakeOption(args, "-o", output);
  if (args.size() != 1) return Fail("Usage: quillomark-cli book dump BOOK.IDX [-o SOURCE]");
  std::string book = In(args[0]);
  std::string source = DumpBook(book, KeyFor(run.ctx, book), run.ctx.trace);
  if (hasOutput) {
    WriteFileAtomic(In(output), source);
  } else {
    std::cout << source;
  }
  return 0;
}

int Levels(CliRun& run, Args args) {
  if (args.empty() || args.size() > 2) {
    return Fail("Usage: quillomark-cli book levels BOOK.IDX [LEVEL-CODE]");
  }
  std::string book = In(args[0]);
  std::string code = args.size() > 1 ? In(args[1]) : "";
  std::optional<ScanResult> r = WalkToLevel(book, code, KeyFor(run.ctx, book), run.ctx.trace);
  if (!r) return Fail("No level " + code + " in " + book);
  switch (r->state) {
    case ScanState::Levels:
      for (const TtableStr2Col& e : r->levels) {
        std::cout << Out(e.Key) << "\t" << Out(e.Caption) << "\n";
      }
      return 0;
    case ScanState::Titles:
      std::cerr << "Level " << Out(code) << " holds titles: quillomark-cli book titles " << args[0]
                << " " << Out(code) << " lists them.\n";
      return 0;
    case ScanState::Nothing:
      break;
  }
  return Fail(code.empty() ? "Nothing found in the level index of " + book
                           : "Nothing found at level " + code + " of " + book);
}

int Titles(CliRun& run, Args args) {
  bool records = TakeFlag(args, "--records");
  bool noEdx = TakeFlag(args, "--no-edx");
  if (args.size() != 2) {
    return Fail("Usage: quillomark-cli book titles BOOK.IDX LEVEL-CODE [--records] [--no-edx]");
  }
  std::string book = In(args[0]);
  std::string code = In(args[1]);
  std::string key = KeyFor(run.ctx, book);
  std::optional<ScanResult> walked = WalkToLevel(book, code, key, run.ctx.trace);
  if (!walked || code.empty()) return Fail("No level " + code + " in " + book);
  // A level holding titles lists them as the Configurator does (through its Info offset);
  // with a companion index, or for a level holding sub-levels, the level-wide pick is listed.
  bool edx = !noEdx && !FindEdxOffsets(book, code + ".").empty();
  std::vector<std::string> lines = walked->state == ScanState::Titles && !edx
                                       ? walked->titleLines
                                       : LevelWideTitles(book, code, key, run.ctx.trace, edx);
  if (lines.empty()) return Fail("No titles found at level " + code + " of " + book);
  if (records) {
    for (const std::string& line : lines) std::cout << Out(line) << "\n";
    return 0;
  }
  for (const TdBaseJob& t : ReadTitleRecords(lines)) {
    std::cout << Out(t.Code) << "\t" << Out(t.Title) << "\t" << Out(t.Example) << "\t"
              << Out(t.Quantity) << "\n";
  }
  return 0;
}

int Info(CliRun& run, Args args) {
  if (args.size() != 1) return Fail("Usage: quillomark-cli book info BOOK.IDX");
  std::string book = In(args[0]);
  BookBasics b = ReadBookBasics(book, KeyFor(run.ctx, book));
  BookOptions options = ReadBookOptions(b.header);
  std::cout << "title: " << Out(b.title) << "\n"
            << "header: " << Out(b.header) << "\n"
            << "scrambled: " << (b.scrambled ? "yes" : "no") << "\n"
            << "option code: " << Out(options.code);
  if (options.positional) {
    std::cout << " (practice options " << Out(options.practice1) << " " << Out(options.practice2)
              << ", type letter " << Out(std::string(1, options.typeLetter)) << ")";
  }
  std::cout << "\n"
            << "titles matched by code on a new version (UP.Y): "
            << (UpdatesByCode(b.header) ? "yes" : "no") << "\n"
            << "level section at: " << b.trailer.levelOffset << "\n"
            << "title section at: " << b.trailer.titleOffset << "\n"
            << "companion index: "
            << (FileExists(EdxPathOf(book)) ? Out(EdxPathOf(book)) : std::string("none")) << "\n";
  return 0;
}

int List(CliRun& run, Args args) {
  if (args.size() > 1) return Fail("Usage: quillomark-cli book list [FOLDER]");
  std::string folder = args.empty() ? run.ctx.folders.booksDir : WithSlash(In(args[0]));
  for (const TtableStr2Col& b : ListBooks(folder, TryKey(run.ctx))) {
    std::cout << Out(b.Caption) << "\t" << Out(b.Key) << "\n";
  }
  return 0;
}

int RunBook(const Args& all) {
  Args args = all;
  bool trace = TakeFlag(args, "--trace");
  if (args.empty()) return Fail(std::string("Usage: quillomark-cli ") + kUsage);
  CliRun run;
  if (trace) run.ctx.trace.SwitchOn();
  std::string verb = args.front();
  args.erase(args.begin());
  int status = 1;
  if (verb == "build") {
    status = Build(run, args);
  } else if (verb == "dump") {
    status = Dump(run, args);
  } else if (verb == "levels") {
    status = Levels(run, args);
  } else if (verb == "titles") {
    status = Titles(run, args);
  } else if (verb == "info") {
    status = Info(run, args);
  } else if (verb == "list") {
    status = List(run, args);
  } else {
    return Fail("Unknown book command: " + verb + "\nUsage: quillomark-cli " + kUsage);
  }
  PrintTrace(run.ctx);
  return status;
}

Registrar book{{"book", kUsage,
                "Builds a book from its source (docs/book-format.md), prints it back as source,\n"
                "      walks its levels and titles as the Configurator lists them, shows its\n"
                "      header, lists the installed books. --trace prints the trace lines.",
                RunBook}};

}  // namespace
}  // namespace quillo::cli
