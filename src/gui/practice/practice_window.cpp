#include "gui/practice/practice_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/line_symbols.h"
#include "gui/practice/exit_dialog.h"
#include "gui/practice/insert_box.h"
#include "gui/practice/mouse_confinement.h"
#include "gui/practice/practice_icons.h"
#include "gui/practice/sentence_player.h"
#include "gui/practice/sheet_view.h"
#include "gui/shell/qt_text.h"
#include "gui/shell/theme.h"
#include "gui/shell/window_texts.h"
#include "practice/media_library.h"
#include "practice/progression.h"
#include "practice/sentences.h"
#include "setup/login_state.h"
#include "setup/settings_store.h"
#include "shell/context.h"
#include "shell/error.h"
#include "shell/file_utils.h"
#include "shell/screen_capture.h"
#include "shell/trace_log.h"

namespace quillo {

namespace {

constexpr int kBoardHeight = 65;
constexpr int kBoardIcon = 22;
const QColor kBoardText(0, 0, 255);
const QColor kStatusBarColour(151, 198, 151);
const QSize kMinimumSize(800, 540);
constexpr int kPlayPanelWidth = 30;
constexpr int kPlayButtonSize = 22;

// The busy pointer while an operation runs.
class Busy {
 public:
  explicit Busy(const Context& ctx) : busy_(ctx.busy) {
    if (busy_) busy_->SetBusy(true);
  }
  ~Busy() {
    if (busy_) busy_->SetBusy(false);
  }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  BusyIndicator* busy_;
};

QString LargeButtonStyle(const QColor& colour) {
  return QString(
             "QPushButton { text-align: left; padding-left: 18px; border-radius: 10px;"
             " border: 1px solid %1; color: #1c331c; font-size: 15pt; font-weight: bold;"
             " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfdfb, stop:1 %2); }"
             "QPushButton:hover { border: 2px solid %1; background: qlineargradient(x1:0, y1:0,"
             " x2:0, y2:1, stop:0 #ffffff, stop:1 %3); }"
             "QPushButton:pressed { background: %2; }"
             "QPushButton:disabled { color: #8a9a8a; border-color: #a9bca9;"
             " background: #dde8dd; }")
      .arg(colour.darker(140).name(), colour.lighter(150).name(), colour.lighter(170).name());
}

}  // namespace

// Img_Board: paints the board's content at its own width.
class BoardPicture : public QWidget {
 public:
  struct Content {
    QString user;
    bool withTime = false;
    QString clock;
    QString status;
    QString name = "???";
  };

