#include "gui/practice/exit_dialog.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "gui/shell/msg_pictures.h"
#include "gui/shell/theme.h"
#include "shell/seams.h"

namespace quillo {

namespace {

QPushButton* PictureButton(QWidget* parent, const char* name, int picture, const QString& tip) {
  auto* button = new QPushButton(parent);
  button->setObjectName(name);
  button->setFixedSize(64, 30);
  button->setIcon(QIcon(MsgPicturePixmap(picture, 40)));
  button->setIconSize(QSize(20, 20));
  button->setToolTip(tip);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TForm6::TForm6(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName("TForm6");
  setWindowTitle("Exit ...");
  setModal(true);
  SetBackground(this, QColor(246, 250, 246));
  setFixedSize(220, 110);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 12, 12, 10);
  auto* line = new QHBoxLayout;
  line->addStretch();
  auto* icon = new QLabel(this);
  icon->setObjectName("ImIcon");
  icon->setPixmap(MsgPicturePixmap(kIconWarning, 28));
  line->addWidget(icon);
  line->addSpacing(8);
  text_ = new QLabel("Stop !", this);
  text_->setObjectName("Label1");
  text_->setFont(NamedFont("Tahoma", 12, true));
  text_->setStyleSheet("color: #8b1a1a;");
  line->addWidget(text_);
  line->addStretch();
  layout->addLayout(line, 1);

  auto* bar = new QHBoxLayout;
  bar->addStretch();
  ok_ = PictureButton(this, "BtOk", kPicOk, "OK");
  cancel_ = PictureButton(this, "BtCancel", kPicCancel, "Cancel");
  bar->addWidget(ok_);
  bar->addWidget(cancel_);
  layout->addLayout(bar);
  connect(ok_, &QPushButton::clicked, this, [this] { done(1); });
  connect(cancel_, &QPushButton::clicked, this, [this] { done(2); });
  cancel_->setDefault(true);
}

int TForm6::Ask(QWidget* over) {
  if (!over) over = parentWidget();
  QRect place = rect();
  if (over) {
    place.moveCenter(over->frameGeometry().center());
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    place.moveCenter(screen->availableGeometry().center());
  }
  move(place.topLeft());
  const int result = exec();
  return result == 1 ? 1 : 2;
}

}  // namespace quillo
