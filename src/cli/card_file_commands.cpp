// info, show and convert: a card file's contents and its conversion to the
// newest version.
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cards/card_file.h"
#include "cards/codepage.h"
#include "cli/cli.h"

namespace tessel::cli {

namespace {

std::string Hex(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", v);
  return text;
}

int Info(const Args& args) {
  if (args.size() != 1) return kUsageError;
  Loaded& l = KeptLoaded();
  if (!Load(args[0], l)) return 1;
  const FormatSettings& f = l.format;
  char version[16];
  std::snprintf(version, sizeof version, "0x%04X", l.version);
  std::cout << "version: " << (l.cardfile ? l.cardfileSignature.c_str() : version) << '\n'
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

int Show(const Args& args) {
  if (args.size() != 1) return kUsageError;
  Loaded& l = KeptLoaded();
  if (!Load(args[0], l)) return 1;
  nlohmann::ordered_json out;
  if (l.cardfile) {
    out["version"] = l.cardfileSignature;
  } else {
    out["version"] = l.version;
  }
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

int Convert(const Args& args) {
  if (args.size() != 2) return kUsageError;
  Loaded& l = KeptLoaded();
  if (!Load(args[0], l)) return 1;
  return Save(l, args[1]);
}

const Registration kInfo({"info", "  info FILE       version, card counts and format settings, one per line\n",
                          10, Info});
const Registration kShow({"show", "  show FILE       the cards as JSON, sorted, front card first\n", 20,
                          Show});
const Registration kConvert(
    {"convert",
     "  convert IN OUT  read IN as Open does and write OUT as Save does\n"
     "                  (FILE and IN may also be Cardfile files, imported as the program does)\n",
     30, Convert});

}  // namespace

}  // namespace tessel::cli
