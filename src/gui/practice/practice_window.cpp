#include "gui/practice/practice_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/shell/qt_text.h"
#include "gui/shell/theme.h"
#include "setup/login_state.h"
#include "shell/context.h"

namespace quillo {

TfoCompo::TfoCompo(Context& ctx, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      ctx_(ctx) {
  setObjectName("TfoCompo");
  setWindowTitle("Quillomark");
  SetBackground(this, kGroundColour);
  setMinimumSize(800, 600);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 20, 24, 16);
  user_ = new QLabel(this);
  user_->setObjectName("LbUser");
  user_->setFont(NamedFont("DejaVu Sans", 16, true));
  user_->setStyleSheet("color: #1f4d1f;");
  auto* note = new QLabel("Practice sheets open here in a later version of Quillomark.", this);
  note->setObjectName("LbNote");
  note->setStyleSheet("color: #3d6b3d;");
  quit_ = new QPushButton("Quit", this);
  quit_->setObjectName("BT_QstQuit");
  quit_->setMinimumSize(100, 32);
  quit_->setAutoDefault(false);
  connect(quit_, &QPushButton::clicked, this, &QDialog::accept);

  layout->addWidget(user_);
  layout->addWidget(note);
  layout->addStretch();
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(quit_);
  layout->addLayout(bottom);
}

void TfoCompo::ShowModal(const QRect& geometry) {
  const std::string user = ctx_.login ? ctx_.login->currentUser : std::string();
  user_->setText(ToQt(user));
  setWindowTitle(user.empty() ? QString("Quillomark") : "Quillomark - " + ToQt(user));
  if (geometry.isValid()) setGeometry(geometry);
  exec();
}

}  // namespace quillo
