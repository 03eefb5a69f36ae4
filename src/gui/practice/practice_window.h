// The practice window TfoCompo, shown modally after a login in place of the login window: the
// board with the user, the clock, the status and the result name; the menu page (create sheets,
// practice sheets made, start a practice sheet, quit); the practice page with its toolbar, the
// sheet view and the log view; the status line. The practice itself is a PracticeSession: the
// window forwards keys and buttons to it, shows what it changed, ticks its clock and leaves the
// sheet through the exit dialog.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QRect>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "practice/practice_session.h"
#include "followup/followup_lists.h"
#include "practice/practice_start.h"

class QLabel;
class QPushButton;
class QStackedWidget;
class QStatusBar;
class QTimer;
class QToolButton;
class QWidget;

namespace quillo {

struct Context;
class BoardPicture;
class EditQR;
class Editresult;
class InsertBox;
class MouseConfinement;
class ProgressEvaluation;
class TForm6;
class TFoPlaySentence;
enum class PracticeIcon;

// What the generate dialog chose when the Configurator closed.
struct ConfiguratorOutcome {
  enum class Generated { Nothing, Ordinary, Progressive };
  Generated generated = Generated::Nothing;
  std::string progressPath;  // the progress file of a progressive practice
};

// The windows and services the menu reaches; a menu button stays disabled while its window is
// missing.
struct PracticeWindowHooks {
  // "Practice sheets made": the follow-up window, filled for the user and shown.
  std::function<FollowUpChoice()> showFollowUp;
  // "Create practice worksheets": the Configurator.
  std::function<ConfiguratorOutcome()> showConfigurator;
  // The explore window over a folder; true when it closed with OK (a sheet was chosen).
  std::function<bool(const std::string& folder)> showExplore;
  // Makes a sheet anew from its job as it opens (see PracticeSession::SetRegenerator).
  PracticeSession::SheetRegenerator regenerate;
};

// The three states of the size button.
enum class WindowSize { Normal, Enlarged, Maximised };

// The geometry of a size state: normal is the normal size, enlarged grows the current size by
// half of what the screen has more in each direction, maximised is the screen; the window is
// centred on the screen.
QRect SizedGeometry(WindowSize state, const QSize& normal, const QSize& current,
                    const QRect& screen);

class TfoCompo : public QDialog {
  Q_OBJECT

 public:
  explicit TfoCompo(Context& ctx, QWidget* parent = nullptr);
  ~TfoCompo() override;

  void SetHooks(PracticeWindowHooks hooks);

  // Shows the window modally for the logged-in user (ctx.login) at the login window's geometry
  // (at least 800 x 540); returns when it has closed.
  void ShowModal(const QRect& geometry);
  // What showing the window does before it runs: the user's folder, the texts of the active
  // language, the caption, the geometry, the menu page and the board without a sheet.
  void PrepareForUser(const QRect& geometry);

  // --- Choosing and opening ------------------------------------------------------------------
  // "Start a practice sheet": the user's last sheet, fresh.
  void StartFromMenu();
  // A choice of the follow-up window (or of the progression's next step).
  void StartFromFollowUp(const FollowUpChoice& choice);
  // After the Configurator: an ordinary sheet as "Start a practice sheet" without the explore
  // window, a progressive practice through its next step.
  void AfterConfigurator(const ConfiguratorOutcome& outcome);
  // The next step of the progressive practice of a progress file: its open sheet resumed, or
  // its next sheet made and opened (the choice the follow-up window makes the same way).
  void ContinueProgressive(const std::string& progressPath);
  // Opens what the request names; false when nothing opened (the reason is on the status line).
  bool OpenSheet(const SheetRequest& request);
  // BtHi_QstNavExit: asks the exit dialog, then saves and returns to the menu; false when the
  // sheet stays open.
  bool LeaveSheet();

  // --- The board and the status line ----------------------------------------------------------
  void DrawBoard(bool withTimeAndStatus, bool withSheetName);
  void StatusMessage(const std::string& text, bool flash);

  // --- For the program and for tests ----------------------------------------------------------
  PracticeSession& Session() { return session_; }
  EditQR* SheetView() const { return view_; }
  Editresult* LogView() const { return log_; }
  TForm6* ExitDialog() const { return exit_; }
  TFoPlaySentence* SentencePlayer() const { return player_; }
  // The status panel that the program's status line writes to.
  QLabel* StatusPanel() const { return statusPanel_; }
  bool SheetOpen() const { return session_.IsOpen(); }
  bool MenuShown() const;
  bool LogShown() const;
  WindowSize SizeState() const { return sizeState_; }
  // The board as it is painted.
  QImage BoardImage() const;
  // The text lines the board shows (for tests): the name row and the result row.
  const QStringList& BoardTexts() const { return boardTexts_; }
  bool MouseConfined() const;
  // The sentence list of the open sheet (one entry per line of the sheet view).
  const std::vector<std::string>& Sentences() const { return sentences_; }

 public slots:
  void ToggleLog();
  void CycleSize();
  void PlaySentence();
  void TakeScreenshot();
  // One second of the clock.
  void Tick();

 protected:
  void reject() override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  QWidget* BuildMenuPage();
  QWidget* BuildSheetPage();
  QToolButton* ToolButton(const char* name, PracticeIcon icon, const QString& tip);
  void UpdateMenuButtons();
  // After every operation of the session: the buttons of the mode, the clock, the board.
  void AfterSessionChange();
  void SetNavigationEnabled(bool enabled);
  void ShowMenuPage();
  void ShowSheetPage();
  void PreparePlayButton();
  void PlacePlayButton();
  void SetSize(WindowSize state);
  std::string UserFolder() const;

  Context& ctx_;
  PracticeSession session_;
  PracticeWindowHooks hooks_;
  QRect normalGeometry_;
  WindowSize sizeState_ = WindowSize::Normal;
  std::vector<std::string> sentences_;
  bool keyboardOffered_ = false;
  // The evaluation of the user's progressive sheets when they are left.
  std::unique_ptr<ProgressEvaluation> progression_;

  // The board.
  BoardPicture* board_;
  QStringList boardTexts_;
  // The pages.
  QStackedWidget* pages_;
  QWidget* menuPage_;
  QWidget* sheetPage_;
  QPushButton* generate_;
  QPushButton* followUp_;
  QPushButton* start_;
  QToolButton* quit_;
  // The practice page.
  QWidget* toolbar_;
  QToolButton* exitButton_;
  QToolButton* photo_;
  QToolButton* size_;
  QToolButton* next_;
  QToolButton* previous_;
  QToolButton* top_;
  QToolButton* gotoEmpty_;
  QToolButton* check_;
  QToolButton* logButton_;
  QToolButton* keyboard_;
  InsertBox* insert_;
  QStackedWidget* pcCompo_;
  QWidget* playPanel_;
  QToolButton* play_;
  EditQR* view_;
  Editresult* log_;
  // The status line.
  QStatusBar* statusBar_;
  QLabel* statusPanel_;
  QLabel* modePanel_;

  QTimer* clock_;
  QTimer* playTimer_;
  MouseConfinement* confinement_;
  TForm6* exit_;
  TFoPlaySentence* player_;
};

}  // namespace quillo
