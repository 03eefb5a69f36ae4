#include "gui/practice/value_picker.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/practice/sheet_text.h"
#include "gui/shell/qt_text.h"

namespace quillo {

namespace {

constexpr int kMostRowsShown = 12;

}  // namespace

TForm1::TForm1(QWidget* parent) : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint) {
  setObjectName("TForm1");
  setFrameShape(QFrame::Box);
  setLineWidth(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(1, 1, 1, 1);
  list_ = new QListWidget(this);
  list_->setObjectName("LB_ValueForInsert");
  list_->setFrameShape(QFrame::NoFrame);
  list_->setFont(SheetFont(kDefaultText));
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_->setStyleSheet(
      "QListWidget { background: rgb(213,232,208); color: black; }"
      "QListWidget::item { padding: 1px 3px; }"
      "QListWidget::item:selected { background: rgb(0,128,0); color: white; }");
  list_->installEventFilter(this);
  list_->viewport()->installEventFilter(this);
  layout->addWidget(list_);
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { PickCurrent(); });
}

void TForm1::Offer(const std::vector<std::string>& values, int width, const QPoint& globalTopLeft) {
  list_->clear();
  for (const std::string& value : values) list_->addItem(ToQt(value));
  if (list_->count() > 0) list_->setCurrentRow(0);
  const int rows = std::clamp(list_->count(), 1, kMostRowsShown);
  const int rowHeight = std::max(list_->sizeHintForRow(0), 1);
  // One pixel of frame and one of margin on each side.
  resize(width, rows * rowHeight + 4);
  // Kept on the screen that holds the caret.
  QPoint at = globalTopLeft;
  if (const QScreen* screen = QGuiApplication::screenAt(globalTopLeft)) {
    const QRect area = screen->availableGeometry();
    at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width)));
    at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - height())));
  }
  move(at);
  show();
  raise();
  activateWindow();
  list_->setFocus(Qt::PopupFocusReason);
}

void TForm1::PickCurrent() {
  QListWidgetItem* item = list_->currentItem();
  if (!item) return;
  const QString value = item->text();
  close();
  emit ValuePicked(value);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched == list_) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      PickCurrent();
      return true;
    }
    if (key->key() == Qt::Key_Escape) {
      close();
      return true;
    }
  }
  if (event->type() == QEvent::MouseButtonPress && watched == list_->viewport() &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
    close();
    return true;
  }
  return QFrame::eventFilter(watched, event);
}

}  // namespace quillo
