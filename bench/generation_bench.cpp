// Generating a practice sheet of 100 questions from each installed book (and from the test
// book), and ExpandTemplate on a template without random parts, which stops after one expansion.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "books/book_builder.h"
#include "books/book_files.h"
#include "books/generator.h"
#include "books/scramble.h"
#include "books/sheet_files.h"
#include "shell/context.h"
#include "shell/file_utils.h"

namespace {

constexpr int kQuestions = 100;

// A scratch folder for the sheets, removed at exit.
struct Scratch {
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillo-bench-XXXXXX").string();
    char* made = ::mkdtemp(pattern.data());
    path = std::string(made ? made : pattern.c_str()) + "/";
  }
  ~Scratch() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string path;
};

Scratch& TheScratch() {
  static Scratch scratch;
  return scratch;
}

// The titles of a book picked in order (again from the first when they run out) with their
// proposed quantities until they ask for 100 questions together.
std::vector<quillo::TdBaseJob> HundredQuestions(const quillo::Context& ctx,
                                                const std::string& book) {
  quillo::BookBasics basics = quillo::ReadCurrentBook(ctx, book);
  quillo::TraceLog trace;
  quillo::ScanResult scan =
      quillo::ScanLevel(book, "0", basics.trailer.titleOffset, quillo::ScanMode::TakeAll,
                        quillo::KeyDigitsFor(ctx, basics.scrambled), trace);
  std::vector<quillo::TdBaseJob> all;
  for (const std::string& line : scan.titleLines) {
    if (auto r = quillo::LineToRecord(line)) {
      long q = std::strtol(r->Quantity.c_str(), nullptr, 10);
      long lines = std::strtol(r->LineCount.c_str(), nullptr, 10);
      if (q >= 1 && q <= lines && !r->Location.empty()) all.push_back(*r);
    }
  }
  std::vector<quillo::TdBaseJob> picked;
  int total = 0;
  for (std::size_t i = 0; !all.empty() && total < kQuestions; i = (i + 1) % all.size()) {
    quillo::TdBaseJob t = all[i];
    int q = std::min(static_cast<int>(std::strtol(t.Quantity.c_str(), nullptr, 10)),
                     kQuestions - total);
    t.Quantity = std::to_string(q);
    t.Checked = true;
    total += q;
    picked.push_back(std::move(t));
  }
  return picked;
}

void GenerateHundred(benchmark::State& state, const std::string& book) {
  quillo::Context ctx;
  ctx.folders = quillo::MakeDataFolders(TheScratch().path + "appdata",
                                        std::filesystem::path(QUILLO_STAGE_DIR).parent_path().string());
  quillo::StdRandomSource random;
  ctx.random = &random;
  quillo::SheetTarget target;
  target.bookPath = book;
  target.sheetPath = TheScratch().path + quillo::BaseName(book) + ".QST";
  target.bookTitle = "Bench";
  target.levelName = "Mixe";
  std::vector<quillo::TdBaseJob> titles = HundredQuestions(ctx, book);
  uint64_t seed = 1;
  long questions = 0;
  for (auto _ : state) {
    random.FixSeed(seed++);
    questions += quillo::GenerateSheet(ctx, target, "s", kQuestions, titles).questions;
  }
  state.counters["questions"] =
      benchmark::Counter(static_cast<double>(questions) / static_cast<double>(state.iterations()));
  state.counters["titles"] = static_cast<double>(titles.size());
}

void BM_ExpandFixedTemplate(benchmark::State& state) {
  quillo::StdRandomSource random;
  quillo::TraceLog trace;
  for (auto _ : state) {
    benchmark::DoNotOptimize(quillo::ExpandTemplate(random, trace, kQuestions, "12 * 7 + 3_QST()"));
  }
}
BENCHMARK(BM_ExpandFixedTemplate);

// One benchmark per book: the installed ones, and the test book built into the scratch folder.
int RegisterBooks() {
  std::vector<std::string> books;
  quillo::ListFolder(std::string(QUILLO_STAGE_DIR) + "/Bib/", "*.IDX", books, true, true, false);
  std::string source;
  if (quillo::ReadWholeFile(std::string(QUILLO_FIXTURES_DIR) + "/books/sample.book", source)) {
    std::string path = TheScratch().path + "Bib/TestBook.IDX";
    quillo::WriteBuiltBook(path, quillo::BuildBook(source, "sample.book", ""), false);
    books.push_back(path);
  }
  for (const std::string& book : books) {
    benchmark::RegisterBenchmark(("BM_Generate100/" + quillo::BaseName(book)).c_str(),
                                 [book](benchmark::State& state) { GenerateHundred(state, book); })
        ->Unit(benchmark::kMillisecond);
  }
  return 0;
}
const int registered = RegisterBooks();

}  // namespace
