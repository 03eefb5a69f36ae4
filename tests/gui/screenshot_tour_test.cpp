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
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>

#include "core/practice/session_test_util.h"
#include "gui/practice/hint_box.h"
#include "gui/practice/letter_keyboard.h"
#include "gui/practice/practice_window.h"
#include "gui/practice/sentence_player.h"
#include "gui/practice/sheet_view.h"
#include "gui/shell/desktop_program.h"
#include "gui/shell/login_window.h"
#include "gui_test_support.h"
#include "setup/accounts.h"
#include "shell/ini_file.h"

namespace quillo {
namespace {

// The follow-up window's choice to resume the result of that name.
FollowUpChoice ResumeChoice(const std::string& name) {
  FollowUpChoice choice;
  choice.code = kFollowUpResume;
  choice.resultName = name;
  return choice;
}


using Lines = std::vector<std::string>;

// An environment variable set for one test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

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

// Runs action on the next modal window of that object name that shows within about five
// seconds. (The program reuses its message box, so windows are told apart by name.)
void OnModal(const QString& name, std::function<void(QWidget* modal)> action) {
  auto* watch = new QTimer(qApp);
  auto ticks = std::make_shared<int>(0);
  QObject::connect(watch, &QTimer::timeout, [watch, ticks, name, action] {
    QWidget* box = QApplication::activeModalWidget();
    if (box && box->objectName() == name && box->isVisible()) {
      watch->stop();
      watch->deleteLater();
      action(box);
    } else if (++*ticks > 250) {
      watch->stop();
      watch->deleteLater();
    }
  });
  watch->start(20);
}

void OnMessageBox(std::function<void(QWidget* box)> action) {
  OnModal("TFoMsgBox", std::move(action));
}

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

// Generates a sheet of a sample book for the user with the command-line program, as a teacher
// would before the Configurator exists; it becomes the user's last sheet.
void Generate(const std::string& appData, const std::string& book, const QStringList& titles,
              const std::string& sheet) {
  QProcess cli;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_DATA_HOME", QString::fromStdString(appData));
  cli.setProcessEnvironment(env);
  QStringList args = {
      "generate", QString::fromStdString(std::string(QUILLO_STAGE_DIR) + "/Bib/" + book + ".IDX")};
  for (const QString& title : titles) args << "--title" << title;
  args << "-o" << QString::fromStdString(sheet) << "--seed"
       << "11"
       << "--user"
       << "Anonymous";
  cli.start(QUILLO_CLI, args);
  ASSERT_TRUE(cli.waitForFinished(20000));
  ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
}

TEST(ScreenshotTour, FromTheLoginToTheResultFoundAgain) {
  const QString folder = qEnvironmentVariable("QUILLO_SCREENSHOT_DIR");
  if (folder.isEmpty()) GTEST_SKIP() << "QUILLO_SCREENSHOT_DIR is not set";
  test::TempDir dir;
  const std::string appData = dir.Path() + "appdata";
  const std::string stage = QUILLO_STAGE_DIR;
  const ScopedEnv data("XDG_DATA_HOME", appData);
  const ScopedEnv programFiles("QUILLOMARK_PROGRAM_FILES", stage.substr(0, stage.rfind('/')));
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
  auto start = [&](const std::string& book, const QStringList& titles, const std::string& name) {
    const std::string sheet = ctx.folders.UserFolder("Anonymous") + "Qst/" + book + "/" + name;
    Generate(appData, book, titles, sheet);
    // The command line writes no job: the box says that no new questions can be made.
    OnMessageBox([&tour, book](QWidget* box) {
      if (book == "Arithmetic") tour.Shot("03a-no-job-for-new-questions");
      test::ClickChild(box, "BtOk");
    });
    compo->findChild<QAbstractButton*>("BtCa_QstStart")->click();
    EXPECT_TRUE(compo->SheetOpen()) << name;
  };
  auto leave = [&](const QString& shot) {
    OnModal("TForm6", [&, shot](QWidget* modal) {
      if (!shot.isEmpty()) tour.Shot(shot);
      test::ClickChild(modal, "BtOk");
    });
    compo->LeaveSheet();
  };
  auto rightClickAtCaret = [&](EditQR* view) {
    // Inside the field's two spaces, right of the caret.
    QTest::mouseClick(view->viewport(), Qt::RightButton, {},
                      view->cursorRect().center() + QPoint(5, 0));
  };

  OnMessageBox([](QWidget* box) { test::ClickChild(box, "BtOk"); });  // "User created !"
  {
    OnModal("TfoCompo", [&](QWidget*) {
      tour.Shot("02-menu");
      EditQR* view = compo->SheetView();
      const PracticeEditor& editor = compo->Session().Editor();
      auto expected = [&](int k) {
        return QString::fromStdString(
            editor.ExpectedAnswers()[static_cast<std::size_t>(k)].Expected);
      };

      start("Arithmetic", {"1.1.2:6", "1.2.2:5"}, "Sums.QST");
      tour.Shot("03-arithmetic");
      Keys(view, expected(0) + "\n");
      Keys(view, expected(1) + "1\n");  // wrong: red, and the caret stays
      tour.Shot("04-wrong-answer");
      QTest::keyClick(view, Qt::Key_Backspace);
      Keys(view, "\n" + expected(2) + "\n" + expected(3) + "\n");
      tour.Shot("05-answers-checked");
      leave("06-exit-dialog");

      start("Fractions", {"5.1:4", "1.2:4"}, "Drawn.QST");
      Keys(view, expected(0) + "\n" + expected(1) + "\n");
      tour.Shot("07-fractions-with-pictures");
      leave("");

      start("Vocabulary", {"1.1:6", "1.2:4"}, "Animals.QST");
      Keys(view, expected(0) + "\n");
      rightClickAtCaret(view);
      EXPECT_TRUE(view->WordHint()->isVisible());
      tour.Shot("08-vocabulary-with-hint");
      view->WordHint()->close();
      compo->findChild<QAbstractButton*>("BtHi_QstNavKeyBoard")->click();
      tour.Shot("09-letter-keyboard");
      view->Keyboard()->close();
      leave("");

      start("Sentences", {"1.1", "1.2"}, "AboutMe.QST");
      QTest::keyClick(view, Qt::Key_Down);
      tour.Shot("10-sentences-with-play-button");
      OnModal("TFoPlaySentence", [&](QWidget* player) {
        tour.Shot("11-sentence-player");
        test::ClickChild(player, "SpPlayEyes");
        // Without a sound device the player says so in a message box.
        OnMessageBox([&tour](QWidget* box) {
          tour.Shot("12b-no-sound-device");
          test::ClickChild(box, "BtOk");
        });
        test::ClickChild(player, "SpPlaySent");
        QTest::qWait(400);
        tour.Shot("12-sentence-playing");
        for (int i = 0; i < 60 && !compo->SentencePlayer()->View().CloseEnabled(); ++i)
          QTest::qWait(100);
        test::ClickChild(player, "SpPlayClose");
      });
      compo->findChild<QAbstractButton*>("Bt_OnePlay")->click();
      leave("");

      compo->StartFromFollowUp(ResumeChoice("Sums"));
      tour.Shot("13-result-found-again");
      leave("");
      tour.Shot("14-menu-again");
      compo->findChild<QAbstractButton*>("BT_QstQuit")->click();
    });
  }
  QTest::mouseClick(login->findChild<QPushButton*>("BtLogin"), Qt::LeftButton);
  tour.Shot("15-login-again");
}

}  // namespace
}  // namespace quillo
