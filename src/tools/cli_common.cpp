#include <algorithm>
#include <iostream>

#include "cli.h"
#include "shell/codec.h"

namespace quillo::cli {

int ConsoleMessageBox::ShowMsgBox(const std::string& title, const std::string& line1,
                                  const std::string& line2, int cancelPicture, int okPicture,
                                  int thirdPicture, int icon) {
  (void)icon;
  std::cerr << "[" << Out(title) << "] " << Out(line1);
  if (!line2.empty()) std::cerr << " " << Out(line2);
  std::cerr << "\n";
  if (!answers_.empty()) {
    int answer = answers_.front();
    answers_.erase(answers_.begin());
    return answer;
  }
  (void)cancelPicture;
  (void)thirdPicture;
  return okPicture != kNoPicture ? kMsgOk : kMsgCancel;
}

CliRun::CliRun() {
  ctx.folders = DataFoldersFromSystem();
  ctx.msgBox = &msgBox;
  ctx.status = &status;
  ctx.busy = &busy;
  ctx.progress = &progress;
  ctx.clock = &clock;
  ctx.random = &random;
}

std::string In(const std::string& utf8) { return Utf8ToCp1252(utf8); }
std::string Out(const std::string& cp1252) { return Cp1252ToUtf8(cp1252); }

int Fail(const std::string& message) {
  std::cerr << Out(message) << "\n";
  return 1;
}

bool TakeOption(Args& args, const std::string& name, std::string& value) {
  auto it = std::find(args.begin(), args.end(), name);
  if (it == args.end() || it + 1 == args.end()) return false;
  value = *(it + 1);
  args.erase(it, it + 2);
  return true;
}

bool TakeFlag(Args& args, const std::string& name) {
  auto it = std::find(args.begin(), args.end(), name);
  if (it == args.end()) return false;
  args.erase(it);
  return true;
}

}  // namespace quillo::cli
