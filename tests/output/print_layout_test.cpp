#include "output/print_layout.h"

#include <gtest/gtest.h>

#include <climits>

namespace tessel {
namespace {

using Runs = std::vector<TextRun>;

// A font whose characters are all 10 pixels wide, with LH 10, on a page
// 400 wide: card bodies run from x 30 to 370 (hard limit 360, soft limit
// 326), so a line holds 33 characters; the body's bottom limit is 540.
PrintMetrics Metrics(int pageHeight = 600) {
  PrintMetrics m;
  m.lineHeight = 10;
  m.widestChar = 10;
  m.pageWidth = 400;
  m.pageHeight = pageHeight;
  m.advance.fill(10);
  return m;
}

std::vector<PrintPage> Layout(PrintKind kind, const std::vector<CardInfo>& cards,
                              const PrintMetrics& m = Metrics(), const std::string& path = "/c.tsl") {
  PageCollector pages;
  EXPECT_TRUE(LayoutPrint(kind, cards, path, m, pages));
  EXPECT_EQ(CountPrintPages(kind, cards, path, m), pages.pages.size());
  return pages.pages;
}

// The body runs of a one-card print: what follows the header and index line.
Runs BodyOf(const PrintPage& page) { return Runs(page.runs.begin() + 2, page.runs.end()); }

std::vector<CardInfo> OneCard(const std::string& body) { return {CardInfo("Ann", body, 1)}; }

TEST(PrintCard, HeaderIndexAndBodyInTheirPlaces) {
  const auto pages = Layout(PrintKind::Card, {CardInfo("Ann \xE9", "Tel 1\r\nTel 2", 1),
                                              CardInfo("Bob", "not printed", 1)});
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0].runs, (Runs{{30, 30, "/c.tsl"},
                                 {30, 50, "Index: Ann \xC3\xA9"},
                                 {30, 60, "Tel 1"},
                                 {30, 70, "Tel 2"}}));
  // Untitled: no header at all on the first page.
  const auto untitled = Layout(PrintKind::Card, OneCard("x"), Metrics(), "");
  EXPECT_EQ(untitled[0].runs, (Runs{{30, 50, "Index: Ann"}, {30, 60, "x"}}));
}

TEST(PrintCard, LineEndsOfEveryKind) {
  // A CR LF pair and a lone LF break once each; a lone CR ends the line too
  // and keeps the character after it.
  const auto pages = Layout(PrintKind::Card, OneCard("a\r\nb\r\n\r\nc\nd\re\r"));
  EXPECT_EQ(BodyOf(pages[0]),
            (Runs{{30, 60, "a"}, {30, 70, "b"}, {30, 90, "c"}, {30, 100, "d"}, {30, 110, "e"}}));
  // After any line end one leading space goes, a second one stays.
  const auto spaces = Layout(PrintKind::Card, OneCard("a\r\n b\r\n  c"));
  EXPECT_EQ(BodyOf(spaces[0]), (Runs{{30, 60, "a"}, {30, 70, "b"}, {30, 80, " c"}}));
}

TEST(PrintCard, SoftAndHardWrapping) {
  // A word without blanks is cut at the hard limit, without a hyphen.
  const std::string word(40, 'w');
  EXPECT_EQ(BodyOf(Layout(PrintKind::Card, OneCard(word))[0]),
            (Runs{{30, 60, std::string(33, 'w')}, {30, 70, std::string(7, 'w')}}));
  // A blank at the 30th character reaches the soft limit and ends the line;
  // of the blanks after it, one is dropped.
  const std::string a29(29, 'a');
  EXPECT_EQ(BodyOf(Layout(PrintKind::Card, OneCard(a29 + "   b"))[0]),
            (Runs{{30, 60, a29 + " "}, {30, 70, " b"}}));
  // A blank at the 29th character is short of the soft limit.
  const std::string a28(28, 'a');
  EXPECT_EQ(BodyOf(Layout(PrintKind::Card, OneCard(a28 + " bcdefg"))[0]),
            (Runs{{30, 60, a28 + " bcde"}, {30, 70, "fg"}}));
}

TEST(PrintCard, WrapsByTheDrawnWidthsAndTabsAsTwoSpaces) {
  PrintMetrics m = Metrics();
  m.advance.fill(5);
  // Narrow letters: a line holds 66 of them before the hard limit.
  EXPECT_EQ(BodyOf(Layout(PrintKind::Card, OneCard(std::string(70, 'i')), m)[0]),
            (Runs{{30, 60, std::string(66, 'i')}, {30, 70, "iiii"}}));
  // A tab is drawn as two spaces and moves x by two space widths.
  EXPECT_EQ(BodyOf(Layout(PrintKind::Card, OneCard(std::string(32, '\t') + "xyz"), m)[0]),
            (Runs{{30, 60, std::string(64, ' ') + "xy"}, {30, 70, "z"}}));
}

