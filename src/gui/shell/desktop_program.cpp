#include "gui/shell/desktop_program.h"

#include <QApplication>
#include <QScreen>

#include "books/generator.h"
#include "gui/practice/practice_window.h"
#include "gui/shell/login_window.h"
#include "gui/shell/qt_text.h"
#include "shell/data_folders.h"
#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo {

DesktopProgram::DesktopProgram() {
  ctx_.msgBox = &msgBox_;
  ctx_.status = &status_;
  ctx_.busy = &busy_;
  ctx_.clock = &clock_;
  ctx_.random = &random_;
  ctx_.settings = &settings_;
  ctx_.login = &loginState_;
}

DesktopProgram::~DesktopProgram() {
  // Windows go before the services they use.
  progress_.reset();
  compo_.reset();
  login_.reset();
  ctx_.lookup = nullptr;
  lookup_.reset();
}

bool DesktopProgram::StartUp(const Options& options) {
  try {
    ctx_.folders = DataFoldersFromSystem();
  } catch (const Error& e) {
    // Without its folders the program cannot run: say so and end.
    msgBox_.ShowMsgBox("Quillomark", e.what(), "", kNoPicture, kPicOk, kNoPicture, kIconWarning);
    return false;
  }
  try {
    CreateStartupFolders(ctx_.folders);
    lookup_ = std::make_unique<TextLookup>(ctx_.folders.languageDir);
    ctx_.lookup = lookup_.get();
    CreateWindows(options);
  } catch (const Error& e) {
    msgBox_.ShowMsgBox("Quillomark", e.what(), "", kNoPicture, kPicOk, kNoPicture, kIconWarning);
    return false;
  }
  return true;
}

void DesktopProgram::CreateWindows(const Options& options) {
  // 1. The login window: 800 x 600 at least, centred in the work area, with the version.
  login_ = std::make_unique<TFoStartUp>(ctx_, loginState_);
  login_->setMinimumSize(800, 600);
  login_->resize(800, 600);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    login_->move(area.center() - login_->rect().center());
  }
  login_->SetVersionText(ToQt(ProgramVersion(options.programFile)));
  msgBox_.SetMainWindow(login_.get());

  // 5. The settings start-up (the set-up window's creation): the trace switch, the opening
  // stamp, "Startup.ini" and the global "Master.ini" seeded from the factory copy.
  if (options.traceSwitch) ctx_.trace.SwitchOn();
  SettingsStartUp(ctx_);

  // 8. The practice window, with its exit dialog (13) and its sentence player (15); its status
  // panel shows the status line. Sheets are made anew from their jobs as they open (when the
  // settings ask for it); the Configurator, the follow-up and explore windows and the
  // evaluation of progressive sheets join its hooks once they exist.
  compo_ = std::make_unique<TfoCompo>(ctx_);
  status_.SetPanel(compo_->StatusPanel());
  PracticeWindowHooks practiceHooks;
  practiceHooks.regenerate = [this](const std::string& sheetPath) {
    try {
      return RegenerateFromJob(ctx_, sheetPath, loginState_.currentUser).written;
    } catch (const std::exception& e) {
      // The old sheet opens as it is; the reason is on the status line.
      status_.StatusMessage(e.what(), true);
      return false;
    }
  };
  compo_->SetHooks(std::move(practiceHooks));

  // 12. The progress window.
  progress_ = std::make_unique<TProgressForm>();
  ctx_.progress = progress_.get();

  LoginWindowHooks hooks;
  hooks.showPractice = [this](const QRect& geometry) {
    compo_->ShowModal(geometry);
    // The login window returns where the practice window was.
    login_->move(compo_->pos());
  };
  hooks.onExit = [] { QCoreApplication::quit(); };
  login_->SetHooks(std::move(hooks));
}

void DesktopProgram::Show() {
  if (login_) login_->show();
}

}  // namespace quillo
