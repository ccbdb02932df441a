#include "cards/csv_file.h"

#include <gtest/gtest.h>

#include "output/export.h"
#include "support/test_support.h"

namespace tessel {
namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows Table(std::string_view bytes, char separator = ',') {
  CsvTable table;
  EXPECT_TRUE(ParseCsv(bytes, separator, table).ok);
  Rows rows;
  for (std::size_t r = 0; r < table.Rows(); ++r) {
    rows.emplace_back();
    for (std::size_t c = 0; c < table.Fields(r); ++c) rows.back().emplace_back(table.Field(r, c));
  }
  return rows;
}

std::vector<CardInfo> Cards(std::string_view bytes, const CsvMapping& mapping, CsvImport* counts = nullptr,
                            CsvEncoding encoding = CsvEncoding::Utf8) {
  CsvTable table;
  EXPECT_TRUE(ParseCsv(bytes, GuessCsv(bytes).separator, table).ok);
  std::vector<CardInfo> cards;
  const CsvImport got = CsvCards(table, mapping, encoding, cards);
  if (counts) *counts = got;
  return cards;
}

TEST(CsvFile, ReadsQuotedFieldsLineBreaksAndEveryRecordEnd) {
  EXPECT_EQ(Table("a,\"b,c\",\"say \"\"hi\"\"\"\r\n"
                  "\"two\r\nlines\",,x\n"
                  "lf\rcr,\"q\"tail,\n"
                  "last"),
            (Rows{{"a", "b,c", "say \"hi\""},
                  {"two\r\nlines", "", "x"},
                  {"lf"},
                  {"cr", "qtail", ""},
                  {"last"}}));
  EXPECT_EQ(Table("\xEF\xBB\xBFone;t\"wo\n", ';'), (Rows{{"one", "t\"wo"}}));
  EXPECT_TRUE(Table("").empty());

  CsvTable table;
  const CsvParseResult open = ParseCsv("a,\"never closed\nb", ',', table);
  EXPECT_TRUE(open.ok);
  EXPECT_TRUE(open.unclosedQuote);
  EXPECT_EQ(table.Field(0, 1), "never closed\nb");
}

TEST(CsvFile, GuessesTheSeparatorAndTheEncodingFromTheFirstLines) {
  const CsvGuess sheet = GuessCsv("\xEF\xBB\xBFName;Street;Town\r\nAnn;\"Main St, 4\";Bern\r\n");
  EXPECT_EQ(sheet.separator, ';');
  EXPECT_EQ(sheet.encoding, CsvEncoding::Utf8);
  EXPECT_EQ(GuessCsv("a\tb,c\td\n1\t2,3\t4\n").separator, '\t');
  EXPECT_EQ(GuessCsv("a,b;c\n1,2;3\n").separator, ',');  // a tie: the comma
  EXPECT_EQ(GuessCsv("only one column\n").separator, ',');
  const CsvGuess ansi = GuessCsv("Caf\xE9;Z\xFCrich\n");
  EXPECT_EQ(ansi.encoding, CsvEncoding::Cp1252);
  EXPECT_EQ(Cards("Caf\xE9;Z\xFCrich\n", {0, {1}, {}, false}, nullptr, CsvEncoding::Cp1252),
            (std::vector<CardInfo>{{"Caf\xE9", "Z\xFCrich", 1}}));
}

TEST(CsvFile, RefusesAFilePastItsBoundsWithTheRowThatBrokeIt) {
  CsvTable table;
  std::string wide = "a\n" + std::string(kCsvMaxFields, ',') + "\n";
  CsvParseResult result = ParseCsv(wide, ',', table);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, "Row 2 has more than 1000 fields.");
  EXPECT_EQ(table.Rows(), 0u);
  EXPECT_TRUE(ParseCsv(std::string(kCsvMaxFields - 1, ','), ',', table).ok);

  result = ParseCsv("x\n\"" + std::string(kCsvMaxFieldBytes + 1, 'y') + "\"", ',', table);
  EXPECT_EQ(result.error, "Row 2 has a field longer than 1 MB, more than a card takes.");

