#include "gui/practice/mouse_confinement.h"

#include <QCursor>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace quillo {

QPoint NearestInside(const QRect& area, const QPoint& p) {
  if (area.isEmpty()) return p;
  return {std::clamp(p.x(), area.left(), area.right()),
          std::clamp(p.y(), area.top(), area.bottom())};
}

MouseConfinement::MouseConfinement(QObject* parent) : QObject(parent), timer_(new QTimer(this)) {
  timer_->setInterval(20);
  connect(timer_, &QTimer::timeout, this, &MouseConfinement::Keep);
}

void MouseConfinement::Confine(QWidget* window) {
  if (!window) return;
  if (window_) Release();
  window_ = window;
  minimum_ = window->minimumSize();
  maximum_ = window->maximumSize();
  window->setFixedSize(window->size());
  timer_->start();
  Keep();
}

void MouseConfinement::Release() {
  timer_->stop();
  if (window_) {
    window_->setMinimumSize(minimum_);
    window_->setMaximumSize(maximum_);
  }
  window_ = nullptr;
}

void MouseConfinement::Keep() {
  // Another window of the program in front (a message box, the exit dialog) is left alone, so
  // is the desktop while the program is in the background.
  if (!window_ || !window_->isVisible() || !window_->isActiveWindow()) return;
  const QRect area(window_->mapToGlobal(QPoint(0, 0)), window_->size());
  const QPoint pointer = QCursor::pos(window_->screen());
  const QPoint inside = NearestInside(area, pointer);
  if (inside != pointer) QCursor::setPos(window_->screen(), inside);
}

}  // namespace quillo
