// tessel-cli print into PDF files, read back with pdftotext and pdfinfo:
// headers, index lines, line breaks and page counts as a printer gets them.
#include <algorithm>
#include <sstream>

#include "support/cli_run.h"

namespace tessel {
namespace {

using test::Cli;
using test::CliRun;
using test::Quoted;

// The text lines of each page of a PDF, empty lines left out.
std::vector<std::vector<std::string>> PdfPages(const std::string& pdf, const test::TempDir& dir) {
  const CliRun run = test::RunShell("pdftotext " + Quoted(pdf) + " -", dir);
  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<std::vector<std::string>> pages(1);
  for (const char c : run.out) {
    if (c == '\f') {
      pages.emplace_back();
    } else if (c == '\n') {
      if (!pages.back().empty() && !pages.back().back().empty()) pages.back().emplace_back();
    } else {
      if (pages.back().empty()) pages.back().emplace_back();
      pages.back().back() += c;
    }
  }
  for (auto& page : pages) {
    if (!page.empty() && page.back().empty()) page.pop_back();
  }
  if (pages.back().empty()) pages.pop_back();  // after the last form feed
  return pages;
}

std::string PdfInfo(const std::string& pdf, const test::TempDir& dir) {
  return test::RunShell("pdfinfo " + Quoted(pdf), dir).out;
}

std::string Lines(int n) {
  std::string body;
  for (int i = 0; i < n; ++i) body += "line " + std::to_string(i) + "\r\n";
  return body;
}

struct PrintFixture {
  test::TempDir dir;
  std::string tsl = dir.File("cards.tsl");
  std::string pdf = dir.File("out.pdf");
  explicit PrintFixture(const std::vector<CardInfo>& cards) {
    test::WriteBytes(tsl, CardFileBytes(FormatSettings(), cards));
  }
  CliRun Print(const std::string& what, const std::string& extra = "") {
    return Cli("print " + what + " " + Quoted(tsl) + " -o " + Quoted(pdf) + extra, dir);
  }
};

TEST(PrintCli, CardPrintsTheFrontCardUnderThePath) {
  PrintFixture f({CardInfo("Zed", "not printed", 1),
                  CardInfo("Caf\xE9", "first line\r\nsecond\tline\nthird", 0)});
  const CliRun run = f.Print("card");
  ASSERT_EQ(run.status, 0) << run.err;
  const auto pages = PdfPages(f.pdf, f.dir);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0], (std::vector<std::string>{f.tsl, "Index: Caf\xC3\xA9", "first line",
                                                "second line", "third"}));
  EXPECT_NE(PdfInfo(f.pdf, f.dir).find("A4"), std::string::npos);
}

TEST(PrintCli, ALongCardGoesOnUnderNumberedHeaders) {
  PrintFixture f({CardInfo("Long", Lines(150), 1)});
  ASSERT_EQ(f.Print("card").status, 0);
  const auto pages = PdfPages(f.pdf, f.dir);
  ASSERT_GE(pages.size(), 3u);
  EXPECT_EQ(pages[0][0], f.tsl);
  std::vector<std::string> body;
  for (std::size_t p = 0; p < pages.size(); ++p) {
    const std::size_t skip = p == 0 ? 2 : 1;
    if (p > 0) {
      EXPECT_EQ(pages[p][0], f.tsl + " - page " + std::to_string(p + 1));
    }
    body.insert(body.end(), pages[p].begin() + static_cast<long>(skip), pages[p].end());
  }
  ASSERT_EQ(body.size(), 150u);
  for (int i = 0; i < 150; ++i) EXPECT_EQ(body[static_cast<std::size_t>(i)], "line " + std::to_string(i));
  // The layout scales with the resolution: the same pages at 300 dpi.
  ASSERT_EQ(f.Print("card", " --resolution 300").status, 0);
  EXPECT_EQ(PdfPages(f.pdf, f.dir).size(), pages.size());
}

TEST(PrintCli, ListPrintsEveryIndexInOrderOverPages) {
  std::vector<CardInfo> cards;
  for (int i = 0; i < 150; ++i) cards.emplace_back("card " + std::to_string(1000 + i), "", i % 2);
  PrintFixture f(cards);
  ASSERT_EQ(f.Print("list").status, 0);
  const auto pages = PdfPages(f.pdf, f.dir);
  ASSERT_GE(pages.size(), 2u);
  std::vector<std::string> lines;
  for (std::size_t p = 0; p < pages.size(); ++p) {
    EXPECT_EQ(pages[p][0], f.tsl + " - page " + std::to_string(p + 1));
    lines.insert(lines.end(), pages[p].begin() + 1, pages[p].end());
  }
  ASSERT_EQ(lines.size(), 150u);
  for (int i = 0; i < 150; ++i) {
    EXPECT_EQ(lines[static_cast<std::size_t>(i)], "Index: card " + std::to_string(1000 + i));
  }
  // Letter where the locale measures in inches.
  const CliRun letter = test::RunShell("LC_ALL=en_US.UTF-8 '" TESSEL_CLI "' print list " +
                                           Quoted(f.tsl) + " -o " + Quoted(f.pdf), f.dir);
  ASSERT_EQ(letter.status, 0) << letter.err;
  EXPECT_NE(PdfInfo(f.pdf, f.dir).find("letter"), std::string::npos);
}

