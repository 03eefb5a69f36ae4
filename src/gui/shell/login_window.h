// The login window TFoStartUp, the program's main window: the user and password fields with
// their frame, the anonymous login, the options menu with the set-up access and the help
// pages, and the close button that ends the program. The login steps themselves are core
// functions (setup/login_state.h); this window forwards its fields and renders the outcome.
#pragma once

#include <QFrame>
#include <QRect>
#include <QWidget>
#include <functional>

#include "setup/login_state.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;

namespace quillo {

struct Context;

// The windows the login window opens; each call returns when its window has closed.
struct LoginWindowHooks {
  // Shows the practice window modally for the logged-in user (ctx.login), at the login
  // window's geometry.
  std::function<void(const QRect& geometry)> showPractice;
  // Shows the set-up window (wizard false) or the set-up wizard (wizard true) modally; empty
  // while the program has none.
  std::function<void(bool wizard)> showSetup;
  // Runs while the window closes, after the trace was saved: releases what the run holds and
  // ends the program.
  std::function<void()> onExit;
};

// The frame around the user and password fields; a click on it counts as a click on the
// password field.
class LoginFrame : public QFrame {
  Q_OBJECT

 public:
  explicit LoginFrame(QWidget* parent = nullptr);
  void SetColour(const QColor& colour);
  const QColor& Colour() const { return colour_; }

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QColor colour_;
};

class TFoStartUp : public QWidget {
  Q_OBJECT

 public:
  TFoStartUp(Context& ctx, LoginState& state, QWidget* parent = nullptr);

  void SetHooks(LoginWindowHooks hooks) { hooks_ = std::move(hooks); }
  // The program version shown in Label1.
  void SetVersionText(const QString& text);

  // The "Login" button: an empty or "Anonymous" user clears both fields, then the login runs.
  void LoginButton();
  // The login with the fields as they are (Enter in the password field).
  void LoginFromFields();
  // The set-up entries of the options menu.
  void OpenSetup(bool wizard);
  // The help entries of the options menu.
  void OpenHelpPage(HelpPage page);
  // The close button: saves the trace when it is on and ends the program.
  void Exit();
  // Removes the placeholder and moves the focus to the password field.
  void RevealPassword();

  // --- What the window shows -------------------------------------------------------------
  bool PasswordPlaceholderShown() const;
  QColor FrameColour() const;
  QString UserText() const;
  QString PasswordText() const;
  QStringList UserList() const;
  QString StatusText() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  QMenu* BuildOptionsMenu();
  // The steps each time the window is shown: olive frame, last user, cleared password, user
  // list, placeholder.
  void PrepareForLogin();
  void RunLogin();
  void ShowPractice();
  void ShowStatus(const QString& text);
  void ReportError(const std::string& message);

  Context& ctx_;
  LoginState& state_;
  LoginWindowHooks hooks_;
  bool traceSaved_ = false;

  LoginFrame* frame_;
  QComboBox* user_;
  QLineEdit* password_;
  QLabel* placeholder_;
  QPushButton* login_;
  QToolButton* options_;
  QToolButton* close_;
  QLabel* version_;
  QLabel* status_;
};

}  // namespace quillo
