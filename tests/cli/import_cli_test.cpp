// tessel-cli import: CSV and Cardfile files added to card files, such as a
// spreadsheet's semicolons; our export back through SQLite is export's test.
#include <nlohmann/json.hpp>

#include "cards/codepage.h"
#include "support/cli_run.h"

namespace tessel {
namespace {

using test::Cli;
using test::CliRun;
using test::Quoted;

nlohmann::json Shown(const std::string& tsl, const test::TempDir& dir) {
  const CliRun show = Cli("show " + Quoted(tsl), dir);
  EXPECT_EQ(show.status, 0) << show.err;
  return nlohmann::json::parse(show.out)["cards"];
}

nlohmann::json AsJson(const std::vector<CardInfo>& cards) {
  nlohmann::json out = nlohmann::json::array();
  for (const CardInfo& c : cards) {
    out.push_back({{"index", Cp1252ToUtf8(c.index)}, {"body", Cp1252ToUtf8(c.body)}, {"tag", c.tag}});
  }
  return out;
}

TEST(ImportCli, ASpreadsheetsColumnsBecomeCardsAddedToTheFile) {
  test::TempDir dir;
  const std::string csv = dir.File("addresses.csv");
  const std::string sheet =
      "\xEF\xBB\xBFName;Street;Town;VIP\r\n"
      "\"Zoe\r\nYoung\";\"1 High St\nFlat 2\";Leeds;1\r\n"
      "Al;;York\r\n";
  test::WriteBytes(csv, std::vector<uint8_t>(sheet.begin(), sheet.end()));
  const std::string tsl = dir.File("book.tsl");
  CliRun run = Cli("import " + Quoted(csv) + " " + Quoted(tsl) +
                       " --index-column 1 --body-columns 3,2 --tag-column 4",
                   dir);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "2 cards imported. 1 row had fewer fields than the first row; they came in "
                     "with the fields they have.\n");
  const auto first = AsJson({CardInfo("Al", "York", 0), CardInfo("Zoe Young", "Leeds\r\n1 High St\r\nFlat 2", 1)});
  EXPECT_EQ(Shown(tsl, dir), first);

  // Again into the file that is there now: added, sorted in.
  run = Cli("import --separator semicolon --no-header " + Quoted(csv) + " " + Quoted(tsl), dir);
  ASSERT_EQ(run.status, 0) << run.err;
  const auto cards = Shown(tsl, dir);
  ASSERT_EQ(cards.size(), 5u);
  EXPECT_EQ(cards[0]["index"], "Al");
  EXPECT_EQ(cards[2]["index"], "Name");
  EXPECT_EQ(cards[2]["body"], "Street\r\nTown\r\nVIP");

  // A Cardfile file comes in through the same command.
  run = Cli("import " + Quoted(std::string(TESSEL_SOURCE_DIR) + "/resources/sample.crd") + " " + Quoted(tsl), dir);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::size_t withCardfile = Shown(tsl, dir).size();
  EXPECT_GT(withCardfile, 5u);

  // And another card file, as Merge adds it.
  run = Cli("import " + Quoted(tsl) + " " + Quoted(dir.File("twice.tsl")), dir);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Shown(dir.File("twice.tsl"), dir).size(), withCardfile);
}

TEST(ImportCli, RefusesWhatWouldLoseDataAndLeavesTheFileAlone) {
  test::TempDir dir;
  const std::string csv = dir.File("a.csv");
  test::WriteBytes(csv, {'a', ',', 'b', '\n', '1', ',', '2', '\n'});
  const std::string crd = std::string(TESSEL_SOURCE_DIR) + "/resources/sample.crd";
  const std::string target = dir.File("old.crd");
  test::WriteBytes(target, test::ReadBytes(crd));

  CliRun run = Cli("import " + Quoted(csv) + " " + Quoted(target), dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("is a Cardfile file; the cards go into a card file (*.tsl)"), std::string::npos) << run.err;
  EXPECT_EQ(test::ReadBytes(target), test::ReadBytes(crd));

  run = Cli("import --tag-column 3 " + Quoted(csv) + " " + Quoted(dir.File("n.tsl")), dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "tessel-cli: column 3 is past the file's 2 columns\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("n.tsl")));

  run = Cli("export text --bom " + Quoted(crd) + " -", dir);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "tessel-cli: --separator and --bom are for csv exports\n");
}

}  // namespace
}  // namespace tessel
