// Tests of the desktop program's start-up: the folders and settings files of a first start,
// the login window it shows, the refusal to run without data folders, and a whole round from
// the login to the practice window and back.
#include "gui/shell/desktop_program.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdlib>

#include "core/practice/session_test_util.h"
#include "gui/practice/practice_window.h"
#include "gui/shell/login_window.h"
#include "gui_test_support.h"
#include "quillo_version.h"
#include "setup/accounts.h"
#include "shell/file_utils.h"
#include "shell/ini_file.h"
#include "support/temp_dir.h"

namespace quillo {
namespace {

// Points the program's special folders into a temporary tree for one test.
class Environment {
 public:
  void Set(const char* name, const std::string& value) {
    const char* old = std::getenv(name);
    saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
    ::setenv(name, value.c_str(), 1);
  }
  void Unset(const char* name) {
    const char* old = std::getenv(name);
    saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
    ::unsetenv(name);
  }
  ~Environment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        ::setenv(it->first.c_str(), it->second->c_str(), 1);
      } else {
        ::unsetenv(it->first.c_str());
      }
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

class DesktopProgramTest : public ::testing::Test {
 protected:
  DesktopProgramTest() {
    env.Set("XDG_DATA_HOME", dir.Path() + "appdata");
    // The staged installed data of the build: <build>/share/Tremsol.
    std::string stage = QUILLO_STAGE_DIR;
    env.Set("QUILLOMARK_PROGRAM_FILES", stage.substr(0, stage.rfind('/')));
  }
  DesktopProgram::Options Options(bool trace = false) {
    DesktopProgram::Options options;
    options.traceSwitch = trace;
    options.programFile = QCoreApplication::applicationFilePath().toStdString();
    return options;
  }

  test::TempDir dir;
  Environment env;
};

TEST_F(DesktopProgramTest, FirstStartCreatesTheFoldersAndShowsTheLoginWindow) {
  DesktopProgram program;
  ASSERT_TRUE(program.StartUp(Options()));
  const DataFolders& f = program.Ctx().folders;
  EXPECT_EQ(f.userDataRoot, dir.Path() + "appdata/Tremsol/");
  for (const std::string& folder :
       {f.settingsDir, f.usersDir, f.sharedDir, f.logDir, f.logDir + "ScreenLog/"}) {
    EXPECT_TRUE(FolderExists(folder)) << folder;
  }
  EXPECT_FALSE(FolderExists(f.tempDir));  // nothing else before a login
  std::vector<std::string> users;
  ListFolder(f.usersDir, "*", users, true, true, true);
  EXPECT_TRUE(users.empty());
  // The settings start-up: "Startup.ini" written, "Master.ini" seeded from the factory copy.
  EXPECT_TRUE(FileExists(f.settingsDir + "Startup.ini"));
  std::string seeded, factory;
  ASSERT_TRUE(ReadWholeFile(f.settingsDir + "Master.ini", seeded));
  ASSERT_TRUE(ReadWholeFile(f.saveDir + "_Master.ini", factory));
  EXPECT_EQ(seeded, factory);
  EXPECT_FALSE(program.Ctx().trace.TraceOn());
  ASSERT_NE(program.Ctx().lookup, nullptr);
  ASSERT_NE(program.Ctx().progress, nullptr);

  program.Show();
  TFoStartUp* login = program.LoginWindow();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(login));
  EXPECT_EQ(login->windowTitle(), "Quillomark");
  EXPECT_EQ(login->size(), QSize(800, 600));
  EXPECT_EQ(login->minimumSize(), QSize(800, 600));
  EXPECT_EQ(login->findChild<QLabel*>("Label1")->text(), QUILLO_VERSION_TEXT);
  EXPECT_TRUE(login->UserList().isEmpty());
}

TEST_F(DesktopProgramTest, TraceSwitchAndMissingProgramFile) {
  DesktopProgram program;
  DesktopProgram::Options options = Options(true);
  options.programFile = dir.Path() + "no-such-program";
  ASSERT_TRUE(program.StartUp(options));
  EXPECT_TRUE(program.Ctx().trace.TraceOn());
  EXPECT_EQ(program.LoginWindow()->findChild<QLabel*>("Label1")->text(), "-1");
}

TEST_F(DesktopProgramTest, WithoutAnApplicationDataFolderTheProgramEnds) {
  env.Unset("XDG_DATA_HOME");
  env.Unset("HOME");
  DesktopProgram program;
  QString shown;
  test::WhenModal([&](QWidget* modal) {
    shown = modal->findChild<QLabel*>("LbLine1")->text();
    test::ClickChild(modal, "BtOk");
  });
  EXPECT_FALSE(program.StartUp(Options()));
  EXPECT_TRUE(shown.startsWith("SHGetPathFromIDList failed errror 97412: invalid pidl: 26"))
      << shown.toStdString();
  EXPECT_EQ(program.LoginWindow(), nullptr);
}

TEST_F(DesktopProgramTest, AFolderThatCannotBeCreatedEndsTheProgram) {
  dir.Write("appdata", "a file where the data folder should be");
  DesktopProgram program;
  QString shown;
  test::WhenModal([&](QWidget* modal) {
    shown = modal->findChild<QLabel*>("LbLine1")->text();
    test::ClickChild(modal, "BtOk");
  });
  EXPECT_FALSE(program.StartUp(Options()));
  EXPECT_TRUE(shown.startsWith("Error 987238:")) << shown.toStdString();
  EXPECT_EQ(program.LoginWindow(), nullptr);
}

TEST_F(DesktopProgramTest, ARoundFromLoginToThePracticeWindowAndBack) {
  DesktopProgram program;
  ASSERT_TRUE(program.StartUp(Options()));
  program.Show();
  TFoStartUp* login = program.LoginWindow();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(login));
  QString created, caption;
  // The first anonymous login creates the account and says so, then the practice window opens.
  test::WhenModal([&](QWidget* box) {
    created = box->findChild<QLabel*>("LbLine1")->text();
    test::ClickChild(box, "BtOk");
    test::WhenModal([&](QWidget* modal) {
      EXPECT_EQ(modal, program.PracticeWindow());
      caption = modal->windowTitle();
      test::ClickChild(modal, "BT_QstQuit");
    });
  });
  QTest::mouseClick(login->findChild<QPushButton*>("BtLogin"), Qt::LeftButton);
  EXPECT_EQ(created, "User created !");
  EXPECT_EQ(caption, "Quillomark - Anonymous");
  EXPECT_TRUE(login->isVisible());
  EXPECT_EQ(login->UserText(), "Anonymous");
  EXPECT_EQ(program.Ctx().login->currentUser, "Anonymous");
  EXPECT_EQ(program.Ctx().login->settingsFolder, program.Ctx().folders.settingsDir);
  // The languages were listed and the settings' language made active.
  EXPECT_FALSE(program.Ctx().lookup->Languages().empty());
}

