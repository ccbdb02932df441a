// tessel-cli labels: label sheets as PDF, read back with pdftotext -bbox.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "cards/card_file.h"
#include "support/cli_run.h"
#include "support/test_support.h"

namespace tessel {
namespace {

using test::Cli;
using test::CliRun;
using test::Quoted;

bool TemplatesInstalled() {
  return std::filesystem::exists("/usr/share/libglabels-3.0/templates/paper-sizes.xml");
}

// Settings in a throw-away folder, so a user's "Installed" value plays no part.
std::string Env(const test::TempDir& dir) { return "XDG_CONFIG_HOME=" + Quoted(dir.File("config")) + " "; }

struct Word {
  int page;
  double xMin, yMin, xMax, yMax;
  std::string text;
};

std::vector<Word> WordsOf(const std::string& pdf, const test::TempDir& dir,
                          std::vector<std::string>& pageSizes) {
  const std::string html = dir.File("bbox.html");
  EXPECT_EQ(std::system(("pdftotext -bbox " + Quoted(pdf) + " " + Quoted(html)).c_str()), 0);
  const auto bytes = test::ReadBytes(html);
  const std::string text(bytes.begin(), bytes.end());
  std::vector<Word> words;
  int pages = 0;
  const std::regex token(
      R"re(<page width="([0-9.]+)" height="([0-9.]+)"|<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
  for (std::sregex_iterator it(text.begin(), text.end(), token), end; it != end; ++it) {
    if ((*it)[0].str().starts_with("<page")) {
      ++pages;
      pageSizes.push_back((*it)[1].str() + "x" + (*it)[2].str());
    } else {
      words.push_back({pages, std::stod((*it)[3]), std::stod((*it)[4]), std::stod((*it)[5]),
                       std::stod((*it)[6]), (*it)[7]});
    }
  }
  return words;
}

TEST(LabelsCli, Avery5160With31CardsFillsOneLetterSheetAndStartsASecond) {
  test::TempDir dir;
  if (Cli("labels --list", dir, Env(dir)).status == 2) GTEST_SKIP() << "tessel-cli built without Qt";
  if (!TemplatesInstalled()) GTEST_SKIP() << "gLabels templates missing: install glabels-data";
  CardCollection cards;
  std::vector<CardInfo> records;
  for (int i = 1; i <= 31; ++i) {
    char index[16], body[16];
    std::snprintf(index, sizeof index, "Card%02d", i);
    std::snprintf(body, sizeof body, "Body%02d", i);
    records.emplace_back(index, body, 1);
  }
  records.emplace_back("Untagged", "Hidden", 0);
  cards.AppendCards(std::move(records));
  ASSERT_TRUE(WriteCardFile(cards, FormatSettings(), dir.File("cards.tsl")));

  const CliRun run = Cli("labels " + Quoted(dir.File("cards.tsl")) + " -o " +
                             Quoted(dir.File("labels.pdf")) +
                             " --product 'Avery 5160' --index-on-label --tray 2",
                         dir, Env(dir));
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> pageSizes;
  const std::vector<Word> words = WordsOf(dir.File("labels.pdf"), dir, pageSizes);
  EXPECT_EQ(pageSizes.size(), 2u);
  EXPECT_EQ(std::count(pageSizes.begin(), pageSizes.end(), "612.000000x792.000000"), 2);  // Letter

  // Avery 5160: 3 across, 10 down, first at (0.15625in, 0.5in), steps of
  // 2.78125in and 1in; the text sits inside each label by its margin.
  ASSERT_EQ(words.size(), 62u);
  for (int k = 0; k < 31; ++k) {
    const Word& index = words[2 * k];
    const Word& body = words[2 * k + 1];
    char expected[16];
    std::snprintf(expected, sizeof expected, "Card%02d", k + 1);
    ASSERT_EQ(index.text, expected);
    const int onSheet = k % 30;
    const double x = 11.25 + (onSheet % 3) * 200.25;
    const double y = 36 + (onSheet / 3) * 72.0;
    EXPECT_EQ(index.page, k / 30 + 1) << expected;
    EXPECT_NEAR(index.xMin, x + 4.5, 0.5) << expected;
    EXPECT_GE(index.yMin, y + 4.5 - 0.5) << expected;
    EXPECT_LT(index.yMin, y + 12) << expected;
    // The body on the line below, inside the same label.
    EXPECT_EQ(body.text, "Body" + std::string(expected + 4));
    EXPECT_NEAR(body.xMin, index.xMin, 0.5);
    EXPECT_GT(body.yMin, index.yMin + 5);
    EXPECT_LT(body.yMin, y + 72 - 4.5);
  }
}

// Card files of tagged cards with these bodies.
std::string TaggedCards(const test::TempDir& dir, const std::vector<std::string>& bodies) {
  CardCollection cards;
  std::vector<CardInfo> records;
  for (std::size_t i = 0; i < bodies.size(); ++i) records.emplace_back("C" + std::to_string(i), bodies[i], 1);
  cards.AppendCards(std::move(records));
  const std::string path = dir.File("tagged.tsl");
  EXPECT_TRUE(WriteCardFile(cards, FormatSettings(), path));
  return path;
}

TEST(LabelsCli, OnlyWholeLinesAreDrawnAndLabelsCutShortAreCounted) {
  test::TempDir dir;
  if (Cli("labels --list", dir, Env(dir)).status == 2) GTEST_SKIP() << "tessel-cli built without Qt";
  if (!TemplatesInstalled()) GTEST_SKIP() << "gLabels templates missing: install glabels-data";
  std::string tall;
  for (int i = 1; i <= 9; ++i) tall += "Line" + std::to_string(i) + "\r\n";
  const std::string out = dir.File("labels.pdf");
  // Avery 5160: 1in high, so some 5 lines of the first card fit; the
  // second card fits whole, and blank lines past the edge cut nothing.
  const CliRun run = Cli("labels " + Quoted(TaggedCards(dir, {tall, "Short\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"})) +
                             " -o " + Quoted(out) + " --product 'Avery 5160'",
                         dir, Env(dir));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("tessel-cli: 1 label was cut short: its text does not fit on the label.\n"),
            std::string::npos)
      << run.err;
  std::vector<std::string> pageSizes;
  const std::vector<Word> words = WordsOf(out, dir, pageSizes);
  ASSERT_GE(words.size(), 3u);
  std::size_t lines = 0;
  while (lines < words.size() && words[lines].text == "Line" + std::to_string(lines + 1)) {
    // Whole, inside the label's text box (1in label at y 36, margin 4.5).
    EXPECT_LE(words[lines].yMax, 36 + 72 - 4.5 + 0.5) << words[lines].text;
    ++lines;
  }
  EXPECT_GE(lines, 3u);
  EXPECT_LT(lines, 9u);
  ASSERT_EQ(words.size(), lines + 1);  // nothing of the lines left out
  EXPECT_EQ(words[lines].text, "Short");
}

TEST(LabelsCli, OnALabelTallerThanWideTheTextRunsUpTheLongSide) {
  test::TempDir dir;
  if (Cli("labels --list", dir, Env(dir)).status == 2) GTEST_SKIP() << "tessel-cli built without Qt";
  if (!TemplatesInstalled()) GTEST_SKIP() << "gLabels templates missing: install glabels-data";
  const std::string out = dir.File("spine.pdf");
  // Dymo 99010 is a 28 x 89 mm page: across its width the words would
  // wrap one to a line.
  const CliRun run = Cli("labels " + Quoted(TaggedCards(dir, {"Annual reports 2024"})) + " -o " +
                             Quoted(out) + " --product 'Dymo 99010'",
                         dir, Env(dir));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err.find("cut short"), std::string::npos) << run.err;
  std::vector<std::string> pageSizes;
  const std::vector<Word> words = WordsOf(out, dir, pageSizes);
  ASSERT_EQ(words.size(), 3u);
  EXPECT_EQ(words[0].text, "Annual");
  // One line, bottom to top: each word tall and narrow, the next above it,
  // all at the same distance from the left edge, the first near the bottom.
  for (const Word& w : words) EXPECT_GT(w.yMax - w.yMin, w.xMax - w.xMin) << w.text;
  EXPECT_LT(words[1].yMax, words[0].yMin);
  EXPECT_LT(words[2].yMax, words[1].yMin);
  EXPECT_NEAR(words[1].xMin, words[0].xMin, 0.5);
  EXPECT_GT(words[0].yMax, 89 / 25.4 * 72 / 2);
}

TEST(LabelsCli, ListAndTheFailuresAUserMeets) {
  test::TempDir dir;
  CliRun run = Cli("labels --list", dir, Env(dir));
  if (run.status == 2) GTEST_SKIP() << "tessel-cli built without Qt";
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Laser and ink jet: Avery Standard\n"), std::string::npos);
  EXPECT_NE(run.out.find("Dot matrix: CoStar LabelWriter\n"), std::string::npos);
  EXPECT_NE(run.out.find("\n  Avery 5160\tAddress Labels\t1in\t2.625in\tUS-Letter\n"),
            std::string::npos);

  CardCollection one;
  one.AppendCards({CardInfo("Ann", "Tel 1", 1)});
  ASSERT_TRUE(WriteCardFile(one, FormatSettings(), dir.File("one.tsl")));
  const std::string base = "labels " + Quoted(dir.File("one.tsl")) + " -o " + Quoted(dir.File("o.pdf"));
  run = Cli(base + " --product 'Avery 99999'", dir, Env(dir));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("unknown label product \"Avery 99999\""), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("o.pdf")));

  run = Cli(base + " --product 'Avery 5160'", dir, Env(dir) + "XDG_DATA_DIRS=/nonexistent ");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Label templates not installed (package glabels-data)"), std::string::npos)
      << run.err;

  run = Cli("labels " + Quoted(dir.File("one.tsl")) + " -o " + Quoted(dir.File("no/such/o.pdf")) +
                " --product 'Avery 5160'",
            dir, Env(dir));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Could not write \"" + dir.File("no/such/o.pdf") + "\" (cannot create a file in the folder: No such file or directory)"), std::string::npos) << run.err;

  EXPECT_EQ(Cli(base, dir, Env(dir)).status, 2);
  EXPECT_EQ(Cli(base + " --product 'Avery 5160' --tray 9", dir, Env(dir)).status, 2);
}

}  // namespace
}  // namespace tessel
