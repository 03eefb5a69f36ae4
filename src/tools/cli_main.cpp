// quillomark-cli: the program's engine on the command line, for authors and scripted checks.
#include <iostream>

#include "cli.h"
#include "shell/codec.h"
#include "shell/error.h"

namespace quillo::cli {
namespace {

std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

void PrintHelp(std::ostream& out) {
  out << "quillomark-cli - the Quillomark engine on the command line\n\nCommands:\n";
  for (const Command& c : Commands()) {
    out << "  " << c.usage << "\n      " << c.summary << "\n";
  }
  out << "  help\n      Shows this text.\n";
}

}  // namespace

Registrar::Registrar(Command command) { Registry().push_back(std::move(command)); }

const std::vector<Command>& Commands() { return Registry(); }

}  // namespace quillo::cli

int main(int argc, char** argv) {
  using namespace quillo::cli;
  if (argc < 2 || std::string(argv[1]) == "help" || std::string(argv[1]) == "--help" ||
      std::string(argv[1]) == "-h") {
    PrintHelp(std::cout);
    return argc < 2 ? 1 : 0;
  }
  std::string name = argv[1];
  Args args(argv + 2, argv + argc);
  for (const Command& c : Commands()) {
    if (c.name != name) continue;
    try {
      return c.run(args);
    } catch (const quillo::Error& e) {
      return Fail(e.what());
    } catch (const std::exception& e) {
      return Fail(std::string("Internal error: ") + e.what());
    }
  }
  std::cerr << "Unknown command: " << name << "\n";
  PrintHelp(std::cerr);
  return 1;
}