  explicit BoardPicture(QWidget* parent) : QWidget(parent) {
    setObjectName("Img_Board");
    setFixedHeight(kBoardHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }
  void SetContent(Content content) {
    content_ = std::move(content);
    update();
  }
  QImage Render() const {
    QImage image(std::max(width(), 1), kBoardHeight, QImage::Format_RGB32);
    QPainter p(&image);
    Paint(p, image.width());
    return image;
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    Paint(p, width());
  }

 private:
  void Paint(QPainter& p, int width) const {
    p.fillRect(QRect(0, 0, width, kBoardHeight), kGroundColour);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QFont font = NamedFont("Tahoma", 13);
    p.setFont(font);
    p.setPen(kBoardText);
    const QFontMetrics metrics(font);
    const int row1 = 4;
    const int row2 = 35;
    auto text = [&](int x, int top, const QString& s) {
      const int baseline = top + (kBoardIcon + metrics.ascent() - metrics.descent()) / 2;
      p.drawText(x, baseline, s);
      return x + metrics.horizontalAdvance(s);
    };
    p.drawPixmap(20, row1, PracticePixmap(PracticeIcon::User, kBoardIcon));
    int x = text(48, row1, content_.user);
    if (content_.withTime) {
      x += 24;
      p.drawPixmap(x, row1, PracticePixmap(PracticeIcon::Clock, kBoardIcon));
      x = text(x + kBoardIcon + 8, row1, content_.clock);
      x += 24;
      p.drawPixmap(x, row1, PracticePixmap(PracticeIcon::Status, kBoardIcon));
      text(x + kBoardIcon + 8, row1, content_.status);
    }
    p.drawPixmap(20, row2, PracticePixmap(PracticeIcon::Sheet, kBoardIcon));
    text(48, row2, content_.name);
  }

  Content content_;
};

QRect SizedGeometry(WindowSize state, const QSize& normal, const QSize& current,
                    const QRect& screen) {
  QSize size = normal;
  if (state == WindowSize::Enlarged) {
    size = QSize(current.width() + std::max(screen.width() - current.width(), 0) / 2,
                 current.height() + std::max(screen.height() - current.height(), 0) / 2);
  } else if (state == WindowSize::Maximised) {
    size = screen.size();
  }
  QRect place(QPoint(0, 0), size);
  place.moveCenter(screen.center());
  if (state == WindowSize::Maximised) place.moveTopLeft(screen.topLeft());
  return place;
}

TfoCompo::TfoCompo(Context& ctx, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      ctx_(ctx),
      session_(ctx, std::string()) {
  setObjectName("TfoCompo");
  setWindowTitle("Quillomark");
  SetBackground(this, kGroundColour);
  setMinimumSize(kMinimumSize);
  resize(kMinimumSize.width(), 600);

  clock_ = new QTimer(this);
  clock_->setInterval(1000);
  connect(clock_, &QTimer::timeout, this, &TfoCompo::Tick);
  playTimer_ = new QTimer(this);
  playTimer_->setInterval(1000);
  connect(playTimer_, &QTimer::timeout, this, &TfoCompo::PlacePlayButton);
  confinement_ = new MouseConfinement(this);
  exit_ = new TForm6(this);
  player_ = new TFoPlaySentence(ctx, this);

  BuildControls();
  ShowMenuPage();
  DrawBoard(false, false);
  UpdateMenuButtons();
  // The symbol font check: the field marks need a font that has the two arrows.
  if (ctx_.trace.TraceOn()) {
    const QFontMetrics symbols(SheetFont(kGlyphFormat));
    if (!symbols.inFontUcs4(kOpenGlyphChar) || !symbols.inFontUcs4(kCloseGlyphChar))
      ctx_.trace.Trace("[B]Font not existe");
  }
}

TfoCompo::~TfoCompo() = default;

void TfoCompo::SetHooks(PracticeWindowHooks hooks) {
  hooks_ = std::move(hooks);
  session_.SetRegenerator(hooks_.regenerate);
  UpdateMenuButtons();
}

// --- Building ------------------------------------------------------------------------------

void TfoCompo::BuildControls() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  auto* boardPanel = new QFrame(this);
  boardPanel->setObjectName("Pa_User");
  boardPanel->setFixedHeight(kBoardHeight);
  auto* boardLayout = new QHBoxLayout(boardPanel);
  boardLayout->setContentsMargins(0, 0, 0, 0);
  board_ = new BoardPicture(boardPanel);
  boardLayout->addWidget(board_);
  layout->addWidget(boardPanel);

  auto* rule = new QFrame(this);
  rule->setFixedHeight(2);
  SetBackground(rule, QColor(120, 160, 120));
  layout->addWidget(rule);

  pages_ = new QStackedWidget(this);
  pages_->setObjectName("PageControlBorderLess1");
  menuPage_ = BuildMenuPage();
  sheetPage_ = BuildSheetPage();
  pages_->addWidget(menuPage_);
  pages_->addWidget(sheetPage_);
  layout->addWidget(pages_, 1);

  statusBar_ = new QStatusBar(this);
  statusBar_->setObjectName("StatusBar1");
  statusBar_->setSizeGripEnabled(false);
  SetBackground(statusBar_, kStatusBarColour);
  statusPanel_ = new QLabel(statusBar_);
  statusPanel_->setObjectName("StatusPanel0");
  statusPanel_->setMinimumWidth(600);
  statusPanel_->setFont(NamedFont("Tahoma", 9, true));
  statusPanel_->setContentsMargins(6, 2, 6, 2);
  SetBackground(statusPanel_, kGroundColour);
  modePanel_ = new QLabel(statusBar_);
  modePanel_->setObjectName("StatusPanel1");
  modePanel_->setFixedWidth(50);
  modePanel_->setAlignment(Qt::AlignCenter);
  modePanel_->setToolTip("Correction mode");
  statusBar_->addWidget(statusPanel_, 1);
  statusBar_->addPermanentWidget(modePanel_);
  layout->addWidget(statusBar_);
  statusBar_->hide();
}

QWidget* TfoCompo::BuildMenuPage() {
  auto* page = new QWidget(this);
  page->setObjectName("TabMenu");
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  auto* strip = new QFrame(page);
  strip->setObjectName("Pa_BtSeekCompLeft");
  strip->setFixedHeight(44);
  auto* stripLayout = new QHBoxLayout(strip);
  stripLayout->setContentsMargins(20, 4, 20, 4);
  stripLayout->addStretch();
  quit_ = new QToolButton(strip);
  quit_->setObjectName("BT_QstQuit");
  quit_->setToolTip("Quit");
  quit_->setIcon(PracticeIconOf(PracticeIcon::Quit, 28));
  quit_->setIconSize(QSize(28, 28));
  quit_->setFixedSize(38, 36);
  quit_->setAutoRaise(true);
  quit_->setFocusPolicy(Qt::NoFocus);
  quit_->setStyleSheet(
      "QToolButton { border-radius: 6px; }"
      "QToolButton:hover { background: #f3d9d4; }");
  connect(quit_, &QToolButton::clicked, this, [this] {
    if (!SheetOpen()) accept();
  });
  stripLayout->addWidget(quit_);
  layout->addWidget(strip);

  auto* centre = new QHBoxLayout;
  centre->addStretch();
  auto* column = new QVBoxLayout;
  column->setSpacing(18);
  column->addStretch(2);
  auto* title = new QLabel("Quillomark", page);
  title->setObjectName("LbTitle");
  title->setAlignment(Qt::AlignCenter);
  title->setFont(NamedFont("DejaVu Serif", 26, true));
  title->setStyleSheet("color: #2d5a2d;");
  column->addWidget(title);
  column->addSpacing(10);

  auto large = [page, column](const char* name, const QString& text, PracticeIcon icon,
                              const QColor& colour) {
    auto* button = new QPushButton(text, page);
    button->setObjectName(name);
    button->setIcon(PracticeIconOf(icon, 40));
    button->setIconSize(QSize(40, 40));
    button->setFixedSize(420, 72);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::TabFocus);
    button->setStyleSheet(LargeButtonStyle(colour));
    column->addWidget(button);
    return button;
  };
  generate_ = large("BtCa_QstGoToGen", "Create practice worksheets", PracticeIcon::Generate,
                    QColor(110, 170, 110));
  followUp_ = large("BtCa_QstNotFinish", "Practice sheets made", PracticeIcon::FollowUp,
                    QColor(110, 150, 200));
  start_ =
      large("BtCa_QstStart", "Start a practice sheet", PracticeIcon::Start, QColor(225, 160, 80));
  column->addStretch(3);
  centre->addLayout(column);
  centre->addStretch();
  layout->addLayout(centre, 1);