TEST(MeasureBody, CountsTheWidestCharacterAndTabsAsTwo) {
  const PrintMetrics m = Metrics();
  const BodyRect r{30, 60, 370, 540};
  EXPECT_EQ(MeasureBody("", r, m), 60);
  EXPECT_EQ(MeasureBody("abc", r, m), 60);
  EXPECT_EQ(MeasureBody("abc\r\n", r, m), 70);
  EXPECT_EQ(MeasureBody("a\r\nb\r\nc", r, m), 80);
  EXPECT_EQ(MeasureBody("a\rb", r, m), 70);
  // 17 tabs are 34 widths: past the hard limit after the 17th.
  EXPECT_EQ(MeasureBody(std::string(16, '\t'), r, m), 60);
  EXPECT_EQ(MeasureBody(std::string(17, '\t') + "x", r, m), 70);
  // Narrow drawn widths do not change the measure, and it never breaks pages.
  PrintMetrics narrow = m;
  narrow.advance.fill(1);
  EXPECT_EQ(MeasureBody(std::string(40, 'i'), r, narrow), 70);
  std::string lines;
  for (int i = 0; i < 100; ++i) lines += "l\r\n";
  EXPECT_EQ(MeasureBody(lines, r, m), 60 + 1000);
  // Millions of lines take the end past what an int holds: it saturates.
  PrintMetrics tall = m;
  tall.lineHeight = 1000;
  EXPECT_EQ(MeasureBody(std::string(3'000'000, '\n'), r, tall), INT_MAX);
  // Text after a NUL is not part of the body.
  EXPECT_EQ(MeasureBody(std::string("a\0\r\nb", 5), r, m), 60);
}

std::string Lines(int n, const std::string& end = "\r\n") {
  std::string body;
  for (int i = 0; i < n; ++i) body += "l" + std::to_string(i) + end;
  return body;
}

TEST(PrintCard, LongBodiesContinueOnNumberedPages) {
  // Lines at 60 to 530 on page 1; continuation pages carry the header at 30
  // and the body from 50 to 530.
  const auto pages = Layout(PrintKind::Card, OneCard(Lines(100)));
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(pages[0].runs.size(), 2u + 48u);
  EXPECT_EQ(pages[0].runs.back(), (TextRun{30, 530, "l47"}));
  EXPECT_EQ(pages[1].runs.front(), (TextRun{30, 30, "/c.tsl - page 2"}));
  EXPECT_EQ(pages[1].runs[1], (TextRun{30, 50, "l48"}));
  EXPECT_EQ(pages[1].runs.size(), 1u + 49u);
  EXPECT_EQ(pages[2].runs.front().text, "/c.tsl - page 3");
  EXPECT_EQ(pages[2].runs.back(), (TextRun{30, 70, "l99"}));
  // A last line end that reaches the bottom starts no page.
  EXPECT_EQ(Layout(PrintKind::Card, OneCard(Lines(48))).size(), 1u);
  EXPECT_EQ(Layout(PrintKind::Card, OneCard(Lines(48) + "x")).size(), 2u);
  // Untitled continuation headers begin with the blank before the hyphen.
  EXPECT_EQ(Layout(PrintKind::Card, OneCard(Lines(60)), Metrics(), "")[1].runs.front().text,
            " - page 2");
}

TEST(PrintList, FillsPagesFromTheFixedPositions) {
  // Lines from y 80, LH apart; on a page 670 high a page is full once the
  // next line would be at 590 or lower: 51 lines.
  std::vector<CardInfo> cards;
  for (int i = 0; i < 52; ++i) cards.emplace_back("card " + std::to_string(i), "body", i % 2);
  const auto pages = Layout(PrintKind::List, cards, Metrics(670));
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].runs.front(), (TextRun{25, 60, "/c.tsl - page 1"}));
  EXPECT_EQ(pages[0].runs[1], (TextRun{25, 80, "Index: card 0"}));
  EXPECT_EQ(pages[0].runs.size(), 1u + 51u);
  EXPECT_EQ(pages[0].runs.back(), (TextRun{25, 580, "Index: card 50"}));
  EXPECT_EQ(pages[1].runs, (Runs{{25, 60, "/c.tsl - page 2"}, {25, 80, "Index: card 51"}}));

  cards.pop_back();
  EXPECT_EQ(Layout(PrintKind::List, cards, Metrics(670)).size(), 1u);
  EXPECT_TRUE(Layout(PrintKind::List, {}).empty());
  // A page too short for even one line still takes one line per page.
  EXPECT_EQ(Layout(PrintKind::List, cards, Metrics(100)).size(), cards.size());
}

// The index lines of a page, as (y, index) pairs.
std::vector<std::pair<int, std::string>> IndexLines(const PrintPage& page) {
  std::vector<std::pair<int, std::string>> out;
  for (const TextRun& r : page.runs) {
    if (r.text.rfind("Index: ", 0) == 0) out.emplace_back(r.y, r.text.substr(7));
  }
  return out;
}

