#include "setup/profiles.h"

#include "engine/text_toolkit.h"
#include "language/text_lookup.h"
#include "shell/ini_file.h"
#include "setup/settings_store.h"
#include "shell/codec.h"
#include "shell/context.h"
#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo {
namespace {

// A profile name stays a plain file name inside its folder.
bool IsSafeFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < ' ' || c == '/' || c == '\\') return false;
  }
  return true;
}

std::string LastComponent(std::string_view folder) {
  std::string f(folder);
  while (!f.empty() && f.back() == '/') f.pop_back();
  return FileNameOf(f);
}

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && EqualsNoCase1252(text.substr(text.size() - tail.size()), tail);
}

std::string UpToFirstDot(std::string_view name) {
  return std::string(name.substr(0, name.find('.')));
}

}  // namespace

// --- User profile ------------------------------------------------------------------------

bool LoadAccountSettings(Context& ctx, std::string_view account) {
  bool own = ReadSettings(ctx, ctx.folders.UserFolder(account), kMasterIni);
  SettingsStore& store = *ctx.settings;
  if (!store.GetBool("Cb_ApplyProfUs")) store.SetBool("Cb_DisabProfUs", true);
  return own;
}

bool SaveUserProfile(Context& ctx, std::string_view account) {
  if (account.empty()) return false;
  std::string folder = ctx.folders.UserFolder(account);
  if (!FolderExists(folder)) return false;
  WriteSettings(ctx, folder, kMasterIni);
  if (ctx.msgBox) {
    ctx.msgBox->Inform("User profile",
                       MessageText(ctx, "svL059", "Profile:") + " " + std::string(account),
                       MessageText(ctx, "svL058"));
  }
  return true;
}

bool DeleteUserProfile(Context& ctx, std::string_view account) {
  if (account.empty() || !ctx.msgBox) return false;
  if (!ctx.msgBox->Ask("User profile", MessageText(ctx, "svL004"), std::string(account))) {
    return false;
  }
  std::string folder = ctx.folders.UserFolder(account);
  if (!FolderExists(folder)) return false;
  bool deleted = RemoveFile(folder + kMasterIni);
  ctx.trace.Trace("Info: User profile delete!");
  return deleted;
}

std::vector<AccountBook> ListAccountBooks(
    const Context& ctx, std::string_view account,
    const std::function<std::string(const std::string&)>& readTitle) {
  std::vector<AccountBook> books;
  std::vector<std::string> folders;
  ListFolder(ctx.folders.UserFolder(account) + "Qst/", "*", folders, true, false, false);
  for (const std::string& path : folders) {
    std::string folder = FileNameOf(path);
    std::string title = readTitle ? readTitle(ctx.folders.booksDir + folder + ".IDX") : "";
    books.push_back({title.empty() ? folder : title, folder});
  }
  return books;
}

// --- Practice profiles -------------------------------------------------------------------

std::vector<PracticeProfile> ListPracticeProfiles(const Context& ctx, std::string_view account,
                                                  std::string_view bookFolder) {
  std::vector<PracticeProfile> entries;
  if (account.empty() || !IsSafeFileName(bookFolder)) return entries;
  std::vector<std::string> files;
  ListFolder(ctx.folders.UserFolder(account) + "Qst/" + std::string(bookFolder) + "/", "*.SQF",
             files, true, true, true);
  for (const std::string& file : files) entries.push_back({BaseName(file), GetFolderPart(file)});
  return entries;
}

void LoadPracticeProfile(Context& ctx, const PracticeProfile& entry) {
  ReadSettings(ctx, entry.folder, entry.name + ".SQF");
}

void SavePracticeProfile(Context& ctx, const PracticeProfile& entry) {
  WriteSettings(ctx, entry.folder, entry.name + ".SQF");
  if (ctx.msgBox) ctx.msgBox->Inform("Practices Profile", MessageText(ctx, "svL057"));
}

bool DeletePracticeProfile(Context& ctx, const PracticeProfile& entry) {
  if (!ctx.msgBox || !ctx.msgBox->Ask("Practices profile", MessageText(ctx, "svL004"), entry.name)) {
    return false;
  }
  RemoveFile(WithSlash(entry.folder) + entry.name + ".SQF");
  return true;
}

// --- Global profiles ---------------------------------------------------------------------

std::vector<std::string> ListGlobalProfiles(const Context& ctx) {
  std::vector<std::string> files, names;
  ListFolder(ctx.folders.settingsDir, "*.INI", files, true, true, false);
  for (const std::string& file : files) {
    std::string name = BaseName(file);
    if (name == "Master") continue;
    if (IniFile(file).SectionExists("CompQst")) names.push_back(name);
  }
  return names;
}

bool LoadGlobalProfile(Context& ctx, std::string_view name) {
  std::string trimmed = Trim(name);
  if (!IsSafeFileName(trimmed)) return false;
  ReadSettings(ctx, ctx.folders.settingsDir, trimmed + ".INI");
  return true;
}

bool SaveGlobalProfile(Context& ctx, std::string_view name) {
  if (static_cast<int>(ListGlobalProfiles(ctx).size()) >= kMaxGlobalProfiles) {
    if (ctx.msgBox) {
      ctx.msgBox->Warn("Profile", MessageText(ctx, "svL104"), MessageText(ctx, "svL060"));
    }
    return false;
  }
  std::string trimmed = Trim(name);
  if (trimmed.empty()) return false;
  if (!IsSafeFileName(trimmed)) {
    if (ctx.msgBox) {
      ctx.msgBox->Warn("Global profile", MessageText(ctx, "svL054"), MessageText(ctx, "svL060"));
    }
    return false;
  }
  if (!FolderExists(ctx.folders.settingsDir)) {
    EnsureFolder(ctx.folders.settingsDir);
    return false;
  }
  WriteSettings(ctx, ctx.folders.settingsDir, trimmed + ".INI");
  if (ctx.msgBox) ctx.msgBox->Inform("Global profile", MessageText(ctx, "svL057"), trimmed);
  return true;
}

bool DeleteGlobalProfile(Context& ctx, std::string_view name) {
  if (name.empty() || !ctx.msgBox) return false;
  if (!ctx.msgBox->Ask("Global profile", MessageText(ctx, "svL004"), std::string(name))) {
    return false;
  }
  std::string trimmed = Trim(name);
  if (!IsSafeFileName(trimmed)) return false;
  if (!RemoveFile(ctx.folders.settingsDir + trimmed + ".INI")) return false;
  ctx.trace.Trace("Info: " + trimmed + " delete!");
  return true;
}

// --- Profile label -----------------------------------------------------------------------

std::string ProfileName(std::string_view folder, std::string_view fileName,
                        std::string_view selectedAccount) {
  if (EndsWithNoCase(fileName, "INI")) {
    if (!selectedAccount.empty() && EqualsNoCase1252(LastComponent(folder), selectedAccount)) {
      return std::string(selectedAccount);
    }
    std::string name = UpToFirstDot(fileName);
    return EqualsNoCase1252(name, "MASTER") ? "default" : name;
  }
  return UpToFirstDot(fileName);
}

std::string ProfileLabel(const Context& ctx, std::string_view selectedAccount) {
  std::string name;
  if (ctx.settings) {
    name = ProfileName(ctx.settings->ProfileFolder(), ctx.settings->ProfileFile(), selectedAccount);
  }
  return MessageText(ctx, "svL059") + " " + name;
}

}  // namespace quillo
