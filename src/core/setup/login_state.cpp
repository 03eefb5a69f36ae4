#include "setup/login_state.h"

#include "engine/text_toolkit.h"
#include "language/text_lookup.h"
#include "setup/accounts.h"
#include "setup/settings_store.h"
#include "shell/codec.h"
#include "shell/context.h"
#include "shell/file_utils.h"

namespace quillo {

bool LoginButtonClearsFields(std::string_view userText) {
  std::string user = Trim(userText);
  return user.empty() || EqualsNoCase1252(user, kAnonymousName);
}

LoginOutcome Login(Context& ctx, LoginState& state, std::string_view userText,
                   std::string_view passwordText) {
  LoginOutcome outcome;
  outcome.userField = Trim(userText);
  const std::string& user = outcome.userField;
  if (!CheckLogin(ctx, LowerCase1252(user), LowerCase1252(passwordText), "U")) return outcome;
  outcome.accepted = true;

  // An empty user with a typed password passes as the anonymous account, but nobody is logged
  // in: CurrentUser stays empty and the remembered last user is cleared.
  state.currentUser = DisplayName(user, passwordText);
  WriteLastUser(ctx, state.currentUser);

  state.settingsFolder = ChooseSettingsFolder(ctx, state.currentUser);
  if (ctx.lookup) ctx.lookup->RefreshLanguages();
  ReadSettings(ctx, state.settingsFolder, kMasterIni);

  outcome.showPractice = !state.currentUser.empty();
  return outcome;
}

std::string ChooseSettingsFolder(const Context& ctx, std::string_view user) {
  if (user.empty()) return ctx.folders.settingsDir;
  std::string userFolder = ctx.folders.UserFolder(user);
  if (UserProfileEnabled(userFolder + kMasterIni)) return userFolder;
  return ctx.folders.settingsDir;
}

SetupAccess CheckSetupAccess(Context& ctx, std::string_view userText,
                             std::string_view passwordText, bool wizard) {
  SetupAccess access;
  access.granted = CheckLogin(ctx, LowerCase1252(userText), LowerCase1252(passwordText), "G");
  if (!access.granted) {
    access.userField = std::string(userText);
    access.passwordField = std::string(passwordText);
    return access;
  }
  // The wizard shows the display name of the emptied user field.
  if (wizard) access.userField = DisplayName("", "");
  return access;
}

std::string HelpPagePath(const DataFolders& folders, HelpPage page) {
  std::string root = folders.programDataRoot;
  while (!root.empty() && root.back() == '/') root.pop_back();
  std::string docs = GetFolderPart(root) + "doc/quillomark/";
  switch (page) {
    case HelpPage::kReport:
      return docs + "report.html";
    case HelpPage::kGerman:
      return docs + "hilfe.html";
    case HelpPage::kFrench:
      return docs + "aide.html";
  }
  return docs;
}

}  // namespace quillo
