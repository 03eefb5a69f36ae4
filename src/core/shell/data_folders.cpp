#include "shell/data_folders.h"

#include <vector>

#include "shell/codec.h"
#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo {

std::string DataFolders::UserFolder(std::string_view userName) const {
  std::string name(userName);
  std::vector<std::string> folders;
  ListFolder(usersDir, "*", folders, true, false, false);
  for (const std::string& folder : folders) {
    std::string existing = FileNameOf(folder);
    if (EqualsNoCase1252(existing, name)) return usersDir + existing + "/";
  }
  return usersDir + name + "/";
}

DataFolders MakeDataFolders(std::string_view appDataFolder, std::string_view programFilesFolder) {
  DataFolders f;
  f.userDataRoot = WithSlash(appDataFolder) + "Tremsol/";
  f.usersDir = f.userDataRoot + "Users/";
  f.settingsDir = f.userDataRoot + "SetG/";
  f.sharedDir = f.userDataRoot + "ShQst/";
  f.logDir = f.userDataRoot + "Log/";
  f.tempDir = f.userDataRoot + "Temp/";
  f.programDataRoot = WithSlash(programFilesFolder) + "Tremsol/";
  f.programSettingsDir = f.programDataRoot + "SetG/";
  f.saveDir = f.programDataRoot + "save/";
  f.mediaDir = f.programDataRoot + "IBL/";
  f.booksDir = f.programDataRoot + "Bib/";
  f.languageDir = f.programDataRoot + "SetG/";
  return f;
}

DataFolders DataFoldersFromSystem() {
  std::string programFiles = SpecialFolder(1);
  std::string appData = SpecialFolder(2);
  if (programFiles.empty() || appData.empty()) {
    throw Error("Error 8675: Windows path not existe..");
  }
  return MakeDataFolders(appData, programFiles);
}

void CreateStartupFolders(const DataFolders& folders) {
  EnsureFolder(folders.settingsDir);
  EnsureFolder(folders.usersDir);
  EnsureFolder(folders.sharedDir);
  EnsureFolder(folders.logDir);
  EnsureFolder(folders.logDir + "ScreenLog/");
}

}  // namespace quillo