TEST(PrintTagged, NothingTaggedGivesNoPage) {
  EXPECT_TRUE(Layout(PrintKind::Tagged, {}).empty());
  EXPECT_TRUE(Layout(PrintKind::Tagged, {CardInfo("a", "b", 0), CardInfo("c", "d", 0)}).empty());
}

TEST(PrintTagged, SeveralCardsToAPageInCollectionOrder) {
  const auto pages = Layout(PrintKind::Tagged, {CardInfo("A", "one", 1), CardInfo("skip", "x", 0),
                                                CardInfo("B", "two\r\nlines", 1), CardInfo("C", "", 1)});
  ASSERT_EQ(pages.size(), 1u);
  // Each card's index two lines below the end of the body before it.
  EXPECT_EQ(pages[0].runs, (Runs{{30, 30, "/c.tsl - page 1"},
                                 {30, 50, "Index: A"},
                                 {30, 60, "one"},
                                 {30, 80, "Index: B"},
                                 {30, 90, "two"},
                                 {30, 100, "lines"},
                                 {30, 120, "Index: C"}}));
}

TEST(PrintTagged, ACardThatDoesNotFitStartsTheNextPage) {
  // Each card has 20 lines; the third no longer ends above 540.
  std::string twenty;
  for (int i = 0; i < 19; ++i) twenty += "x\r\n";
  twenty += "x";
  std::vector<CardInfo> cards;
  for (char c : std::string("ABCD")) cards.emplace_back(std::string(1, c), twenty, 1);
  const auto pages = Layout(PrintKind::Tagged, cards);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(IndexLines(pages[0]), (std::vector<std::pair<int, std::string>>{{50, "A"}, {270, "B"}}));
  EXPECT_EQ(pages[1].runs.front().text, "/c.tsl - page 2");
  EXPECT_EQ(IndexLines(pages[1]), (std::vector<std::pair<int, std::string>>{{50, "C"}, {270, "D"}}));
}

TEST(PrintTagged, ALongCardRunsOverPagesAndTheNumbersCountOn) {
  const std::vector<CardInfo> cards = {CardInfo("A", "short", 1), CardInfo("Long", Lines(120), 1),
                                       CardInfo("Z", "end", 1)};
  const auto pages = Layout(PrintKind::Tagged, cards);
  ASSERT_EQ(pages.size(), 5u);
  // The long card starts a fresh page: index at 50, body from 60 ...
  EXPECT_EQ(IndexLines(pages[1]), (std::vector<std::pair<int, std::string>>{{50, "Long"}}));
  EXPECT_EQ(pages[1].runs[2], (TextRun{30, 60, "l0"}));
  // ... and goes on under "page 3" and "page 4" from 50.
  EXPECT_EQ(pages[2].runs[0], (TextRun{30, 30, "/c.tsl - page 3"}));
  EXPECT_EQ(pages[2].runs[1], (TextRun{30, 50, "l48"}));
  EXPECT_EQ(pages[3].runs[0].text, "/c.tsl - page 4");
  EXPECT_EQ(pages[3].runs.back().text, "l119");
  // The next card begins page 5.
  EXPECT_EQ(pages[4].runs[0].text, "/c.tsl - page 5");
  EXPECT_EQ(IndexLines(pages[4]), (std::vector<std::pair<int, std::string>>{{50, "Z"}}));
}

TEST(PrintTagged, ACardPrintedLowerThanMeasuredContinuesFromTheTop) {
  // The first card of a page is measured from 50 but printed from 60, so
  // the cards after it end one line lower than measured. The second card
  // here measures its last line at 530 and prints it at 540: it goes on a
  // continuation page whose header is at the top, not in the middle.
  const std::vector<CardInfo> cards = {CardInfo("A", "a", 1),
                                       CardInfo("B", Lines(45) + "last", 1)};
  const auto pages = Layout(PrintKind::Tagged, cards);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].runs.back(), (TextRun{30, 530, "l44"}));
  EXPECT_EQ(pages[1].runs, (Runs{{30, 30, "/c.tsl - page 2"}, {30, 50, "last"}}));
}

class StopAfter final : public PageSink {
 public:
  explicit StopAfter(std::size_t n) : n_(n) {}
  bool TakePage(PrintPage&&) override { return ++taken < n_; }
  std::size_t taken = 0;

 private:
  std::size_t n_;
};

TEST(LayoutPrint, ASinkThatSaysStopGetsNoFurtherPage) {
  std::vector<CardInfo> many;
  for (int i = 0; i < 20; ++i) many.emplace_back("c", Lines(30), 1);
  for (PrintKind kind : {PrintKind::Card, PrintKind::List, PrintKind::Tagged}) {
    const auto& cards = kind == PrintKind::Card ? OneCard(Lines(300)) : many;
    StopAfter sink(2);
    EXPECT_FALSE(LayoutPrint(kind, cards, "p", Metrics(200), sink));
    EXPECT_EQ(sink.taken, 2u);
  }
}

}  // namespace
}  // namespace tessel
