// info, show and convert: a card file's contents and its conversion to the
// newest version.
#include <cstdio>
#include <iostream>
#include <memory>
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

int Info(const std::string& file) {
  Loaded& l = KeptLoaded();
  if (!Load(file, l)) return 1;
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

int Show(const std::string& file) {
  Loaded& l = KeptLoaded();
  if (!Load(file, l)) return 1;
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

int Convert(const std::string& in, const std::string& out, bool force) {
  Loaded& l = KeptLoaded();
  if (!Load(in, l)) return 1;
  return Save(l, out, force);
}

Work DeclareInfo(CLI::App& command) {
  auto file = std::make_shared<std::string>();
  AddInput(command, "FILE", *file);
  return [file] { return Info(*file); };
}

Work DeclareShow(CLI::App& command) {
  auto file = std::make_shared<std::string>();
  AddInput(command, "FILE", *file);
  return [file] { return Show(*file); };
}

Work DeclareConvert(CLI::App& command) {
  auto in = std::make_shared<std::string>();
  auto out = std::make_shared<std::string>();
  AddInput(command, "IN", *in);
  auto force = std::make_shared<bool>(false);
  AddOutput(command, "OUT", *out,
            "the card file to write, in the newest version (- writes standard output)", true);
  AddForce(command, *force);
  return [in, out, force] { return Convert(*in, *out, *force); };
}

const Registration kInfo({"info", "version, card counts and format settings, one per line", 10,
                          DeclareInfo});
const Registration kShow({"show", "the cards as JSON, sorted, front card first", 20, DeclareShow});
const Registration kConvert({"convert", "read IN as Open does and write OUT as Save does", 30,
                             DeclareConvert});

}  // namespace

}  // namespace tessel::cli
