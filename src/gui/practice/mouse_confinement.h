// Keeps the mouse pointer inside a window's client area ("Block mouse in form") while the window
// is the active one: every few milliseconds a pointer found outside is put back at the nearest
// point inside. Where the platform does not let a program move the pointer, nothing happens.
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

class QTimer;
class QWidget;

namespace quillo {

// The point of the area nearest to p (p itself when it lies inside).
QPoint NearestInside(const QRect& area, const QPoint& p);

class MouseConfinement : public QObject {
  Q_OBJECT

 public:
  explicit MouseConfinement(QObject* parent = nullptr);

  // Confines the pointer to the window's client area and fixes the window's size (its border
  // cannot be dragged); Release gives both back.
  void Confine(QWidget* window);
  void Release();
  bool Active() const { return window_ != nullptr; }

  // One check: moves the pointer back when it is outside (the timer calls it).
  void Keep();

 private:
  QPointer<QWidget> window_;
  QTimer* timer_;
  QSize minimum_;
  QSize maximum_;
};

}  // namespace quillo
