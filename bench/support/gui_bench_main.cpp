// The main of the window benchmarks: a QApplication on the offscreen platform with the
// program's style, then every registered benchmark.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "gui/shell/theme.h"

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  quillo::ApplyProgramStyle(app);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
