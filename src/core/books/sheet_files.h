// Practice sheets (".QST") and the names of the files generated from a book: the six header lines
// of a sheet, the folders of a book's jobs, sheets and progressions, the files that share a base
// name with a sheet or progression, the book a generated file belongs to, and the reading and
// writing of every book-derived file (sheets, jobs, progress files, results) line by line,
// scrambled or plain as its first line says.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "books/book_files.h"

namespace quillo {

struct Context;
struct DataFolders;

// --- Sheet lines -----------------------------------------------------------------------------

// The number of header lines of a sheet; questions start at line kSheetHeaderLines + 1.
inline constexpr int kSheetHeaderLines = 6;
// The heading tag of a title in a sheet.
inline constexpr std::string_view kHeadingTag = "#ChB$";

// The status line of a fresh sheet: "#[0/0/" total "/-1;" kind ";0;0]". The practice files
// read and rewrite it with their tally.
std::string FreshStatusLine(int requestedTotal, std::string_view modeLetter);

// The six header lines of a fresh sheet: the book header, the status line, "#[" sheet path "¦"
// book title "¦" level name "]", "#[]", "#[]" and "#[  ]" (line 6 becomes the answer bank of a
// type "A" book).
std::vector<std::string> SheetHeaderLines(std::string_view bookHeader, int requestedTotal,
                                          std::string_view modeLetter, std::string_view sheetPath,
                                          std::string_view bookTitle, std::string_view levelName);

// --- Folders and names -------------------------------------------------------------------------

// The book folder of a user: UserFolder + "Qst/" + the book file's base name + "/"; jobs and
// sheets of the book lie there.
std::string BookFolder(const DataFolders& folders, std::string_view user,
                       std::string_view bookPath);
// The progress files of a user selection ("UL/") and of a whole level ("BL/") of a book folder.
std::string SelectionProgressFolder(std::string_view bookFolder);
std::string LevelProgressFolder(std::string_view bookFolder);
// SharedDir + the book file's base name + "/": sheets written with "Share folder".
std::string SharedBookFolder(const DataFolders& folders, std::string_view bookPath);

// The path with its last extension replaced (ext with its dot, ".SNI"); a path without extension
// gets ext appended.
std::string ChangeExtension(std::string_view path, std::string_view ext);
// The files sharing the base name of a sheet or progress file.
std::string StatePathOf(std::string_view path);    // ".SNI"
std::string SheetPathOf(std::string_view path);    // ".QST"
std::string JobPathOf(std::string_view path);      // ".JOB"
std::string ProfilePathOf(std::string_view path);  // ".SQF"

// Deletes the files of one name: the path with the extensions ".QST", ".JOB", ".STP", ".SNI" and
// ".SQF" (a sheet or progression with its job, plan, state and profile). Returns how many
// existed and were removed.
int DeleteNamedFiles(std::string_view path);

// True when the path's extension equals ext (with its dot), letter case ignored.
bool HasExtension(std::string_view path, std::string_view ext);

// The book a generated file belongs to: BooksDir + the name of its book folder + ".IDX". The
// book folder is the parent of a job or a sheet, and the grandparent of a progress file, its
// state and a sheet lying in "UL/" or "BL/" below "Qst/<book>/". Empty when the path has no
// such folder.
std::string BookPathFor(std::string_view booksDir, std::string_view filePath);

// --- Book-derived files line by line ------------------------------------------------------------

// The key digits needed for a file: empty when it is plain, else the installed key (throws the
// error of LoadScrambleKey when the key file is missing).
std::string KeyDigitsFor(const Context& ctx, bool scrambled);

// Lines 1 and 2 and the trailer of a book, read with the installed key when the book is
// scrambled. readable is false and the header empty when the file cannot be read.
BookBasics ReadCurrentBook(const Context& ctx, std::string_view bookPath);

// The lines of a sheet, job, progress, result or revision file, unscrambled with the flag of
// its raw first line (a file whose first line is empty is read as it stands). Empty when the
// file cannot be read.
struct DerivedFile {
  bool readable = false;
  bool scrambled = false;
  std::vector<std::string> lines;
};
DerivedFile ReadDerivedFile(const Context& ctx, std::string_view path);

// Writes lines (each scrambled with the flag, CR LF after each) atomically, creating the folder
// when missing: the target keeps its old content unless the whole new content was written.
// Throws Error when a line holds a line break or the file cannot be written.
void WriteDerivedFile(std::string_view path, const std::vector<std::string>& lines, bool scrambled,
                      std::string_view keyDigits);

}  // namespace quillo
