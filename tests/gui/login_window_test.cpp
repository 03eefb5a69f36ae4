// Tests of the login window: what it shows each time, the password placeholder, the logins
// (named, refused, anonymous, the empty user with a password), the return from the practice
// window, the set-up access check, the help pages and the exit with the trace.
#include "gui/shell/login_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "gui/practice/practice_window.h"
#include "gui/shell/theme.h"
#include "gui_test_support.h"
#include "language/text_lookup.h"
#include "setup/accounts.h"
#include "setup/password_hash.h"
#include "setup/settings_store.h"
#include "shell/file_utils.h"
#include "support/temp_dir.h"

namespace quillo {

// Catches the pages the window asks the desktop to open.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> urls;
 public slots:
  void Open(const QUrl& url) { urls << url; }
};

namespace {

class LoginWindowTest : public ::testing::Test {
 public:
  LoginWindowTest() : lookup(t.ctx.folders.languageDir), window(t.ctx, state) {
    internal::SetPasswordHashLimits(1, 8192);
    t.ctx.settings = &store;
    t.ctx.lookup = &lookup;
    t.ctx.login = &state;
    LoginWindowHooks hooks;
    hooks.showPractice = [this](const QRect& geometry) {
      ++practiceShown;
      practiceUser = state.currentUser;
      loginHiddenDuringPractice = window.isHidden();
      practiceGeometry = geometry;
    };
    window.SetHooks(hooks);
    window.resize(800, 600);
  }
  ~LoginWindowTest() override { internal::ResetPasswordHashLimits(); }

  void Open() {
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }
  void Reopen() {
    window.hide();
    Open();
  }
  QComboBox* UserBox() { return window.findChild<QComboBox*>("CbUser"); }
  QLineEdit* UserEdit() { return UserBox()->lineEdit(); }
  bool UserFieldHasFocus() {
    QWidget* focus = QApplication::focusWidget();
    return focus && (focus == UserBox() || focus == UserEdit());
  }
  QLineEdit* Password() { return window.findChild<QLineEdit*>("EdPassword"); }
  void Type(const QString& user, const QString& password) {
    UserEdit()->setText(user);
    window.RevealPassword();
    Password()->setText(password);
  }

