#include "shell/trace_log.h"

#include <cstring>

#include "shell/file_utils.h"

namespace quillo {

bool TraceLog::IsSwitchArgument(int argc, const char* const* argv) {
  return argc > 1 && argv[1] != nullptr && std::strcmp(argv[1], "TLog") == 0;
}

std::string TraceLog::SaveTrace(std::string_view logDir, const DateTime& now) const {
  if (!on_) return "";
  std::string path = WithSlash(logDir) + FileStampDate(now) + "_" + FileStampTime(now) + ".log";
  WriteFileAtomic(path, JoinLines(lines_));
  return path;
}

std::string ScreenCaptureFileName(std::string_view logDir, const DateTime& now,
                                  std::string_view note) {
  std::string cut(note.substr(0, 30));
  for (char& ch : cut) {
    if (ch == '/' || ch == '\\' || ch == '\0') ch = '_';
  }
  return WithSlash(logDir) + "ScreenLog/" + FileStampDate(now) + "_" + FileStampTime(now) + "-" +
         cut + ".Jpg";
}

}  // namespace quillo
