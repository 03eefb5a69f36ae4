// Commands of the template engine: the value of a template text and the expansion of a
// template line, for book authors trying out their templates.
#include <iostream>

#include "cli.h"
#include "engine/template_functions.h"
#include "shell/conventions.h"

namespace quillo::cli {
namespace {

// Applies "--seed S" (a reproducible run) or seeds the random source from the clock. Returns
// false with a message when the seed is not a whole number.
bool SetUpRandom(Args& args, StdRandomSource& random) {
  std::string seedText;
  if (!TakeOption(args, "--seed", seedText)) {
    random.SeedFromClock();
    return true;
  }
  auto seed = TryTextToInt(seedText);
  if (!seed) {
    Fail("--seed needs a whole number, not '" + In(seedText) + "'");
    return false;
  }
  random.FixSeed(static_cast<uint64_t>(*seed));
  return true;
}

int RunEval(const Args& arguments) {
  Args args = arguments;
  CliRun run;
  if (!SetUpRandom(args, run.random)) return 1;
  if (args.size() != 1) return Fail("usage: quillomark-cli eval \"TEXT\" [--seed S]");
  std::cout << Out(EvaluateTemplateText(In(args[0]), run.random)) << "\n";
  return 0;
}

int RunExpand(const Args& arguments) {
  Args args = arguments;
  CliRun run;
  if (!SetUpRandom(args, run.random)) return 1;
  long count = 1;
  std::string countText;
  if (TakeOption(args, "-n", countText)) {
    auto n = TryTextToInt(countText);
    if (!n || *n < 1 || *n > 1000000) {
      return Fail("-n needs a count from 1 to 1000000, not '" + In(countText) + "'");
    }
    count = static_cast<long>(*n);
  }
  if (args.size() != 1) {
    return Fail("usage: quillomark-cli expand \"TEMPLATE\" [-n COUNT] [--seed S]");
  }
  std::string templateLine = In(args[0]);
  for (long i = 0; i < count; ++i) {
    std::cout << Out(ExpandTemplateLine(templateLine, run.random)) << "\n";
  }
  return 0;
}

Registrar eval{{"eval", "eval \"TEXT\" [--seed S]",
                "Prints the value of a template text (ranges drawn, inline functions applied,\n"
                "      line functions left out), as the result of an exercise would show it.",
                RunEval}};
Registrar expand{{"expand", "expand \"TEMPLATE\" [-n COUNT] [--seed S]",
                  "Prints COUNT expansions of a template line, one per line; an empty line is a\n"
                  "      draw that a line function rejected. --seed makes the draws reproducible.",
                  RunExpand}};

}  // namespace
}  // namespace quillo::cli
