// Commands of the application shell: the data folders and the program version.
#include <iostream>

#include "cli.h"
#include "quillo_version.h"
#include "shell/data_folders.h"
#include "shell/instance_guard.h"

namespace quillo::cli {
namespace {

int RunFolders(const Args& args) {
  Args rest = args;
  // Like the program's start-up, the command takes the instance lock first and ends silently
  // when another instance holds it.
  std::unique_ptr<InstanceGuard> guard = InstanceGuard::TryAcquire();
  if (!guard) return 0;
  DataFolders f = DataFoldersFromSystem();
  CreateStartupFolders(f);
  const std::pair<const char*, const std::string*> rows[] = {
      {"UserDataRoot", &f.userDataRoot},       {"UsersDir", &f.usersDir},
      {"SettingsDir", &f.settingsDir},         {"SharedDir", &f.sharedDir},
      {"LogDir", &f.logDir},                   {"TempDir", &f.tempDir},
      {"ProgramDataRoot", &f.programDataRoot}, {"ProgramSettingsDir", &f.programSettingsDir},
      {"SaveDir", &f.saveDir},                 {"MediaDir", &f.mediaDir},
      {"BooksDir", &f.booksDir},               {"LanguageDir", &f.languageDir},
  };
  for (const auto& [name, path] : rows) std::cout << name << "=" << Out(*path) << "\n";
  if (TakeFlag(rest, "--hold")) {
    // Keeps the lock until standard input ends (used to test the guard from a script).
    std::string line;
    while (std::getline(std::cin, line)) {
    }
  }
  return 0;
}

int RunVersion(const Args&) {
  std::cout << "Quillomark " << QUILLO_VERSION_TEXT << "\n";
  return 0;
}

Registrar folders{{"folders", "folders [--hold]",
                   "Prints every data folder, creating the folders the program needs at start-up\n      (silent while another instance runs; --hold keeps the lock until stdin ends).",
                   RunFolders}};
Registrar version{{"version", "version", "Prints the program version.", RunVersion}};

}  // namespace
}  // namespace quillo::cli
