#include "gui/practice/sentence_player.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <algorithm>

#include "gui/practice/practice_icons.h"
#include "gui/shell/qt_text.h"
#include "gui/shell/theme.h"
#include "practice/media_library.h"
#include "practice/sound_check.h"
#include "setup/settings_store.h"
#include "shell/context.h"

namespace quillo {

namespace {

constexpr int kHeight = 120;
constexpr int kAreaHeight = 80;
constexpr int kButton = 32;
const QColor kSentenceColour(128, 0, 0);
const QColor kHighlightColour(0, 0, 128);

// The plugins the GStreamer back end needs to build its player at all.
bool GStreamerPluginsInstalled() {
  QStringList folders;
  for (const char* variable : {"GST_PLUGIN_SYSTEM_PATH_1_0", "GST_PLUGIN_SYSTEM_PATH"}) {
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty()) folders << value.split(':', Qt::SkipEmptyParts);
  }
  if (folders.isEmpty()) {
    for (const char* root : {"/usr/lib", "/usr/lib64", "/usr/local/lib"}) {
      const QString lib(root);
      folders << lib + "/gstreamer-1.0";
      for (const QFileInfo& sub : QDir(lib).entryInfoList({"*-linux-gnu*"}, QDir::Dirs))
        folders << sub.filePath() + "/gstreamer-1.0";
    }
  }
  for (const QString& folder : folders) {
    const QDir dir(folder);
    if (dir.exists("libgstplayback.so") && dir.exists("libgstaudioconvert.so") &&
        dir.exists("libgstautodetect.so"))
      return true;
  }
  return false;
}

// The tiled ground of the window: cream with fine diagonal lines.
QPixmap Tile() {
  QPixmap tile(24, 24);
  tile.fill(QColor(250, 246, 232));
  QPainter p(&tile);
  p.setPen(QPen(QColor(236, 229, 206), 1));
  p.drawLine(0, 24, 24, 0);
  p.drawLine(-12, 24, 12, 0);
  p.drawLine(12, 24, 36, 0);
  return tile;
}

QToolButton* PictureButton(QWidget* parent, const char* name, PracticeIcon icon,
                           const QString& tip) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setIcon(PracticeIconOf(icon, 24));
  button->setIconSize(QSize(24, 24));
  button->setFixedSize(kButton, kButton);
  button->setToolTip(tip);
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

}  // namespace

void ChooseMediaBackend() {
  static bool chosen = false;
  if (chosen) return;
  chosen = true;
  if (!qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) return;
  qputenv("QT_MEDIA_BACKEND", GStreamerPluginsInstalled() ? "gstreamer" : "ffmpeg");
}

TFoPlaySentence::TFoPlaySentence(Context& ctx, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint),
      ctx_(ctx),
      view_(std::make_unique<SentencePlayerView>("", false)),
      outputCheck_([] { return !QMediaDevices::audioOutputs().isEmpty(); }),
      tick_(new QTimer(this)),
      watchdog_(new QTimer(this)) {
  ChooseMediaBackend();
  setObjectName("TFoPlaySentence");
  setModal(true);
  resize(130, kHeight);
  area_ = new QWidget(this);
  area_->setObjectName("PaintBPhrase");
  area_->setAttribute(Qt::WA_TransparentForMouseEvents);
  play_ = PictureButton(this, "SpPlaySent", PracticeIcon::Play, "Play");
  eyes_ = PictureButton(this, "SpPlayEyes", PracticeIcon::EyesClosed, "Show the sentence");
  close_ = PictureButton(this, "SpPlayClose", PracticeIcon::Close, "Close");
  connect(play_, &QToolButton::clicked, this, &TFoPlaySentence::PressPlay);
  connect(eyes_, &QToolButton::clicked, this, &TFoPlaySentence::PressEyes);
  connect(close_, &QToolButton::clicked, this, &TFoPlaySentence::reject);
  tick_->setInterval(250);
  connect(tick_, &QTimer::timeout, this, &TFoPlaySentence::OnTick);
  // A sound that never starts or never ends must not keep the window busy for good.
  watchdog_->setSingleShot(true);
  connect(watchdog_, &QTimer::timeout, this, [this] {
    if (opening_ || (player_ && player_->position() == 0)) Fail(kCannotPlaySound);
  });
}

