#include "books/job_version.h"

#include <algorithm>
#include <unordered_map>

#include "books/book_text.h"
#include "engine/text_toolkit.h"
#include "books/progress_files.h"
#include "books/scramble.h"
#include "books/sheet_files.h"
#include "language/text_lookup.h"
#include "shell/context.h"
#include "shell/file_utils.h"

namespace quillo {

using book_text::kSep;

namespace {

// The old line count is kept unless the new version of the title has fewer lines: drawing past
// them would take the next title's lines as questions.
std::string KeptLineCount(const std::string& oldCount, const std::string& newCount) {
  std::optional<int64_t> o = TryTextToInt(oldCount);
  std::optional<int64_t> n = TryTextToInt(newCount);
  if (o && n && *n < *o) return newCount;
  return oldCount;
}

// The header line with field 4 replaced by the book header.
std::string NewHeaderLine(const std::string& oldHeader, const std::string& bookHeader) {
  return GetField(oldHeader, kSep, 1) + kSep + GetField(oldHeader, kSep, 2) + kSep +
         GetField(oldHeader, kSep, 3) + kSep + bookHeader;
}

struct Migration {
  Context& ctx;
  const std::string& bookHeader;
  const std::vector<TdBaseJob>& newRecords;
  bool byCode;
};

// Migrates one file; false when it was deleted.
bool MigrateFile(const Migration& m, const std::string& path) {
  DerivedFile file = ReadDerivedFile(m.ctx, path);
  std::vector<std::string> kept;
  std::string header;
  if (!file.lines.empty()) {
    header = file.lines[0];
    kept = MigrateRecordLines({file.lines.begin() + 1, file.lines.end()}, m.newRecords, m.byCode);
  }
  bool progress = HasExtension(path, ".STP");
  if (kept.empty()) {
    RemoveFile(path);
    if (progress) RemoveFile(StatePathOf(path));
    return false;
  }
  std::vector<std::string> lines;
  lines.push_back(NewHeaderLine(header, m.bookHeader));
  lines.insert(lines.end(), kept.begin(), kept.end());
  bool scrambled = IsScrambled(m.bookHeader);
  WriteDerivedFile(path, lines, scrambled, KeyDigitsFor(m.ctx, scrambled));
  std::string statePath = StatePathOf(path);
  if (progress && FileExists(statePath)) {
    ProgressState state = ReadProgressState(statePath, ProgressState{});
    int k = static_cast<int>(kept.size());
    if (k < state.TotPosCount && k < state.StartPos) state.StartPos = k;
    state.TotPosCount = k;
    WriteProgressState(statePath, state);
  }
  return true;
}

}  // namespace

std::vector<std::string> MigrateRecordLines(const std::vector<std::string>& recordLines,
                                            const std::vector<TdBaseJob>& newRecords,
                                            bool byCode) {
  std::unordered_map<std::string, std::size_t> codeAt;
  for (std::size_t i = 0; i < newRecords.size(); ++i) codeAt.emplace(newRecords[i].Code, i);
  std::vector<std::string> kept;
  for (const std::string& line : recordLines) {
    std::optional<TdBaseJob> old = LineToRecord(line);
    if (!old) continue;
    auto found = codeAt.find(old->Code);
    if (found == codeAt.end()) continue;
    const std::string& key = byCode ? old->Code : old->Title;
    for (std::size_t i = found->second; i < newRecords.size(); ++i) {
      const TdBaseJob& candidate = newRecords[i];
      if ((byCode ? candidate.Code : candidate.Title) != key) continue;
      TdBaseJob moved = candidate;
      moved.Quantity = old->Quantity;
      moved.LineCount = KeptLineCount(old->LineCount, candidate.LineCount);
      moved.MergeGroup = old->MergeGroup;
      kept.push_back(RecordToLine(moved));
      break;
    }
  }
  return kept;
}

bool CheckJobVersion(Context& ctx, std::string_view filePath, std::string_view bookPath) {
  const std::string path(filePath);
  DerivedFile file = ReadDerivedFile(ctx, path);
  if (file.lines.empty() || file.lines[0].empty()) {
    RemoveFile(path);
    ctx.trace.Trace(std::string(kEmptyJobTrace) + path);
    return false;
  }
  BookBasics book = ReadCurrentBook(ctx, bookPath);
  if (book.header.empty()) {
    ctx.trace.Trace("Error: the book of " + path + " cannot be read: " + std::string(bookPath));
    return true;
  }
  if (GetField(file.lines[0], kSep, 4) == book.header) return true;

  int answer = ctx.msgBox ? ctx.msgBox->ShowMsgBox("Version", MessageText(ctx, "svL009"),
                                                   "File update...", kNoPicture, kPicOk,
                                                   kNoPicture, kIconInfo)
                          : kMsgOk;
  if (answer != kMsgOk) {
    RemoveFile(path);
    return false;
  }

  ScanResult scan = ScanLevel(bookPath, "0", book.trailer.titleOffset, ScanMode::TakeAll,
                              KeyDigitsFor(ctx, book.scrambled), ctx.trace);
  std::vector<TdBaseJob> newRecords;
  for (const std::string& line : scan.titleLines) {
    if (std::optional<TdBaseJob> r = LineToRecord(line)) newRecords.push_back(std::move(*r));
  }
  if (newRecords.empty()) return FileExists(path);

  if (ctx.progress) {
    ctx.progress->Start("Update....", "New Version: Please wait (1-15 min), in progress..");
  }
  std::string name = FileNameOf(path);
  std::size_t dot = name.rfind('.');
  std::string mask = dot == std::string::npos ? name : "*" + name.substr(dot);
  std::vector<std::string> files;
  ListFolder(GetFolderPart(path), mask, files, true, true, false);
  Migration migration{ctx, book.header, newRecords, UpdatesByCode(book.header)};
  try {
    for (std::size_t i = 0; i < files.size(); ++i) {
      if (ctx.progress) {
        ctx.progress->Step(FileNameOf(files[i]) + " [" + std::to_string(i + 1) + "/" +
                           std::to_string(files.size()) + "]");
      }
      DerivedFile other = ReadDerivedFile(ctx, files[i]);
      // A file already made from the current version has nothing to migrate.
      if (!other.lines.empty() && !other.lines[0].empty() &&
          GetField(other.lines[0], kSep, 4) == book.header) {
        continue;
      }
      MigrateFile(migration, files[i]);
    }
  } catch (...) {
    if (ctx.progress) ctx.progress->Stop();
    throw;
  }
  if (ctx.progress) ctx.progress->Stop();
  return FileExists(path);
}

std::string ProgressSpinner(int bar) {
  static const char* const kSpinner[20] = {" | ", "/", "---", "\\", " | ", "/", "---",
                                           "\\", " | ", "/", "---", "\\", "---", "\\",
                                           " | ", "/", "---", "\\", "*", " \xA6 "};
  return kSpinner[std::clamp(bar, 0, 99) / 5];
}

std::string ProgressStepText(int round, int bar) {
  return "[" + std::to_string(round) + "] " + ProgressSpinner(bar);
}

bool CheckJobVersion(Context& ctx, std::string_view filePath) {
  return CheckJobVersion(ctx, filePath, BookPathFor(ctx.folders.booksDir, filePath));
}

}  // namespace quillo
