// The practice editor's model: rendering a sheet of 100 questions, and a key press, a hover and
// reading the fields on a large sheet (the view's own work is measured with the window).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "practice/practice_editor.h"

namespace {

// A sheet like generation writes: titles, questions with hints before their fields, separators.
std::vector<std::string> Sheet(int questions) {
  std::vector<std::string> lines;
  for (int q = 0; q < questions; ++q) {
    if (q % 10 == 0) lines.push_back("#ChB$Title " + std::to_string(q / 10) + ": sums and words");
    lines.push_back("#FoPur_" + std::to_string(q + 1) + ")$ " + std::to_string(q) +
                    " + 17 = " + "#FoPur_ [2, 3, 5] $ {" + std::to_string(q + 17) +
                    "} and #FoGra_word$ " + "#FoPur_ [*o**e*] $ {chose}#EndLig$");
  }
  return lines;
}

void BM_RenderSheet(benchmark::State& state) {
  const std::vector<std::string> lines = Sheet(static_cast<int>(state.range(0)));
  quillo::PracticeEditor editor;
  for (auto _ : state) {
    editor.RenderSheet(lines);
    benchmark::DoNotOptimize(editor.Sheet().Size());
  }
}
BENCHMARK(BM_RenderSheet)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// One typed character and its Backspace in the middle of the sheet.
void BM_KeyPress(benchmark::State& state) {
  quillo::PracticeEditor editor;
  editor.RenderSheet(Sheet(static_cast<int>(state.range(0))));
  editor.GoToField(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(editor.HandleKey(quillo::Key::Char('7')));
    benchmark::DoNotOptimize(editor.HandleKey(quillo::Key::Of(quillo::KeyCode::Backspace)));
  }
}
BENCHMARK(BM_KeyPress)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_Hover(benchmark::State& state) {
  quillo::PracticeEditor editor;
  editor.RenderSheet(Sheet(100));
  const int size = editor.Sheet().Size();
  int pos = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(editor.MouseMove(pos));
    pos = (pos + 97) % size;
  }
}
BENCHMARK(BM_Hover)->Unit(benchmark::kMicrosecond);

void BM_FieldContents(benchmark::State& state) {
  quillo::PracticeEditor editor;
  editor.RenderSheet(Sheet(100));
  for (auto _ : state) benchmark::DoNotOptimize(editor.FieldContents());
}
BENCHMARK(BM_FieldContents)->Unit(benchmark::kMicrosecond);

}  // namespace
