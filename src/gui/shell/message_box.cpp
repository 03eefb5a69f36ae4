#include "gui/shell/message_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QWindow>
#include <algorithm>

#include "engine/text_toolkit.h"
#include "gui/shell/msg_pictures.h"
#include "gui/shell/qt_text.h"
#include "gui/shell/theme.h"

namespace quillo {
namespace {

constexpr int kBarHeight = 44;
constexpr int kButtonWidth = 64;
constexpr int kButtonHeight = 30;
constexpr int kIconSize = 16;
constexpr int kMargin = 8;

// A line of the box may itself hold line breaks (message texts from the language files do);
// each piece is drawn on its own row.
QStringList Rows(const QString& line) {
  if (line.isEmpty()) return {};
  return line.split(QRegularExpression("\r\n|\r|\n"));
}

QPushButton* PictureButton(QWidget* parent, const char* name) {
  auto* button = new QPushButton(parent);
  button->setObjectName(name);
  button->setFixedSize(kButtonWidth, kButtonHeight);
  button->setIconSize(QSize(20, 20));
  button->setAutoDefault(false);
  return button;
}

// Shows the button with its picture when picture is given; hides it otherwise.
void SetPicture(QPushButton* button, int picture, const QString& fallbackText) {
  button->setVisible(picture != kNoPicture);
  if (picture == kNoPicture) return;
  QPixmap pixmap = MsgPicturePixmap(picture, 40);
  if (pixmap.isNull()) {
    button->setIcon({});
    button->setText(fallbackText);
    button->setToolTip({});
  } else {
    button->setIcon(QIcon(pixmap));
    button->setText({});
    button->setToolTip(MsgPictureName(picture));
  }
}

}  // namespace

int MsgBoxClientWidth(const QFontMetrics& metrics, const QStringList& lines) {
  int width = kMsgBoxMinWidth;
  for (const QString& line : lines) {
    for (const QString& row : Rows(line)) {
      width = std::max(width, metrics.horizontalAdvance(row) + 2 * static_cast<int>(row.size()));
    }
  }
  return width;
}

QFont MsgBoxFont() { return NamedFont("Tahoma", 8, true); }

MsgBoxDialog::MsgBoxDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("TFoMsgBox");
  SetBackground(this, QColor(246, 250, 246));
  icon_ = new QLabel(this);
  icon_->setObjectName("ImIcon");
  icon_->setFixedSize(kIconSize, kIconSize);
  line1_ = new QLabel(this);
  line1_->setObjectName("LbLine1");
  line2_ = new QLabel(this);
  line2_->setObjectName("LbLine2");
  for (QLabel* label : {line1_, line2_}) {
    label->setFont(MsgBoxFont());
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(20, 45, 20));
    label->setPalette(palette);
  }
  bar_ = new QFrame(this);
  bar_->setObjectName("PnButtons");
  SetBackground(bar_, kGroundColour);
  ok_ = PictureButton(bar_, "BtOk");
  cancel_ = PictureButton(bar_, "BtCancel");
  third_ = PictureButton(bar_, "BtThird");
  connect(ok_, &QPushButton::clicked, this, [this] { done(kMsgOk); });
  connect(cancel_, &QPushButton::clicked, this, [this] { done(kMsgCancel); });
  connect(third_, &QPushButton::clicked, this, [this] { done(kMsgThird); });
}

void MsgBoxDialog::reject() { done(kMsgCancel); }

