// The exit dialog TForm6, asked before a practice sheet is left: a small tool window "Exit ..."
// with the text "Stop !" and two picture buttons, OK (1) and Cancel (2); it centres itself over
// the window it is shown for.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace quillo {

class TForm6 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm6(QWidget* parent = nullptr);

  // Shows the dialog modally centred over `over` (its parent when null); 1 for OK, 2 for Cancel
  // or any other way of closing it.
  int Ask(QWidget* over = nullptr);

  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

 private:
  QLabel* text_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace quillo
