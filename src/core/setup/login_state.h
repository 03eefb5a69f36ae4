// What the running program knows about the logged-in user, and the steps of the login window
// that need no window: the login itself, the choice of the settings folder and the set-up
// access check. The login window only forwards its fields here and renders the outcome.
#pragma once

#include <string>
#include <string_view>

namespace quillo {

struct Context;
struct DataFolders;

// One record for the whole run.
struct LoginState {
  // The logged-in user as displayed; "Anonymous" after an anonymous login; empty before the
  // first login.
  std::string currentUser;
  // The folder whose "Master.ini" was read at the last login (a user folder or SettingsDir).
  std::string settingsFolder;
};

// The "Login" button clears both fields before the login when the trimmed user text is empty
// or "Anonymous" in any letter case.
bool LoginButtonClearsFields(std::string_view userText);

// What the login window shows after a login.
struct LoginOutcome {
  // False: the credentials were refused; only the frame turns red, nothing else changed.
  bool accepted = false;
  // The trimmed user text, written back into the user field.
  std::string userField;
  // True when the practice window is to be shown (CurrentUser is not empty).
  bool showPractice = false;
};

// The login: trims the user text; checks the credentials (mode "U", which creates the
// anonymous account when missing); on success sets CurrentUser (the trimmed text as typed, or
// "Anonymous" when both texts are empty) and remembers it as the last user, chooses the
// settings folder, refreshes the language list and reads the settings of that folder's
// "Master.ini". The state is changed only on success. Errors of the settings files propagate.
LoginOutcome Login(Context& ctx, LoginState& state, std::string_view userText,
                   std::string_view passwordText);

// The settings folder of a user: the user's folder when its "Master.ini" exists and enables
// the user profile ([IntDisplay] Cb_ApplyProfUs, missing counts as true); otherwise SettingsDir.
// An empty user name always gives SettingsDir.
std::string ChooseSettingsFolder(const Context& ctx, std::string_view user);

// The outcome of the set-up access check of the options menu.
struct SetupAccess {
  // True: the frame turns olive, both fields are cleared and the set-up window (or wizard) is
  // shown; false: the frame turns red and the fields keep their texts.
  bool granted = false;
  // The user field afterwards: empty, or "Anonymous" for the wizard.
  std::string userField;
  std::string passwordField;
};

// The set-up access check (mode "G": the set-up account "tutor" with the master password, or
// anyone while no master password is set).
SetupAccess CheckSetupAccess(Context& ctx, std::string_view userText,
                             std::string_view passwordText, bool wizard);

// The pages the options menu of the login window opens: the problem report and the German and
// French help, installed with the program documentation.
enum class HelpPage { kReport, kGerman, kFrench };
// The full path of a help page: the documentation folder beside the installed data
// (ProgramDataRoot + "../doc/quillomark/") + the page's file name.
std::string HelpPagePath(const DataFolders& folders, HelpPage page);

}  // namespace quillo