  connect(generate_, &QPushButton::clicked, this, [this] {
    if (hooks_.showConfigurator) AfterConfigurator(hooks_.showConfigurator());
  });
  connect(followUp_, &QPushButton::clicked, this, [this] {
    if (hooks_.showFollowUp) StartFromFollowUp(hooks_.showFollowUp());
  });
  connect(start_, &QPushButton::clicked, this, &TfoCompo::StartFromMenu);
  return page;
}

QToolButton* TfoCompo::ToolButton(const char* name, PracticeIcon icon, const QString& tip) {
  auto* button = new QToolButton(toolbar_);
  button->setObjectName(name);
  button->setIcon(PracticeIconOf(icon, 24));
  button->setIconSize(QSize(24, 24));
  button->setFixedSize(36, 34);
  button->setToolTip(tip);
  button->setAutoRaise(true);
  // The sheet view keeps the focus while buttons are used.
  button->setFocusPolicy(Qt::NoFocus);
  toolbar_->layout()->addWidget(button);
  return button;
}

QWidget* TfoCompo::BuildSheetPage() {
  auto* page = new QWidget(this);
  page->setObjectName("TabSheet");
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  toolbar_ = new QFrame(page);
  toolbar_->setObjectName("Panel1");
  toolbar_->setFixedHeight(42);
  SetBackground(toolbar_, QColor(214, 232, 214));
  toolbar_->setStyleSheet(
      "QToolButton { border-radius: 5px; }"
      "QToolButton:hover { background: #bcd9bc; }"
      "QToolButton:pressed { background: #a3c9a3; }");
  auto* bar = new QHBoxLayout(toolbar_);
  bar->setContentsMargins(8, 3, 8, 3);
  bar->setSpacing(2);
  auto separator = [this, bar] {
    auto* line = new QFrame(toolbar_);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    bar->addSpacing(4);
    bar->addWidget(line);
    bar->addSpacing(4);
  };
  exitButton_ = ToolButton("BtHi_QstNavExit", PracticeIcon::Exit, "Leave the sheet");
  photo_ = ToolButton("Bt_QstPhotoErr", PracticeIcon::Photo, "Screenshot for the trace log");
  size_ = ToolButton("BtHi_QstNavScalScreen", PracticeIcon::SizeNormal, "Window size");
  separator();
  previous_ = ToolButton("BtHi_QstNavPrev", PracticeIcon::Previous, "Previous field");
  next_ = ToolButton("BtHi_QstNavNext", PracticeIcon::Next, "Next field");
  top_ = ToolButton("BtHi_QstNavTopCaret", PracticeIcon::TopCaret, "Caret line to the top");
  gotoEmpty_ = ToolButton("BtHi_QstNavGotoEmptyErr", PracticeIcon::GoToEmptyOrWrong,
                          "Go to an empty or wrong answer");
  check_ = ToolButton("BtHi_QstNavCheckRes", PracticeIcon::Check, "Check the answers");
  logButton_ = ToolButton("BtHi_QstNavLogFile", PracticeIcon::Log, "Answer history");
  keyboard_ = ToolButton("BtHi_QstNavKeyBoard", PracticeIcon::Keyboard, "Letter keyboard");
  separator();
  insert_ = new InsertBox(toolbar_);
  bar->addWidget(insert_, 1);
  layout->addWidget(toolbar_);

  pcCompo_ = new QStackedWidget(page);
  pcCompo_->setObjectName("PcCompo");
  auto* practice = new QWidget(pcCompo_);
  practice->setObjectName("comTabPract");
  auto* practiceLayout = new QHBoxLayout(practice);
  practiceLayout->setContentsMargins(0, 0, 0, 0);
  practiceLayout->setSpacing(0);
  playPanel_ = new QWidget(practice);
  playPanel_->setObjectName("Pa_BtPlay");
  playPanel_->setFixedWidth(kPlayPanelWidth);
  SetBackground(playPanel_, QColor(176, 208, 176));
  play_ = new QToolButton(playPanel_);
  play_->setObjectName("Bt_OnePlay");
  play_->setIcon(PracticeIconOf(PracticeIcon::Play, kPlayButtonSize));
  play_->setIconSize(QSize(kPlayButtonSize, kPlayButtonSize));
  play_->setFixedSize(kPlayButtonSize + 4, kPlayButtonSize + 4);
  play_->setAutoRaise(true);
  play_->setFocusPolicy(Qt::NoFocus);
  play_->setToolTip("Play the sentence");
  play_->hide();
  playPanel_->hide();
  view_ = new EditQR(session_, practice);
  practiceLayout->addWidget(playPanel_);
  practiceLayout->addWidget(view_, 1);
  auto* logPage = new QWidget(pcCompo_);
  logPage->setObjectName("comTabLog");
  auto* logLayout = new QVBoxLayout(logPage);
  logLayout->setContentsMargins(0, 0, 0, 0);
  log_ = new Editresult(logPage);
  logLayout->addWidget(log_);
  pcCompo_->addWidget(practice);
  pcCompo_->addWidget(logPage);
  layout->addWidget(pcCompo_, 1);

  view_->SetLogView(log_);
  PictureSources sources;
  sources.symbolFile = SymbolFilePath(ctx_.folders);
  sources.msgBox = ctx_.msgBox;
  sources.busy = ctx_.busy;
  // "#InsImg_" entries come from the media libraries.
  sources.media = [this](const std::string& reference) {
    MediaItem item;
    const MediaFetch fetched = FetchMedia(ctx_, reference);
    switch (fetched.kind) {
      case MediaFetch::Kind::Failed:
        item.kind = MediaItem::Kind::Failed;
        break;
      case MediaFetch::Kind::Text:
        item.kind = MediaItem::Kind::Text;
        item.text = fetched.text;
        break;
      case MediaFetch::Kind::Picture: {
        const Picture24& picture = fetched.picture;
        item.kind = MediaItem::Kind::Picture;
        item.picture = QImage(reinterpret_cast<const uchar*>(picture.rgb.data()), picture.width,
                              picture.height, picture.width * 3, QImage::Format_RGB888)
                           .copy();
        break;
      }
      case MediaFetch::Kind::Audio:
      case MediaFetch::Kind::Nothing:
        item.kind = MediaItem::Kind::Nothing;
        break;
    }
    return item;
  };
  view_->SetPictureSources(sources);

  connect(exitButton_, &QToolButton::clicked, this, [this] { LeaveSheet(); });
  connect(photo_, &QToolButton::clicked, this, &TfoCompo::TakeScreenshot);
  connect(size_, &QToolButton::clicked, this, &TfoCompo::CycleSize);
  connect(next_, &QToolButton::clicked, view_, &EditQR::GoToNextField);
  connect(previous_, &QToolButton::clicked, view_, &EditQR::GoToPreviousField);
  connect(top_, &QToolButton::clicked, view_, &EditQR::ScrollCaretLineToTop);
  connect(keyboard_, &QToolButton::clicked, view_, &EditQR::ShowKeyboard);
  connect(insert_, &InsertBox::InsertRequested, view_, &EditQR::InsertAtCaret);
  connect(gotoEmpty_, &QToolButton::clicked, this, [this] {
    view_->ApplySessionChange(session_.GoToEmptyOrWrong(view_->FirstVisibleLine()));
    view_->setFocus(Qt::OtherFocusReason);
  });
  connect(check_, &QToolButton::clicked, this, [this] {
    view_->ApplySessionChange(session_.CheckButton());
    AfterSessionChange();
    view_->setFocus(Qt::OtherFocusReason);
  });
  connect(logButton_, &QToolButton::clicked, this, &TfoCompo::ToggleLog);
  connect(play_, &QToolButton::clicked, this, &TfoCompo::PlaySentence);
  connect(view_, &EditQR::Checked, this, &TfoCompo::AfterSessionChange);
  connect(view_, &EditQR::KeyHandled, this, [this] {
    if (LogShown()) ToggleLog();
  });
  connect(view_, &QTextEdit::cursorPositionChanged, this, &TfoCompo::PlacePlayButton);
  connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, this, &TfoCompo::PlacePlayButton);
  // The play button follows the caret closely while the pointer is over the scroll bar.
  view_->verticalScrollBar()->installEventFilter(this);
  return page;
}

