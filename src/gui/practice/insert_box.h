// The insert box of the practice toolbar: the toggle Bt_1PlusMoins ("+" while the box is
// hidden, "-" while it is shown) and the panel Pa_Insert with the edit field Ed_InsertTxt and
// the button Bt_Insert that hands the field's text on for insertion at the caret.
#pragma once

#include <QWidget>

class QFrame;
class QLineEdit;
class QPushButton;

namespace quillo {

class InsertBox : public QWidget {
  Q_OBJECT

 public:
  explicit InsertBox(QWidget* parent = nullptr);

  QPushButton* Toggle() const { return toggle_; }
  QFrame* Panel() const { return panel_; }
  QLineEdit* Edit() const { return edit_; }

 public slots:
  // Shows or hides the panel.
  void TogglePanel();

 signals:
  // Bt_Insert was pressed with this text (not empty).
  void InsertRequested(const QString& text);

 private:
  QPushButton* toggle_;
  QFrame* panel_;
  QLineEdit* edit_;
  QPushButton* insert_;
};

}  // namespace quillo