  const std::string huge(kCsvMaxBytes + 1, 'z');
  EXPECT_EQ(ParseCsv(huge, ',', table).error,
            "The file is larger than 64 MB, more than Tessel imports from a CSV file.");
  test::TempDir dir;
  test::WriteBytes(dir.File("big.csv"), {});
  std::filesystem::resize_file(dir.File("big.csv"), kCsvMaxBytes + 1);
  std::string bytes, error;
  EXPECT_FALSE(ReadCsvFile(dir.File("big.csv"), bytes, error));
  EXPECT_EQ(error, "The file is larger than 64 MB, more than Tessel imports from a CSV file.");
  EXPECT_FALSE(ReadCsvFile(dir.File("missing.csv"), bytes, error));
  EXPECT_EQ(error, "No such file or directory");
}

TEST(CsvFile, OurOwnExportComesBackIdenticalWithAnySeparator) {
  const std::vector<CardInfo> cards = {
      {"Ann; \"A\"", "Tel 1\r\nTel 2", 1}, {"", "one\ntwo\rthree", 0}, {"Caf\xE9\x80", "", 1},
      {"tab\there", "a,b;c", 0}};
  for (const CsvExportOptions options : {CsvExportOptions{',', false}, CsvExportOptions{';', true},
                                         CsvExportOptions{'\t', true}}) {
    const std::string bytes = ExportCsvBytes(cards, options);
    EXPECT_EQ(GuessCsv(bytes).separator, options.separator);
    CsvTable table;
    ASSERT_TRUE(ParseCsv(bytes, options.separator, table).ok);
    EXPECT_TRUE(IsOwnExport(table));
    std::vector<CardInfo> back;
    const CsvImport counts = CsvCards(table, DefaultMapping(table), GuessCsv(bytes).encoding, back);
    EXPECT_EQ(back, cards) << options.separator;
    EXPECT_EQ(counts.cards, 4u);
    EXPECT_EQ(counts.shortRows + counts.longRows + counts.lostCharacters, 0u);
  }
}

TEST(CsvFile, MapsColumnsToIndexBodyAndTag) {
  const std::string sheet =
      "Name;Street;Town;Phone;VIP\r\n"
      "\"Ann\nMiller\";\"Main St 4\r\nBack door\";Bern;;yes\r\n"
      ";;;;\r\n"  // a spreadsheet's empty row
      "\r\n"
      "Bob;Side St;Z\xC3\xBCrich\r\n"
      "Chen \xE4\xB8\xAD;;Basel;061;no;extra\r\n";
  CsvImport counts;
  std::vector<CardInfo> cards = Cards(sheet, {0, {1, 2, 3}, 4, true}, &counts);
  EXPECT_EQ(cards, (std::vector<CardInfo>{{"Ann Miller", "Main St 4\r\nBack door\r\nBern", 1},
                                          {"Bob", "Side St\r\nZ\xFCrich", 0},
                                          {"Chen ?", "Basel\r\n061", 0}}));
  EXPECT_EQ(counts.cards, 3u);
  EXPECT_EQ(counts.shortRows, 1u);
  EXPECT_EQ(counts.longRows, 1u);
  EXPECT_EQ(counts.lostCharacters, 1u);

  cards = Cards(sheet, {3, {2, 1}, {}, true, true});
  EXPECT_EQ(cards[0], CardInfo("", "Town: Bern\r\nStreet: Main St 4\r\nBack door", 1));

  // Without a header the first row is a card, and names are numbers.
  cards = Cards("a,b\nc,d\n", {1, {0}, {}, false, true});
  EXPECT_EQ(cards, (std::vector<CardInfo>{{"b", "Column 1: a", 1}, {"d", "Column 1: c", 1}}));

  using namespace std::string_literals;
  EXPECT_EQ(Cards("i,b\nx\0y,z\n"s, {0, {1}}, &counts)[0].index, "xy");
  EXPECT_EQ(counts.lostCharacters, 1u);
}

TEST(CsvFile, TheClosingMessageCountsWhatDidNotComeThroughAsItStood) {
  EXPECT_EQ(CsvImportMessage({1, 0, 0, 0}, false), "1 card imported.");
  EXPECT_EQ(CsvImportMessage({12, 2, 1, 3}, true),
            "12 cards imported. 2 rows had fewer fields and 1 row more than the first row; they "
            "came in with the fields they have. 3 characters that Tessel cards cannot hold yet "
            "became \"?\" or were left out. The file ends inside a quoted field; its last field "
            "was taken as it stands.");
  EXPECT_EQ(CsvImportMessage({2, 0, 1, 0}, false),
            "2 cards imported. 1 row had more fields than the first row; they came in with the "
            "fields they have.");
}

}  // namespace
}  // namespace tessel