TFoPlaySentence::~TFoPlaySentence() { ReleasePlayer(); }

void TFoPlaySentence::Prepare(const SentencePlay& play) {
  ReleasePlayer();
  tick_->stop();
  watchdog_->stop();
  lastMessage_.clear();
  audioPath_ = play.audioPath;
  transformed_ = false;
  view_ = std::make_unique<SentencePlayerView>(play.text, SettingBool(ctx_, "CB_HideSent"));
  QFont font = NamedFont("Tahoma", 12);
  font.setPixelSize(24);
  const int width = SentencePlayerWidth(QFontMetrics(font).horizontalAdvance(ToQt(play.text)));
  resize(width, kHeight);
  area_->setGeometry(2, 2, width - 4, kAreaHeight);
  play_->move(10, kHeight - kButton - 6);
  eyes_->move(10 + kButton + 4, kHeight - kButton - 6);
  close_->move(width - kButton - 10, kHeight - kButton - 6);
  UpdateButtons();
  update();
}

void TFoPlaySentence::ShowSentence(const SentencePlay& play, QWidget* over) {
  Prepare(play);
  QRect place(QPoint(0, 0), size());
  const QRect anchor = over ? over->frameGeometry() : QRect();
  const QScreen* screen = over ? over->screen() : QGuiApplication::primaryScreen();
  if (anchor.isValid()) place.moveCenter(anchor.center());
  if (screen) {
    const QRect area = screen->availableGeometry();
    if (!anchor.isValid()) place.moveCenter(area.center());
    place.moveLeft(std::clamp(place.left(), area.left(),
                              std::max(area.left(), area.right() - place.width() + 1)));
    place.moveTop(std::clamp(place.top(), area.top(),
                             std::max(area.top(), area.bottom() - place.height() + 1)));
  }
  move(place.topLeft());
  exec();
  ReleasePlayer();
}

QString TFoPlaySentence::ShownText() const { return ToQt(view_->ShownText()); }

void TFoPlaySentence::UpdateButtons() {
  play_->setEnabled(view_->PlayEnabled());
  eyes_->setEnabled(view_->EyesEnabled());
  close_->setEnabled(view_->CloseEnabled());
  eyes_->setIcon(PracticeIconOf(
      view_->EyesPicture() == 1 ? PracticeIcon::EyesOpen : PracticeIcon::EyesClosed, 24));
}

void TFoPlaySentence::PressEyes() {
  view_->PressEyes();
  UpdateButtons();
  update();
}

void TFoPlaySentence::PressPlay() {
  if (!view_->PlayEnabled() || audioPath_.empty()) return;
  view_->StartPlaying();
  UpdateButtons();
  update();
  lastPosition_ = -1;
  stalledTicks_ = 0;
  // The sound is stored transformed; it is played in its own form.
  if (!ByteTransformFile(audioPath_)) {
    Fail(kCannotOpenSound);
    return;
  }
  transformed_ = true;
  // Only what starts like a sound reaches the decoder.
  if (!FileLooksLikeSound(audioPath_)) {
    Fail(kCannotOpenSound);
    return;
  }
  player_ = new QMediaPlayer(this);
  output_ = new QAudioOutput(this);
  player_->setAudioOutput(output_);
  connect(player_, &QMediaPlayer::mediaStatusChanged, this,
          [this](QMediaPlayer::MediaStatus status) { OnStatus(static_cast<int>(status)); });
  connect(player_, &QMediaPlayer::errorOccurred, this,
          [this] { Fail(opening_ ? kCannotOpenSound : kCannotPlaySound); });
  opening_ = true;
  watchdog_->start(5000);
  player_->setSource(QUrl::fromLocalFile(ToQt(audioPath_)));
  if (player_ && player_->mediaStatus() == QMediaPlayer::LoadedMedia)
    OnStatus(QMediaPlayer::LoadedMedia);
}

