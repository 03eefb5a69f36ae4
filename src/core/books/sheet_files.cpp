#include "books/sheet_files.h"

#include "books/book_text.h"
#include "books/scramble.h"
#include "shell/codec.h"
#include "shell/context.h"
#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo {

using book_text::kSep;

std::string FreshStatusLine(int requestedTotal, std::string_view modeLetter) {
  return "#[0/0/" + std::to_string(requestedTotal) + "/-1;" + std::string(modeLetter) + ";0;0]";
}

std::vector<std::string> SheetHeaderLines(std::string_view bookHeader, int requestedTotal,
                                          std::string_view modeLetter, std::string_view sheetPath,
                                          std::string_view bookTitle, std::string_view levelName) {
  return {std::string(bookHeader),
          FreshStatusLine(requestedTotal, modeLetter),
          "#[" + std::string(sheetPath) + kSep + std::string(bookTitle) + kSep +
              std::string(levelName) + "]",
          "#[]",
          "#[]",
          "#[  ]"};
}

// --- Folders and names -------------------------------------------------------------------------

std::string BookFolder(const DataFolders& folders, std::string_view user,
                       std::string_view bookPath) {
  return WithSlash(folders.UserFolder(user)) + "Qst/" + BaseName(bookPath) + "/";
}

std::string SelectionProgressFolder(std::string_view bookFolder) {
  return WithSlash(bookFolder) + "UL/";
}

std::string LevelProgressFolder(std::string_view bookFolder) {
  return WithSlash(bookFolder) + "BL/";
}

std::string SharedBookFolder(const DataFolders& folders, std::string_view bookPath) {
  return WithSlash(folders.sharedDir) + BaseName(bookPath) + "/";
}

std::string ChangeExtension(std::string_view path, std::string_view ext) {
  std::size_t slash = path.rfind('/');
  std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
    return std::string(path) + std::string(ext);
  }
  return std::string(path.substr(0, dot)) + std::string(ext);
}

std::string StatePathOf(std::string_view path) { return ChangeExtension(path, ".SNI"); }
std::string SheetPathOf(std::string_view path) { return ChangeExtension(path, ".QST"); }
std::string JobPathOf(std::string_view path) { return ChangeExtension(path, ".JOB"); }
std::string ProfilePathOf(std::string_view path) { return ChangeExtension(path, ".SQF"); }

int DeleteNamedFiles(std::string_view path) {
  int removed = 0;
  for (const char* ext : {".QST", ".JOB", ".STP", ".SNI", ".SQF"}) {
    if (RemoveFile(ChangeExtension(path, ext))) ++removed;
  }
  return removed;
}

bool HasExtension(std::string_view path, std::string_view ext) {
  std::string name = FileNameOf(path);
  return name.size() > ext.size() &&
         EqualsNoCase1252(std::string_view(name).substr(name.size() - ext.size()), ext);
}

std::string BookPathFor(std::string_view booksDir, std::string_view filePath) {
  // The folders above the file, nearest first.
  std::vector<std::string> folders;
  std::string rest = GetFolderPart(filePath);
  while (!rest.empty() && rest != "/") {
    rest.pop_back();
    std::size_t slash = rest.rfind('/');
    folders.push_back(rest.substr(slash == std::string::npos ? 0 : slash + 1));
    rest = slash == std::string::npos ? "" : rest.substr(0, slash + 1);
  }
  auto isProgressFolder = [](const std::string& name) {
    return EqualsNoCase1252(name, "UL") || EqualsNoCase1252(name, "BL");
  };
  std::size_t index = 0;
  if (HasExtension(filePath, ".STP") || HasExtension(filePath, ".SNI")) {
    index = 1;
  } else if (folders.size() > 2 && isProgressFolder(folders[0]) &&
             EqualsNoCase1252(folders[2], "Qst")) {
    index = 1;
  }
  if (index >= folders.size() || folders[index].empty() || folders[index] == "." ||
      folders[index] == "..") {
    return "";
  }
  return WithSlash(booksDir) + folders[index] + ".IDX";
}

// --- Book-derived files line by line ------------------------------------------------------------

std::string KeyDigitsFor(const Context& ctx, bool scrambled) {
  return scrambled ? LoadScrambleKey(ctx.folders.programSettingsDir) : "";
}

BookBasics ReadCurrentBook(const Context& ctx, std::string_view bookPath) {
  BookBasics basics = ReadBookBasics(bookPath, "");
  if (basics.readable && basics.scrambled) {
    basics = ReadBookBasics(bookPath, KeyDigitsFor(ctx, true));
  }
  return basics;
}

DerivedFile ReadDerivedFile(const Context& ctx, std::string_view path) {
  DerivedFile file;
  std::string content;
  if (!ReadWholeFile(path, content)) return file;
  file.readable = true;
  std::vector<std::string> raw = SplitLines(content);
  // A file without a first line carries no book header: it is invalid and read as it stands.
  file.scrambled = !raw.empty() && !raw[0].empty() && IsScrambled(raw[0]);
  std::string key = KeyDigitsFor(ctx, file.scrambled);
  file.lines.reserve(raw.size());
  for (const std::string& line : raw) {
    file.lines.push_back(UnscrambleLine(line, file.scrambled, key));
  }
  return file;
}

void WriteDerivedFile(std::string_view path, const std::vector<std::string>& lines, bool scrambled,
                      std::string_view keyDigits) {
  std::string content;
  for (const std::string& line : lines) {
    if (line.find_first_of("\r\n") != std::string::npos) {
      throw Error("Cannot write " + std::string(path) + ": a line holds a line break");
    }
    content += ScrambleLine(line, scrambled, keyDigits);
    content += "\r\n";
  }
  std::string folder = GetFolderPart(path);
  if (!folder.empty()) EnsureFolder(folder);
  WriteFileAtomic(path, content);
}

}  // namespace quillo