  test::TestContext t;
  SettingsStore store;
  TextLookup lookup;
  LoginState state;
  TFoStartUp window;
  int practiceShown = 0;
  std::string practiceUser;
  bool loginHiddenDuringPractice = false;
  QRect practiceGeometry;
};

TEST_F(LoginWindowTest, EachShowingPreparesTheFields) {
  ASSERT_TRUE(CreateAccount(t.ctx, "paul", "", ""));
  ASSERT_TRUE(CreateAccount(t.ctx, "marie", "", ""));
  WriteLastUser(t.ctx, "Paul");
  Open();
  EXPECT_EQ(window.windowTitle(), "Quillomark");
  EXPECT_EQ(window.UserList(), QStringList({"Marie", "Paul"}));
  EXPECT_EQ(window.UserText(), "Paul");
  EXPECT_EQ(window.PasswordText(), "");
  EXPECT_TRUE(window.PasswordPlaceholderShown());
  EXPECT_EQ(window.FrameColour(), kOliveFrame);
  EXPECT_TRUE(UserFieldHasFocus());
  EXPECT_FALSE(window.windowFlags() & Qt::WindowCloseButtonHint);

  // Shown again after a refused login: everything is prepared anew.
  Type("paul", "wrong");
  QTest::keyClick(Password(), Qt::Key_Return);
  ASSERT_EQ(window.FrameColour(), kRedFrame);
  WriteLastUser(t.ctx, "Marie");
  Reopen();
  EXPECT_TRUE(UserFieldHasFocus());
  EXPECT_EQ(window.UserText(), "Marie");
  EXPECT_EQ(window.PasswordText(), "");
  EXPECT_TRUE(window.PasswordPlaceholderShown());
  EXPECT_EQ(window.FrameColour(), kOliveFrame);
}

TEST_F(LoginWindowTest, PlaceholderGivesWayToThePasswordField) {
  const struct {
    const char* how;
    std::function<void(LoginWindowTest&)> act;
  } ways[] = {
      {"click on the placeholder",
       [](LoginWindowTest& f) {
         QTest::mouseClick(f.window.findChild<QLabel*>("LbPassword"), Qt::LeftButton);
       }},
      {"click on the frame",
       [](LoginWindowTest& f) {
         QTest::mouseClick(f.window.findChild<LoginFrame*>("PnLogin"), Qt::LeftButton, {},
                           QPoint(4, 4));
       }},
      {"Enter in the user field",
       [](LoginWindowTest&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }},
      {"Tab in the user field",
       [](LoginWindowTest&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }},
  };
  Open();
  for (const auto& way : ways) {
    Reopen();
    ASSERT_TRUE(window.PasswordPlaceholderShown()) << way.how;
    ASSERT_TRUE(UserFieldHasFocus()) << way.how;
    way.act(*this);
    EXPECT_FALSE(window.PasswordPlaceholderShown()) << way.how;
    EXPECT_EQ(QApplication::focusWidget(), Password()) << way.how;
    EXPECT_EQ(practiceShown, 0) << way.how;  // Enter in the user field does not log in
  }
}

TEST_F(LoginWindowTest, LoginOpensThePracticeWindowAndReturns) {
  ASSERT_TRUE(CreateAccount(t.ctx, "marie", "secret", "secret"));
  t.msgBox.Clear();
  TfoCompo compo(t.ctx);
  QString shownUser;
  bool hiddenMeanwhile = false;
  QRect compoGeometry;
  LoginWindowHooks hooks;
  hooks.showPractice = [&](const QRect& geometry) {
    test::WhenModal([&](QWidget* modal) {
      EXPECT_EQ(modal, &compo);
      shownUser = compo.BoardTexts().value(0);
      hiddenMeanwhile = window.isHidden();
      compoGeometry = compo.geometry();
      QTest::mouseClick(compo.findChild<QAbstractButton*>("BT_QstQuit"), Qt::LeftButton);
    });
    compo.ShowModal(geometry);
  };
  window.SetHooks(hooks);
  window.move(60, 40);
  Open();
  const QRect loginGeometry = window.geometry();
  Type("  Marie ", "SECRET");
  QTest::keyClick(Password(), Qt::Key_Return);

  EXPECT_EQ(shownUser, "Marie");
  EXPECT_TRUE(hiddenMeanwhile);
  EXPECT_EQ(compoGeometry, loginGeometry);
  EXPECT_FALSE(compo.isVisible());
  EXPECT_TRUE(window.isVisible());  // back, ready for the next user
  EXPECT_EQ(state.currentUser, "Marie");
  EXPECT_EQ(window.UserText(), "Marie");
  EXPECT_EQ(window.PasswordText(), "");
  EXPECT_TRUE(window.PasswordPlaceholderShown());
  EXPECT_EQ(window.FrameColour(), kOliveFrame);
  EXPECT_TRUE(t.msgBox.Shown().empty());
}

TEST_F(LoginWindowTest, RefusedLoginShowsOnlyTheRedFrame) {
  ASSERT_TRUE(CreateAccount(t.ctx, "marie", "secret", "secret"));
  t.msgBox.Clear();
  Open();
  Type(" marie ", "wrong");
  QTest::mouseClick(window.findChild<QPushButton*>("BtLogin"), Qt::LeftButton);
  EXPECT_EQ(window.FrameColour(), kRedFrame);
  EXPECT_EQ(practiceShown, 0);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.UserText(), "marie");  // trimmed
  EXPECT_EQ(window.PasswordText(), "wrong");
  EXPECT_EQ(state.currentUser, "");
  EXPECT_EQ(ReadLastUser(t.ctx), "");
  EXPECT_TRUE(t.msgBox.Shown().empty());
  EXPECT_EQ(window.StatusText(), "");
}

TEST_F(LoginWindowTest, AnonymousLoginCreatesTheAccountAndIsRemembered) {
  const char* users[] = {"", "  ", "anonymous", "ANONYMOUS "};
  Open();
  for (const char* user : users) {
    Type(user, "typed but cleared");
    window.LoginButton();
  }
  EXPECT_EQ(practiceShown, 4);
  EXPECT_EQ(practiceUser, "Anonymous");
  EXPECT_TRUE(loginHiddenDuringPractice);
  EXPECT_EQ(state.currentUser, "Anonymous");
  EXPECT_EQ(ReadLastUser(t.ctx), "Anonymous");
  EXPECT_EQ(ListAccounts(t.ctx), std::vector<std::string>{"Anonymous"});
  EXPECT_EQ(window.UserText(), "Anonymous");  // the remembered user, on showing again
}