void TFoPlaySentence::OnStatus(int value) {
  if (!player_) return;
  const auto status = static_cast<QMediaPlayer::MediaStatus>(value);
  if (opening_) {
    if (status == QMediaPlayer::InvalidMedia) {
      Fail(kCannotOpenSound);
    } else if (status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia) {
      opening_ = false;
      if (!outputCheck_ || !outputCheck_()) {
        Fail(kCannotPlaySound);
        return;
      }
      player_->play();
      tick_->start();
      watchdog_->start(5000);
    }
    return;
  }
  if (status == QMediaPlayer::EndOfMedia) {
    view_->Highlight(1, 1);
    update();
    Finish();
  } else if (status == QMediaPlayer::InvalidMedia) {
    Fail(kCannotPlaySound);
  }
}

void TFoPlaySentence::OnTick() {
  if (!player_ || !view_->Playing()) return;
  const qint64 position = player_->position();
  view_->Highlight(static_cast<double>(position), static_cast<double>(player_->duration()));
  update();
  // The highlight runs ahead of the voice: the sound is heard to its end (EndOfMedia) before it
  // is released. A sound that stops moving for three seconds has ended, or cannot be played.
  stalledTicks_ = position == lastPosition_ ? stalledTicks_ + 1 : 0;
  lastPosition_ = position;
  const bool stopped = player_->playbackState() == QMediaPlayer::StoppedState;
  if (view_->ReachedEnd() && (stopped || stalledTicks_ >= 12)) {
    Finish();
  } else if (stalledTicks_ >= 12) {
    Fail(kCannotPlaySound);
  }
}

void TFoPlaySentence::Finish() {
  if (!view_->Playing() || !tick_->isActive()) return;
  tick_->stop();
  watchdog_->stop();
  ReleasePlayer();
  QTimer::singleShot(1000, this, [this] {
    view_->EndPause();
    UpdateButtons();
    update();
  });
}

void TFoPlaySentence::Fail(const char* message) {
  tick_->stop();
  watchdog_->stop();
  opening_ = false;
  ReleasePlayer();
  if (view_->Playing()) view_->EndPause();
  UpdateButtons();
  update();
  lastMessage_ = message;
  if (ctx_.msgBox) ctx_.msgBox->Warn("Info", message);
}

void TFoPlaySentence::ReleasePlayer() {
  if (player_) {
    player_->disconnect(this);
    player_->stop();
    player_->setSource(QUrl());
    player_->deleteLater();
    player_ = nullptr;
  }
  if (output_) {
    output_->deleteLater();
    output_ = nullptr;
  }
  // The file goes back to its stored form.
  if (transformed_ && !audioPath_.empty()) ByteTransformFile(audioPath_);
  transformed_ = false;
}

void TFoPlaySentence::reject() {
  if (!view_->CloseEnabled()) return;
  QDialog::reject();
}

void TFoPlaySentence::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QBrush(Tile()));
  p.setPen(QPen(QColor(128, 128, 128), 2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(1, 1, width() - 2, height() - 2));
  PaintSentence(p, area_->geometry());
}

void TFoPlaySentence::PaintSentence(QPainter& p, const QRect& area) const {
  p.save();
  p.setClipRect(area);
  p.setRenderHint(QPainter::TextAntialiasing);
  QFont font = NamedFont("Segoe UI", 12);
  font.setPixelSize(24);
  p.setFont(font);
  const QFontMetrics metrics(font);
  const QString text = ShownText();
  const int lit = std::clamp(view_->Highlighted(), 0, static_cast<int>(text.size()));
  const QPoint origin(area.left() + 18, area.top() + 28 + metrics.ascent());
  p.setPen(kHighlightColour);
  p.drawText(origin, text.left(lit));
  p.setPen(kSentenceColour);
  p.drawText(origin + QPoint(metrics.horizontalAdvance(text.left(lit)), 0), text.mid(lit));
  p.restore();
}

void TFoPlaySentence::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragging_ = true;
  dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void TFoPlaySentence::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) move(event->globalPosition().toPoint() - dragOffset_);
}

void TFoPlaySentence::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

}  // namespace quillo
