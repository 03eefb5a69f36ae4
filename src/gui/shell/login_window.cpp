#include "gui/shell/login_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStackedLayout>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/shell/qt_text.h"
#include "gui/shell/theme.h"
#include "setup/accounts.h"
#include "shell/context.h"
#include "shell/error.h"
#include "shell/file_utils.h"

namespace quillo {
namespace {

const char* const kSetupMissing = "The set-up window and the wizard come with a later version.";

// The program's emblem: a green disc with a white quill stroke and a "Q".
QPixmap Emblem(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 95, 40), 2));
  p.setBrush(QColor(70, 140, 70));
  p.drawEllipse(QRectF(1, 1, size - 2, size - 2));
  QFont font = NamedFont("DejaVu Serif", 1, true);
  font.setPixelSize(size * 6 / 10);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, "Q");
  return pixmap;
}

QToolButton* TopButton(QWidget* parent, const char* name, const QString& text,
                       const QString& tip, const QString& hover) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setText(text);
  button->setToolTip(tip);
  button->setFixedSize(40, 32);
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setStyleSheet(QString("QToolButton { border: none; border-radius: 4px; font-size: 16px;"
                                " color: #1f3d1f; }"
                                "QToolButton:hover { background: %1; color: white; }"
                                "QToolButton::menu-indicator { image: none; }")
                            .arg(hover));
  return button;
}

}  // namespace

LoginFrame::LoginFrame(QWidget* parent) : QFrame(parent), colour_(kOliveFrame) {
  setObjectName("PnLogin");
}

void LoginFrame::SetColour(const QColor& colour) {
  colour_ = colour;
  update();
}

void LoginFrame::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(colour_, 2));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
}

void LoginFrame::mousePressEvent(QMouseEvent* event) {
  QFrame::mousePressEvent(event);
  emit clicked();
}

TFoStartUp::TFoStartUp(Context& ctx, LoginState& state, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint),
      ctx_(ctx),
      state_(state) {
  setObjectName("TFoStartUp");
  setWindowTitle("Quillomark");
  SetBackground(this, kGroundColour);
  BuildControls();
}

