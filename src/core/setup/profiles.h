// Profiles: complete settings files under another name or place. A user profile is the
// account's own "Master.ini", a global profile SettingsDir + name + ".INI" (one with a
// [CompQst] section), a practice profile a sheet's base name + ".SQF" beside the sheet. The
// operations of the set-up window's profile pages; refusals and confirmations go through the
// message box.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillo {

struct Context;

// Most global profiles that may exist.
inline constexpr int kMaxGlobalProfiles = 15;

// --- User profile ------------------------------------------------------------------------

// Loads the account's own "Master.ini", or the global one when it has none, and makes the two
// user-profile choices consistent ("Disable User Profile" unless "Enable User Profile" is
// chosen); true when the account's own file existed.
bool LoadAccountSettings(Context& ctx, std::string_view account);
// Writes the settings into the account's "Master.ini" and shows "Profile: <account>" /
// "Created !"; false (nothing written) when the account folder does not exist.
bool SaveUserProfile(Context& ctx, std::string_view account);
// Asks "Do you want to delete ?" and deletes the account's "Master.ini"; true when it was
// deleted.
bool DeleteUserProfile(Context& ctx, std::string_view account);

// One book of an account: a sub-folder of UserFolder + "Qst/" with the book's title.
struct AccountBook {
  std::string title;   // the book's title line, or the folder name when the book is missing
  std::string folder;  // the folder name
};
// The books of an account. readTitle gets the path BooksDir + folder + ".IDX" and returns the
// book's title line ("" when it cannot be read); without it the folder name is the title.
std::vector<AccountBook> ListAccountBooks(
    const Context& ctx, std::string_view account,
    const std::function<std::string(const std::string&)>& readTitle = {});

// --- Practice profiles -------------------------------------------------------------------

struct PracticeProfile {
  std::string name;    // file name without extension
  std::string folder;  // the file's folder, ending with "/"
};
// Every "*.SQF" of UserFolder + "Qst/" + book folder and all its sub-folders.
std::vector<PracticeProfile> ListPracticeProfiles(const Context& ctx, std::string_view account,
                                                  std::string_view bookFolder);
// ReadSettings(entry folder, entry name + ".SQF").
void LoadPracticeProfile(Context& ctx, const PracticeProfile& entry);
// Writes the settings back to the entry's file and shows "Saved !".
void SavePracticeProfile(Context& ctx, const PracticeProfile& entry);
// Asks "Do you want to delete ?" and deletes the entry's file; true when the answer was OK.
bool DeletePracticeProfile(Context& ctx, const PracticeProfile& entry);

// --- Global profiles ---------------------------------------------------------------------

// The names of the "*.INI" files of SettingsDir that have a [CompQst] section, except "Master"
// (exact case), in folder-listing order.
std::vector<std::string> ListGlobalProfiles(const Context& ctx);
// ReadSettings(SettingsDir, name + ".INI") for a non-empty trimmed name; false otherwise.
bool LoadGlobalProfile(Context& ctx, std::string_view name);
// Saves the settings as a global profile and shows "Saved !" with the name; refused with
// "Maximum 15 profiles allowed !" / "Not saved !" when 15 are listed. True when written.
bool SaveGlobalProfile(Context& ctx, std::string_view name);
// Asks "Do you want to delete ?" and deletes SettingsDir + name + ".INI"; true when deleted.
bool DeleteGlobalProfile(Context& ctx, std::string_view name);

// --- Profile label -----------------------------------------------------------------------

// The profile name shown by the set-up window for a settings file: for "*.SQF" the file name
// up to its first "."; for "*.INI" the selected account when the folder's last component is
// that account, otherwise the file name up to its first "." ("default" for "MASTER" in any
// case); other files give the file name up to its first ".".
std::string ProfileName(std::string_view folder, std::string_view fileName,
                        std::string_view selectedAccount);
// "Profile" (svL059) + " " + the profile name of the settings file last read or written.
std::string ProfileLabel(const Context& ctx, std::string_view selectedAccount);

}  // namespace quillo
