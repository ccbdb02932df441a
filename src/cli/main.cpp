// tessel-cli: look into and convert card files from a terminal, through the
// same reader and writer as the program.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "cards/card_collection.h"
#include "cards/card_file.h"
#include "cards/codepage.h"

namespace {

using namespace tessel;

constexpr char kUsage[] =
    "Usage: tessel-cli COMMAND ARGUMENTS\n"
    "\n"
    "Commands:\n"
    "  info FILE       version, card counts and format settings, one per line\n"
    "  show FILE       the cards as JSON, sorted, front card first\n"
    "  convert IN OUT  read IN as Open does and write OUT as Save does\n"
    "\n"
    "Options:\n"
    "  --help          show this text\n"
    "  --version       show the version\n";

struct Loaded {
  uint32_t version = 0;
  bool hasFormat = false;
  CardCollection cards;
  FormatSettings format;  // the tool's defaults until a file replaces them
};

bool Load(const std::string& path, Loaded& loaded) {
  CardFileData data;
  const ReadResult result = LoadCardFileData(path, data);
  if (!result.Ok()) {
    StderrReporter("tessel-cli: ").ShowError(ReadErrorMessage(result, path));
    return false;
  }
  loaded.version = data.version;
  loaded.hasFormat = data.format.has_value();
  ApplyCardFileData(loaded.cards, loaded.format, std::move(data));
  return true;
}

std::string Hex(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", v);
  return text;
}

int Info(const std::string& path) {
  Loaded l;
  if (!Load(path, l)) return 1;
  const FormatSettings& f = l.format;
  char version[16];
  std::snprintf(version, sizeof version, "0x%04X", l.version);
  std::cout << "version: " << version << '\n'
            << "cards: " << l.cards.Size() << '\n'
            << "tagged: " << l.cards.TaggedCount() << '\n'
            << "indexFace: " << Cp1252ToUtf8(f.indexFace) << '\n'
            << "indexSize: " << f.indexSize << '\n'
            << "bodyFace: " << Cp1252ToUtf8(f.bodyFace) << '\n'
            << "bodySize: " << f.bodySize << '\n'
            << "indexBackground: " << Hex(f.indexBackground) << '\n'
            << "bodyBackground: " << Hex(f.bodyBackground) << '\n'
            << "indexText: " << Hex(f.indexText) << '\n'
            << "bodyText: " << Hex(f.bodyText) << '\n';
  if (!l.hasFormat) std::cout << "(this version stores no format settings; defaults shown)\n";
  return 0;
}

int Show(const std::string& path) {
  Loaded l;
  if (!Load(path, l)) return 1;
  nlohmann::ordered_json out;
  out["version"] = l.version;
  if (l.hasFormat) {
    const FormatSettings& f = l.format;
    out["format"] = {{"indexFace", Cp1252ToUtf8(f.indexFace)},
                     {"indexSize", f.indexSize},
                     {"bodyFace", Cp1252ToUtf8(f.bodyFace)},
                     {"bodySize", f.bodySize},
                     {"indexBackground", f.indexBackground},
                     {"bodyBackground", f.bodyBackground},
                     {"indexText", f.indexText},
                     {"bodyText", f.bodyText}};
  } else {
    out["format"] = nullptr;
  }
  nlohmann::ordered_json cards = nlohmann::ordered_json::array();
  for (const CardInfo& card : l.cards.Cards()) {
    cards.push_back({{"index", Cp1252ToUtf8(card.index)},
                     {"body", Cp1252ToUtf8(card.body)},
                     {"tag", card.tag}});
  }
  out["cards"] = std::move(cards);
  std::cout << out.dump(2) << '\n';
  return 0;
}

int Convert(const std::string& in, const std::string& out) {
  Loaded l;
  if (!Load(in, l)) return 1;
  StderrReporter errors("tessel-cli: ");
  return WriteCardFile(l.cards, l.format, out, errors) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc - 1;
  const std::string command = n >= 1 ? argv[1] : "";
  if (command == "--help" || command == "-h") {
    std::cout << kUsage;
    return 0;
  }
  if (command == "--version") {
    std::cout << "tessel-cli " TESSEL_VERSION "\n";
    return 0;
  }
  if (command == "info" && n == 2) return Info(argv[2]);
  if (command == "show" && n == 2) return Show(argv[2]);
  if (command == "convert" && n == 3) return Convert(argv[2], argv[3]);
  std::cerr << kUsage;
  return 2;
}
