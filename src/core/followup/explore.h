// The data of the explore window: the books for which practice sheets exist, in the user's own
// sheet folder or in the shared folder, the sheets of a chosen book with the newest marked, and
// the choice of a sheet, stored as the user's last sheet for the practice window to open.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillo {

struct Context;

// One book of the book list: the book name read from its first sheet and its sub-folder.
struct ExploreBook {
  std::string text;    // the book name; "er02: " + the folder name when the sheet has none
  std::string folder;  // the sub-folder, ending with "/"
};

// The book list of a folder: every sub-folder holding at least one ".QST" file, in folder
// order. The book name is field 2 of line 3 of its first sheet.
std::vector<ExploreBook> FillBooks(Context& ctx, std::string_view folder);

// The sheet list of a book: the names of its ".QST" files without extension, in folder order,
// and the index of the newest by file time (-1 when there is none).
struct ExploreSheets {
  std::vector<std::string> names;
  int newest = -1;
};
ExploreSheets ListSheets(std::string_view bookFolder);

// Stores bookFolder + name + ".QST" as the user's last sheet: "Nom 2" of [Last Input] in the
// user's "LastuFile.ini". False (nothing written) when that sheet does not exist.
bool ChooseSheet(Context& ctx, std::string_view user, std::string_view bookFolder,
                 std::string_view name);

// The window's lists over the user's own sheet folder or the shared folder.
class ExplorePractices {
 public:
  explicit ExplorePractices(Context& ctx) : ctx_(ctx) {}

  // Fills the book list of the folder given by the practice window (the user's own sheet
  // folder); the first folder given is remembered as the own folder. The sheet list is emptied.
  const std::vector<ExploreBook>& Fill(std::string_view ownFolder);
  // The shared-folder check box: lists the shared folder (checked) or the own folder again.
  const std::vector<ExploreBook>& SetShared(bool shared);
  bool Shared() const { return shared_; }
  const std::string& FolderInUse() const { return shared_ ? sharedFolder_ : ownFolder_; }

  // A double click on book k: fills the sheet list (empty for an index out of range).
  const ExploreSheets& OpenBook(int k);
  // A double click on sheet k of the open book: stores it as the user's last sheet; true when
  // the window is to close with OK.
  bool ChooseSheet(std::string_view user, int k);

  const std::vector<ExploreBook>& Books() const { return books_; }
  const ExploreSheets& Sheets() const { return sheets_; }
  // Closing the window empties both lists.
  void Close();

 private:
  Context& ctx_;
  std::string ownFolder_;
  std::string sharedFolder_;
  bool shared_ = false;
  std::vector<ExploreBook> books_;
  int openBook_ = -1;
  ExploreSheets sheets_;
};

}  // namespace quillo
