#include "gui/practice/hint_box.h"

#include <QMouseEvent>
#include <QPainter>

#include "gui/practice/sheet_text.h"

namespace quillo {

namespace {

const QColor kHintBackground{238, 238, 170};
const QColor kHintBorder{128, 128, 128};
constexpr int kTextLeft = 5;
constexpr int kTextTop = 5;

}  // namespace

HintBox::HintBox(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("HintBox");
  setMouseTracking(true);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFont(SheetFont(kDefaultText));
}

void HintBox::ShowHint(const QString& text, const QSize& size, const QPoint& globalTopLeft) {
  text_ = text;
  resize(size);
  move(globalTopLeft);
  opened_.start();
  show();
  update();
}

void HintBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kHintBackground);
  painter.setPen(kHintBorder);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  painter.setPen(Qt::black);
  painter.setFont(font());
  painter.drawText(rect().adjusted(kTextLeft, kTextTop, 0, 0), Qt::AlignLeft | Qt::AlignTop, text_);
}

void HintBox::mousePressEvent(QMouseEvent* event) {
  event->accept();
  close();
}

void HintBox::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  if (opened_.isValid() && opened_.elapsed() >= moveCloseDelay_) close();
}

}  // namespace quillo