void TfoCompo::UpdateMenuButtons() {
  generate_->setEnabled(static_cast<bool>(hooks_.showConfigurator));
  followUp_->setEnabled(static_cast<bool>(hooks_.showFollowUp));
  start_->setEnabled(true);
}

// --- Showing -------------------------------------------------------------------------------

std::string TfoCompo::UserFolder() const {
  const std::string user = ctx_.login ? ctx_.login->currentUser : std::string();
  return user.empty() ? std::string() : ctx_.folders.UserFolder(user);
}

void TfoCompo::ShowModal(const QRect& geometry) {
  PrepareForUser(geometry);
  exec();
}

void TfoCompo::PrepareForUser(const QRect& geometry) {
  session_.SetUserFolder(UserFolder());
  progression_ = std::make_unique<ProgressEvaluation>(ctx_, UserFolder());
  session_.SetProgressHook(progression_.get());
  TranslateWindow(this, ctx_, "compo");
  const std::string user = ctx_.login ? ctx_.login->currentUser : std::string();
  setWindowTitle(user.empty() ? QString("Quillomark") : "Quillomark - " + ToQt(user));
  setMinimumSize(kMinimumSize);
  QRect place = geometry.isValid() ? geometry : this->geometry();
  place.setSize(place.size().expandedTo(kMinimumSize));
  normalGeometry_ = place;
  sizeState_ = WindowSize::Normal;
  size_->setIcon(PracticeIconOf(PracticeIcon::SizeNormal, 24));
  setGeometry(place);
  photo_->setVisible(ctx_.trace.TraceOn());
  toolbar_->hide();
  statusBar_->hide();
  ShowMenuPage();
  DrawBoard(false, false);
  UpdateMenuButtons();
}

