// The practice editor's sheet view: opening a sheet of 100 questions (rendering, building the
// view's text with its pictures, laying it out and painting the first page) and a key press in a
// field (the editor's rule, the edit applied to the view's text, the caret and the repaint).
#include <benchmark/benchmark.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <string>
#include <vector>

#include "gui/practice/sheet_view.h"

namespace {

const std::string kSymbols = std::string(QUILLO_STAGE_DIR) + "/SetG/PsLigSym.DAT";

// A sheet like generation writes: titles, hints before fields, a drawn fraction in every
// question and a figure in every tenth.
std::vector<std::string> Sheet(int questions) {
  std::vector<std::string> lines;
  for (int q = 0; q < questions; ++q) {
    if (q % 10 == 0) lines.push_back("#ChB$Title " + std::to_string(q / 10) + ": sums and words");
    std::string line = "#FoPur_" + std::to_string(q + 1) + ")$ " + std::to_string(q) +
                       " + 17 = #FoPur_ [2, 3, 5] $ {" + std::to_string(q + 17) + "} and #DwF_" +
                       std::to_string(q) + "\\7$ #FoGra_word$ " + "#FoPur_ [*o**e*] $ {chose}";
    if (q % 10 == 5) line += " #DrawF_<<1>\\<2>>+<<" + std::to_string(q) + ">\\<3>>$ = {x}";
    lines.push_back(line + "#EndLig$");
  }
  return lines;
}

struct ViewFixture {
  quillo::PracticeEditor editor;
  quillo::Editresult log;
  quillo::EditQR view{editor};
  ViewFixture() {
    quillo::PictureSources sources;
    sources.symbolFile = kSymbols;
    view.SetPictureSources(sources);
    view.SetLogView(&log);
    view.resize(900, 600);
    view.show();
    QApplication::processEvents();
  }
};

void PaintFirstPage(quillo::EditQR& view, QImage& page) {
  QPainter painter(&page);
  view.document()->drawContents(&painter, QRectF(page.rect()));
}

void BM_OpenSheet(benchmark::State& state) {
  const std::vector<std::string> lines = Sheet(static_cast<int>(state.range(0)));
  ViewFixture f;
  QImage page(900, 600, QImage::Format_RGB32);
  for (auto _ : state) {
    f.view.OpenSheet(lines);
    benchmark::DoNotOptimize(f.view.document()->documentLayout()->documentSize());
    benchmark::DoNotOptimize(f.log.document()->documentLayout()->documentSize());
    PaintFirstPage(f.view, page);
  }
}
BENCHMARK(BM_OpenSheet)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

// One key per iteration, alternately a digit and Backspace, in a field in the middle of the
// sheet; the view repaints before the next key.
void BM_KeyPress(benchmark::State& state) {
  ViewFixture f;
  f.view.OpenSheet(Sheet(static_cast<int>(state.range(0))));
  f.editor.GoToField(static_cast<int>(state.range(0)));
  f.view.ShowEditorDocuments();
  f.view.ScrollCaretLineToTop();
  QApplication::processEvents();
  bool digit = true;
  for (auto _ : state) {
    QKeyEvent press(QEvent::KeyPress, digit ? Qt::Key_7 : Qt::Key_Backspace, Qt::NoModifier,
                    digit ? QStringLiteral("7") : QString());
    QApplication::sendEvent(&f.view, &press);
    QApplication::processEvents();
    digit = !digit;
  }
}
BENCHMARK(BM_KeyPress)->Arg(100)->Arg(300)->Unit(benchmark::kMicrosecond);

}  // namespace
