// The program's message box: a small modal tool window with a title, two centred bold lines,
// an optional icon and up to three picture buttons (OK 1, Cancel 2, third 3); with no button it
// has a close box, and closing it any other way than by a button answers 2.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <memory>

#include "shell/seams.h"

class QFontMetrics;
class QFrame;
class QLabel;
class QPushButton;

namespace quillo {

// Height of the box (grown only when its lines need more room).
inline constexpr int kMsgBoxHeight = 150;
// Narrowest client width.
inline constexpr int kMsgBoxMinWidth = 240;

// The client width of a box: the largest of 240 and, for each line, the line's drawn width in
// the box's font plus two pixels per character.
int MsgBoxClientWidth(const QFontMetrics& metrics, const QStringList& lines);

// The font of the two lines: bold 8-point Tahoma.
QFont MsgBoxFont();

class MsgBoxDialog : public QDialog {
  Q_OBJECT

 public:
  explicit MsgBoxDialog(QWidget* parent = nullptr);

  // Sets title, lines and pictures (texts in Windows-1252, trimmed here), sizes the box and
  // centres it on anchor (or on the screen when there is none).
  void Configure(const std::string& title, const std::string& line1, const std::string& line2,
                 int cancelPicture, int okPicture, int thirdPicture, int icon,
                 const QWidget* anchor);

  // The trimmed texts shown.
  const QString& Line1() const { return line1Text_; }
  const QString& Line2() const { return line2Text_; }

  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }
  QPushButton* ThirdButton() const { return third_; }

 public slots:
  void reject() override;  // Escape and the close box answer 2

 private:
  void PlaceButtons(int width, int height);

  QLabel* icon_;
  QLabel* line1_;
  QLabel* line2_;
  QFrame* bar_;
  QPushButton* ok_;
  QPushButton* cancel_;
  QPushButton* third_;
  QString line1Text_;
  QString line2Text_;
};

// The message-box seam of the desktop program: one box, created once and reused, shown
// modally over the active window of the program (or its main window).
class QtMessageBox : public MessageBox {
 public:
  QtMessageBox();
  ~QtMessageBox() override;

  // The window the boxes are centred on when no other window of the program is active.
  void SetMainWindow(QWidget* window) { mainWindow_ = window; }

  int ShowMsgBox(const std::string& title, const std::string& line1, const std::string& line2,
                 int cancelPicture, int okPicture, int thirdPicture, int icon) override;

  // The reused box (shown while a ShowMsgBox call runs).
  MsgBoxDialog* Dialog() const { return dialog_.get(); }

 private:
  QWidget* Anchor() const;
  int Run(MsgBoxDialog& dialog, const std::string& title, const std::string& line1,
          const std::string& line2, int cancelPicture, int okPicture, int thirdPicture,
          int icon);

  QPointer<QWidget> mainWindow_;
  std::unique_ptr<MsgBoxDialog> dialog_;
  bool dialogInUse_ = false;  // until its exec() has returned, even when already hidden
};

}  // namespace quillo
