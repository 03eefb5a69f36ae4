// A walk through the desktop program as a pupil makes it, saving a picture of the screen at each
// step: the login, the menu, sheets of each sample book with answers checked, the exit dialog and
// the result resumed. It runs only when QUILLO_SCREENSHOT_DIR names the folder for the pictures,
// on a real display (xvfb-run with QT_QPA_PLATFORM=xcb):
//   QUILLO_SCREENSHOT_DIR=shots QT_QPA_PLATFORM=xcb xvfb-run -s "-screen 0 1280x860x24"
//     build/bin/gui_tests --gtest_filter='ScreenshotTour.*'
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <cstdlib>

#include "core/practice/session_test_util.h"
#include "gui/practice/practice_window.h"
#include "gui/practice/sheet_view.h"
#include "gui/shell/desktop_program.h"
#include "gui/shell/login_window.h"
#include "gui_test_support.h"
#include "setup/accounts.h"
#include "shell/ini_file.h"

namespace quillo {
namespace {

using Lines = std::vector<std::string>;

class Tour {
 public:
  explicit Tour(QString folder) : folder_(std::move(folder)) { QDir().mkpath(folder_); }

  void Shot(const QString& name) {
    QTest::qWait(250);
    QApplication::processEvents();
    if (QScreen* screen = QGuiApplication::primaryScreen())
      screen->grabWindow(0).save(folder_ + "/" + name + ".png");
  }

 private:
  QString folder_;
};

// Types into the sheet view as the keyboard does.
void Keys(EditQR* view, const QString& text) {
  for (QChar ch : text) {
    if (ch == '\n') {
      QTest::keyClick(view, Qt::Key_Return);
    } else {
      QTest::keyClicks(view, QString(ch));
    }
  }
}

TEST(ScreenshotTour, FromTheLoginToTheResultFoundAgain) {
  const QString folder = qEnvironmentVariable("QUILLO_SCREENSHOT_DIR");
  if (folder.isEmpty()) GTEST_SKIP() << "QUILLO_SCREENSHOT_DIR is not set";
  test::TempDir dir;
  ::setenv("XDG_DATA_HOME", (dir.Path() + "appdata").c_str(), 1);
  const std::string stage = QUILLO_STAGE_DIR;
  ::setenv("QUILLOMARK_PROGRAM_FILES", stage.substr(0, stage.rfind('/')).c_str(), 1);
  Tour tour(folder);

  DesktopProgram program;
  DesktopProgram::Options options;
  options.programFile = QCoreApplication::applicationFilePath().toStdString();
  ASSERT_TRUE(program.StartUp(options));
  program.Show();
  TFoStartUp* login = program.LoginWindow();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(login));
  tour.Shot("01-login");

  TfoCompo* compo = program.PracticeWindow();
  const Context& ctx = program.Ctx();
  auto sheet = [&](const std::string& name, const Lines& questions, const std::string& header) {
    const std::string user = ctx.folders.UserFolder("Anonymous");
    const std::string path = user + "Qst/Book/" + name;
    dir.Write(path.substr(dir.Path().size()), test::SheetText(questions, path, "  ", header));
    IniWriteString(user + kAccountIni, "Last Input", "Nom 2", path);
  };
  auto leave = [&](const QString& shot) {
    test::WhenModal([&, shot](QWidget* modal) {
      if (!shot.isEmpty()) tour.Shot(shot);
      test::ClickChild(modal, "BtOk");
    });
    compo->LeaveSheet();
  };

  test::WhenModal([&](QWidget* box) {
    test::ClickChild(box, "BtOk");  // "User created !"
    test::WhenModal([&](QWidget*) {
      tour.Shot("02-menu");
      EditQR* view = compo->SheetView();

      sheet("Additions.QST",
            {"#ChB$Additions up to 100", "#FoPur_1)$ 23 + 45 = {68}#EndLig$",
             "#FoPur_2)$ 17 + 36 = {53}#EndLig$", "#FoPur_3)$ 58 + 29 = {87}#EndLig$",
             "#FoPur_4)$ 64 + 18 = {82}#EndLig$", "#ChB$Subtractions",
             "#FoPur_5)$ 91 - 47 = {44}#EndLig$", "#FoPur_6)$ 70 - 25 = {45}#EndLig$"},
            test::kPlainHeader);
      compo->findChild<QAbstractButton*>("BtCa_QstStart")->click();
      tour.Shot("03-arithmetic");
      Keys(view, "68\n54\n");
      Keys(view, "53\n87\n");
      tour.Shot("04-answers-checked");
      leave("05-exit-dialog");
      compo->StartFromFollowUp({kFollowUpResume, "Additions", ""});
      tour.Shot("06-result-found-again");
      leave("");
    });
  });
  QTest::mouseClick(login->findChild<QPushButton*>("BtLogin"), Qt::LeftButton);
  tour.Shot("07-login-again");
}

}  // namespace
}  // namespace quillo
