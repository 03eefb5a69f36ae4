#include "gui/shell/desktop_services.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/shell/qt_text.h"
#include "gui/shell/theme.h"

namespace quillo {

WaitCursor::~WaitCursor() {
  while (depth_ > 0) SetBusy(false);
}

void WaitCursor::SetBusy(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++depth_;
  } else if (depth_ > 0) {
    QApplication::restoreOverrideCursor();
    --depth_;
  }
}

WidgetStatusLine::WidgetStatusLine(int flashMilliseconds) : flashTimer_(new QTimer) {
  flashTimer_->setSingleShot(true);
  flashTimer_->setInterval(flashMilliseconds);
  QObject::connect(flashTimer_, &QTimer::timeout, [this] { EndFlash(); });
}

WidgetStatusLine::~WidgetStatusLine() {
  if (cursorOverridden_) QApplication::restoreOverrideCursor();
  delete flashTimer_;
}

void WidgetStatusLine::SetPanel(QLabel* panel) {
  panel_ = panel;
  Render();
}

bool WidgetStatusLine::Flashing() const { return flashTimer_->isActive(); }

void WidgetStatusLine::StatusMessage(const std::string& text, bool flash) {
  if (text.empty()) {
    text_.clear();
  } else {
    text_ += ToQt(text);
  }
  if (flash && !text.empty()) {
    if (!cursorOverridden_) {
      QApplication::setOverrideCursor(Qt::ForbiddenCursor);
      cursorOverridden_ = true;
    }
    QApplication::beep();
    flashTimer_->start();
  }
  Render();
}

void WidgetStatusLine::EndFlash() {
  text_.clear();
  if (cursorOverridden_) {
    QApplication::restoreOverrideCursor();
    cursorOverridden_ = false;
  }
  Render();
}

void WidgetStatusLine::Render() {
  if (!panel_) return;
  panel_->setText(text_);
  SetBackground(panel_, Flashing() ? QColor(192, 192, 192) : kGroundColour);
}

TProgressForm::TProgressForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      closeTimer_(new QTimer(this)) {
  setObjectName("TProgressForm");
  SetBackground(this, kGroundColour);
  setFixedSize(380, 130);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(14, 12, 14, 12);
  text_ = new QLabel(this);
  text_->setObjectName("LbText");
  text_->setFont(NamedFont("Tahoma", 9, true));
  status_ = new QLabel(this);
  status_->setObjectName("LbStatus");
  bar_ = new QProgressBar(this);
  bar_->setObjectName("ProgressBar1");
  bar_->setRange(0, 100);
  bar_->setTextVisible(false);
  step_ = new QLabel(this);
  step_->setObjectName("LbStep");
  step_->setFont(NamedFont("Courier New", 9));
  layout->addWidget(text_);
  layout->addWidget(status_);
  layout->addWidget(bar_);
  layout->addWidget(step_);
  closeTimer_->setSingleShot(true);
  closeTimer_->setInterval(2000);
  connect(closeTimer_, &QTimer::timeout, this, &QWidget::hide);
}

QString TProgressForm::SpinnerText(int position) {
  static const char* const kSpinner[20] = {" | ", "/", "---", "\\", " | ", "/", "---",
                                           "\\",  " | ", "/", "---", "\\", "---", "\\",
                                           " | ", "/", "---", "\\", "*", " \xC2\xA6 "};
  return QString::fromUtf8(kSpinner[std::clamp(position, 0, 99) / 5]);
}

void TProgressForm::Start(const std::string& title, const std::string& text) {
  closeTimer_->stop();
  setWindowTitle(ToQt(title));
  text_->setText(ToQt(text));
  status_->clear();
  position_ = 0;
  round_ = 1;
  bar_->setValue(0);
  step_->setText(QString("[%1] %2").arg(round_).arg(SpinnerText(0)));
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  show();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TProgressForm::Step(const std::string& current) {
  position_ += 5;
  if (position_ >= 100) {
    position_ = 0;
    ++round_;
  }
  bar_->setValue(position_);
  step_->setText(QString("[%1] %2").arg(round_).arg(SpinnerText(position_)));
  status_->setText(ToQt(current));
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TProgressForm::Stop() {
  step_->setText("[Finished...ok]");
  closeTimer_->start();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace quillo
