#include "setup/accounts.h"

#include <unistd.h>

#include "engine/text_toolkit.h"
#include "language/text_lookup.h"
#include "shell/ini_file.h"
#include "setup/password_hash.h"
#include "setup/settings_store.h"
#include "shell/codec.h"
#include "shell/context.h"
#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo {
namespace {

// Default of a missing [Pers] entry: a stored value equal to it counts as a missing account.
constexpr const char* kMissingMarker = "\x01";
// Stands for an empty password typed for an account that has a password while there is no
// master password, so that it matches neither the stored value nor the empty master password.
constexpr const char* kEmptyPlaceholder = "\x02";
// Password of the anonymous account; never compared.
constexpr const char* kAnonymousPassword = "47";
constexpr const char* kAnonymousKey = "anonymous";
constexpr const char* kTitle = "Username";

bool RealRemoveFolder(const std::string& folder) {
  std::string sys = SystemPath(folder);
  while (sys.size() > 1 && sys.back() == '/') sys.pop_back();
  return ::rmdir(sys.c_str()) == 0;
}

internal::RemoveFolderFn gRemoveFolder = &RealRemoveFolder;

std::string AccountFile(const Context& ctx, std::string_view user) {
  return ctx.folders.UserFolder(user) + kAccountIni;
}

// The last component of a folder path ending with "/".
std::string FolderNameOf(std::string_view folder) {
  std::string f(folder);
  while (!f.empty() && f.back() == '/') f.pop_back();
  return FileNameOf(f);
}

std::string GlobalFile(const Context& ctx) { return ctx.folders.settingsDir + kGlobalAccountIni; }

// Replaces a value stored in clear by its hash; a failure leaves the old value.
void UpgradeStored(const std::string& path, const char* section, std::string_view key,
                   std::string_view stored, std::string_view typed) {
  if (stored.empty() || IsPasswordHash(stored)) return;
  try {
    IniWriteString(path, section, key, HashPassword(typed));
  } catch (const Error&) {
  }
}

}  // namespace

namespace internal {
void SetRemoveFolderForTest(RemoveFolderFn fn) { gRemoveFolder = fn ? fn : &RealRemoveFolder; }
}  // namespace internal

bool IsValidAccountName(std::string_view name) {
  if (name.empty() || name.size() > 100 || name == "." || name == "..") return false;
  if (name.front() == '[' || name.front() == ';') return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < ' ' || c == 0x7F || c == '/' || c == '\\' || c == '=') {
      return false;
    }
  }
  return true;
}

std::string AccountFolderName(std::string_view user) {
  std::string name = LowerCase1252(user);
  if (!name.empty()) name[0] = UpperChar1252(name[0]);
  return name;
}

std::vector<std::string> ListAccounts(const Context& ctx) {
  std::vector<std::string> folders, names;
  ListFolder(ctx.folders.usersDir, "*", folders, true, false, false);
  for (const std::string& f : folders) names.push_back(FileNameOf(f));
  return names;
}

std::string DisplayName(std::string_view user, std::string_view password) {
  if (user.empty() && password.empty()) return kAnonymousName;
  return std::string(user);
}

std::string ReadMasterPassword(const Context& ctx) {
  std::string field = ctx.settings ? ctx.settings->MasterPasswordField() : "";
  return IniReadString(GlobalFile(ctx), "Global", "Pass", field);
}

bool CheckLogin(Context& ctx, std::string_view userText, std::string_view passwordText,
                std::string_view mode) {
  std::string user = LowerCase1252(userText);
  std::string password = LowerCase1252(passwordText);
  const bool masterStored = IniFile(GlobalFile(ctx)).ValueExists("Global", "Pass");

  if (mode == "G") {
    std::string master = ReadMasterPassword(ctx);
    if (master.empty()) return true;
    if (user != kTutorName || !PasswordMatches(master, password)) return false;
    if (masterStored) UpgradeStored(GlobalFile(ctx), "Global", "Pass", master, password);
    return true;
  }
  if (mode != "U") return false;

  if (user.empty() || (user == kAnonymousKey && !password.empty())) {
    user = kAnonymousKey;
    password.clear();
  }
  if (!IsValidAccountName(user)) return false;
  if (user == kAnonymousKey && !FolderExists(ctx.folders.UserFolder(user))) {
    CreateAccount(ctx, user, kAnonymousPassword, kAnonymousPassword);
  }
  const std::string accountFile = AccountFile(ctx, user);
  std::string stored = IniReadString(accountFile, "Pers", user, kMissingMarker);
  std::string master = ReadMasterPassword(ctx);
  if (password.empty() && master.empty() && !stored.empty()) password = kEmptyPlaceholder;

  if (stored == kMissingMarker) return false;
  if (user == kAnonymousKey) return true;
  if (PasswordMatches(stored, password)) {
    UpgradeStored(accountFile, "Pers", user, stored, password);
    return true;
  }
  if (PasswordMatches(master, password)) {
    if (masterStored) UpgradeStored(GlobalFile(ctx), "Global", "Pass", master, password);
    return true;
  }
  return false;
}

