// User accounts: one folder per account under UsersDir with its password in "LastuFile.ini",
// the master password and the last user in SettingsDir "LastgFile.ini", the credential check
// of the login window and the account operations of the set-up window. Passwords are stored as
// salted hashes (see password_hash.h); refusals are shown through the message box.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillo {

struct Context;

inline constexpr const char* kAccountIni = "LastuFile.ini";
inline constexpr const char* kAnonymousName = "Anonymous";
// The reserved name of the set-up account.
inline constexpr const char* kTutorName = "tutor";

// True when name can be an account: not empty, not "." or "..", at most 100 characters, no
// "/", "\", "=", control characters, and not starting with "[" or ";" (so it is a safe folder
// name and a safe key of the account file).
bool IsValidAccountName(std::string_view name);

// The folder name of an account: lower case with the first character in upper case.
std::string AccountFolderName(std::string_view user);

// The names of the account folders of UsersDir, in folder-listing order.
std::vector<std::string> ListAccounts(const Context& ctx);

// The credential check: mode "U" a user login, mode "G" access to the set-up window. The
// caller passes both texts lower-cased. Mode "U" creates the anonymous account when it is
// missing. A stored value still in clear that matches is replaced by its hash.
bool CheckLogin(Context& ctx, std::string_view user, std::string_view password,
                std::string_view mode);

// user, or "Anonymous" when both texts are empty.
std::string DisplayName(std::string_view user, std::string_view password);

// Creates an account (the texts lower-cased by the caller); true when it was created. Refusals
// ("Wrong username or password !", "User existe !") and success ("User created !" with the
// folder name) are shown with the message box titled "Username". An empty user does nothing.
bool CreateAccount(Context& ctx, std::string_view user, std::string_view password,
                   std::string_view confirmation);

// Stores a new password of an existing account; true on success ("Changed !"), otherwise
// "Not allowed !" for the set-up account or "Wrong username or password !".
bool ChangePassword(Context& ctx, std::string_view user, std::string_view password,
                    std::string_view confirmation);

// Asks "Do you want to delete ?" and, on OK, removes the account's password entry and its
// folder with everything inside; true when the folder is gone. A folder that resists is
// reported with "Not deleted !" / "Close program and try again !".
bool DeleteAccount(Context& ctx, std::string_view name);

// Stores the master password (trimmed, lower-cased, hashed) and shows "Password saved !"; the
// text "* Qz" switches the trace on instead. An unchanged field (the stored value itself) keeps
// the stored password. An empty text removes the master password.
void SaveMasterPassword(Context& ctx, std::string_view text);

// The stored master password ([Global] Pass of "LastgFile.ini"); when the key is missing, the
// master password field of the settings (empty without settings).
std::string ReadMasterPassword(const Context& ctx);

// [Last User] sLastUser of "LastgFile.ini" ("" when missing), and its writer.
std::string ReadLastUser(const Context& ctx);
void WriteLastUser(const Context& ctx, std::string_view name);

namespace internal {
// Removes an emptied account folder; replaceable by tests to simulate a folder that resists.
using RemoveFolderFn = bool (*)(const std::string& folder);
void SetRemoveFolderForTest(RemoveFolderFn fn);  // nullptr restores the real removal
}  // namespace internal

}  // namespace quillo
