// tessel-cli's command table, the loading and saving its commands share, and
// the dispatch that both the tool and its drawing helper run.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "cards/card_file.h"
#include "cards/codepage.h"
#include "cards/crd_file.h"
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

// The cards read into the collection, or the message when memory is short.
bool Apply(Loaded& loaded, CardFileData&& data, const std::string& path) {
  if (ApplyCardFileData(loaded.cards, loaded.format, std::move(data))) return true;
  Fail(ReadErrorMessage({ReadStatus::Damaged, kNoMemoryForCards}, path));
  return false;
}

bool HasCrdExtension(const std::string& path) {
  return path.size() >= 4 && MbsICmp(std::string_view(path).substr(path.size() - 4), ".crd") == 0;
}

}  // namespace

Registration::Registration(const Command& command) { Commands().push_back(command); }

void Fail(const std::string& message, const std::string& reason) {
  const std::string why = ReasonBeyond(message, reason);
  std::cerr << "tessel-cli: " << message << (why.empty() ? "" : ": " + why) << '\n';
}

Loaded& KeptLoaded() {
  static std::vector<std::unique_ptr<Loaded>> kept;  // reachable, never freed
  kept.push_back(std::make_unique<Loaded>());
  return *kept.back();
}

bool Load(const std::string& path, Loaded& loaded) {
  std::vector<CardInfo> imported;
  const CrdReadResult crd = LoadCrdFile(path, imported);
  if (crd.Imports() || crd.status == CrdStatus::Damaged || crd.status == CrdStatus::Unicode) {
    // Damage, and pictures or objects left behind, are told on standard error.
    if (const std::string message = CrdMessage(crd, path); !message.empty()) Fail(message, crd.detail);
    if (!crd.Imports()) return false;
    loaded.cardfile = true;
    loaded.cardfileSignature = crd.signature;
    return Apply(loaded, CardFileData{0, std::nullopt, std::move(imported)}, path);
  }
  CardFileData data;
  const ReadResult result = LoadCardFileData(path, data);
  if (!result.Ok()) {
    // A file named as a Cardfile file gets the import's answer.
    const bool crdNamed = result.status == ReadStatus::Incompatible && HasCrdExtension(path);
    if (crdNamed) {
      Fail(CrdMessage(crd, path), crd.detail);
    } else {
      Fail(ReadErrorMessage(result, path), result.detail);
    }
    return false;
  }
  loaded.version = data.version;
  loaded.hasFormat = data.format.has_value();
  return Apply(loaded, std::move(data), path);
}

int Save(Loaded& loaded, const std::string& path) {
  const FileResult written = WriteCardFile(loaded.cards, loaded.format, path);
  if (!written) Fail(written.message, written.detail);
  return written ? 0 : 1;
}

int RunTool(int argc, char** argv) {
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

}  // namespace tessel::cli