TEST(PrintCli, TaggedPrintsOnlyTheTaggedCards) {
  PrintFixture f({CardInfo("alpha", "a body", 1), CardInfo("beta", "hidden", 0),
                  CardInfo("gamma", "g body", 1)});
  ASSERT_EQ(f.Print("tagged").status, 0);
  const auto pages = PdfPages(f.pdf, f.dir);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0], (std::vector<std::string>{f.tsl + " - page 1", "Index: alpha", "a body",
                                                "Index: gamma", "g body"}));
}

TEST(PrintCli, NothingToPrintAndBadUsage) {
  PrintFixture f({CardInfo("alpha", "a", 0)});
  CliRun run = f.Print("tagged");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("no card is tagged"), std::string::npos) << run.err;
  EXPECT_TRUE(test::ReadBytes(f.pdf).empty());

  run = Cli("print card " + Quoted(f.tsl) + " -o " + Quoted(f.dir.File("none/out.pdf")), f.dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("none/out.pdf"), std::string::npos) << run.err;
  EXPECT_EQ(Cli("print card " + Quoted(f.dir.File("missing.tsl")) + " -o x.pdf", f.dir).status, 1);
  for (const std::string& extra : {std::string(""), std::string(" -o"), std::string(" --resolution 10")}) {
    EXPECT_EQ(Cli("print card " + Quoted(f.tsl) + extra, f.dir).status, 2) << extra;
  }
  EXPECT_EQ(f.Print("poster").status, 2);
  EXPECT_EQ(f.Print("card", " --resolution x").status, 2);
}

// The tool starts without Qt and hands drawing to its helper, which it finds
// from its own real path; without the helper it says so.
TEST(PrintCli, AFullDiskIsAFailureAndLeavesNothing) {
  std::vector<CardInfo> cards;
  for (int i = 0; i < 3000; ++i) cards.emplace_back("card " + std::to_string(10000 + i), "", 1);
  PrintFixture f(cards);
  CliRun run;
  for (const std::string& command : {"print list " + Quoted(f.tsl) + " -o /dev/full",
                                     "labels " + Quoted(f.tsl) + " -o /dev/full --product 'Avery 5160'"}) {
    run = Cli(command, f.dir);
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_NE(run.err.find("\"/dev/full\" (not a regular file)"), std::string::npos) << run.err;
  }

  // A file size limit stops the writes half way, as a full disk does.
  test::WriteBytes(f.pdf, std::vector<uint8_t>{'o', 'l', 'd'});
  const std::string limited = "trap '' XFSZ; ulimit -f 40; ";
  for (const std::string& command :
       {"print list " + Quoted(f.tsl) + " -o " + Quoted(f.pdf),
        "labels " + Quoted(f.tsl) + " -o " + Quoted(f.pdf) + " --product 'Avery 5160'"}) {
    run = test::RunShell(limited + "'" TESSEL_CLI "' " + command, f.dir);
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_NE(run.err.find("Could not write \"" + f.pdf + "\" (write failed: File too large)"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(test::ReadBytes(f.pdf), (std::vector<uint8_t>{'o', 'l', 'd'})) << command;
    std::vector<std::string> names = f.dir.Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"cards.tsl", "out.pdf", "stderr.txt"}));
  }
}

TEST(PrintCli, TheToolLoadsNoQtAndFindsItsDrawingHelper) {
  PrintFixture f({CardInfo("Ann", "Tel 1", 1)});
  const CliRun libraries = test::RunShell("ldd " + Quoted(TESSEL_CLI), f.dir);
  ASSERT_EQ(libraries.status, 0) << libraries.err;
  EXPECT_EQ(libraries.out.find("libQt"), std::string::npos) << libraries.out;

  const std::string link = f.dir.File("linked-tool");
  const std::string copy = f.dir.File("lone-tool");
  ASSERT_EQ(test::RunShell("ln -s " + Quoted(TESSEL_CLI) + " " + Quoted(link) + " && cp " +
                               Quoted(TESSEL_CLI) + " " + Quoted(copy),
                           f.dir)
                .status,
            0);
  const std::string args = " print list " + Quoted(f.tsl) + " -o " + Quoted(f.pdf);
  CliRun run = test::RunShell(Quoted(link) + args, f.dir);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(PdfPages(f.pdf, f.dir)[0][1], "Index: Ann");

  run = test::RunShell(Quoted(copy) + args, f.dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.rfind("tessel-cli: cannot run ", 0), 0u) << run.err;
  EXPECT_NE(run.err.find("tessel-cli-draw: No such file or directory"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace tessel