bool TfoCompo::MenuShown() const { return pages_->currentWidget() == menuPage_; }

bool TfoCompo::LogShown() const { return pcCompo_->currentIndex() == 1; }

bool TfoCompo::MouseConfined() const { return confinement_->Active(); }

void TfoCompo::ShowMenuPage() {
  pages_->setCurrentWidget(menuPage_);
  start_->setFocus(Qt::OtherFocusReason);
}

void TfoCompo::ShowSheetPage() {
  pages_->setCurrentWidget(sheetPage_);
  pcCompo_->setCurrentIndex(0);
}

// --- Choosing and opening ------------------------------------------------------------------

void TfoCompo::StartFromMenu() {
  // The explore window comes first when the advanced options are on.
  if (!SettingBool(ctx_, "RB_AdvancedGenNo") && hooks_.showExplore &&
      !hooks_.showExplore(UserFolder() + "Qst/"))
    return;
  OpenSheet(LastSheetRequest(ctx_, UserFolder()));
}

void TfoCompo::StartFromFollowUp(const FollowUpChoice& choice) {
  OpenSheet(FollowUpRequest(choice.code, UserFolder(), choice.resultName, choice.sheetPath,
                            choice.kind, choice.faults));
}

void TfoCompo::AfterConfigurator(const ConfiguratorOutcome& outcome) {
  switch (outcome.generated) {
    case ConfiguratorOutcome::Generated::Ordinary:
      OpenSheet(LastSheetRequest(ctx_, UserFolder()));
      break;
    case ConfiguratorOutcome::Generated::Progressive:
      if (!outcome.progressPath.empty()) ContinueProgressive(outcome.progressPath);
      break;
    case ConfiguratorOutcome::Generated::Nothing:
      break;
  }
}