bool CreateAccount(Context& ctx, std::string_view userText, std::string_view passwordText,
                   std::string_view confirmationText) {
  std::string user = LowerCase1252(Trim(userText));
  std::string password = LowerCase1252(Trim(passwordText));
  std::string confirmation = LowerCase1252(Trim(confirmationText));
  if (user.empty()) return false;
  if (user == kTutorName) user.clear();
  if (user.empty() || password != confirmation || !IsValidAccountName(user)) {
    if (ctx.msgBox) ctx.msgBox->Warn(kTitle, MessageText(ctx, "svL053"));
    return false;
  }
  std::string folder = ctx.folders.UserFolder(AccountFolderName(user));
  EnsureFolder(folder);
  IniFile ini(folder + kAccountIni);
  // An account with an empty password has its entry too: it exists as well.
  if (ini.ReadString("Pers", user, kMissingMarker) != kMissingMarker) {
    std::string text = MessageText(ctx, "svL051");
    if (ctx.msgBox) ctx.msgBox->Warn(kTitle, text);
    ctx.trace.Trace("Info " + text);
    return false;
  }
  ini.WriteString("Pers", user, HashPassword(password));
  ini.Save();
  if (ctx.msgBox) {
    ctx.msgBox->Inform(kTitle, MessageText(ctx, "svL052"), FolderNameOf(folder));
  }
  return true;
}

bool ChangePassword(Context& ctx, std::string_view userText, std::string_view passwordText,
                    std::string_view confirmationText) {
  std::string user = LowerCase1252(Trim(userText));
  std::string password = LowerCase1252(Trim(passwordText));
  std::string confirmation = LowerCase1252(Trim(confirmationText));
  if (user == kTutorName) {
    if (ctx.msgBox) ctx.msgBox->Warn(kTitle, MessageText(ctx, "svL054"));
    return false;
  }
  if (IsValidAccountName(user) && FolderExists(ctx.folders.UserFolder(user)) &&
      password == confirmation) {
    IniWriteString(AccountFile(ctx, user), "Pers", user, HashPassword(password));
    if (ctx.msgBox) ctx.msgBox->Inform(kTitle, MessageText(ctx, "svL055"));
    return true;
  }
  if (ctx.msgBox) ctx.msgBox->Warn(kTitle, MessageText(ctx, "svL053"));
  return false;
}

bool DeleteAccount(Context& ctx, std::string_view name) {
  if (name.empty()) return false;
  if (!ctx.msgBox || !ctx.msgBox->Ask(kTitle, MessageText(ctx, "svL004"), std::string(name))) {
    return false;
  }
  if (!IsValidAccountName(name)) return false;
  std::string folder = ctx.folders.UserFolder(name);
  if (!FolderExists(folder)) return false;

  IniFile ini(folder + kAccountIni);
  if (ini.Existed()) {
    ini.DeleteKey("Pers", name);
    try {
      ini.Save();
    } catch (const Error&) {
    }
  }
  DeleteTree(folder, "*", true);
  gRemoveFolder(folder);
  if (!FolderExists(folder)) {
    ctx.trace.Trace("Info: Del all!");
    return true;
  }
  ctx.msgBox->Warn(kTitle, MessageText(ctx, "svL056"), MessageText(ctx, "svL103"));
  ctx.trace.Trace("Info: File-dir active for delete");
  return false;
}

void SaveMasterPassword(Context& ctx, std::string_view text) {
  std::string typed = Trim(text);
  if (typed == "* Qz") {
    ctx.trace.SwitchOn();
    return;
  }
  IniFile ini(GlobalFile(ctx));
  std::string value;
  if (!typed.empty()) {
    bool unchanged = ini.ValueExists("Global", "Pass") &&
                     typed == ini.ReadString("Global", "Pass", "");
    if (unchanged && IsPasswordHash(typed)) {
      value = typed;
    } else {
      value = HashPassword(LowerCase1252(typed));
    }
  }
  EnsureFolder(ctx.folders.settingsDir);
  ini.WriteString("Global", "Pass", value);
  ini.Save();
  if (ctx.settings) ctx.settings->SetMasterPasswordField(value);
  if (ctx.msgBox) ctx.msgBox->Inform("Password", MessageText(ctx, "svL073"));
}

std::string ReadLastUser(const Context& ctx) {
  return IniReadString(GlobalFile(ctx), "Last User", "sLastUser", "");
}

void WriteLastUser(const Context& ctx, std::string_view name) {
  EnsureFolder(ctx.folders.settingsDir);
  IniWriteString(GlobalFile(ctx), "Last User", "sLastUser", name);
}

}  // namespace quillo