void MsgBoxDialog::Configure(const std::string& title, const std::string& line1,
                             const std::string& line2, int cancelPicture, int okPicture,
                             int thirdPicture, int icon, const QWidget* anchor) {
  line1Text_ = ToQt(Trim(line1));
  line2Text_ = ToQt(Trim(line2));
  const bool anyButton =
      okPicture != kNoPicture || cancelPicture != kNoPicture || thirdPicture != kNoPicture;
  Qt::WindowFlags flags = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (!anyButton) flags |= Qt::WindowCloseButtonHint;
  setWindowFlags(flags);
  setWindowTitle(ToQt(Trim(title)));

  // Where the box is shown: centred on the anchor, never wider than its screen.
  QScreen* screen = anchor ? anchor->screen() : QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  const QFontMetrics metrics(MsgBoxFont());
  const int maxWidth = std::max(kMsgBoxMinWidth, area.width() - 40);
  const int width = std::min(maxWidth, MsgBoxClientWidth(metrics, {line1Text_, line2Text_}));

  // Rows wider than the box (only when it reached the screen width) are shortened in the middle.
  auto fit = [&](const QString& line) {
    QStringList rows = Rows(line);
    for (QString& row : rows) row = metrics.elidedText(row, Qt::ElideMiddle, width - 2 * kMargin);
    return rows;
  };
  const QStringList rows1 = fit(line1Text_);
  const QStringList rows2 = fit(line2Text_);
  line1_->setText(rows1.join('\n'));
  line2_->setText(rows2.join('\n'));
  line2_->setVisible(!rows2.isEmpty());

  const int rowHeight = metrics.lineSpacing();
  const int gap = rows2.isEmpty() ? 0 : 6;
  const int block = static_cast<int>(rows1.size() + rows2.size()) * rowHeight + gap;
  const int height = std::max(kMsgBoxHeight, block + 2 * kMargin + kBarHeight);
  const int top = (height - kBarHeight - block) / 2;
  const int rows1Height = static_cast<int>(rows1.size()) * rowHeight;
  line1_->setGeometry(0, top, width, std::max(rows1Height, rowHeight));
  line2_->setGeometry(0, top + rows1Height + gap, width, static_cast<int>(rows2.size()) * rowHeight);

  QPixmap iconPixmap = MsgPicturePixmap(icon, kIconSize);
  icon_->setPixmap(iconPixmap);
  icon_->setVisible(!iconPixmap.isNull());
  icon_->move(kMargin, top + (rowHeight - kIconSize) / 2);

  SetPicture(ok_, okPicture, "OK");
  SetPicture(cancel_, cancelPicture, "Cancel");
  SetPicture(third_, thirdPicture, "?");
  setFixedSize(width, height);
  PlaceButtons(width, height);
  for (QPushButton* button : {ok_, cancel_, third_}) {
    if (!button->isHidden()) {
      button->setDefault(true);
      button->setFocus();
      break;
    }
  }

  QRect centre = anchor && anchor->isVisible() ? anchor->frameGeometry() : area;
  QPoint pos = centre.center() - QPoint(width / 2, height / 2);
  pos.setX(std::clamp(pos.x(), area.left(), std::max(area.left(), area.right() - width)));
  pos.setY(std::clamp(pos.y(), area.top(), std::max(area.top(), area.bottom() - height)));
  move(pos);
}

void MsgBoxDialog::PlaceButtons(int width, int height) {
  bar_->setGeometry(0, height - kBarHeight, width, kBarHeight);
  int x = width - 10;
  // Right-aligned, left to right: OK, Cancel, third.
  for (QPushButton* button : {third_, cancel_, ok_}) {
    if (button->isHidden()) continue;
    x -= kButtonWidth;
    button->move(x, (kBarHeight - kButtonHeight) / 2);
    x -= 8;
  }
}

QtMessageBox::QtMessageBox() = default;
QtMessageBox::~QtMessageBox() = default;

QWidget* QtMessageBox::Anchor() const {
  if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
    return modal;
  }
  if (QWidget* active = QApplication::activeWindow(); active && active->isVisible()) {
    return active;
  }
  if (mainWindow_ && mainWindow_->isVisible()) return mainWindow_;
  return nullptr;
}

int QtMessageBox::ShowMsgBox(const std::string& title, const std::string& line1,
                             const std::string& line2, int cancelPicture, int okPicture,
                             int thirdPicture, int icon) {
  if (!dialog_) dialog_ = std::make_unique<MsgBoxDialog>();
  if (dialogInUse_) {
    // A box asked for while the box is open (or still closing) gets a box of its own.
    MsgBoxDialog nested;
    return Run(nested, title, line1, line2, cancelPicture, okPicture, thirdPicture, icon);
  }
  dialogInUse_ = true;
  struct Release {
    bool& flag;
    ~Release() { flag = false; }
  } release{dialogInUse_};
  return Run(*dialog_, title, line1, line2, cancelPicture, okPicture, thirdPicture, icon);
}

int QtMessageBox::Run(MsgBoxDialog& dialog, const std::string& title, const std::string& line1,
                      const std::string& line2, int cancelPicture, int okPicture,
                      int thirdPicture, int icon) {
  QWidget* anchor = Anchor();
  if (anchor == &dialog) anchor = mainWindow_;
  dialog.Configure(title, line1, line2, cancelPicture, okPicture, thirdPicture, icon, anchor);
  dialog.setWindowModality(Qt::ApplicationModal);
  // Keep the box above the window it belongs to without handing it over to that window.
  dialog.winId();
  if (anchor && anchor->window()->windowHandle() && dialog.windowHandle()) {
    dialog.windowHandle()->setTransientParent(anchor->window()->windowHandle());
  }
  int result = dialog.exec();
  if (dialog.windowHandle()) dialog.windowHandle()->setTransientParent(nullptr);
  return result == kMsgOk || result == kMsgThird ? result : kMsgCancel;
}

}  // namespace quillo
