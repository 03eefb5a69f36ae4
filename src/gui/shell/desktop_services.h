// The front-end seams of the desktop program besides the message box: the wait cursor, the
// status line and the progress window.
#pragma once

#include <QPointer>
#include <QWidget>

#include "shell/seams.h"

class QLabel;
class QProgressBar;
class QTimer;

namespace quillo {

// The busy indicator: the wait cursor while at least one SetBusy(true) is not yet undone.
class WaitCursor : public BusyIndicator {
 public:
  ~WaitCursor() override;
  void SetBusy(bool busy) override;
  int Depth() const { return depth_; }

 private:
  int depth_ = 0;
};

// The status line: a message panel of the window that shows it (set with SetPanel). A text is
// appended to what the panel shows, or set when it is empty; an empty text clears the panel.
// A flashed message shows the "not allowed" pointer and a silver bar with a beep; after 1.5
// seconds the bar returns to the ground colour, the text is cleared and the pointer restored.
class WidgetStatusLine : public StatusLine {
 public:
  explicit WidgetStatusLine(int flashMilliseconds = 1500);
  ~WidgetStatusLine() override;
  // The label that shows the messages (null: the messages are kept but not shown).
  void SetPanel(QLabel* panel);
  void StatusMessage(const std::string& text, bool flash) override;
  const QString& Text() const { return text_; }
  bool Flashing() const;

 private:
  void Render();
  void EndFlash();

  QPointer<QLabel> panel_;
  QString text_;
  QTimer* flashTimer_;
  bool cursorOverridden_ = false;
};

// The progress window of long operations (TProgressForm): the operation's text, the current
// file, a moving bar and a spinner. It is driven from the operation itself; every step lets
// the window repaint.
class TProgressForm : public QWidget, public ProgressWorker {
  Q_OBJECT

 public:
  explicit TProgressForm(QWidget* parent = nullptr);
  void Start(const std::string& title, const std::string& text) override;
  void Step(const std::string& current) override;
  // Shows "[Finished...ok]" and closes the window two seconds later.
  void Stop() override;

  // The spinner text of a bar position (0..99), as the step label shows it.
  static QString SpinnerText(int position);

 private:
  QLabel* text_;
  QLabel* status_;
  QLabel* step_;
  QProgressBar* bar_;
  QTimer* closeTimer_;
  int position_ = 0;
  int round_ = 1;
};

}  // namespace quillo
