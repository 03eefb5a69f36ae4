// Temporary folders and a ready context for tests: each test gets its own data tree, so tests
// run in parallel without touching the user's real folders.
#pragma once

#include <string>

#include "shell/context.h"
#include "shell/seams.h"

namespace quillo::test {

// A fresh folder under the system temp folder, removed with everything inside at destruction.
// Path() ends with "/".
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  // Writes a file (Windows-1252 bytes) below the folder, creating parent folders.
  std::string Write(const std::string& relative, const std::string& content) const;
  // Reads a file below the folder; "" when missing.
  std::string Read(const std::string& relative) const;

 private:
  std::string path_;
};

// A context over a temporary data tree ("<tmp>/appdata" and "<tmp>/program"), with a scripted
// message box, a fixed clock and a seeded random source. The start-up folders exist.
class TestContext {
 public:
  TestContext();
  Context ctx;
  ScriptedMessageBox msgBox;
  NullStatusLine status;
  NullBusyIndicator busy;
  NullProgressWorker progress;
  FixedClock clock;
  StdRandomSource random;
  TempDir dir;
};

}  // namespace quillo::test
