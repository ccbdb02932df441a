#include "output/export.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "support/test_support.h"

namespace tessel {
namespace {

const std::vector<CardInfo> kCards = {
    CardInfo("Ann", "Tel 1\r\nTel 2", 1),
    CardInfo("B, \"quoted\"", "plain", 0),
    CardInfo("Caf\xE9", "", 1),
    CardInfo("lf", "one\ntwo\rthree", 0),
};

TEST(Export, TextIsEveryCardInTheTaggedLayout) {
  const std::string rule(60, '-');
  EXPECT_EQ(ExportTextBytes(kCards),
            "Ann\r\nTel 1\r\nTel 2\r\n" + rule + "\r\n\r\n"
            "B, \"quoted\"\r\nplain\r\n" + rule + "\r\n\r\n"
            "Caf\xC3\xA9\r\n\r\n" + rule + "\r\n\r\n"
            "lf\r\none\r\ntwo\r\nthree\r\n" + rule + "\r\n\r\n");
  EXPECT_EQ(ExportTextBytes({}), "");
}

TEST(Export, CsvQuotesOnlyWhereItMust) {
  EXPECT_EQ(ExportCsvBytes(kCards),
            "Index,Body,Tagged\r\n"
            "Ann,\"Tel 1\r\nTel 2\",1\r\n"
            "\"B, \"\"quoted\"\"\",plain,0\r\n"
            "Caf\xC3\xA9,,1\r\n"
            "lf,\"one\ntwo\rthree\",0\r\n");
  EXPECT_EQ(ExportCsvBytes({}), "Index,Body,Tagged\r\n");
  // Any nonzero tag flag is tagged; text after a NUL is not part of a card.
  using namespace std::string_literals;
  EXPECT_EQ(ExportCsvBytes({CardInfo("x\0y"s, "b\0\"c\""s, -7)}), "Index,Body,Tagged\r\nx,b,1\r\n");
}

TEST(Export, CsvTakesTheSeparatorAndByteOrderMarkLastChosen) {
  test::MemoryStore settings;
  EXPECT_EQ(ExportCsvBytes({CardInfo("a,b", "c;d", 1)}, CsvExportOptionsFrom(settings)),
            "Index,Body,Tagged\r\n\"a,b\",c;d,1\r\n");
  RememberCsvExportOptions(settings, {';', true});
  EXPECT_EQ(ExportCsvBytes({CardInfo("a,b", "c;d", 1)}, CsvExportOptionsFrom(settings)),
            "\xEF\xBB\xBFIndex;Body;Tagged\r\na,b;\"c;d\";1\r\n");
  settings.values[kCsvSeparatorSetting] = "124";  // '|', not one we offer
  EXPECT_EQ(CsvExportOptionsFrom(settings).separator, ',');
}

class FailingWrite final : public FileOps {
 public:
  ssize_t Write(int, const void*, std::size_t) override {
    errno = ENOSPC;
    return -1;
  }
};

TEST(Export, WritesTheFileAndReportsFailuresByNameAndReason) {
  test::TempDir dir;
  const std::string csv = dir.File("cards.csv");
  ASSERT_TRUE(ExportCards(ExportKind::Csv, kCards, csv));
  const std::string expected = ExportCsvBytes(kCards);
  EXPECT_EQ(test::ReadBytes(csv), std::vector<uint8_t>(expected.begin(), expected.end()));
  ASSERT_TRUE(ExportCards(ExportKind::Text, kCards, dir.File("cards.txt")));
  EXPECT_EQ(test::ReadBytes(dir.File("cards.txt")).size(), ExportTextBytes(kCards).size());

  // A full disk leaves the earlier export whole and no stray file behind.
  FailingWrite full;
  FileResult result = ExportCards(ExportKind::Csv, {CardInfo("new", "", 1)}, csv, {}, full);
  EXPECT_FALSE(result);
  EXPECT_EQ(result.message, "File Error - \"" + csv +
                                "\" could not be written (write failed: No space left on device).");
  EXPECT_EQ(test::ReadBytes(csv), std::vector<uint8_t>(expected.begin(), expected.end()));
  EXPECT_EQ(dir.Names().size(), 2u);

  const std::string missing = dir.File("no/such/folder.csv");
  result = ExportCards(ExportKind::Text, kCards, missing);
  EXPECT_FALSE(result);
  EXPECT_NE(result.message.find(missing), std::string::npos);
  EXPECT_NE(result.message.find("No such file or directory"), std::string::npos);
}

}  // namespace
}  // namespace tessel