void TFoStartUp::BuildControls() {
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(20, 10, 10, 8);

  // Top: the program's name on the left, the options and close buttons on the right.
  auto* top = new QHBoxLayout;
  auto* emblem = new QLabel(this);
  emblem->setObjectName("ImLogo");
  emblem->setPixmap(Emblem(44));
  auto* title = new QLabel("Quillomark", this);
  title->setObjectName("LbTitle");
  QFont titleFont = NamedFont("DejaVu Serif", 22, true);
  title->setFont(titleFont);
  title->setStyleSheet("color: #1f4d1f;");
  auto* subtitle = new QLabel("Practise, check, improve", this);
  subtitle->setObjectName("LbSubtitle");
  subtitle->setStyleSheet("color: #3d6b3d;");
  auto* titles = new QVBoxLayout;
  titles->setSpacing(0);
  titles->addWidget(title);
  titles->addWidget(subtitle);
  top->addWidget(emblem);
  top->addSpacing(8);
  top->addLayout(titles);
  top->addStretch();
  options_ = TopButton(this, "BtOptions", QString::fromUtf8("\u2630"), "Options", "#5f8f5f");
  options_->setPopupMode(QToolButton::InstantPopup);
  options_->setMenu(BuildOptionsMenu());
  close_ = TopButton(this, "BtClose", QString::fromUtf8("\u2715"), "Close Quillomark", "#c0392b");
  connect(close_, &QToolButton::clicked, this, &TFoStartUp::Exit);
  top->addWidget(options_, 0, Qt::AlignTop);
  top->addWidget(close_, 0, Qt::AlignTop);
  root->addLayout(top);
  root->addStretch(3);

  // Centre: the card with the two fields in their frame and the "Login" button.
  auto* card = new QFrame(this);
  card->setObjectName("PnCard");
  card->setFixedWidth(380);
  card->setStyleSheet(
      "#PnCard { background: #f6faf6; border: 1px solid #9dbf9d; border-radius: 10px; }");
  auto* cardLayout = new QVBoxLayout(card);
  cardLayout->setContentsMargins(28, 22, 28, 22);
  cardLayout->setSpacing(12);
  auto* heading = new QLabel("Welcome", card);
  heading->setObjectName("LbWelcome");
  heading->setFont(NamedFont("DejaVu Sans", 13, true));
  heading->setStyleSheet("color: #1f4d1f;");
  cardLayout->addWidget(heading);

  frame_ = new LoginFrame(card);
  auto* fields = new QGridLayout(frame_);
  fields->setContentsMargins(12, 12, 12, 12);
  fields->setVerticalSpacing(10);
  user_ = new QComboBox(frame_);
  user_->setObjectName("CbUser");
  user_->setEditable(true);
  user_->setInsertPolicy(QComboBox::NoInsert);
  user_->setFixedHeight(32);
  user_->lineEdit()->setPlaceholderText("User name");
  user_->lineEdit()->setMaxLength(100);
  // The password field and its placeholder share one place; the placeholder lies on top.
  auto* passwordBox = new QWidget(frame_);
  passwordBox->setFixedHeight(32);
  auto* stack = new QStackedLayout(passwordBox);
  stack->setStackingMode(QStackedLayout::StackAll);
  password_ = new QLineEdit(passwordBox);
  password_->setObjectName("EdPassword");
  password_->setEchoMode(QLineEdit::Password);
  placeholder_ = new QLabel("Password...", passwordBox);
  placeholder_->setObjectName("LbPassword");
  QFont hintFont = font();
  hintFont.setItalic(true);
  placeholder_->setFont(hintFont);
  placeholder_->setStyleSheet(
      "QLabel { color: #808080; background: white; border: 1px solid #a8a8a8;"
      " border-radius: 3px; padding-left: 5px; }");
  placeholder_->setCursor(Qt::IBeamCursor);
  stack->addWidget(password_);
  stack->addWidget(placeholder_);
  stack->setCurrentWidget(placeholder_);
  fields->addWidget(user_, 0, 0);
  fields->addWidget(passwordBox, 1, 0);
  cardLayout->addWidget(frame_);

  auto* buttons = new QHBoxLayout;
  auto* hint = new QLabel("No account? Leave both\nfields empty to practise.", card);
  hint->setObjectName("LbHint");
  hint->setStyleSheet("color: #5a7a5a; font-size: 8pt;");
  login_ = new QPushButton("Login", card);
  login_->setObjectName("BtLogin");
  login_->setMinimumSize(110, 34);
  login_->setFont(NamedFont("DejaVu Sans", 10, true));
  login_->setStyleSheet(
      "QPushButton { background: #4f8f4f; color: white; border: 1px solid #3b6f3b;"
      " border-radius: 5px; padding: 4px 16px; }"
      "QPushButton:hover { background: #5fa05f; }"
      "QPushButton:pressed { background: #3b6f3b; }");
  buttons->addWidget(hint);
  buttons->addStretch();
  buttons->addWidget(login_);
  cardLayout->addLayout(buttons);

  auto* middle = new QHBoxLayout;
  middle->addStretch();
  middle->addWidget(card);
  middle->addStretch();
  root->addLayout(middle);
  root->addStretch(4);

  // Bottom: status text and the program version.
  auto* bottom = new QHBoxLayout;
  status_ = new QLabel(this);
  status_->setObjectName("LbStatus");
  status_->setStyleSheet("color: #3d5d3d;");
  version_ = new QLabel(this);
  version_->setObjectName("Label1");
  version_->setStyleSheet("color: #4d6d4d;");
  bottom->addWidget(status_, 1);
  bottom->addWidget(version_);
  root->addLayout(bottom);

  setTabOrder(user_, password_);
  setTabOrder(password_, login_);

  connect(login_, &QPushButton::clicked, this, &TFoStartUp::LoginButton);
  connect(password_, &QLineEdit::returnPressed, this, &TFoStartUp::LoginFromFields);
  connect(frame_, &LoginFrame::clicked, this, &TFoStartUp::RevealPassword);
  user_->installEventFilter(this);
  user_->lineEdit()->installEventFilter(this);
  placeholder_->installEventFilter(this);
  password_->installEventFilter(this);
}

QMenu* TFoStartUp::BuildOptionsMenu() {
  auto* menu = new QMenu(this);
  menu->setObjectName("PmOptions");
  menu->setToolTipsVisible(true);
  QAction* wizard = menu->addAction("Opt. Wizard", this, [this] { OpenSetup(true); });
  wizard->setObjectName("MnOptWizard");
  wizard->setToolTip(kSetupMissing);
  QAction* setup = menu->addAction("Option", this, [this] { OpenSetup(false); });
  setup->setObjectName("MnOption");
  setup->setToolTip(kSetupMissing);
  menu->addSeparator();
  QAction* report =
      menu->addAction("Report", this, [this] { OpenHelpPage(HelpPage::kReport); });
  report->setObjectName("MnReport");
  QMenu* help = menu->addMenu("Help");
  help->setObjectName("MnHelp");
  QAction* german = help->addAction("Hilfe [De]", this, [this] { OpenHelpPage(HelpPage::kGerman); });
  german->setObjectName("MnHelpDe");
  QAction* french = help->addAction("Aide [Fr]", this, [this] { OpenHelpPage(HelpPage::kFrench); });
  french->setObjectName("MnHelpFr");
  return menu;
}

