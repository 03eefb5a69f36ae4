// The record of data folders every subsystem uses to find its files, and the folders start-up
// creates. Every path ends with "/".
#pragma once

#include <string>
#include <string_view>

namespace quillo {

struct DataFolders {
  std::string userDataRoot;        // application data + "Tremsol/"
  std::string usersDir;            // one folder per account
  std::string settingsDir;         // "Master.ini", "Startup.ini", "LastgFile.ini", profiles
  std::string sharedDir;           // the shared folder of practice sheets
  std::string logDir;              // trace logs, "ScreenLog/"
  std::string tempDir;             // scratch files
  std::string programDataRoot;     // program files + "Tremsol/"
  std::string programSettingsDir;  // installed settings files
  std::string saveDir;             // factory copies ("_Master.ini")
  std::string mediaDir;            // media libraries
  std::string booksDir;            // books "*.IDX"
  std::string languageDir;         // language files "*.lng"

  // UsersDir + the user's folder name: an existing account folder is found whatever the letter
  // case of the name; otherwise the name as given.
  std::string UserFolder(std::string_view userName) const;
};

// Builds every field from the two roots (application-data and program-files folders, with or
// without trailing "/").
DataFolders MakeDataFolders(std::string_view appDataFolder, std::string_view programFilesFolder);

// Builds the record from the special folders of the system. Throws
// "Error 8675: Windows path not existe.." when either comes back empty.
DataFolders DataFoldersFromSystem();

// Creates SettingsDir, UsersDir, SharedDir, LogDir and LogDir + "ScreenLog/" with all parents.
void CreateStartupFolders(const DataFolders& folders);

}  // namespace quillo
