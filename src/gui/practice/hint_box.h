// The hint box: a small borderless pale-yellow box above the caret that shows a field's
// word-bank entry. It closes on a click, or when the pointer moves over it once it has been
// open for about three seconds.
#pragma once

#include <QElapsedTimer>
#include <QWidget>

namespace quillo {

class HintBox : public QWidget {
  Q_OBJECT

 public:
  explicit HintBox(QWidget* parent = nullptr);

  // Shows text at the global point with the given size.
  void ShowHint(const QString& text, const QSize& size, const QPoint& globalTopLeft);
  const QString& Text() const { return text_; }

  // How long the box stays open under a moving pointer (3000 ms; tests shorten it).
  void SetMoveCloseDelay(int milliseconds) { moveCloseDelay_ = milliseconds; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QString text_;
  QElapsedTimer opened_;
  int moveCloseDelay_ = 3000;
};

}  // namespace quillo
