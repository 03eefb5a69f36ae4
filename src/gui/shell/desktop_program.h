// Everything the desktop program owns for one run: the context with its services (message
// box, status line, wait cursor, progress window, clock, random source, settings, text lookup,
// login state) and the windows, created once in a fixed order and reused until the end.
#pragma once

#include <memory>
#include <string>

#include "gui/shell/desktop_services.h"
#include "gui/shell/message_box.h"
#include "language/text_lookup.h"
#include "setup/login_state.h"
#include "setup/settings_store.h"
#include "shell/context.h"

namespace quillo {

class TFoStartUp;
class TfoCompo;

class DesktopProgram {
 public:
  struct Options {
    // The first command-line argument was "TLog".
    bool traceSwitch = false;
    // The program file, whose version Label1 shows.
    std::string programFile;
  };

  DesktopProgram();
  ~DesktopProgram();
  DesktopProgram(const DesktopProgram&) = delete;
  DesktopProgram& operator=(const DesktopProgram&) = delete;

  // The start-up: data folders from the system, the start-up folders, the text lookup, the
  // windows in their order (the settings start-up at the place of the set-up window). False,
  // after the error was shown, when the program cannot run.
  bool StartUp(const Options& options);
  // Shows the login window.
  void Show();

  Context& Ctx() { return ctx_; }
  QtMessageBox& MessageBoxes() { return msgBox_; }
  // The status line seam; the practice window gives it its status panel (SetPanel).
  WidgetStatusLine& Status() { return status_; }
  TFoStartUp* LoginWindow() const { return login_.get(); }
  TfoCompo* PracticeWindow() const { return compo_.get(); }

 private:
  void CreateWindows(const Options& options);

  // Services first: the windows use them until they are gone.
  Context ctx_;
  QtMessageBox msgBox_;
  WidgetStatusLine status_;
  WaitCursor busy_;
  SystemClock clock_;
  StdRandomSource random_;
  SettingsStore settings_;
  std::unique_ptr<TextLookup> lookup_;
  LoginState loginState_;

  // The windows in their creation order.
  std::unique_ptr<TFoStartUp> login_;  // 1 login window, the main window
  //  2 trace window TForm13: the trace lines live in ctx_.trace
  //  3 question-count dialog TfoChQstAskNo
  //  4 follow-up browser TfoRechNameFileQst
  //  5 set-up window TForm5 (its creation runs the settings start-up, done here for now)
  //  6 merge dialog TfoMergeQst
  //  7 Configurator TfoConftor
  std::unique_ptr<TfoCompo> compo_;  // 8 practice window
  //  9 query dialog TfoSaveJob
  // 10 generate dialog TfoSaveQst
  // 11 explore window TfoRechQst
  std::unique_ptr<TProgressForm> progress_;  // 12 progress window
  // 13 exit dialog TForm6: made with the practice window, which owns it
  // 14 value picker TForm1
  // 15 sentence player TFoPlaySentence: made with the practice window, which owns it
  // 16 on-screen keyboard TfoKeybVr
  // 17 set-up wizard TFoWizard
};

}  // namespace quillo