TEST_F(LoginWindowTest, EnterWithAnEmptyUserAndAPasswordOpensNothing) {
  ASSERT_TRUE(CreateAccount(t.ctx, "marie", "", ""));
  WriteLastUser(t.ctx, "Marie");
  Open();
  Type("", "abc");
  QTest::keyClick(Password(), Qt::Key_Return);
  EXPECT_EQ(practiceShown, 0);
  EXPECT_EQ(state.currentUser, "");
  EXPECT_EQ(ReadLastUser(t.ctx), "");
  EXPECT_EQ(window.FrameColour(), kOliveFrame);
  EXPECT_TRUE(window.isVisible());
}

TEST_F(LoginWindowTest, SetupAccessCheckFramesAndClearsTheFields) {
  ASSERT_TRUE(CreateAccount(t.ctx, "marie", "secret", "secret"));
  Open();
  auto* setupAction = window.findChild<QAction*>("MnOption");
  auto* wizardAction = window.findChild<QAction*>("MnOptWizard");
  ASSERT_NE(setupAction, nullptr);
  ASSERT_NE(wizardAction, nullptr);

  // No master password: anyone passes.
  Type("marie", "anything");
  setupAction->trigger();
  EXPECT_EQ(window.FrameColour(), kOliveFrame);
  EXPECT_EQ(window.UserText(), "");
  EXPECT_EQ(window.PasswordText(), "");
  EXPECT_FALSE(window.StatusText().isEmpty());  // no set-up window yet: said in the status
  Type("marie", "anything");
  wizardAction->trigger();
  EXPECT_EQ(window.UserText(), "Anonymous");
  EXPECT_EQ(window.PasswordText(), "");

  SaveMasterPassword(t.ctx, "teacher");
  Type("marie", "teacher");
  setupAction->trigger();
  EXPECT_EQ(window.FrameColour(), kRedFrame);
  EXPECT_EQ(window.UserText(), "marie");
  EXPECT_EQ(window.PasswordText(), "teacher");
  Type("Tutor", "Teacher");
  int setupShown = -1;
  LoginWindowHooks hooks;
  hooks.showSetup = [&](bool wizard) { setupShown = wizard; };
  window.SetHooks(hooks);
  setupAction->trigger();
  EXPECT_EQ(window.FrameColour(), kOliveFrame);
  EXPECT_EQ(window.UserText(), "");
  EXPECT_EQ(window.PasswordText(), "");
  EXPECT_EQ(setupShown, 0);
  EXPECT_EQ(practiceShown, 0);
}

TEST_F(LoginWindowTest, HelpEntriesOpenTheInstalledPages) {
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler("file", &catcher, "Open");
  t.dir.Write("program/doc/quillomark/hilfe.html", "<html></html>");
  window.findChild<QAction*>("MnHelpDe")->trigger();
  ASSERT_EQ(catcher.urls.size(), 1);
  EXPECT_EQ(catcher.urls[0].toLocalFile().toStdString(),
            t.dir.Path() + "program/doc/quillomark/hilfe.html");
  // A page that is not installed is reported, not opened.
  window.findChild<QAction*>("MnHelpFr")->trigger();
  EXPECT_EQ(catcher.urls.size(), 1);
  ASSERT_EQ(t.msgBox.Shown().size(), 1u);
  EXPECT_EQ(t.msgBox.Shown()[0].line2, t.dir.Path() + "program/doc/quillomark/aide.html");
  QDesktopServices::unsetUrlHandler("file");
}

TEST_F(LoginWindowTest, ClosingSavesTheTraceWhenItIsOn) {
  int exits = 0;
  LoginWindowHooks hooks;
  hooks.onExit = [&] { ++exits; };
  window.SetHooks(hooks);
  Open();
  t.ctx.trace.Trace("not kept: the trace is off");
  window.Exit();
  EXPECT_EQ(exits, 1);
  EXPECT_FALSE(window.isVisible());
  std::vector<std::string> logs;
  ListFolder(t.ctx.folders.logDir, "*.log", logs, true, true, false);
  EXPECT_TRUE(logs.empty());

  TFoStartUp traced(t.ctx, state);
  traced.SetHooks(hooks);
  t.ctx.trace.SwitchOn();
  t.ctx.trace.Trace("Info: started");
  traced.show();
  traced.close();  // the window's own close is the same as the close button
  EXPECT_EQ(exits, 2);
  EXPECT_EQ(t.dir.Read("appdata/Tremsol/Log/24-03-07_14-05-09.log"), "Info: started\r\n");
}

}  // namespace
}  // namespace quillo

#include "login_window_test.moc"
