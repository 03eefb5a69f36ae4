// The command registry and shared helpers of quillomark-cli.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "shell/context.h"
#include "shell/seams.h"

namespace quillo::cli {

using Args = std::vector<std::string>;  // arguments after the command word, UTF-8

struct Command {
  std::string name;     // first word, e.g. "folders" or "book"
  std::string usage;    // one or more usage lines
  std::string summary;  // one line
  std::function<int(const Args&)> run;
};

// Registers a command at static initialisation: `static Registrar r{{...}};` in a cli_*.cpp.
struct Registrar {
  explicit Registrar(Command command);
};

const std::vector<Command>& Commands();

// A message box for the terminal: prints the box on standard error and answers OK (or Cancel
// when the box has no OK button); "--answer cancel|ok|third" style scripts may queue answers.
class ConsoleMessageBox : public MessageBox {
 public:
  int ShowMsgBox(const std::string& title, const std::string& line1, const std::string& line2,
                 int cancelPicture, int okPicture, int thirdPicture, int icon) override;
  void QueueAnswer(int answer) { answers_.push_back(answer); }

 private:
  std::vector<int> answers_;
};

// The services of one command-line run, built from the environment like the program's.
struct CliRun {
  CliRun();
  Context ctx;
  ConsoleMessageBox msgBox;
  NullStatusLine status;
  NullBusyIndicator busy;
  NullProgressWorker progress;
  SystemClock clock;
  StdRandomSource random;
};

// Terminal text (UTF-8) <-> program text (Windows-1252).
std::string In(const std::string& utf8);
std::string Out(const std::string& cp1252);

// Reports an error (Windows-1252 text) on standard error and returns exit status 1.
int Fail(const std::string& message);

// Option helpers: finds "--name VALUE" in args, removing both; nothing when absent.
bool TakeOption(Args& args, const std::string& name, std::string& value);
bool TakeFlag(Args& args, const std::string& name);

// "progress continue": the continuation of a progressive practice (cli_followup.cpp).
extern const char* const kProgressContinueUsage;
int RunProgressContinue(const Args& args);

}  // namespace quillo::cli
