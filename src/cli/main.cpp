// tessel-cli: look into, convert and put out card files from a terminal,
// through the same code as the program.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "cards/card_file.h"
#include "cli/cli.h"

namespace tessel::cli {

namespace {

std::vector<Command>& Commands() {
  static std::vector<Command> commands;
  return commands;
}

void PrintUsage(std::ostream& out) {
  std::vector<Command> sorted = Commands();
  std::sort(sorted.begin(), sorted.end(),
            [](const Command& a, const Command& b) { return a.order < b.order; });
  out << "Usage: tessel-cli COMMAND ARGUMENTS\n\nCommands:\n";
  for (const Command& c : sorted) out << c.usage;
  out << "\nOptions:\n"
         "  --help          show this text\n"
         "  --version       show the version\n";
}

}  // namespace

Registration::Registration(const Command& command) { Commands().push_back(command); }

void Fail(const std::string& message) { std::cerr << "tessel-cli: " << message << '\n'; }

Loaded& KeptLoaded() {
  static std::vector<std::unique_ptr<Loaded>> kept;  // reachable, never freed
  kept.push_back(std::make_unique<Loaded>());
  return *kept.back();
}

bool Load(const std::string& path, Loaded& loaded) {
  CardFileData data;
  const ReadResult result = LoadCardFileData(path, data);
  if (!result.Ok()) {
    Fail(ReadErrorMessage(result, path));
    return false;
  }
  loaded.version = data.version;
  loaded.hasFormat = data.format.has_value();
  ApplyCardFileData(loaded.cards, loaded.format, std::move(data));
  return true;
}

}  // namespace tessel::cli

int main(int argc, char** argv) {
  using namespace tessel::cli;
  const std::string name = argc > 1 ? argv[1] : "";
  if (name == "--help" || name == "-h") {
    PrintUsage(std::cout);
    return 0;
  }
  if (name == "--version") {
    std::cout << "tessel-cli " TESSEL_VERSION "\n";
    return 0;
  }
  for (const Command& c : Commands()) {
    if (name != c.name) continue;
    const int status = c.run(Args(argv + 2, argv + argc));
    if (status == kUsageError) PrintUsage(std::cerr);
    std::cout.flush();
    std::fflush(nullptr);
    std::_Exit(status);  // see KeptLoaded
  }
  PrintUsage(std::cerr);
  return kUsageError;
}
