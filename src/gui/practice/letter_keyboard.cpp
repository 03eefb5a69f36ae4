#include "gui/practice/letter_keyboard.h"

#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>

#include "gui/shell/theme.h"

namespace quillo {

namespace {

constexpr int kTitleHeight = 30;
constexpr int kButtonSize = 25;
constexpr int kButtonStep = 30;
constexpr int kLabelLeft = 10;
constexpr int kFirstButtonLeft = 46;
constexpr int kFirstRowTop = 40;
constexpr int kCloseSize = 20;

// The close picture: a white cross on a red rounded square.
QIcon ClosePicture() {
  QPixmap picture(kCloseSize, kCloseSize);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath square;
  square.addRoundedRect(QRectF(0.5, 0.5, kCloseSize - 1, kCloseSize - 1), 4, 4);
  QLinearGradient red(0, 0, 0, kCloseSize);
  red.setColorAt(0, QColor(232, 96, 80));
  red.setColorAt(1, QColor(176, 36, 24));
  painter.fillPath(square, red);
  painter.setPen(QPen(QColor(120, 20, 10), 1));
  painter.drawPath(square);
  painter.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(6, 6), QPointF(kCloseSize - 6, kCloseSize - 6));
  painter.drawLine(QPointF(kCloseSize - 6, 6), QPointF(6, kCloseSize - 6));
  return QIcon(picture);
}

}  // namespace

const QString& TfoKeybVr::FrenchLetters() {
  static const QString letters = QString::fromUtf16(
      u"\u00C0\u00E0\u00C1\u00E1\u00C2\u00E2\u00C7\u00E7\u00C8\u00E8\u00C9\u00E9\u00CA\u00EA"
      u"\u00EB\u00EE\u00EF\u00D4\u00F4\u00F9\u00FB");
  return letters;
}

const QString& TfoKeybVr::GermanLetters() {
  static const QString letters = QString::fromUtf16(u"\u00C4\u00E4\u00D6\u00F6\u00DC\u00FC\u00DF");
  return letters;
}

TfoKeybVr::TfoKeybVr(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("TfoKeybVr");
  setWindowTitle("FL Keyboard");
  const int width =
      kFirstButtonLeft + (FrenchLetters().size() - 1) * kButtonStep + kButtonSize + 10;
  setFixedSize(width, kFirstRowTop + kButtonStep + kButtonSize + 10);

  close_ = new QToolButton(this);
  close_->setObjectName("Img_KeybClose");
  close_->setIcon(ClosePicture());
  close_->setIconSize(QSize(kCloseSize, kCloseSize));
  close_->setAutoRaise(true);
  close_->setFocusPolicy(Qt::NoFocus);
  close_->setStyleSheet("QToolButton { border: none; background: transparent; }");
  close_->setGeometry(width - kCloseSize - 6, (kTitleHeight - kCloseSize) / 2, kCloseSize,
                      kCloseSize);
  close_->setCursor(Qt::PointingHandCursor);
  connect(close_, &QToolButton::clicked, this, &QWidget::close);

  AddRow("Fr:", FrenchLetters(), kFirstRowTop);
  AddRow("De:", GermanLetters(), kFirstRowTop + kButtonStep);
}

void TfoKeybVr::AddRow(const QString& label, const QString& letters, int top) {
  auto* caption = new QLabel(label, this);
  caption->setFont(NamedFont("Tahoma", 10, true));
  caption->setStyleSheet("color: rgb(64,64,64); background: transparent;");
  caption->setGeometry(kLabelLeft, top, kFirstButtonLeft - kLabelLeft, kButtonSize);
  for (int i = 0; i < letters.size(); ++i) {
    auto* button = new QPushButton(QString(letters[i]), this);
    button->setFont(NamedFont("Tahoma", 10, true));
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(
        "QPushButton { background: rgb(255,204,153); color: black;"
        " border: 1px solid rgb(204,122,41); border-radius: 3px; padding: 0px; }"
        "QPushButton:hover { background: rgb(255,160,66); }"
        "QPushButton:pressed { background: rgb(230,130,40); }");
    button->setGeometry(kFirstButtonLeft + i * kButtonStep, top, kButtonSize, kButtonSize);
    const QString letter(letters[i]);
    connect(button, &QPushButton::clicked, this, [this, letter] {
      close();
      emit LetterChosen(letter);
    });
  }
}

QPushButton* TfoKeybVr::LetterButton(QChar letter) const {
  for (QPushButton* button : findChildren<QPushButton*>())
    if (button->text() == QString(letter)) return button;
  return nullptr;
}

void TfoKeybVr::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(236, 243, 233));
  QLinearGradient strip(0, 0, 0, kTitleHeight);
  strip.setColorAt(0, QColor(98, 150, 98));
  strip.setColorAt(1, QColor(58, 108, 58));
  painter.fillRect(QRect(0, 0, width(), kTitleHeight), strip);
  painter.setPen(Qt::white);
  painter.setFont(NamedFont("Tahoma", 10, true));
  painter.drawText(QRect(kLabelLeft, 0, width() - 2 * kLabelLeft, kTitleHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, windowTitle());
  painter.setPen(QColor(128, 128, 128));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TfoKeybVr::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && event->position().y() < kTitleHeight) {
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
  }
  event->accept();
}

void TfoKeybVr::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) move(event->globalPosition().toPoint() - dragOffset_);
  event->accept();
}

void TfoKeybVr::mouseReleaseEvent(QMouseEvent* event) {
  dragging_ = false;
  event->accept();
}

}  // namespace quillo
