// The optional diagnostic log: lines are collected while the switch is on and saved at exit as
// one file in the log folder; also the naming of the practice window's screenshots.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shell/conventions.h"

namespace quillo {

class TraceLog {
 public:
  // True when the first command-line argument switches the trace on ("TLog", exact case).
  static bool IsSwitchArgument(int argc, const char* const* argv);

  void SwitchOn() { on_ = true; }
  bool TraceOn() const { return on_; }
  // Appends the line while the switch is on.
  void Trace(std::string_view line) {
    if (on_) lines_.emplace_back(line);
  }
  const std::vector<std::string>& Lines() const { return lines_; }

  // When the switch is on, writes every line (CR LF after each) to logDir +
  // "yy-mm-dd_hh-mm-ss.log" and returns that path; otherwise writes nothing and returns "".
  // Throws Error when the file cannot be written.
  std::string SaveTrace(std::string_view logDir, const DateTime& now) const;

 private:
  bool on_ = false;
  std::vector<std::string> lines_;
};

// The name of a screenshot of the practice screen: logDir + "ScreenLog/" + "yy-mm-dd" + "_" +
// "hh-mm-ss" + "-" + note + ".Jpg", the note cut to its first 30 characters. Path separators in
// the note become "_", so the picture always lands in the screenshot folder.
std::string ScreenCaptureFileName(std::string_view logDir, const DateTime& now,
                                  std::string_view note);

}  // namespace quillo
