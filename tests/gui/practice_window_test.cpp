// Tests of the practice window: the menu and the board, opening the last sheet, Enter and the
// buttons in each correction mode, the exit dialog and the result it lets be written, resuming
// with answers and colours, damaged files on the status line, the log page, the size button,
// the mouse confinement, closing with a sheet open, the screenshot button and the window's texts
// in another language.
#include "gui/practice/practice_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <functional>

#include "core/practice/session_test_util.h"
#include "gui/practice/exit_dialog.h"
#include "gui/practice/mouse_confinement.h"
#include "gui/practice/sheet_view.h"
#include "gui/shell/desktop_services.h"
#include "gui/shell/window_texts.h"
#include "gui_test_support.h"
#include "language/text_lookup.h"
#include "setup/accounts.h"
#include "setup/login_state.h"
#include "shell/ini_file.h"

namespace quillo {
namespace {

// The follow-up window's choice to resume the result of that name.
FollowUpChoice ResumeChoice(const std::string& name) {
  FollowUpChoice choice;
  choice.code = kFollowUpResume;
  choice.resultName = name;
  return choice;
}


using Lines = std::vector<std::string>;

const Lines kSums = {"#ChB$Add two numbers", "3 + 4 = {7}#EndLig$", "10 + 5 = {15}#EndLig$",
                     "#FoPur_Capital:$ The capital of France is {Paris}.#EndLig$",
                     "Write {3} and {4}.#EndLig$"};

class PracticeWindowTest : public ::testing::Test {
 protected:
  PracticeWindowTest() : status(60), compo(t.ctx) {
    t.ctx.settings = &store;
    t.ctx.login = &state;
    t.ctx.status = &status;
    state.currentUser = "Ann";
    user = t.ctx.folders.UserFolder("Ann");
    EnsureFolder(user);
    status.SetPanel(compo.StatusPanel());
    compo.PrepareForUser(QRect(40, 40, 820, 600));
    compo.show();
  }
  ~PracticeWindowTest() override {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && w != &compo) w->close();
  }

  // A sheet in the user's book folder, recorded as the last sheet.
  std::string WriteSheet(const std::string& name, const Lines& questions,
                         const std::string& header = test::kPlainHeader) {
    const std::string path = user + "Qst/Book/" + name;
    t.dir.Write(path.substr(t.dir.Path().size()), test::SheetText(questions, path, "  ", header));
    IniWriteString(user + kAccountIni, "Last Input", "Nom 2", path);
    return path;
  }
  // The mode in the user's own settings, which leaving a sheet reads again.
  void ChooseMode(CorrectionMode mode) {
    static const char* const keys[] = {"Rb1_PerCor", "Rb2_PerCor", "Rb3_PerCor", "Rb4_PerCor"};
    store.SetBool(keys[static_cast<int>(mode)], true);
    WriteSettings(t.ctx, user, kMasterIni);
  }
  void Open(const Lines& questions, CorrectionMode mode, const std::string& name = "sums.QST") {
    ChooseMode(mode);
    WriteSheet(name, questions);
    compo.StartFromMenu();
    ASSERT_TRUE(compo.SheetOpen()) << status.Text().toStdString();
  }