void TfoCompo::ContinueProgressive(const std::string& progressPath) {
  const std::string user = ctx_.login ? ctx_.login->currentUser : std::string();
  Continuation next;
  try {
    Busy busy(ctx_);
    next = ContinueProgress(ctx_, user, progressPath);
  } catch (const std::exception& e) {
    // The next sheet could not be made: the menu stays, the reason on the status line.
    statusBar_->show();
    StatusMessage(e.what(), true);
    return;
  }
  FollowUpChoice choice;
  choice.code = next.code;
  choice.resultName = next.resultName;
  choice.kind = next.kind;
  choice.faults = next.faults;
  choice.sheetPath = next.sheetPath;
  StartFromFollowUp(choice);
}

bool TfoCompo::OpenSheet(const SheetRequest& request) {
  if (request.code == StartCode::None || SheetOpen()) return false;
  Busy busy(ctx_);
  ShowSheetPage();
  SetNavigationEnabled(true);
  toolbar_->show();
  if (SettingBool(ctx_, "Cb_StayMouseInForm")) confinement_->Confine(this);

  const bool opened = request.code == StartCode::Fresh
                          ? session_.OpenFresh(request.path, request.kind)
                          : session_.Resume(request.path, request.resumeKind,
                                            request.resumeFaults);
  if (!opened) {
    // Nothing opens: the menu returns with the reason on the status line.
    confinement_->Release();
    view_->ClearSheet();
    toolbar_->hide();
    ShowMenuPage();
    statusBar_->show();
    QTimer::singleShot(1700, this, [this] {
      if (!SheetOpen() && MenuShown()) statusBar_->hide();
    });
    return false;
  }
  view_->ShowEditorDocuments();
  PreparePlayButton();
  modePanel_->setText(QString("Mode %1").arg(ModeLetter(session_.Rules().mode)));
  AfterSessionChange();
  statusBar_->show();
  view_->setFocus(Qt::OtherFocusReason);
  return true;
}

