// The practice window TfoCompo, shown modally after a login in place of the login window.
// This version greets the logged-in user and offers "Quit"; the practice itself (sheets,
// checking, results) plugs in here.
#pragma once

#include <QDialog>
#include <QRect>

class QLabel;
class QPushButton;

namespace quillo {

struct Context;

class TfoCompo : public QDialog {
  Q_OBJECT

 public:
  explicit TfoCompo(Context& ctx, QWidget* parent = nullptr);

  // Shows the window modally for the logged-in user (ctx.login) at geometry; returns when it
  // has closed.
  void ShowModal(const QRect& geometry);

 private:
  Context& ctx_;
  QLabel* user_;
  QPushButton* quit_;
};

}  // namespace quillo
