// Writes the bundled sample card file, and with --crd and --rrg sample
// Cardfile files of both kinds for trying the import. The cards are written in UTF-8 here and stored as
// Windows-1252, as the program stores every text.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "cards/card_collection.h"
#include "cards/card_file.h"
#include "cards/codepage.h"
#include "cli/command_line.h"
#include "rrg_writer.h"

namespace {

struct SampleCard {
  const char* index;
  const char* body;
  int tag;
};

// Bodies use CR LF line breaks, as card files from Windows do.
const SampleCard kCards[] = {
    {"Abbott, Helen", "Helen Abbott\n14 Larch Avenue\nCambridge CB2 1TN\n\nTel 01223 555 014\nhelen.abbott@example.org", 1},
    {"Baker, Tom (plumber)", "Tom Baker Plumbing & Heating\nUnit 3, Mill Lane Trading Estate\n\nTel 0161 555 0198\nMobile 07700 900 412\nwww.example.com/tombaker\n\nFixed the boiler 12 March; gas check due every October.", 1},
    {"Banana bread", "Oven 180 °C, loaf tin 2 lb.\n\n3 ripe bananas, mashed\n75 g melted butter\n150 g sugar\n1 egg\n1 tsp vanilla\n1 tsp baking soda\n190 g flour\npinch of salt\n\nMix wet, fold in dry. Bake 55–60 minutes.", 0},
    {"Bicycle", "Frame number WTU 227 B 4481\nBought 2019 at Cycle Hub, £640.\nTyres 700x32c, inner tube Presta 48 mm.\nService: https://www.example.net/cyclehub/service", 1},
    {"Birthdays", "Jan 14  Margaret\nMar 3   David\nMay 22  Anya\nJul 9   Grandpa Joe\nOct 30  Lucy\nDec 12  Sam", 1},
    {"Book club", "Meets first Thursday, 7.30 pm, at the library annexe.\nNext: \"The Remains of the Day\".\nOrganiser: Priya, priya.n@example.com", 1},
    {"Café Müller", "Café Müller\nKönigstraße 12\n70173 Stuttgart\n\nTel +49 711 555 2301\nhttp://www.example.de/cafe-mueller\nBest Apfelstrudel in town.", 1},
    {"Car insurance", "Policy MT-4471-0923\nRenewal 1 September.\nClaims line 0800 555 0100 (24 h)\nhttps://claims.example.com", 1},
    {"Chen, Wei", "Dr Wei Chen\nDepartment of Physics\nUniversity Road\n\nOffice 01865 555 273\nwei.chen@example.ac.uk", 1},
    {"Chili con carne", "500 g minced beef\n1 onion, 2 cloves garlic\n1 red pepper\n400 g chopped tomatoes\n400 g kidney beans\n1 tsp cumin, 1 tsp chili powder, 1 tsp paprika\n\nBrown the meat, add the rest, simmer 45 min.", 1},
    {"Crème brûlée", "4 egg yolks\n50 g caster sugar\n300 ml double cream\n1 vanilla pod\n\nBake in a water bath at 150 °C for 35 min.\nChill, sprinkle sugar, caramelise.", 0},
    {"Dentist", "Smile Street Dental Practice\nDr Okafor\nTel 020 7946 0321\nCheck-up every 6 months; next one in April.", 1},
    {"Doctor", "Riverside Medical Centre\nTel 020 7946 0800\nOut of hours 111\nPrescriptions online: https://www.example.org/riverside", 1},
    {"Electrician", "Sparks & Sons\nTel 0113 496 0555\nsparks.sons@example.co.uk\nRewired the kitchen 2021.", 1},
    {"Evans, Gareth", "Gareth Evans\n7 Heol y Coed\nCardiff CF14 2AB\n\nTel 029 2018 0777\ngareth@example.wales", 1},
    {"Garden", "Plant garlic in October.\nPrune roses in February.\nTomatoes: sow indoors in March, plant out late May.\nLawn feed April and September.", 0},
    {"Gym", "Membership 4471 2290\nPIN for the locker: see the black notebook.\nClasses: https://www.example.com/gym/timetable", 1},
    {"Hernández, Lucía", "Lucía Hernández\nCalle de Alcalá 45, 3º B\n28014 Madrid\n\nTel +34 91 555 8123\nlucia.hernandez@example.es", 1},
    {"Internet provider", "Account 88123-4411\nSupport 0333 555 0420\nRouter admin: http://192.0.2.1\nContract ends 30 June.", 1},
    {"Jacobs, Miriam", "Miriam Jacobs\nFlat 2, 18 Harbour Road\nBristol BS1 5TY\n\nTel 0117 496 0312\nmiriam.jacobs@example.net", 1},
    {"Kowalski, Piotr", "Piotr Kowalski\nul. Długa 8/4\n00-238 Warszawa\n\nTel +48 22 555 1904\npiotr.k@example.pl", 1},
    {"Library", "Central Library\nOpen Mon–Sat 9–19\nCard number 29870 0041 3321\nRenewals: https://library.example.gov/renew", 1},
    {"Mechanic", "Hill Street Garage\nTel 0121 496 0733\nMOT due 14 November.\nService history in the glovebox folder.", 1},
    {"Nguyen, Anh", "Anh Nguyen\n221 Maple Street\nSpringfield, IL 62704\n\nTel +1 217 555 0143\nanh.nguyen@example.com", 1},
    {"O'Brien, Siobhán", "Siobhán O'Brien\n3 Strand Road\nGalway H91 X2Y4\n\nTel +353 91 555 226\nsiobhan@example.ie", 1},
    {"Pancakes", "125 g flour, pinch of salt\n1 egg, 300 ml milk\nWhisk, rest 30 min, fry thin in a hot pan.\nServe with lemon and sugar.", 0},
    {"Passwords", "Nothing here on purpose. The password manager holds them.", 0},
    {"Patel, Ravi", "Ravi Patel\n56 Queen's Road\nLeicester LE2 1WP\n\nTel 0116 496 0882\nMobile 07700 900 155\nravi.patel@example.co.uk", 1},
    {"School", "St Anne's Primary\nOffice 01632 960 441\nTerm dates: https://www.example.sch.uk/terms\nHead teacher: Mrs Douglas", 1},
    {"Vet", "Greenfields Veterinary Surgery\nTel 01632 960 905\nEmergency 01632 960 999\nBiscuit's vaccinations due in May.", 1},
    {"Wi-Fi at home", "Network: Larch14\nThe guest network has no password; it switches off at midnight.", 0},
};

std::string WindowsText(const char* utf8) {
  std::string text = tessel::Utf8ToCp1252(utf8);
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// The first cards of the sample in the layout the classic Cardfile program
// writes: "MGC", a 16-bit count, 52-byte index entries (six zero bytes, the
// data position, a flag byte, 40 index bytes and a zero byte), then each
// card's data as a 16-bit picture size of 0, a 16-bit text length and the
// text. Files are written in the order of the array, which is not sorted:
// the import sorts.
constexpr std::size_t kCrdCards = 12;

using tessel::tools::rrg_detail::Put16;

std::string CrdBytes() {
  std::vector<std::pair<std::string, std::string>> cards;
  for (std::size_t i = 0; i < kCrdCards; ++i) {
    const SampleCard& c = kCards[(i * 5) % std::size(kCards)];
    cards.emplace_back(WindowsText(c.index), WindowsText(c.body));
  }
  std::string out = "MGC";
  Put16(out, static_cast<unsigned>(cards.size()));
  std::size_t position = out.size() + 52 * cards.size();
  for (const auto& [index, text] : cards) {
    out.append(6, '\0');
    Put16(out, static_cast<unsigned>(position & 0xFFFF));
    Put16(out, static_cast<unsigned>(position >> 16));
    out += '\0';
    out += index.substr(0, 40);
    out.append(41 - std::min<std::size_t>(index.size(), 40), '\0');
    position += 4 + text.size();
  }
  for (const auto& [index, text] : cards) {
    Put16(out, 0);
    Put16(out, static_cast<unsigned>(text.size()));
    out += text;
  }
  return out;
}

// A few sample cards in the later Cardfile kind, with a picture on one card
// and a sound recording embedded in another: the import keeps their texts and
// says what it left behind.
std::string RrgSampleBytes() {
  using tessel::tools::RrgCard;
  using tessel::tools::RrgObject;
  std::vector<RrgCard> cards;
  for (std::size_t i = 0; i < 5; ++i) {
    const SampleCard& c = kCards[(i * 7 + 1) % std::size(kCards)];
    cards.push_back({WindowsText(c.index), WindowsText(c.body), RrgObject::None});
  }
  cards.push_back({"Map to the cottage", WindowsText("Left at the church, second gate.\nThe map is a picture."),
                   RrgObject::Picture});
  cards.push_back({"Doorbell", WindowsText("The recording is an embedded sound."), RrgObject::Embedded});
  return tessel::tools::RrgBytes(cards);
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("Writes the sample card file, or a sample Cardfile file.", "tessel-make-sample");
  tessel::cli::UseHelpLayout(app);
  std::string path;
  bool crd = false;
  bool rrg = false;
  app.add_flag("--crd", crd, "write a Cardfile file (*.crd) for trying the import");
  app.add_flag("--rrg", rrg, "write a Cardfile file with a picture and an object (RRG)")
      ->excludes("--crd");
  app.add_option("OUT", path, "the file to write")->required();
  if (const int status = tessel::cli::ParseCommandLine(app, argc, argv); status >= 0) return status;
  if (crd || rrg) {
    const std::string bytes = crd ? CrdBytes() : RrgSampleBytes();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out.flush() ? 0 : 1;
  }
  tessel::CardCollection cards;
  std::vector<tessel::CardInfo> records;
  for (const SampleCard& c : kCards) {
    records.emplace_back(WindowsText(c.index), WindowsText(c.body), c.tag);
  }
  cards.AppendCards(std::move(records));
  cards.SortCards();
  const tessel::FileResult written = tessel::WriteCardFile(cards, tessel::FormatSettings{}, path);
  if (!written) std::cerr << written.message << '\n';
  return written ? 0 : 1;
}
