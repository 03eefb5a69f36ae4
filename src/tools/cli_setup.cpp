// Commands of the settings, accounts and interface language: "settings", "account", "lookup".
#include <iostream>

#include "cli.h"
#include "language/text_lookup.h"
#include "setup/accounts.h"
#include "setup/settings_store.h"
#include "shell/codec.h"
#include "shell/data_folders.h"
#include "shell/file_utils.h"

namespace quillo::cli {
namespace {

// A command-line run with the settings store and the language service in place, the start-up
// folders created and the language list read, as the program has them at login.
struct SetupRun {
  SetupRun() : lookup(run.ctx.folders.languageDir) {
    run.ctx.settings = &store;
    run.ctx.lookup = &lookup;
    CreateStartupFolders(run.ctx.folders);
    lookup.RefreshLanguages();
  }
  // The settings start-up and the login's reading of the global settings.
  void ReadGlobal() {
    SeedGlobalSettings(run.ctx);
    ReadSettings(run.ctx, run.ctx.folders.settingsDir, kMasterIni);
  }
  CliRun run;
  SettingsStore store;
  TextLookup lookup;
};

// Prints a program text with its CR LF line breaks as terminal lines.
void PrintLines(const std::string& cp1252) {
  std::string out = Out(cp1252);
  std::string::size_type pos;
  while ((pos = out.find("\r\n")) != std::string::npos) out.replace(pos, 2, "\n");
  std::cout << out;
  if (out.empty() || out.back() != '\n') std::cout << "\n";
}

// One line of standard input (a password), converted to program text; "" at the end of input.
std::string ReadSecretLine() {
  std::string line;
  if (!std::getline(std::cin, line)) return "";
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return In(line);
}

int RunSettings(const Args& args) {
  if (args.empty()) return Fail("Usage: settings show [FOLDER FILE] | settings reset [FOLDER FILE]");
  const std::string& action = args[0];
  if (args.size() != 1 && args.size() != 3) return Fail("Give both FOLDER and FILE, or neither");
  SetupRun s;
  std::string folder = s.run.ctx.folders.settingsDir;
  std::string file = kMasterIni;
  if (args.size() == 3) {
    folder = WithSlash(In(args[1]));
    file = In(args[2]);
  }
  if (action == "show") {
    SeedGlobalSettings(s.run.ctx);
    if (!ReadSettings(s.run.ctx, folder, file)) {
      std::cerr << Out(folder + file) << " does not exist; read "
                << Out(s.run.ctx.folders.settingsDir + file) << " instead\n";
    }
    // The file's own stamp is shown, not the stamp of this run.
    s.store.SetOpeningStamp(ShortDateText(s.store.LastLoginDate()),
                            LongTimeText(s.store.LastLoginTime()));
    PrintLines(s.store.ToIniText());
    return 0;
  }
  if (action == "reset") {
    ResetDefaults(s.run.ctx);
    WriteSettings(s.run.ctx, folder, file);
    std::cout << "Written " << Out(folder + file) << "\n";
    return 0;
  }
  return Fail("Unknown settings action: " + In(action));
}

int RunAccount(const Args& args) {
  if (args.empty()) return Fail("Usage: account create|passwd|delete|check NAME, account list");
  const std::string& action = args[0];
  SetupRun s;
  Context& ctx = s.run.ctx;
  if (action == "list") {
    if (args.size() != 1) return Fail("Usage: account list");
    for (const std::string& name : ListAccounts(ctx)) std::cout << Out(name) << "\n";
    return 0;
  }
  if (action == "master") {
    if (args.size() != 1) return Fail("Usage: account master");
    s.ReadGlobal();
    SaveMasterPassword(ctx, ReadSecretLine());
    return 0;
  }
  if (args.size() != 2 && !(action == "check" && args.size() == 3 && args[2] == "--setup")) {
    return Fail("Usage: account " + In(action) + " NAME");
  }
  const std::string name = In(args[1]);
  s.ReadGlobal();
  if (action == "create" || action == "passwd") {
    std::string password = ReadSecretLine();
    std::string confirmation = ReadSecretLine();
    bool done = action == "create" ? CreateAccount(ctx, name, password, confirmation)
                                   : ChangePassword(ctx, name, password, confirmation);
    return done ? 0 : 1;
  }
  if (action == "delete") return DeleteAccount(ctx, name) ? 0 : 1;
  if (action == "check") {
    std::string password = ReadSecretLine();
    const char* mode = args.size() == 3 ? "G" : "U";
    bool passed = CheckLogin(ctx, LowerCase1252(name), LowerCase1252(password), mode);
    std::cout << (passed ? "passed" : "failed") << "\n";
    return passed ? 0 : 1;
  }
  return Fail("Unknown account action: " + In(action));
}

int RunLookup(const Args& args) {
  Args rest = args;
  std::string language;
  bool chosen = TakeOption(rest, "--language", language);
  if (rest.size() != 1) return Fail("Usage: lookup KEY [--language NAME]");
  SetupRun s;
  s.ReadGlobal();
  if (chosen) {
    std::string found = s.lookup.FindLanguage(In(language));
    if (found.empty() && !language.empty()) return Fail("Unknown language: " + In(language));
    s.lookup.SetActiveLanguage(found);
  }
  PrintLines(s.lookup.Message(In(rest[0])));
  return 0;
}

Registrar settings{{"settings", "settings show [FOLDER FILE] | settings reset [FOLDER FILE]",
                    "Prints the settings as the program reads them (default: the global "
                    "Master.ini) in the layout\n      of a written settings file, or writes "
                    "the reset values (default: the global Master.ini).",
                    RunSettings}};
Registrar account{{"account",
                   "account create NAME | passwd NAME | delete NAME | check NAME [--setup] | "
                   "master | list",
                   "Manages user accounts; passwords come from standard input, one per line "
                   "(create and passwd:\n      password and confirmation; check: one password, "
                   "exit 0 when accepted, 1 when refused;\n      --setup checks the set-up "
                   "access; master: stores the master password).",
                   RunAccount}};
Registrar lookup{{"lookup", "lookup KEY [--language NAME]",
                  "Prints the message KEY (section STv) in the active language (or NAME).",
                  RunLookup}};

}  // namespace
}  // namespace quillo::cli
