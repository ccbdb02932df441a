#include "output/print_layout.h"

#include <algorithm>
#include <climits>

#include "cards/codepage.h"

namespace tessel {
namespace {

constexpr std::string_view kIndexLabel = "Index: ";

// Print List's fixed geometry.
constexpr int kListLeft = 25;
constexpr int kListHeaderTop = 60;
constexpr int kListBottomGap = 50;

// The page being filled and the sink the finished pages go to.
class PageWriter {
 public:
  explicit PageWriter(PageSink& sink) : sink_(sink) {}

  void StartPage() { page_ = PrintPage(); }
  void Text(int x, int y, std::string utf8) {
    if (!utf8.empty()) page_.runs.push_back({x, y, std::move(utf8)});
  }
  void EndPage() {
    if (!stopped_ && !sink_.TakePage(std::move(page_))) stopped_ = true;
    page_ = PrintPage();
  }
  bool Stopped() const { return stopped_; }

 private:
  PageSink& sink_;
  PrintPage page_;
  bool stopped_ = false;
};

std::string IndexLine(const CardInfo& card) {
  return std::string(kIndexLabel) + Cp1252ToUtf8(UpToNul(card.index));
}

// The body printer's state across one job: the writer, the path for the
// continuation headers and the caller's page counter.
struct BodyPrinter {
  PageWriter& out;
  const PrintMetrics& metrics;
  std::string_view path;
  int& pageCounter;
};

// The line walk the measure and the body printer share. Without a printer it
// measures: every character counts as the widest, a tab as two, and no page
// breaks. With one it draws: characters move x by their own width, a tab is
// drawn as two spaces, and a page breaks before a character once y has
// reached the bottom limit. Returns the y the walk ends at.
int WalkBody(std::string_view body, const BodyRect& r, const PrintMetrics& m,
             BodyPrinter* printer) {
  body = UpToNul(body);
  int x = r.left;
  // The measure has no page breaks, so a body of millions of lines takes y
  // past what an int holds; it saturates instead.
  long long y = r.top;
  const auto result = [&y] { return static_cast<int>(std::min<long long>(y, INT_MAX)); };
  const int lh = m.lineHeight;
  const int wc = m.widestChar;
  const int hardLimit = r.right - wc;
  const int softLimit = r.right - (r.right - r.left) / 10 - wc;

  std::string run;  // Windows-1252 bytes drawn since runX
  int runX = r.left;
  auto flush = [&] {
    if (printer && !run.empty()) printer->out.Text(runX, result(), Cp1252ToUtf8(run));
    run.clear();
  };

  std::size_t i = 0;
  while (i < body.size()) {
    if (printer && y >= r.bottom) {
      // The continuation page: its header on the page's header line, the
      // body two lines below it.
      flush();
      printer->out.EndPage();
      if (printer->out.Stopped()) return result();
      printer->out.StartPage();
      y = 3 * lh;
      printer->out.Text(r.left, y, PageHeader(printer->path, ++printer->pageCounter));
      y += 2 * lh;
      x = r.left;
    }
    const auto c = static_cast<unsigned char>(body[i]);
    unsigned char examined = c;
    if (c == '\r') {
      // A CR LF pair is one line end, examined at its LF. A CR alone ends
      // the line by itself rather than swallowing the character after it.
      if (i + 1 < body.size() && body[i + 1] == '\n') examined = body[++i];
    } else if (c != '\n' && !printer) {
      x += c == '\t' ? 2 * wc : wc;
    } else if (c != '\n') {
      if (run.empty()) runX = x;
      if (c == '\t') {
        x += 2 * m.advance[' '];
        run += "  ";
      } else {
        x += m.advance[c];
        run += static_cast<char>(c);
      }
    }
    ++i;
    const bool lineEnds = x >= hardLimit || examined == '\r' || examined == '\n' ||
                          (x >= softLimit && examined == ' ');
    if (lineEnds) {
      flush();
      y += lh;
      x = r.left;
      if (i < body.size() && body[i] == ' ') ++i;  // one space at most
    }
  }
  flush();
  return result();
}

BodyRect CardBodyRect(const PrintMetrics& m, int top) {
  const int margin = 3 * m.lineHeight;
  return {margin, top, m.pageWidth - margin, m.pageHeight - 6 * m.lineHeight};
}

void PrintCard(const CardInfo& card, std::string_view path, const PrintMetrics& m,
               PageWriter& out) {
  const int lh = m.lineHeight;
  int pageCounter = 1;
  out.StartPage();
  out.Text(3 * lh, 3 * lh, std::string(path));
  out.Text(3 * lh, 5 * lh, IndexLine(card));
  BodyPrinter printer{out, m, path, pageCounter};
  WalkBody(card.body, CardBodyRect(m, 6 * lh), m, &printer);
  if (!out.Stopped()) out.EndPage();
}

void PrintList(const std::vector<CardInfo>& cards, std::string_view path, const PrintMetrics& m,
               PageWriter& out) {
  const int lh = m.lineHeight;
  const int full = m.pageHeight - 3 * lh - kListBottomGap;
  std::size_t next = 0;
  for (int page = 1; next < cards.size() && !out.Stopped(); ++page) {
    out.StartPage();
    out.Text(kListLeft, kListHeaderTop, PageHeader(path, page));
    int y = kListHeaderTop + 2 * lh;
    while (next < cards.size()) {
      out.Text(kListLeft, y, IndexLine(cards[next++]));
      y += lh;
      if (y >= full) break;  // the line just drawn stays on this page
    }
    out.EndPage();
  }
}

void PrintTagged(const std::vector<CardInfo>& cards, std::string_view path,
                 const PrintMetrics& m, PageWriter& out) {
  const int lh = m.lineHeight;
  const int bottom = m.pageHeight - 6 * lh;
  int pageCounter = 0;
  BodyPrinter printer{out, m, path, pageCounter};

  // Prints the gathered cards on a fresh page; a body may run over more.
  auto printPage = [&](const std::vector<std::size_t>& pageList) {
    out.StartPage();
    out.Text(3 * lh, 3 * lh, PageHeader(path, ++pageCounter));
    int y = 3 * lh;
    for (std::size_t k : pageList) {
      y += 2 * lh;
      out.Text(3 * lh, y, IndexLine(cards[k]));
      y += lh;
      y = WalkBody(cards[k].body, CardBodyRect(m, y), m, &printer);
      if (out.Stopped()) return;
    }
    out.EndPage();
  };

  std::size_t lastTagged = cards.size();
  for (std::size_t k = 0; k < cards.size(); ++k) {
    if (cards[k].tag != 0) lastTagged = k;
  }
  std::vector<std::size_t> pageList;
  int measureTop = 5 * lh;
  std::size_t k = 0;
  while (k < cards.size() && !out.Stopped()) {
    if (cards[k].tag == 0) {
      ++k;
      continue;
    }
    const int end = MeasureBody(cards[k].body, CardBodyRect(m, measureTop), m);
    if (end < bottom) {
      pageList.push_back(k);
      if (k == lastTagged) {
        printPage(pageList);
      } else {
        measureTop = end + 3 * lh;
      }
      ++k;
      continue;
    }
    // It does not fit: the page so far goes out and the card is taken again
    // for the next one; a card that fits on no page runs over several.
    if (pageList.empty()) {
      printPage({k});
      ++k;
    } else {
      printPage(pageList);
    }
    pageList.clear();
    measureTop = 5 * lh;
  }
}

class PageCounter final : public PageSink {
 public:
  bool TakePage(PrintPage&&) override {
    ++count;
    return true;
  }
  std::size_t count = 0;
};

}  // namespace

int MeasureBody(std::string_view body, const BodyRect& rect, const PrintMetrics& metrics) {
  return WalkBody(body, rect, metrics, nullptr);
}

std::string PageHeader(std::string_view path, int page) {
  return std::string(path) + " - page " + std::to_string(page);
}

bool LayoutPrint(PrintKind kind, const std::vector<CardInfo>& cards, std::string_view path,
                 const PrintMetrics& metrics, PageSink& sink) {
  PageWriter out(sink);
  switch (kind) {
    case PrintKind::Card:
      if (!cards.empty()) PrintCard(cards.front(), path, metrics, out);
      break;
    case PrintKind::List:
      PrintList(cards, path, metrics, out);
      break;
    case PrintKind::Tagged:
      PrintTagged(cards, path, metrics, out);
      break;
  }
  return !out.Stopped();
}

std::size_t CountPrintPages(PrintKind kind, const std::vector<CardInfo>& cards,
                            std::string_view path, const PrintMetrics& metrics) {
  PageCounter counter;
  LayoutPrint(kind, cards, path, metrics, counter);
  return counter.count;
}

}  // namespace tessel
