// The value picker TForm1: a small list of values beside the caret of the sheet view. Enter or
// a double click picks the selected value, Escape, a right click or a click elsewhere closes it
// without picking.
#pragma once

#include <QFrame>
#include <QPoint>
#include <string>
#include <vector>

class QListWidget;

namespace quillo {

class TForm1 : public QFrame {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);

  // Shows the values (Windows-1252) in a list of that width with its top left corner at the
  // global point, the first value selected, and gives it the keyboard.
  void Offer(const std::vector<std::string>& values, int width, const QPoint& globalTopLeft);

  QListWidget* List() const { return list_; }

 signals:
  // A value was picked (the picker has closed).
  void ValuePicked(const QString& value);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PickCurrent();

  QListWidget* list_;
};

}  // namespace quillo