bool TfoCompo::LeaveSheet() {
  if (!SheetOpen()) return true;
  if (exit_->Ask(this) != 1) {
    view_->setFocus(Qt::OtherFocusReason);
    return false;
  }
  Busy busy(ctx_);
  confinement_->Release();
  clock_->stop();
  playTimer_->stop();
  LeaveReport report;
  try {
    report = session_.Leave();
  } catch (const std::exception& e) {
    if (session_.IsOpen()) {
      // The result could not be written: the sheet stays open, nothing is lost.
      if (SettingBool(ctx_, "Cb_StayMouseInForm")) confinement_->Confine(this);
      AfterSessionChange();
      PreparePlayButton();
      if (ctx_.msgBox) ctx_.msgBox->Warn("Error", e.what());
      return false;
    }
    if (ctx_.msgBox) ctx_.msgBox->Warn("Error", e.what());
  }
  if (!report.revisionError.empty() && ctx_.msgBox)
    ctx_.msgBox->Warn("Error", report.revisionError);
  sentences_.clear();
  playPanel_->hide();
  play_->hide();
  toolbar_->hide();
  view_->ClearSheet();
  DrawBoard(false, false);
  StatusMessage("", false);
  modePanel_->clear();
  SetSize(WindowSize::Normal);
  statusBar_->hide();
  ShowMenuPage();
  return true;
}

void TfoCompo::reject() {
  // Closing the window with a sheet open leaves the sheet first, so no work is lost.
  if (SheetOpen() && !LeaveSheet()) return;
  confinement_->Release();
  QDialog::reject();
}

void TfoCompo::keyPressEvent(QKeyEvent* event) {
  // Escape does not close the window (a dialog's habit): the pupil leaves by the buttons.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

// --- Working -------------------------------------------------------------------------------

void TfoCompo::AfterSessionChange() {
  const ButtonStates& buttons = session_.Buttons();
  check_->setEnabled(buttons.checkEnabled && !LogShown());
  logButton_->setVisible(buttons.logVisible);
  if (!buttons.logVisible && LogShown()) ToggleLog();
  if (session_.TimerRunning()) {
    if (!clock_->isActive()) clock_->start();
  } else {
    clock_->stop();
  }
  DrawBoard(true, true);
}

void TfoCompo::SetNavigationEnabled(bool enabled) {
  for (QToolButton* button : {next_, previous_, top_, gotoEmpty_, keyboard_})
    button->setEnabled(enabled);
  check_->setEnabled(enabled && session_.Buttons().checkEnabled);
}

void TfoCompo::ToggleLog() {
  if (LogShown()) {
    pcCompo_->setCurrentIndex(0);
    SetNavigationEnabled(true);
    view_->setFocus(Qt::OtherFocusReason);
    return;
  }
  if (!SheetOpen()) return;
  pcCompo_->setCurrentIndex(1);
  // The log starts where the sheet is.
  log_->verticalScrollBar()->setValue(view_->verticalScrollBar()->value());
  SetNavigationEnabled(false);
}

void TfoCompo::Tick() {
  if (session_.Tick()) DrawBoard(true, true);
  if (!session_.TimerRunning()) clock_->stop();
}

// --- The board and the status line ---------------------------------------------------------

void TfoCompo::DrawBoard(bool withTimeAndStatus, bool withSheetName) {
  BoardPicture::Content content;
  content.user = ToQt(ctx_.login ? ctx_.login->currentUser : std::string());
  QString first = content.user;
  if (withTimeAndStatus && SheetOpen()) {
    content.withTime = true;
    content.clock = ToQt(BoardClockText(session_.ElapsedSeconds(), session_.Attempt()));
    content.status = ToQt(session_.Status());
    first += "  " + content.clock + "  " + content.status;
  }
  if (withSheetName && SheetOpen()) content.name = ToQt(session_.ResultName());
  boardTexts_ = {first, content.name};
  board_->SetContent(std::move(content));
}

QImage TfoCompo::BoardImage() const { return board_->Render(); }

void TfoCompo::StatusMessage(const std::string& text, bool flash) {
  if (ctx_.status) ctx_.status->StatusMessage(text, flash);
}

// --- Size, screenshots, sentences ----------------------------------------------------------

void TfoCompo::CycleSize() {
  switch (sizeState_) {
    case WindowSize::Normal:
      SetSize(WindowSize::Enlarged);
      break;
    case WindowSize::Enlarged:
      SetSize(WindowSize::Maximised);
      break;
    case WindowSize::Maximised:
      SetSize(WindowSize::Normal);
      break;
  }
  view_->setFocus(Qt::OtherFocusReason);
}

void TfoCompo::SetSize(WindowSize state) {
  const bool confined = confinement_->Active();
  if (confined) confinement_->Release();
  const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
  const QRect area = shown ? shown->availableGeometry() : QRect(0, 0, 1920, 1080);
  setGeometry(SizedGeometry(state, normalGeometry_.size(), size(), area));
  sizeState_ = state;
  static const PracticeIcon kPictures[] = {PracticeIcon::SizeNormal, PracticeIcon::SizeEnlarged,
                                           PracticeIcon::SizeMaximised};
  size_->setIcon(PracticeIconOf(kPictures[static_cast<int>(state)], 24));
  if (confined) confinement_->Confine(this);
}

void TfoCompo::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  PlacePlayButton();
}

