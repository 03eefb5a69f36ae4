// The explore window's book and sheet lists.
#include "followup/explore.h"

#include "books/book_text.h"
#include "engine/text_toolkit.h"
#include "books/sheet_files.h"
#include "setup/accounts.h"
#include "shell/context.h"
#include "shell/file_utils.h"
#include "shell/ini_file.h"

namespace quillo {

namespace {

std::vector<std::string> SheetNames(std::string_view folder) {
  std::vector<std::string> paths;
  ListFolder(folder, "*.QST", paths, true, true, false);
  std::vector<std::string> names;
  for (const std::string& path : paths) names.push_back(FileNameOf(path));
  return names;
}

// The book name of a sheet: field 2 of its line 3 with every "#", "[" and "]" removed.
std::string BookNameOf(Context& ctx, const std::string& sheet) {
  DerivedFile file;
  try {
    file = ReadDerivedFile(ctx, sheet);
  } catch (const std::exception& e) {
    ctx.trace.Trace("Error: sheet not readable: " + sheet + ": " + e.what());
    return "";
  }
  if (file.lines.size() < 3) return "";
  std::string line;
  for (char c : file.lines[2]) {
    if (c != '#' && c != '[' && c != ']') line.push_back(c);
  }
  return GetField(line, book_text::kSep, 2);
}

}  // namespace

std::vector<ExploreBook> FillBooks(Context& ctx, std::string_view folder) {
  std::vector<ExploreBook> books;
  if (!FolderExists(folder)) return books;
  std::vector<std::string> subFolders;
  ListFolder(ResolveCase(folder), "*", subFolders, true, false, false);
  for (const std::string& sub : subFolders) {
    if (!FolderExists(sub)) continue;
    const std::vector<std::string> sheets = SheetNames(sub);
    if (sheets.empty()) continue;
    ExploreBook book;
    book.folder = WithSlash(sub);
    book.text = BookNameOf(ctx, book.folder + sheets.front());
    if (book.text.empty()) book.text = "er02: " + FileNameOf(sub);
    ctx.trace.Trace("InitFormfmRechQST-001-> sNomTitreLivre <- " + book.text);
    books.push_back(std::move(book));
  }
  return books;
}

ExploreSheets ListSheets(std::string_view bookFolder) {
  ExploreSheets sheets;
  if (!FolderExists(bookFolder)) return sheets;
  const std::string folder = WithSlash(ResolveCase(bookFolder));
  const std::vector<std::string> files = SheetNames(folder);
  for (const std::string& file : files) sheets.names.push_back(BaseName(file));
  const std::string newest = NewestOrOldest(1, folder, files);
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (folder + files[i] == newest) sheets.newest = static_cast<int>(i);
  }
  return sheets;
}

bool ChooseSheet(Context& ctx, std::string_view user, std::string_view bookFolder,
                 std::string_view name) {
  const std::string sheet = WithSlash(bookFolder) + std::string(name) + ".QST";
  if (name.empty() || name.find('/') != std::string_view::npos || !FileExists(sheet)) return false;
  const std::string folder = WithSlash(ctx.folders.UserFolder(user));
  EnsureFolder(folder);
  IniWriteString(folder + kAccountIni, "Last Input", "Nom 2", ResolveCase(sheet));
  return true;
}

const std::vector<ExploreBook>& ExplorePractices::Fill(std::string_view ownFolder) {
  if (ownFolder_.empty()) ownFolder_ = WithSlash(ownFolder);
  sharedFolder_ = ctx_.folders.sharedDir;
  books_ = FillBooks(ctx_, shared_ ? sharedFolder_ : std::string(WithSlash(ownFolder)));
  openBook_ = -1;
  sheets_ = {};
  return books_;
}

const std::vector<ExploreBook>& ExplorePractices::SetShared(bool shared) {
  shared_ = shared;
  sharedFolder_ = ctx_.folders.sharedDir;
  books_ = FillBooks(ctx_, FolderInUse());
  openBook_ = -1;
  sheets_ = {};
  return books_;
}

const ExploreSheets& ExplorePractices::OpenBook(int k) {
  sheets_ = {};
  openBook_ = -1;
  if (k < 0 || k >= static_cast<int>(books_.size())) return sheets_;
  openBook_ = k;
  sheets_ = ListSheets(books_[static_cast<std::size_t>(k)].folder);
  return sheets_;
}

bool ExplorePractices::ChooseSheet(std::string_view user, int k) {
  if (openBook_ < 0 || k < 0 || k >= static_cast<int>(sheets_.names.size())) return false;
  return quillo::ChooseSheet(ctx_, user, books_[static_cast<std::size_t>(openBook_)].folder,
                             sheets_.names[static_cast<std::size_t>(k)]);
}

void ExplorePractices::Close() {
  books_.clear();
  sheets_ = {};
  openBook_ = -1;
}

}  // namespace quillo
