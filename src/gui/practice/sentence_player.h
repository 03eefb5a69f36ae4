// The sentence player TFoPlaySentence: a borderless modal tool window above the practice window
// (not above every window, so that its messages can come in front of it), dragged by any point,
// showing a sentence as stars (or revealed by the eyes button) and reading it aloud from its
// temporary audio file while the sentence is highlighted letter by letter. When no sound can be
// opened or played it says so and stays usable.
#pragma once

#include <QDialog>
#include <QPoint>
#include <functional>
#include <memory>
#include <string>

#include "practice/sentences.h"

class QAudioOutput;
class QMediaPlayer;
class QTimer;
class QToolButton;

namespace quillo {

struct Context;

// The messages of a sound that cannot be opened or played.
inline constexpr const char* kCannotOpenSound =
    "er1: Cannot play MP3.. or codec MP3 not installed !";
inline constexpr const char* kCannotPlaySound =
    "er2: Cannot play MP3.. or codec MP3 not installed !";

// Picks the media back end before the first sound object exists, unless QT_MEDIA_BACKEND says
// which: GStreamer when the plugins it needs are installed, otherwise FFmpeg (shipped with Qt
// Multimedia), so that missing GStreamer plugins can never stop the program.
void ChooseMediaBackend();

class TFoPlaySentence : public QDialog {
  Q_OBJECT

 public:
  explicit TFoPlaySentence(Context& ctx, QWidget* parent = nullptr);
  ~TFoPlaySentence() override;

  // Shows the sentence of play modally, sized to its text, centred over `over` and kept on the
  // screen; returns when the window has closed.
  void ShowSentence(const SentencePlay& play, QWidget* over);
  // Prepares the window for the sentence without showing it (ShowSentence does it first).
  void Prepare(const SentencePlay& play);

  // Whether the machine has a device to play sound on; replaceable by tests.
  void SetOutputCheck(std::function<bool()> check) { outputCheck_ = std::move(check); }

  const SentencePlayerView& View() const { return *view_; }
  QString ShownText() const;
  QToolButton* PlayButton() const { return play_; }
  QToolButton* EyesButton() const { return eyes_; }
  QToolButton* CloseButton() const { return close_; }
  // The last message shown (the sound could not be opened or played), "" when none.
  const std::string& LastMessage() const { return lastMessage_; }

 public slots:
  void PressPlay();
  void PressEyes();
  void reject() override;  // not while a sound plays

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void PaintSentence(QPainter& p, const QRect& area) const;
  void UpdateButtons();
  void OnStatus(int status);
  void OnTick();
  // The highlight reached the end and the sound ended: the sound is released, the file stored
  // again, and the highlight removed a second later.
  void Finish();
  // The sound could not be opened or played: the message, and the window usable again.
  void Fail(const char* message);
  void ReleasePlayer();

  Context& ctx_;
  std::unique_ptr<SentencePlayerView> view_;
  std::string audioPath_;
  bool transformed_ = false;  // the audio file is in its playable form
  bool opening_ = false;
  long long lastPosition_ = -1;
  int stalledTicks_ = 0;
  std::function<bool()> outputCheck_;
  std::string lastMessage_;
  QMediaPlayer* player_ = nullptr;
  QAudioOutput* output_ = nullptr;
  QTimer* tick_;
  QTimer* watchdog_;
  QWidget* area_;
  QToolButton* play_;
  QToolButton* eyes_;
  QToolButton* close_;
  QPoint dragOffset_;
  bool dragging_ = false;
};

}  // namespace quillo