void TfoCompo::TakeScreenshot() {
  bool ok = false;
  const QString note = QInputDialog::getText(this, "Print Edit Screen", "You Message...",
                                             QLineEdit::Normal, QString(), &ok);
  if (!ok) return;
  QApplication::processEvents();
  QWidget* target = QApplication::activeWindow() ? QApplication::activeWindow() : this;
  QPixmap shot;
  // The whole window with its frame where the window system lets the screen be read.
  if (QGuiApplication::platformName() == "xcb") {
    if (QScreen* s = target->screen()) {
      const QRect frame = target->frameGeometry();
      shot = s->grabWindow(0, frame.x() - s->geometry().x(), frame.y() - s->geometry().y(),
                           frame.width(), frame.height());
    }
  }
  if (shot.isNull()) shot = target->grab();
  const QImage image = shot.toImage().convertToFormat(QImage::Format_RGB888);
  ScreenPicture picture{image.width(), image.height(), {}};
  picture.rgb.reserve(static_cast<std::size_t>(image.width()) * image.height() * 3);
  for (int y = 0; y < image.height(); ++y) {
    const uchar* row = image.constScanLine(y);
    picture.rgb.insert(picture.rgb.end(), row, row + image.width() * 3);
  }
  try {
    EnsureFolder(ctx_.folders.logDir + "ScreenLog/");
    const DateTime now = ctx_.clock ? ctx_.clock->Now() : DateTime{};
    SaveScreenCapture(ScreenCaptureFileName(ctx_.folders.logDir, now, FromQt(note)), picture);
  } catch (const std::exception& e) {
    if (ctx_.msgBox) ctx_.msgBox->Warn("Print Edit Screen", e.what());
  }
  view_->setFocus(Qt::OtherFocusReason);
}

void TfoCompo::PreparePlayButton() {
  const std::string& options = session_.OptionText();
  PrepareAnswerList(session_.Editor(), options, SettingBool(ctx_, "CB_AllResultMouseClk"));
  const SentenceList list =
      PrepareSentences(session_.Editor().QuestionLines(), options, SettingBool(ctx_, "CB_PlayMP"));
  sentences_ = list.showPlayButton ? list.entries : std::vector<std::string>();
  keyboardOffered_ = ReadSentenceOptions(options).keyboard;
  keyboard_->setVisible(keyboardOffered_);
  playPanel_->setVisible(list.showPlayButton);
  play_->hide();
  playTimer_->stop();
  if (list.showPlayButton) {
    playTimer_->start();
    PlacePlayButton();
  }
}

void TfoCompo::PlacePlayButton() {
  if (!playPanel_->isVisible() || !SheetOpen()) return;
  if (!view_->CaretLineVisible()) {
    play_->hide();
    return;
  }
  const QRect caret = view_->cursorRect();
  const QPoint top = view_->viewport()->mapTo(playPanel_->parentWidget(), caret.topLeft());
  const int y = top.y() - playPanel_->y() + (caret.height() - play_->height()) / 2;
  play_->move((kPlayPanelWidth - play_->width()) / 2, std::max(y, 0));
  play_->show();
}

void TfoCompo::PlaySentence() {
  if (!SheetOpen() || sentences_.empty()) return;
  const std::optional<SentencePlay> play =
      quillo::PlaySentence(ctx_, sentences_, view_->CaretLine());
  if (!play) return;
  player_->ShowSentence(*play, this);
  EndSentencePlay(ctx_, *play);
  view_->setFocus(Qt::OtherFocusReason);
}

bool TfoCompo::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_->verticalScrollBar()) {
    if (event->type() == QEvent::Enter) playTimer_->setInterval(50);
    if (event->type() == QEvent::Leave) playTimer_->setInterval(1000);
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace quillo
