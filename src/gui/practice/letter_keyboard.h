// The on-screen keyboard TfoKeybVr: a small window that stays on top, titled "FL Keyboard" and
// dragged by its top strip, with a close picture and two rows of letter buttons, French and
// German. A letter closes the keyboard and is handed on for insertion.
#pragma once

#include <QPoint>
#include <QWidget>

class QPushButton;
class QToolButton;

namespace quillo {

class TfoKeybVr : public QWidget {
  Q_OBJECT

 public:
  explicit TfoKeybVr(QWidget* parent = nullptr);

  // The letters of the two rows, in order.
  static const QString& FrenchLetters();
  static const QString& GermanLetters();

  // The button of a letter; null when the keyboard has none.
  QPushButton* LetterButton(QChar letter) const;

 signals:
  void LetterChosen(const QString& letter);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void AddRow(const QString& label, const QString& letters, int top);

  QToolButton* close_;
  QPoint dragOffset_;
  bool dragging_ = false;
};

}  // namespace quillo