// The practice window as the program shows it: the last sheet of the user opens from the menu
// (after the box about the missing job, since the settings ask for new questions, in the
// language of the settings), its status
// line is the program's, and leaving it writes the result.
TEST_F(DesktopProgramTest, ThePracticeWindowOpensTheLastSheetAndWritesItsResult) {
  DesktopProgram program;
  ASSERT_TRUE(program.StartUp(Options()));
  program.Show();
  TFoStartUp* login = program.LoginWindow();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(login));
  TfoCompo* compo = program.PracticeWindow();
  const Context& ctx = program.Ctx();
  std::string user, box, status, result;
  bool opened = false;
  test::WhenModal([&](QWidget* created) {
    test::ClickChild(created, "BtOk");  // "User created !"
    test::WhenModal([&](QWidget*) {
      user = ctx.folders.UserFolder("Anonymous");
      const std::string sheet = user + "Qst/Book/Sums.QST";
      dir.Write(sheet.substr(dir.Path().size()), test::SheetText({"3 + 4 = {7}"}, sheet));
      IniWriteString(user + kAccountIni, "Last Input", "Nom 2", sheet);
      test::WhenModal([&](QWidget* info) {
        box = info->findChild<QLabel*>("LbLine1")->text().toStdString();
        test::ClickChild(info, "BtOk");
      });
      compo->findChild<QAbstractButton*>("BtCa_QstStart")->click();
      opened = compo->SheetOpen();
      program.Status().StatusMessage("a note", false);
      status = compo->StatusPanel()->text().toStdString();
      test::WhenModal([](QWidget* exit) { test::ClickChild(exit, "BtOk"); });
      compo->LeaveSheet();
      result = user + "Sums.QsR";
      compo->findChild<QAbstractButton*>("BT_QstQuit")->click();
    });
  });
  QTest::mouseClick(login->findChild<QPushButton*>("BtLogin"), Qt::LeftButton);
  EXPECT_EQ(box, "No query has been saved for this practice!");  // English.lng
  EXPECT_TRUE(opened);
  EXPECT_EQ(status, "a note");
  EXPECT_TRUE(FileExists(result));
  EXPECT_TRUE(login->isVisible());
}

}  // namespace
}  // namespace quillo
