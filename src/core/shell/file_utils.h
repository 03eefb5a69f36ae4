// Small operations on folders, files and text lines shared by every subsystem, the lookup of the
// system folders, and the atomic writing of whole files.
//
// Paths are Windows-1252 texts with "/" as separator; they are converted to UTF-8 only at the
// system call. Every open, existence test and mask listing finds an existing file or folder
// whatever the letter case of each path component.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/conventions.h"

namespace quillo {

class MessageBox;

// Block size of the line readers: a line longer than this is returned in pieces of this size.
inline constexpr std::size_t kLineBlock = 4025;
// Longest full path that ListFilesChecked keeps.
inline constexpr std::size_t kMaxPathLength = 360;

// --- Paths -------------------------------------------------------------------------------

// The path of an existing file or folder whose components equal those of path regardless of
// letter case; for a path that does not exist, the existing leading components are resolved
// and the rest is kept as given (so a new file is created in the existing folder, under the
// name the caller chose).
std::string ResolveCase(std::string_view path);

// The path as the operating system wants it (UTF-8), after case resolution.
std::string SystemPath(std::string_view path);

bool FileExists(std::string_view path);    // a file (not a folder)
bool FolderExists(std::string_view path);  // a folder
bool PathExists(std::string_view path);

// True when the name matches a Windows mask of "*" and "?", regardless of letter case.
bool MatchesMask(std::string_view name, std::string_view mask);

// The folder of a path up to and including its last "/", empty when there is none.
std::string GetFolderPart(std::string_view path);
// The file name of a path (after its last "/").
std::string FileNameOf(std::string_view path);
// Adds a trailing "/" when missing.
std::string WithSlash(std::string_view folder);

// True when path lies inside root (after removing "." and ".." components lexically); used
// before following a path read from a data file.
bool IsInside(std::string_view path, std::string_view root);

// --- Folders and special folders ------------------------------------------------------------

// 1 the program-files folder, 2 the per-user application-data folder, 3 the system folder, each
// without trailing "/"; any other kind gives the empty text.
std::string SpecialFolder(int kind);

// True when the folder exists or was created with all missing parents; otherwise throws
// "Error 987238:" + path + " !".
bool EnsureFolder(std::string_view path);

// Appends full paths to list: with files, every entry of folder matching mask that is not a
// folder; then for every sub-folder its path (when files is false) and, with recurse, its
// contents. With all false the listing stops as soon as list holds one entry. Entries come in
// name order; symbolic links to folders are not followed.
void ListFolder(std::string_view folder, std::string_view mask, std::vector<std::string>& list,
                bool all, bool files, bool recurse);

// Deletes every file of folder matching mask (a write-protected one is unprotected and tried
// again); with recurse, the same in every sub-folder, each removed afterwards. Silent.
void DeleteTree(std::string_view folder, std::string_view mask, bool recurse);

// --- Files ---------------------------------------------------------------------------------

// The modification time in local time; nothing for a missing file.
std::optional<DateTime> FileDate(std::string_view path);
// Size in bytes, -1 when the file does not exist.
int64_t FileSizeOf(std::string_view path);
// The file name without folder and without its last extension.
std::string BaseName(std::string_view path);
// Copies, overwriting an existing target; false on failure.
bool CopyFileOver(std::string_view source, std::string_view target);
// Creates the file empty unless it exists; true when it was created.
bool CreateEmptyFile(std::string_view path);
// Removes a file; false when it did not exist or could not be removed.
bool RemoveFile(std::string_view path);
// Renames or moves a file or folder; false on failure.
bool MovePath(std::string_view from, std::string_view to);
// Read-only is the owner write bit.
bool IsReadOnly(std::string_view path);
bool SetReadOnly(std::string_view path, bool readOnly);

// Appends the bare names of the files of folder matching mask; a file whose full path is longer
// than 360 characters is reported and deleted instead.
void ListFilesChecked(std::string_view folder, std::string_view mask,
                      std::vector<std::string>& list, MessageBox& msgBox);

// Of folder + each name (list not empty), the latest (mode 1) or earliest (mode 0) file.
std::string NewestOrOldest(int mode, std::string_view folder,
                           const std::vector<std::string>& names);

// The path itself when free, else the first free base + separator + n + extension, n written
// with at least digits digits (1..9).
std::string NextFreeName(std::string_view path, std::string_view separator, int digits);

// --- Whole files -----------------------------------------------------------------------------

// Reads a whole file; false when it cannot be read.
bool ReadWholeFile(std::string_view path, std::string& out);
// Writes a whole file through a temporary file in the same folder renamed over the target, so
// the target is either the old or the new content. Throws Error when it cannot be written.
void WriteFileAtomic(std::string_view path, std::string_view data);
// Splits file content into lines at LF, CR LF or a lone CR; lines longer than the block size
// come in pieces of kLineBlock characters. A final line break adds no empty line.
std::vector<std::string> SplitLines(std::string_view content);
// Joins lines with CR LF after each line.
std::string JoinLines(const std::vector<std::string>& lines);

// --- Text lines ------------------------------------------------------------------------------

// Line n (1-based) without its line break; empty when the file has fewer lines. A missing file
// is created empty first.
std::string ReadLine(std::string_view path, int n);
// Lines from..to (1-based), stopping at the end of the file; a missing file is created.
std::vector<std::string> ReadLines(std::string_view path, int from, int to);
// The last non-empty line; empty for an unreadable file.
std::string ReadLastLine(std::string_view path);
// Appends text, preceded by a line break when the file is not empty (so the file never ends
// with a line break); with truncate the file is emptied first. True on success.
bool AppendLine(std::string_view path, std::string_view text, bool truncate);

// --- System and program information ---------------------------------------------------------

// The four version numbers of the program when the file exists, "-1" when it does not.
std::string ProgramVersion(std::string_view path);
// "Deutsch", "Fran\xE7" "ais" or "English" by LC_ALL / LC_MESSAGES / LANG.
std::string SystemLanguageName();

}  // namespace quillo
