#include "gui/practice/insert_box.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "gui/practice/sheet_text.h"

namespace quillo {

InsertBox::InsertBox(QWidget* parent) : QWidget(parent) {
  setObjectName("InsertBox");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);

  toggle_ = new QPushButton("+", this);
  toggle_->setObjectName("Bt_1PlusMoins");
  toggle_->setFixedSize(24, 24);
  toggle_->setFocusPolicy(Qt::NoFocus);
  toggle_->setToolTip("Insert box");
  connect(toggle_, &QPushButton::clicked, this, &InsertBox::TogglePanel);

  panel_ = new QFrame(this);
  panel_->setObjectName("Pa_Insert");
  panel_->setFrameShape(QFrame::StyledPanel);
  auto* inner = new QHBoxLayout(panel_);
  inner->setContentsMargins(3, 2, 3, 2);
  inner->setSpacing(3);
  edit_ = new QLineEdit(panel_);
  edit_->setObjectName("Ed_InsertTxt");
  edit_->setFont(SheetFont(kDefaultText));
  edit_->setFixedWidth(120);
  insert_ = new QPushButton("Insert", panel_);
  insert_->setObjectName("Bt_Insert");
  insert_->setFocusPolicy(Qt::NoFocus);
  insert_->setToolTip("Insert the text at the caret");
  connect(insert_, &QPushButton::clicked, this, [this] {
    if (!edit_->text().isEmpty()) emit InsertRequested(edit_->text());
  });
  connect(edit_, &QLineEdit::returnPressed, insert_, &QPushButton::click);
  inner->addWidget(edit_);
  inner->addWidget(insert_);
  panel_->hide();

  layout->addWidget(toggle_);
  layout->addWidget(panel_);
  layout->addStretch();
}

void InsertBox::TogglePanel() {
  panel_->setVisible(panel_->isHidden());
  toggle_->setText(panel_->isHidden() ? "+" : "-");
}

}  // namespace quillo
