// Commands for media-library authors: build a library from a folder tree, list it, take an
// entry out again, and list the spoken sentences a sentence book needs.
#include <iostream>
#include <set>

#include "books/book_builder.h"
#include "books/scramble.h"
#include "cli.h"
#include "engine/text_toolkit.h"
#include "practice/media_builder.h"
#include "practice/media_library.h"
#include "practice/sentences.h"
#include "shell/codec.h"
#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo::cli {
namespace {

const char* const kUsage =
    "media build FOLDER -o LIBRARY [--scramble]\n"
    "  media get \"LIBRARY;ENTRY\" -o FILE [--dir MEDIA-FOLDER]\n"
    "  media list LIBRARY [--dir MEDIA-FOLDER]\n"
    "  media sentences BOOK-SOURCE";

std::string MediaFolder(const CliRun& run, Args& args) {
  std::string dir;
  if (TakeOption(args, "--dir", dir)) return WithSlash(In(dir));
  return run.ctx.folders.mediaDir;
}

int Build(Args args) {
  std::string output;
  const bool hasOutput = TakeOption(args, "-o", output);
  const bool scramble = TakeFlag(args, "--scramble");
  if (args.size() != 1 || !hasOutput) {
    return Fail("Usage: quillomark-cli media build FOLDER -o LIBRARY [--scramble]");
  }
  const std::string base = LibraryBasePath(In(output));
  const BuiltMediaLibrary built = BuildMediaLibrary(CollectMediaFolder(In(args[0])), scramble);
  WriteMediaLibrary(base, built);
  std::cout << "Wrote " << Out(base) << ".IBL (" << built.data.size() << " bytes, " << built.entries
            << " entries in " << built.folders << " folders"
            << (built.scrambled ? ", scrambled" : "") << ") and " << Out(base) << ".Iid\n";
  return 0;
}

int Get(const CliRun& run, Args args) {
  const std::string dir = MediaFolder(run, args);
  std::string output;
  const bool hasOutput = TakeOption(args, "-o", output);
  if (args.size() != 1 || !hasOutput) {
    return Fail("Usage: quillomark-cli media get \"LIBRARY;ENTRY\" -o FILE [--dir MEDIA-FOLDER]");
  }
  ExtractEntryTo(dir, In(args[0]), In(output));
  return 0;
}

int List(const CliRun& run, Args args) {
  const std::string dir = MediaFolder(run, args);
  if (args.size() != 1)
    return Fail("Usage: quillomark-cli media list LIBRARY [--dir MEDIA-FOLDER]");
  const std::string name = In(args[0]);
  if (!IsPlainLibraryName(name) || !FileExists(LibraryIndexPath(dir, name))) {
    return Fail(std::string(kMediaNotInstalled) + " (" + name + " in " + dir + ")");
  }
  for (const ListedEntry& e : ListEntries(LibraryIndexPath(dir, name))) {
    std::cout << Out(e.path) << "\t" << e.entry.position << "\t" << e.entry.length << "\n";
  }
  return 0;
}

int Sentences(const CliRun& run, Args args) {
  if (args.size() != 1) return Fail("Usage: quillomark-cli media sentences BOOK-SOURCE");
  const std::string path = In(args[0]);
  std::string source;
  if (!ReadWholeFile(path, source)) return Fail("Cannot read book source " + path);
  // Only a source that builds is read: its lines are then exactly the book's.
  std::string key;
  try {
    key = LoadScrambleKey(run.ctx.folders.programSettingsDir);
  } catch (const Error&) {
  }
  BuildBook(source, path, key);
  std::set<std::string> seen;
  for (const std::string& line : SentenceLinesOfBookSource(source)) {
    for (const BookSentence& s : SentencesOfExerciseLine(line)) {
      if (s.audio.name.empty() || !seen.insert(s.audio.reference).second) continue;
      std::cout << Out(s.audio.reference) << "\t" << Out(ReplaceAll(s.spoken, "\t", " ")) << "\n";
    }
  }
  return 0;
}

int RunMedia(const Args& all) {
  Args args = all;
  if (args.empty()) return Fail(std::string("Usage: quillomark-cli ") + kUsage);
  CliRun run;
  const std::string verb = args.front();
  args.erase(args.begin());
  if (verb == "build") return Build(args);
  if (verb == "get") return Get(run, args);
  if (verb == "list") return List(run, args);
  if (verb == "sentences") return Sentences(run, args);
  return Fail("Unknown media command: " + verb + "\nUsage: quillomark-cli " + kUsage);
}

Registrar media{{"media", kUsage,
                 "Builds a media library (.IBL and .Iid) from a folder tree, --scramble for a\n"
                 "      scrambled one; takes an entry out of an installed library (or one in\n"
                 "      --dir) as its original bytes; lists a library's entries (path, position,\n"
                 "      length); lists the sentence audio a sentence book needs (reference, tab,\n"
                 "      text to speak).",
                 RunMedia}};

}  // namespace
}  // namespace quillo::cli
