// The practice window: opening a practice sheet of 100 (and 300) questions from its file (reading
// and decoding it, rendering it into the sheet and log views, the answer list, the sentences,
// the buttons, the board) and painting the window; a key press in a field and Enter with its
// check and the board drawn again.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "gui/practice/practice_window.h"
#include "gui/practice/sheet_view.h"
#include "setup/login_state.h"
#include "setup/settings_store.h"
#include "shell/context.h"
#include "shell/data_folders.h"
#include "shell/file_utils.h"

namespace {

// A sheet as generation writes it: titles, hints before fields, a drawn fraction in every
// question and a figure in every tenth.
std::string SheetFile(int questions, const std::string& path) {
  std::vector<std::string> lines = {"Ver.A 1.0;Arithmetic;00PhA000;UP.Y",
                                    "#[0/0/0/-1;s;0;0]",
                                    "#[" + path +
                                        "\xA6"
                                        "Arithmetic\xA6"
                                        "Mixe]",
                                    "#[]",
                                    "#[]",
                                    "#[  ]"};
  for (int q = 0; q < questions; ++q) {
    if (q % 10 == 0) lines.push_back("#ChB$Title " + std::to_string(q / 10) + ": sums and words");
    std::string line = "#FoPur_" + std::to_string(q + 1) + ")$ " + std::to_string(q) +
                       " + 17 = #FoPur_ [2, 3, 5] $ {" + std::to_string(q + 17) + "} and #DwF_" +
                       std::to_string(q) + "\\7$ #FoGra_word$ " + "#FoPur_ [*o**e*] $ {chose}";
    if (q % 10 == 5) line += " #DrawF_<<1>\\<2>>+<<" + std::to_string(q) + ">\\<3>>$ = {x}";
    lines.push_back(line + "#EndLig$");
  }
  return quillo::JoinLines(lines);
}

struct WindowFixture {
  QTemporaryDir dir;
  quillo::Context ctx;
  quillo::ScriptedMessageBox msgBox;
  quillo::NullStatusLine status;
  quillo::NullBusyIndicator busy;
  quillo::FixedClock clock;
  quillo::StdRandomSource random;
  quillo::SettingsStore store;
  quillo::LoginState login;
  std::unique_ptr<quillo::TfoCompo> compo;
  std::string user;
  std::string sheet;

  explicit WindowFixture(int questions) {
    const std::string root = dir.path().toStdString() + "/";
    const std::string stage = QUILLO_STAGE_DIR;
    ctx.folders = quillo::MakeDataFolders(root + "appdata", stage.substr(0, stage.rfind('/')));
    quillo::CreateStartupFolders(ctx.folders);
    ctx.msgBox = &msgBox;
    ctx.status = &status;
    ctx.busy = &busy;
    ctx.clock = &clock;
    ctx.random = &random;
    ctx.settings = &store;
    ctx.login = &login;
    login.currentUser = "Bench";
    user = ctx.folders.UserFolder("Bench");
    sheet = user + "Qst/Book/Sheet.QST";
    quillo::EnsureFolder(user + "Qst/Book/");
    quillo::WriteFileAtomic(sheet, SheetFile(questions, sheet));
    compo = std::make_unique<quillo::TfoCompo>(ctx);
    compo->PrepareForUser(QRect(0, 0, 1000, 700));
    compo->show();
    QApplication::processEvents();
  }
  void Open() {
    quillo::SheetRequest request;
    request.code = quillo::StartCode::Fresh;
    request.path = sheet;
    compo->OpenSheet(request);
  }
  // Leaves without the exit dialog and without keeping the result.
  void Close() {
    const quillo::LeaveReport report = compo->Session().Leave();
    compo->SheetView()->ClearSheet();
    quillo::RemoveFile(report.resultPath);
    if (!report.revisionPath.empty()) quillo::RemoveFile(report.revisionPath);
  }
};

void BM_OpenSheetInTheWindow(benchmark::State& state) {
  WindowFixture f(static_cast<int>(state.range(0)));
  QImage window(f.compo->size(), QImage::Format_RGB32);
  for (auto _ : state) {
    f.Open();
    f.compo->render(&window);
    state.PauseTiming();
    if (!f.compo->SheetOpen()) state.SkipWithError("the sheet did not open");
    f.Close();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenSheetInTheWindow)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

// A digit typed into a field in the middle of the sheet, then Backspace; the view repaints before
// the next key.
void BM_KeyInTheWindow(benchmark::State& state) {
  WindowFixture f(static_cast<int>(state.range(0)));
  f.Open();
  f.compo->Session().Editor().GoToField(static_cast<int>(state.range(0)));
  f.compo->SheetView()->ShowEditorDocuments();
  f.compo->SheetView()->ScrollCaretLineToTop();
  QApplication::processEvents();
  bool digit = true;
  for (auto _ : state) {
    QKeyEvent press(QEvent::KeyPress, digit ? Qt::Key_7 : Qt::Key_Backspace, Qt::NoModifier,
                    digit ? QStringLiteral("7") : QString());
    QApplication::sendEvent(f.compo->SheetView(), &press);
    QApplication::processEvents();
    digit = !digit;
  }
}
BENCHMARK(BM_KeyInTheWindow)->Arg(100)->Arg(300)->Unit(benchmark::kMicrosecond);

// Enter in a field with a wrong answer (correction mode A: the caret stays): the check of the
// field, its colour, the log's history, the board; the window repaints.
void BM_EnterInTheWindow(benchmark::State& state) {
  WindowFixture f(static_cast<int>(state.range(0)));
  f.Open();
  f.compo->Session().Editor().GoToField(static_cast<int>(state.range(0)));
  f.compo->SheetView()->ShowEditorDocuments();
  QKeyEvent digit(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, QStringLiteral("1"));
  QApplication::sendEvent(f.compo->SheetView(), &digit);
  QApplication::processEvents();
  for (auto _ : state) {
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(f.compo->SheetView(), &enter);
    QApplication::processEvents();
  }
}
BENCHMARK(BM_EnterInTheWindow)->Arg(100)->Arg(300)->Unit(benchmark::kMicrosecond);

}  // namespace