void TFoStartUp::SetVersionText(const QString& text) { version_->setText(text); }

void TFoStartUp::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) PrepareForLogin();
}

void TFoStartUp::PrepareForLogin() {
  frame_->SetColour(kOliveFrame);
  std::string lastUser;
  QStringList users;
  try {
    lastUser = ReadLastUser(ctx_);
    for (const std::string& name : ListAccounts(ctx_)) users << ToQt(name);
  } catch (const Error& e) {
    ReportError(e.what());
  }
  password_->clear();
  user_->clear();
  user_->addItems(users);
  user_->setEditText(ToQt(lastUser));
  placeholder_->show();
  placeholder_->raise();
  user_->setFocus();
}

void TFoStartUp::RevealPassword() {
  placeholder_->hide();
  password_->setFocus();
}

bool TFoStartUp::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == user_ || watched == user_->lineEdit()) && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter || (key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier)) {
      RevealPassword();
      return true;
    }
  } else if (watched == placeholder_ && event->type() == QEvent::MouseButtonPress) {
    RevealPassword();
    return true;
  } else if (watched == password_ && event->type() == QEvent::FocusIn) {
    placeholder_->hide();  // reached another way (backwards through the controls)
  }
  return QWidget::eventFilter(watched, event);
}

void TFoStartUp::LoginButton() {
  if (LoginButtonClearsFields(FromQt(UserText()))) {
    user_->setEditText({});
    password_->clear();
  }
  RunLogin();
}

void TFoStartUp::LoginFromFields() { RunLogin(); }

void TFoStartUp::RunLogin() {
  ShowStatus({});
  LoginOutcome outcome;
  try {
    outcome = Login(ctx_, state_, FromQt(UserText()), FromQt(PasswordText()));
  } catch (const Error& e) {
    ReportError(e.what());
    return;
  }
  user_->setEditText(ToQt(outcome.userField));
  if (!outcome.accepted) {
    frame_->SetColour(kRedFrame);
    return;
  }
  if (outcome.showPractice) ShowPractice();
}

void TFoStartUp::ShowPractice() {
  if (!hooks_.showPractice) return;
  const QRect place = geometry();
  hide();
  hooks_.showPractice(place);
  show();
}

void TFoStartUp::OpenSetup(bool wizard) {
  SetupAccess access;
  try {
    access = CheckSetupAccess(ctx_, FromQt(UserText()), FromQt(PasswordText()), wizard);
  } catch (const Error& e) {
    ReportError(e.what());
    return;
  }
  if (!access.granted) {
    frame_->SetColour(kRedFrame);
    return;
  }
  frame_->SetColour(kOliveFrame);
  user_->setEditText(ToQt(access.userField));
  password_->setText(ToQt(access.passwordField));
  if (hooks_.showSetup) {
    hooks_.showSetup(wizard);
  } else {
    ShowStatus(kSetupMissing);
  }
}

void TFoStartUp::OpenHelpPage(HelpPage page) {
  const std::string path = HelpPagePath(ctx_.folders, page);
  if (!FileExists(path)) {
    if (ctx_.msgBox) ctx_.msgBox->Warn("Quillomark", "Page not found:", path);
    return;
  }
  QDesktopServices::openUrl(QUrl::fromLocalFile(ToQt(ResolveCase(path))));
}

void TFoStartUp::Exit() { close(); }

void TFoStartUp::closeEvent(QCloseEvent* event) {
  if (!traceSaved_) {
    traceSaved_ = true;
    if (ctx_.trace.TraceOn() && ctx_.clock) {
      try {
        ctx_.trace.SaveTrace(ctx_.folders.logDir, ctx_.clock->Now());
      } catch (const Error& e) {
        ReportError(e.what());
      }
    }
  }
  event->accept();
  if (hooks_.onExit) hooks_.onExit();
}

bool TFoStartUp::PasswordPlaceholderShown() const { return !placeholder_->isHidden(); }
QColor TFoStartUp::FrameColour() const { return frame_->Colour(); }
QString TFoStartUp::UserText() const { return user_->currentText(); }
QString TFoStartUp::PasswordText() const { return password_->text(); }
QString TFoStartUp::StatusText() const { return status_->text(); }

QStringList TFoStartUp::UserList() const {
  QStringList names;
  for (int i = 0; i < user_->count(); ++i) names << user_->itemText(i);
  return names;
}

void TFoStartUp::ShowStatus(const QString& text) { status_->setText(text); }

void TFoStartUp::ReportError(const std::string& message) {
  if (ctx_.msgBox) ctx_.msgBox->Warn("Quillomark", message);
}

}  // namespace quillo
