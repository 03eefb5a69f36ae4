// Bringing jobs (".JOB") and progress files (".STP") up to a new version of their book: every
// such file keeps the header of the book it was made from; when the installed book's header
// differs, all files of that kind in the folder are migrated to the book's new title records at
// once, or deleted when none of their titles survives.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "books/book_files.h"

namespace quillo {

struct Context;

// The trace line of a file whose first line is empty, followed by its path.
inline constexpr std::string_view kEmptyJobTrace =
    "AnalyseJobFiles-001Error: 023745: Is now deleted while empty ligne in or not existe ";

// Checks a job or progress file against its book (bookPath: the current version). Returns true
// when the file exists after the check, unchanged or updated, false when it was deleted.
// - A file whose first line is empty (or a missing file) is deleted: false.
// - A file made from the current header is left untouched: true.
// - Otherwise the box "Version" says "New version detected !" / "File update..."; closed without
//   OK, the file is deleted. On OK, with the progress worker running, every file of the same
//   extension in the folder is migrated (MigrateRecordLines) and rewritten with the current
//   header and scramble flag, or deleted (with its ".SNI" for a progress file) when no record
//   was kept; a progress file's state gets the new title count.
// A book that cannot be read, or whose title section yields no record, changes nothing: the
// result is whether the file exists.
bool CheckJobVersion(Context& ctx, std::string_view filePath, std::string_view bookPath);

// The same with the book found from the file's folders (BooksDir + book folder name + ".IDX").
bool CheckJobVersion(Context& ctx, std::string_view filePath);

// The record lines of a file moved to the book's new records: a line whose Code is not among the
// new codes is dropped; otherwise, from the position of its code on, the first new record with
// the same key field (Code when byCode, else Title) takes its place with the line's Quantity,
// LineCount (at most the new record's) and MergeGroup; without one the line is dropped.
std::vector<std::string> MigrateRecordLines(const std::vector<std::string>& recordLines,
                                            const std::vector<TdBaseJob>& newRecords,
                                            bool byCode);

// --- The progress window of the update -----------------------------------------------------------

// The spinner text the progress window shows for a bar position 0..99, one text per step of five
// (" | ", "/", "---", a backslash ... "*", " ¦ " as byte 0xA6); positions outside are clamped.
std::string ProgressSpinner(int bar);
// The step label of the progress window: "[" round "] " and the spinner text.
std::string ProgressStepText(int round, int bar);
// The label shown when the update is over, before the window closes two seconds later.
inline constexpr std::string_view kProgressFinished = "[Finished...ok]";

}  // namespace quillo