  EditQR* View() { return compo.SheetView(); }
  PracticeEditor& Editor() { return compo.Session().Editor(); }
  template <class T = QAbstractButton>
  T* Child(const char* name) {
    T* child = compo.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  void Type(const QString& text) { QTest::keyClicks(View(), text); }
  void Enter() { QTest::keyClick(View(), Qt::Key_Return); }
  // Erases field k and types the answer into it, then Enter.
  void Answer(int k, const QString& text) {
    View()->setFocus();
    Editor().GoToField(k);
    const FieldSpan span = FieldSpanOf(Editor().Sheet(), k);
    QTextCursor cursor = View()->textCursor();
    cursor.setPosition(Editor().Caret());
    View()->setTextCursor(cursor);
    for (int i = span.begin; i < span.end; ++i) QTest::keyClick(View(), Qt::Key_Delete);
    Type(text);
    Enter();
  }
  int CaretField() {
    return Editor().Place(Editor().Caret()).inside ? Editor().FieldAt(Editor().Caret()).index : -1;
  }
  // 'r' red, 'g' green, 'b' blue for the content of field k.
  char Colour(int k) {
    const SheetDocument& doc = Editor().Sheet();
    const FieldSpan span = FieldSpanOf(doc, k);
    for (int i = span.begin; i < span.end; ++i) {
      if (doc.ByteAt(i) == ' ') continue;
      const Rgb c = doc.FormatAt(i).colour;
      return c == kRed ? 'r' : c == kGreen ? 'g' : c == kBlue ? 'b' : '-';
    }
    return '-';
  }
  // Leaves the sheet, answering the exit dialog with OK or Cancel.
  bool Leave(bool ok) {
    QString caption, text;
    test::WhenModal([&](QWidget* modal) {
      caption = modal->windowTitle();
      text = modal->findChild<QLabel*>("Label1")->text();
      test::ClickChild(modal, ok ? "BtOk" : "BtCancel");
    });
    const bool left = compo.LeaveSheet();
    EXPECT_EQ(caption, "Exit ...");
    EXPECT_EQ(text, "Stop !");
    return left;
  }

  test::TestContext t;
  SettingsStore store;
  LoginState state;
  WidgetStatusLine status;
  std::string user;
  TfoCompo compo;
};

TEST_F(PracticeWindowTest, MenuBoardAndTheLastSheet) {
  EXPECT_TRUE(compo.MenuShown());
  EXPECT_EQ(compo.BoardTexts(), QStringList({"Ann", "???"}));
  EXPECT_EQ(compo.BoardImage().height(), 65);
  EXPECT_EQ(compo.BoardImage().pixelColor(2, 2), QColor(192, 220, 192));
  EXPECT_FALSE(compo.findChild<QStatusBar*>("StatusBar1")->isVisible());
  EXPECT_FALSE(Child("BtCa_QstGoToGen")->isEnabled());
  EXPECT_FALSE(Child("BtCa_QstNotFinish")->isEnabled());
  EXPECT_TRUE(Child("BtCa_QstStart")->isEnabled());
  EXPECT_FALSE(Child("Bt_QstPhotoErr")->isVisibleTo(&compo));
  EXPECT_EQ(compo.windowTitle(), "Quillomark - Ann");
  EXPECT_GE(compo.width(), 800);
  EXPECT_GE(compo.height(), 540);

  // No sheet yet: the pupil is asked to generate one and the menu stays.
  Child("BtCa_QstStart")->click();
  ASSERT_EQ(t.msgBox.Shown().size(), 1u);
  EXPECT_EQ(t.msgBox.Shown()[0].line1, "Pls. generate a new file !");
  EXPECT_TRUE(compo.MenuShown());

  ChooseMode(CorrectionMode::A);
  WriteSheet("sums.QST", kSums);
  Child("BtCa_QstStart")->click();
  ASSERT_TRUE(compo.SheetOpen());
  EXPECT_FALSE(compo.MenuShown());
  EXPECT_TRUE(Child<QWidget>("Panel1")->isVisible());
  EXPECT_TRUE(compo.findChild<QStatusBar*>("StatusBar1")->isVisible());
  EXPECT_EQ(compo.BoardTexts(), QStringList({"Ann  00:00:00 (1)  Still 5 to make (5)", "sums"}));
  EXPECT_EQ(CaretField(), 0);
  EXPECT_EQ(View()->textCursor().position(), Editor().Caret());
  compo.Tick();
  compo.Tick();
  EXPECT_EQ(compo.BoardTexts()[0], "Ann  00:00:02 (1)  Still 5 to make (5)");
  ASSERT_TRUE(Leave(true));

  // The same sheet once more: a second result name.
  Child("BtCa_QstStart")->click();
  EXPECT_EQ(compo.BoardTexts()[1], "sums #01");
  ASSERT_TRUE(Leave(true));

  // Windows that exist enable their menu buttons.
  PracticeWindowHooks hooks;
  hooks.showConfigurator = [] { return ConfiguratorOutcome{}; };
  hooks.showFollowUp = [] { return FollowUpChoice{}; };
  compo.SetHooks(hooks);
  EXPECT_TRUE(Child("BtCa_QstGoToGen")->isEnabled());
  EXPECT_TRUE(Child("BtCa_QstNotFinish")->isEnabled());
}

TEST_F(PracticeWindowTest, EnterAndButtonsFollowTheCorrectionMode) {
  struct Case {
    CorrectionMode mode;
    int caretAfterWrong;  // field of the caret after a wrong answer and Enter
    char colourOfWrong;
    bool check;
    bool logBefore;  // the log button while a field is empty
    bool logAfter;   // once every field is filled
    const char* status;
  } cases[] = {
      {CorrectionMode::A, 0, 'r', true, true, true, "Still 1 to make (2)"},
      {CorrectionMode::B, 1, 'b', false, false, false, ""},
      {CorrectionMode::C, 1, 'b', true, false, false, ""},
      {CorrectionMode::D, 1, 'b', true, false, true, "Still 1 to make (2)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ModeLetter(c.mode));
    Open({"x {7}", "y {8}"}, c.mode);
    EXPECT_EQ(Child("BtHi_QstNavCheckRes")->isEnabled(), c.check);
    EXPECT_EQ(Child("BtHi_QstNavLogFile")->isVisibleTo(&compo), c.logBefore);
    Answer(0, "5");
    EXPECT_EQ(CaretField(), c.caretAfterWrong);
    EXPECT_EQ(Colour(0), c.colourOfWrong);
    EXPECT_TRUE(compo.Session().TimerRunning());
    Answer(1, "8");
    EXPECT_EQ(Child("BtHi_QstNavLogFile")->isVisibleTo(&compo), c.logAfter);
    EXPECT_TRUE(compo.BoardTexts()[0].endsWith(c.status)) << compo.BoardTexts()[0].toStdString();
    // Right everywhere: green in every mode, and the clock stops.
    Answer(0, "7");
    EXPECT_EQ(Colour(0), 'g');
    EXPECT_EQ(Colour(1), 'g');
    EXPECT_FALSE(compo.Session().TimerRunning());
    EXPECT_TRUE(compo.BoardTexts()[0].endsWith("Finished (2)"));
    ASSERT_TRUE(Leave(true));
  }
}

TEST_F(PracticeWindowTest, LeavingAsksFirstThenWritesTheResultAndResumingRestoresIt) {
  Open({"x {7}", "y {8}", "z {9}"}, CorrectionMode::A);
  Answer(0, "5");
  Answer(0, "7");
  Answer(1, "3");
  compo.Tick();

  // Cancel: the sheet stays open and the clock goes on.
  EXPECT_FALSE(Leave(false));
  EXPECT_TRUE(compo.SheetOpen());
  EXPECT_TRUE(compo.Session().TimerRunning());
  compo.Tick();
  EXPECT_EQ(compo.Session().ElapsedSeconds(), 2);

  ASSERT_TRUE(Leave(true));
  EXPECT_TRUE(compo.MenuShown());
  EXPECT_FALSE(compo.SheetOpen());
  EXPECT_EQ(compo.BoardTexts(), QStringList({"Ann", "???"}));
  EXPECT_EQ(compo.StatusPanel()->text(), "");
  EXPECT_FALSE(compo.findChild<QStatusBar*>("StatusBar1")->isVisible());
  EXPECT_TRUE(View()->ViewText().empty());
  const std::vector<std::string> result =
      SplitLines(t.dir.Read(user.substr(t.dir.Path().size()) + "sums.QsR"));
  ASSERT_GE(result.size(), 7u);
  EXPECT_EQ(result[1], "#[1/1/3/-1;s;2;1]");
  EXPECT_EQ(result[4],
            "#[5\xA6"
            "7;3;]");

  // Resumed from the follow-up window: the answers, their colours, the log and the next attempt.
  compo.StartFromFollowUp(ResumeChoice("sums"));
  ASSERT_TRUE(compo.SheetOpen());
  EXPECT_EQ(Editor().FieldContents(), (Lines{"7", "3", ""}));
  EXPECT_EQ(Colour(0), 'g');
  EXPECT_EQ(Colour(1), 'r');
  EXPECT_EQ(compo.BoardTexts(), QStringList({"Ann  00:00:02 (2)  Still 2 to make (3)", "sums"}));
  EXPECT_NE(compo.LogView()->ViewText().find("5\xA6"
                                             "7"),
            std::string::npos);
  EXPECT_EQ(View()->ViewText(), Editor().Sheet().Text());
  ASSERT_TRUE(Leave(true));
}

TEST_F(PracticeWindowTest, DamagedFilesShowTheirErrorAndTheMenuStays) {
  const std::string empty = user + "Qst/Book/empty.QST";
  t.dir.Write(empty.substr(t.dir.Path().size()), "only a header\r\n#[0/0/0/-1;s;0;0]\r\n");
  IniWriteString(user + kAccountIni, "Last Input", "Nom 2", empty);
  compo.StartFromMenu();
  EXPECT_FALSE(compo.SheetOpen());
  EXPECT_TRUE(compo.MenuShown());
  EXPECT_EQ(compo.StatusPanel()->text(), "Error: 983745-A Empty file ..");
  EXPECT_TRUE(status.Flashing());
  EXPECT_TRUE(compo.findChild<QStatusBar*>("StatusBar1")->isVisible());
  EXPECT_FALSE(FileExists(empty));
  // The flash ends.
  for (int i = 0; i < 200 && status.Flashing(); ++i) QTest::qWait(10);
  EXPECT_EQ(compo.StatusPanel()->text(), "");

  t.dir.Write(
      user.substr(t.dir.Path().size()) + "broken.QsR",
      std::string(test::kPlainHeader) + "\r\nnot a status line\r\n#[]\r\n#[]\r\n#[]\r\n#[]\r\n");
  compo.StartFromFollowUp(ResumeChoice("broken"));
  EXPECT_FALSE(compo.SheetOpen());
  EXPECT_TRUE(compo.StatusPanel()->text().startsWith("Error: 983745-C Damaged file .."));
  EXPECT_TRUE(FileExists(user + "broken.QsR"));

  // The program goes on: the next sheet opens.
  Open(kSums, CorrectionMode::A);
  ASSERT_TRUE(Leave(true));
}

TEST_F(PracticeWindowTest, LogPageNavigationAndSize) {
  Open(kSums, CorrectionMode::A);
  Answer(0, "6");
  compo.ToggleLog();
  EXPECT_TRUE(compo.LogShown());
  for (const char* name : {"BtHi_QstNavNext", "BtHi_QstNavPrev", "BtHi_QstNavTopCaret",
                           "BtHi_QstNavCheckRes", "BtHi_QstNavGotoEmptyErr"})
    EXPECT_FALSE(Child(name)->isEnabled()) << name;
  // A key hides the log page again.
  QTest::keyClick(View(), Qt::Key_Right);
  EXPECT_FALSE(compo.LogShown());
  EXPECT_TRUE(Child("BtHi_QstNavNext")->isEnabled());

  Child("BtHi_QstNavNext")->click();
  EXPECT_EQ(CaretField(), 1);
  Child("BtHi_QstNavPrev")->click();
  EXPECT_EQ(CaretField(), 0);
  // The jump goes to the first empty field.
  Child("BtHi_QstNavGotoEmptyErr")->click();
  EXPECT_EQ(CaretField(), 1);

  // Normal, enlarged, maximised, normal again.
  const QSize normal = compo.size();
  const QRect screen = compo.screen()->availableGeometry();
  Child("BtHi_QstNavScalScreen")->click();
  EXPECT_EQ(compo.SizeState(), WindowSize::Enlarged);
  EXPECT_EQ(compo.geometry(), SizedGeometry(WindowSize::Enlarged, normal, normal, screen));
  Child("BtHi_QstNavScalScreen")->click();
  EXPECT_EQ(compo.SizeState(), WindowSize::Maximised);
  EXPECT_EQ(compo.size(), screen.size());
  Child("BtHi_QstNavScalScreen")->click();
  EXPECT_EQ(compo.SizeState(), WindowSize::Normal);
  EXPECT_EQ(compo.size(), normal);
  Child("BtHi_QstNavScalScreen")->click();
  // Leaving returns to the normal size.
  ASSERT_TRUE(Leave(true));
  EXPECT_EQ(compo.SizeState(), WindowSize::Normal);
  EXPECT_EQ(compo.size(), normal);
}

// A progressive practice of the Arithmetic sample book: its first sheet is made and opened with
// kind "p", answered right, left and evaluated; the next step makes the next sheet.
TEST_F(PracticeWindowTest, AProgressionGoesOnFromSheetToSheet) {
  t.ctx.folders.booksDir = std::string(QUILLO_STAGE_DIR) + "/Bib/";
  const std::string plan = user + "Qst/Arithmetic/BL/add.STP";
  QProcess cli;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_DATA_HOME", QString::fromStdString(t.dir.Path() + "appdata"));
  cli.setProcessEnvironment(env);
  cli.start(QUILLO_CLI, {"progress", "create",
                         QString::fromStdString(t.ctx.folders.booksDir + "Arithmetic.IDX"),
                         "--level", "1", "-o", QString::fromStdString(plan)});
  ASSERT_TRUE(cli.waitForFinished(20000));
  ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
  ChooseMode(CorrectionMode::A);
  const std::string state = user + "Qst/Arithmetic/BL/add.SNI";
  const std::string startBefore = IniReadString(state, "Pos", "StartPos", "?");

  compo.ContinueProgressive(plan);
  ASSERT_TRUE(compo.SheetOpen()) << status.Text().toStdString();
  EXPECT_EQ(compo.Session().Kind(), "p");
  EXPECT_EQ(compo.Session().SheetPath(), user + "Qst/Arithmetic/BL/add.QST");
  EXPECT_EQ(compo.BoardTexts()[1], "add");
  const int fields = static_cast<int>(Editor().ExpectedAnswers().size());
  ASSERT_GT(fields, 0);
  for (int k = 0; k < fields; ++k)
    Answer(k, QString::fromStdString(Editor().ExpectedAnswers()[k].Expected));
  EXPECT_FALSE(compo.Session().TimerRunning());
  ASSERT_TRUE(Leave(true));
  // Evaluated: the window of titles moved on, the result counts as a complete sheet.
  EXPECT_NE(IniReadString(state, "Pos", "StartPos", "?"), startBefore);
  const std::vector<std::string> result =
      SplitLines(t.dir.Read(user.substr(t.dir.Path().size()) + "add.QsR"));
  ASSERT_GE(result.size(), 2u);
  EXPECT_NE(result[1].find(";S;"), std::string::npos) << result[1];

  compo.ContinueProgressive(plan);
  ASSERT_TRUE(compo.SheetOpen());
  EXPECT_EQ(compo.Session().Kind(), "p");
  EXPECT_EQ(compo.BoardTexts()[1], "add #01");
  ASSERT_TRUE(Leave(true));
}

TEST(PracticeWindowSizes, SizedGeometry) {
  const QRect screen(0, 0, 1600, 1000);
  const QSize normal(820, 600);
  struct Case {
    WindowSize state;
    QSize current;
    QRect expected;
  } cases[] = {
      {WindowSize::Normal, QSize(1200, 900), QRect(390, 200, 820, 600)},
      {WindowSize::Enlarged, QSize(820, 600), QRect(195, 100, 1210, 800)},
      {WindowSize::Enlarged, QSize(1800, 1200), QRect(-100, -100, 1800, 1200)},
      {WindowSize::Maximised, QSize(820, 600), QRect(0, 0, 1600, 1000)},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SizedGeometry(c.state, normal, c.current, screen), c.expected)
        << static_cast<int>(c.state);
}

TEST_F(PracticeWindowTest, MouseConfinementWhileASheetIsOpen) {
  store.SetBool("Cb_StayMouseInForm", true);
  Open(kSums, CorrectionMode::A);
  EXPECT_TRUE(compo.MouseConfined());
  EXPECT_EQ(compo.minimumSize(), compo.maximumSize());  // the border is fixed
  ASSERT_TRUE(Leave(true));
  EXPECT_FALSE(compo.MouseConfined());
  EXPECT_EQ(compo.minimumSize(), QSize(800, 540));
  EXPECT_NE(compo.maximumSize(), compo.size());

  const QRect area(100, 50, 200, 100);
  EXPECT_EQ(NearestInside(area, QPoint(150, 80)), QPoint(150, 80));
  EXPECT_EQ(NearestInside(area, QPoint(10, 80)), QPoint(100, 80));
  EXPECT_EQ(NearestInside(area, QPoint(500, 500)), QPoint(299, 149));
}

TEST_F(PracticeWindowTest, ClosingTheWindowLeavesTheSheetFirst) {
  // Escape closes nothing.
  QTest::keyClick(&compo, Qt::Key_Escape);
  EXPECT_TRUE(compo.isVisible());
  Open(kSums, CorrectionMode::A);
  test::WhenModal([](QWidget* modal) { test::ClickChild(modal, "BtCancel"); });
  compo.close();
  EXPECT_TRUE(compo.isVisible());
  EXPECT_TRUE(compo.SheetOpen());
  test::WhenModal([](QWidget* modal) { test::ClickChild(modal, "BtOk"); });
  compo.close();
  EXPECT_FALSE(compo.isVisible());
  EXPECT_TRUE(FileExists(user + "sums.QsR"));
}

TEST_F(PracticeWindowTest, ScreenshotButtonWithTheTrace) {
  t.ctx.trace.SwitchOn();
  compo.PrepareForUser(compo.geometry());
  Open(kSums, CorrectionMode::A);
  QAbstractButton* photo = Child("Bt_QstPhotoErr");
  ASSERT_TRUE(photo->isVisible());
  const std::string folder = t.ctx.folders.logDir + "ScreenLog/";
  auto answer = [](const QString& note, bool ok) {
    test::WhenModal([note, ok](QWidget* modal) {
      EXPECT_EQ(modal->windowTitle(), "Print Edit Screen");
      modal->findChild<QLineEdit*>()->setText(note);
      if (ok) {
        static_cast<QDialog*>(modal)->accept();
      } else {
        static_cast<QDialog*>(modal)->reject();
      }
    });
  };
  answer("first try", false);
  photo->click();
  std::vector<std::string> files;
  ListFolder(folder, "*", files, true, true, false);
  EXPECT_TRUE(files.empty());

  answer("the field turns red after a right answer", true);
  photo->click();
  const std::string shot = folder + "24-03-07_14-05-09-the field turns red after a ri.Jpg";
  ASSERT_TRUE(FileExists(shot));
  std::string bytes;
  ReadWholeFile(shot, bytes);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xD8");
  ASSERT_TRUE(Leave(true));
}

TEST_F(PracticeWindowTest, TheWindowSpeaksTheActiveLanguage) {
  TextLookup lookup(std::string(QUILLO_STAGE_DIR) + "/SetG/");
  ASSERT_TRUE(lookup.RefreshLanguages());
  lookup.SetActiveLanguage(lookup.FindLanguage("Deutsch"));
  t.ctx.lookup = &lookup;
  compo.PrepareForUser(compo.geometry());
  EXPECT_EQ(Child("BtCa_QstStart")->text(), QString::fromUtf8("Ein Übungsblatt beginnen"));
  EXPECT_EQ(Child("BtHi_QstNavNext")->toolTip(), QString::fromUtf8("Nächstes Feld"));
  EXPECT_EQ(Child("BT_QstQuit")->toolTip(), "Beenden");
  t.ctx.lookup = nullptr;
}

TEST(WindowTexts, EachKindOfControlTakesItsText) {
  QWidget window;
  window.setObjectName("TfoTest");
  auto* label = new QLabel("label", &window);
  label->setObjectName("Label1");
  auto* caption = new QPushButton("caption", &window);
  caption->setObjectName("BtCa_Go");
  auto* hinted = new QToolButton(&window);
  hinted->setObjectName("BtHi_Next");
  hinted->setText("hinted");
  auto* check = new QCheckBox("check", &window);
  check->setObjectName("Cb_Option");
  auto* edit = new QLineEdit("edit", &window);
  edit->setObjectName("Ed_Name");
  auto* bar = new QStatusBar(&window);
  bar->setObjectName("StatusBar1");
  auto* panel0 = new QLabel("p0", bar);
  auto* panel1 = new QLabel("p1", bar);
  bar->addWidget(panel0);
  bar->addWidget(panel1);
  auto* list = new QTreeWidget(&window);
  list->setObjectName("LvList");
  list->setColumnCount(3);
  auto* dialog = new QDialog(&window);
  auto* other = new QLabel("other window", dialog);
  other->setObjectName("Label1");
  TranslateWindow(&window, IniPairs{{"tfotest", "Titel"},
                                    {"LABEL1", "Beschriftung\xA6zweite Zeile"},
                                    {"Label1", "second pair of the name"},
                                    {"BtCa_Go", "Los"},
                                    {"BtHi_Next", "Weiter"},
                                    {"Cb_Option", "Option"},
                                    {"Ed_Name", "Name"},
                                    {"StatusBar1", "eins"},
                                    {"LvList",
                                     "A\xA6"
                                     "B"}});
  EXPECT_EQ(window.windowTitle(), "Titel");
  EXPECT_EQ(label->text(), "Beschriftung\nzweite Zeile");
  EXPECT_EQ(caption->text(), "Los");
  EXPECT_EQ(hinted->text(), "hinted");
  EXPECT_EQ(hinted->toolTip(), "Weiter");
  EXPECT_EQ(check->text(), "Option");
  EXPECT_EQ(edit->text(), "edit");
  EXPECT_EQ(panel0->text(), "eins");
  EXPECT_EQ(panel1->text(), "");
  EXPECT_EQ(list->headerItem()->text(0), "A");
  EXPECT_EQ(list->headerItem()->text(1), "B");
  EXPECT_EQ(list->headerItem()->text(2), "");
  EXPECT_EQ(other->text(), "other window");
}

}  // namespace
}  // namespace quillo

namespace quillo {
namespace {

// The raised text reaches above its line: after typing and checking, the screen shows what a
// fresh rendering of the view shows (nothing of a moved glyph or a corrected answer stays
// behind). The offscreen platform paints whole windows; on a display (QT_QPA_PLATFORM=xcb under
// xvfb-run) only what changed is painted, which is where stale pixels would show.
TEST_F(PracticeWindowTest, WhatIsTypedLeavesNoTraceOnTheScreen) {
  Open({"#ChB$Sums", "9 + {2} = 11", "1 + 8 + 4 = {13}", "{12} + 7 = 19"}, CorrectionMode::A);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&compo));
  auto stale = [this] {
    QApplication::processEvents();
    // The offscreen screen gives the window's backing store as it was last painted.
    const QImage window = compo.screen()->grabWindow(compo.winId()).toImage();
    const QRect area(View()->viewport()->mapTo(&compo, QPoint(0, 0)), View()->viewport()->size());
    const QImage shown = window.copy(area).convertToFormat(QImage::Format_RGB32);
    const QImage fresh = View()->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    for (int y = 0; y < std::min(shown.height(), fresh.height()); ++y)
      for (int x = 0; x < std::min(shown.width(), fresh.width()); ++x)
        if (shown.pixel(x, y) != fresh.pixel(x, y)) ++differing;
    return differing;
  };
  // The caret blinks on its own: it is compared while the view has no focus.
  auto unfocused = [this](const std::function<void()>& keys) {
    View()->setFocus();
    keys();
    View()->clearFocus();
  };
  unfocused([this] {
    Type("2");
    Enter();
    Type("131");
    Enter();
  });
  EXPECT_EQ(stale(), 0);
  unfocused([this] {
    QTest::keyClick(View(), Qt::Key_Backspace);
    Enter();
  });
  EXPECT_EQ(Colour(1), 'g');
  EXPECT_EQ(stale(), 0);
  ASSERT_TRUE(Leave(true));
}

}  // namespace
}  // namespace quillo
