// tessel-cli export, read back by other programs: Python's csv module and
// SQLite's CSV import must see every card exactly as it is.
#include <nlohmann/json.hpp>

#include "cards/codepage.h"
#include "cards/vcard_file.h"
#include "output/export.h"
#include "support/cli_run.h"

namespace tessel {
namespace {

using test::Cli;
using test::CliRun;
using test::Quoted;

// Cards in their sorted order, with every character CSV has to protect.
const std::vector<CardInfo> kCards = {
    CardInfo("Abbott, Helen", "14 Larch Avenue\r\nCambridge\r\n\r\nTel 555", 1),
    CardInfo("Caf\xE9 \"M\xFCller\"", "K\xF6nigstra\xDF" "e 12, \"Stuttgart\"\r\n", 0),
    CardInfo("empty", "", 1),
    CardInfo("lines", "lf only\nthen a tab\tand a lone cr\rend", 0),
};

// (index, body, tagged) as UTF-8, as a reader of the file should see them.
std::vector<std::vector<std::string>> ExpectedRows() {
  std::vector<std::vector<std::string>> rows;
  for (const CardInfo& c : kCards) {
    rows.push_back({Cp1252ToUtf8(c.index), Cp1252ToUtf8(c.body), c.tag ? "1" : "0"});
  }
  return rows;
}

struct Exported {
  test::TempDir dir;
  std::string csv = dir.File("cards.csv");
  Exported() {
    test::WriteBytes(dir.File("cards.tsl"), CardFileBytes(FormatSettings(), kCards));
    const CliRun run = Cli("export csv " + Quoted(dir.File("cards.tsl")) + " " + Quoted(csv), dir);
    EXPECT_EQ(run.status, 0) << run.err;
  }
};

TEST(ExportCli, CsvIsByteExactAndPythonReadsEveryCard) {
  Exported e;
  const std::string expected = ExportCsvBytes(kCards);
  EXPECT_EQ(test::ReadBytes(e.csv), std::vector<uint8_t>(expected.begin(), expected.end()));

  const CliRun py = test::RunShell(
      "python3 -c 'import csv, json, sys; "
      "print(json.dumps(list(csv.reader(open(sys.argv[1], newline=\"\", encoding=\"utf-8\")))))' " +
          Quoted(e.csv),
      e.dir);
  ASSERT_EQ(py.status, 0) << py.err;
  auto rows = ExpectedRows();
  rows.insert(rows.begin(), {"Index", "Body", "Tagged"});
  EXPECT_EQ(nlohmann::json::parse(py.out), nlohmann::json(rows));
}

TEST(ExportCli, SqliteImportsEveryCardIntact) {
  Exported e;
  const CliRun sql = test::RunShell(
      "sqlite3 :memory: " + Quoted(".import --csv " + e.csv + " cards") +
          " '.mode json' 'SELECT * FROM cards ORDER BY rowid'",
      e.dir);
  ASSERT_EQ(sql.status, 0) << sql.err;
  const auto json = nlohmann::json::parse(sql.out);
  const auto rows = ExpectedRows();
  ASSERT_EQ(json.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(json[i]["Index"], rows[i][0]);
    EXPECT_EQ(json[i]["Body"], rows[i][1]);
    EXPECT_EQ(json[i]["Tagged"], rows[i][2]);
  }
}

TEST(ExportCli, WhatSqliteWritesBackImportsAsTheSameCards) {
  Exported e;
  const std::string again = e.dir.File("again.csv");
  CliRun run = test::RunShell("sqlite3 :memory: " + Quoted(".import --csv " + e.csv + " cards") +
                                  " '.headers on' '.mode csv' " + Quoted(".once " + again) +
                                  " 'SELECT * FROM cards ORDER BY rowid'",
                              e.dir);
  ASSERT_EQ(run.status, 0) << run.err;
  run = Cli("import " + Quoted(again) + " " + Quoted(e.dir.File("back.tsl")), e.dir);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "4 cards imported.\n");
  run = Cli("export csv " + Quoted(e.dir.File("back.tsl")) + " -", e.dir);
  EXPECT_EQ(run.out, ExportCsvBytes(kCards));
}

TEST(ExportCli, TextAndErrors) {
  test::TempDir dir;
  const std::string tsl = dir.File("cards.tsl");
  test::WriteBytes(tsl, CardFileBytes(FormatSettings(), kCards));
  const std::vector<uint8_t> before = test::ReadBytes(tsl);
  CliRun run = Cli("export text " + Quoted(tsl) + " " + Quoted(dir.File("cards.txt")), dir);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string expected = ExportTextBytes(kCards);
  EXPECT_EQ(test::ReadBytes(dir.File("cards.txt")), std::vector<uint8_t>(expected.begin(), expected.end()));
  EXPECT_EQ(test::ReadBytes(tsl), before);  // the card file is only read

  run = Cli("export text " + Quoted(tsl) + " " + Quoted(dir.File("none/cards.txt")), dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(dir.File("none/cards.txt")), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("No such file or directory"), std::string::npos) << run.err;
  // Each refusal gives the true reason for the path given.
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"/dev/full", "(not a regular file)"},
      {dir.Path().string(), "(it is a folder)"},
      {tsl + "/cards.csv", "(Not a directory)"},
      {dir.File(std::string(256, 'n')), "(File name too long)"},
  };
  for (const auto& [out, why] : refused) {
    run = Cli("export csv " + Quoted(tsl) + " " + Quoted(out), dir);
    EXPECT_EQ(run.status, 1) << out;
    EXPECT_NE(run.err.find("\"" + out + "\" could not be written " + why), std::string::npos) << run.err;
  }
  // A name near the limit is no reason: the file written beside it is cut to fit.
  run = Cli("export csv " + Quoted(tsl) + " " + Quoted(dir.File(std::string(250, 'n'))), dir);
  EXPECT_EQ(run.status, 0) << run.err;
  run = Cli("export csv " + Quoted(dir.File("missing.tsl")) + " " + Quoted(dir.File("o.csv")), dir);
  EXPECT_EQ(run.status, 1);
  for (const std::string& args : std::vector<std::string>{"export", "export html " + Quoted(tsl) + " x", "export csv " + Quoted(tsl)}) {
    EXPECT_EQ(Cli(args, dir).status, 2) << args;
  }
}

TEST(ExportCli, VcardWritesTheTaggedCardsOrAllAndTheImportReadsThemBack) {
  test::TempDir dir;
  test::WriteBytes(dir.File("cards.tsl"), CardFileBytes(FormatSettings(), kCards));
  const CliRun tagged = Cli("export vcard --tagged " + Quoted(dir.File("cards.tsl")) + " -", dir);
  ASSERT_EQ(tagged.status, 0) << tagged.err;
  EXPECT_EQ(tagged.out, ExportBytes(ExportKind::Vcard, {kCards[0], kCards[2]}));

  const CliRun all = Cli("export vcard " + Quoted(dir.File("cards.tsl")) + " " +
                             Quoted(dir.File("all.vcf")),
                         dir);
  ASSERT_EQ(all.status, 0) << all.err;
  std::vector<CardInfo> cards;
  EXPECT_EQ(LoadVcardFile(dir.File("all.vcf"), cards).status, VcardStatus::Ok);
  // Line breaks come back as the body editor writes them: CR LF.
  std::vector<CardInfo> expected = kCards;
  expected[3].body = "lf only\r\nthen a tab\tand a lone cr\r\nend";
  EXPECT_EQ(cards, expected);
}

}  // namespace
}  // namespace tessel
