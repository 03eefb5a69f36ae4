#include "support/temp_dir.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "shell/codec.h"
#include "shell/file_utils.h"

namespace quillo::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quillo-test-XXXXXX").string();
  char* made = ::mkdtemp(pattern.data());
  path_ = std::string(made ? made : pattern.c_str()) + "/";
}

TempDir::~TempDir() {
  std::error_code ec;
  // Write-protected files and folders made by a test must not keep the tree alive.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& relative, const std::string& content) const {
  std::string full = path_ + relative;
  std::filesystem::create_directories(std::filesystem::path(Cp1252ToUtf8(GetFolderPart(full))));
  std::ofstream out(Cp1252ToUtf8(full), std::ios::binary);
  out << content;
  return full;
}

std::string TempDir::Read(const std::string& relative) const {
  std::ifstream in(Cp1252ToUtf8(path_ + relative), std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TestContext::TestContext() {
  ctx.folders = MakeDataFolders(dir.Path() + "appdata", dir.Path() + "program");
  CreateStartupFolders(ctx.folders);
  ctx.msgBox = &msgBox;
  ctx.status = &status;
  ctx.busy = &busy;
  ctx.progress = &progress;
  ctx.clock = &clock;
  ctx.random = &random;
  random.FixSeed(12345);
}

}  // namespace quillo::test
