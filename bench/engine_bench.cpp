// Expansions per second of representative template lines, and the cost of the "can this
// template vary?" test that generation uses to stop after one expansion.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/template_functions.h"
#include "shell/seams.h"

namespace {

void Expand(benchmark::State& state, const std::string& templateLine) {
  quillo::StdRandomSource random;
  random.FixSeed(1);
  long rejected = 0;
  for (auto _ : state) {
    std::string line = quillo::ExpandTemplateLine(templateLine, random);
    if (line.empty()) ++rejected;
    benchmark::DoNotOptimize(line);
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["rejected"] =
      benchmark::Counter(static_cast<double>(rejected) / static_cast<double>(state.iterations()));
}

void BM_ArithmeticWithRanges(benchmark::State& state) {
  Expand(state, "[2~99+1~99]x3~9-1,5~9,5_QST()");
}
void BM_DivisionWithDivInt(benchmark::State& state) {
  Expand(state, "_DivInt(100~999;:;2~9)_QST()");
}
void BM_SeveralLineFunctions(benchmark::State& state) {
  Expand(state,
         "100~999:2~9_REFRESULTIF(-)_NBRSFROMLASTCHR(,;F;2)_QST()_INSTXT(4;about)"
         "_MOVESTR(6;5;1;2;3;4)");
}
void BM_UnitConversion(benchmark::State& state) { Expand(state, "1,5~9,5#U(Conv;11;0;8;0)_QST()"); }
void BM_TemplateCanVary(benchmark::State& state) {
  const std::string line = "_DivInt(100;:;7)_REFRESULTIF(-)_QST()_INSTXT(4;about)";
  for (auto _ : state) benchmark::DoNotOptimize(quillo::TemplateCanVary(line));
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_ArithmeticWithRanges);
BENCHMARK(BM_DivisionWithDivInt);
BENCHMARK(BM_SeveralLineFunctions);
BENCHMARK(BM_UnitConversion);
BENCHMARK(BM_TemplateCanVary);

}  // namespace
