// Fuzz target for the print layout: card texts as a card file may hold them
// (any bytes, any line ends) under any font metrics and page size. The
// layout must end, agree with its page count and keep text on its pages.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "output/print_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 8) return 0;
  tessel::PrintMetrics m;
  m.lineHeight = data[0] % 64;  // zero included: a degenerate font
  m.widestChar = data[1] % 64;
  m.pageWidth = data[2] * 8;
  m.pageHeight = data[3] * 8;
  for (std::size_t b = 0; b < m.advance.size(); ++b) m.advance[b] = (data[4] + b) % (data[5] % 32 + 1);
  const auto kind = static_cast<tessel::PrintKind>(data[6] % 3);
  const bool untitled = data[7] & 1;

  // Cards are separated by 0x1E; in a card, 0x1F separates index and body
  // and the tag is whether the body's length is odd.
  std::vector<tessel::CardInfo> cards;
  std::string field;
  tessel::CardInfo card;
  bool inBody = false;
  auto endCard = [&] {
    (inBody ? card.body : card.index) = field;
    card.tag = static_cast<int32_t>(card.body.size() % 2);
    cards.push_back(card);
    card = {};
    field.clear();
    inBody = false;
  };
  for (std::size_t i = 8; i < size; ++i) {
    const char c = static_cast<char>(data[i]);
    if (c == '\x1E') {
      endCard();
    } else if (c == '\x1F' && !inBody) {
      card.index = field;
      field.clear();
      inBody = true;
    } else {
      field += c;
    }
  }
  endCard();

  const std::string path = untitled ? "" : "/cards/file.tsl";
  tessel::PageCollector pages;
  if (!tessel::LayoutPrint(kind, cards, path, m, pages)) std::abort();
  if (tessel::CountPrintPages(kind, cards, path, m) != pages.pages.size()) std::abort();
  for (const tessel::PrintPage& page : pages.pages) {
    if (page.runs.empty()) std::abort();  // a header or an index line at least
    for (const tessel::TextRun& run : page.runs) {
      if (run.text.empty() || run.y < 0) std::abort();
    }
  }
  return 0;
}
