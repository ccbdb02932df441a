// Where the printed text goes: Print Card, Print List and Print Tagged laid
// out as pages of positioned text, from the font's metrics and the printable
// area alone. Drawing the pages is the printer surface's job; nothing here
// knows a device.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card_info.h"

namespace tessel {

// The selected font and the printable area, all in device pixels.
struct PrintMetrics {
  int lineHeight = 0;  // LH: character height plus internal leading
  int widestChar = 0;  // WC: the font's widest character
  int pageWidth = 0;   // printable width
  int pageHeight = 0;  // printable height
  // How far each Windows-1252 byte moves the pen when drawn.
  std::array<int, 256> advance{};
};

// One piece of text on a page. `y` is the top of its line, not the baseline;
// `text` is UTF-8.
struct TextRun {
  int x = 0;
  int y = 0;
  std::string text;
  bool operator==(const TextRun&) const = default;
};

struct PrintPage {
  std::vector<TextRun> runs;
};

// Takes the pages one by one as they are finished.
class PageSink {
 public:
  virtual ~PageSink() = default;
  // False stops the job: no further page comes.
  virtual bool TakePage(PrintPage&& page) = 0;
};

// Keeps every page (tests, previews).
class PageCollector final : public PageSink {
 public:
  bool TakePage(PrintPage&& page) override {
    pages.push_back(std::move(page));
    return true;
  }
  std::vector<PrintPage> pages;
};

// A body's rectangle: text from `left`, wrapped before `right`, starting at
// `top`; `bottom` is the limit the body printer breaks the page at.
struct BodyRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// Where a body printed in `rect` would end (the top of its last line),
// counting every character as the widest and a tab as two of them.
int MeasureBody(std::string_view body, const BodyRect& rect, const PrintMetrics& metrics);

enum class PrintKind { Card, List, Tagged };

// The header of a numbered page: "%s - page %d" with the path.
std::string PageHeader(std::string_view path, int page);

// Lays out a print job and hands its pages to `sink`. `path` is the card
// file's path (UTF-8, empty when untitled); card texts are Windows-1252.
// Card prints cards[0], the front card; List every index; Tagged every
// tagged card, several to a page. False when the sink stopped the job.
bool LayoutPrint(PrintKind kind, const std::vector<CardInfo>& cards, std::string_view path,
                 const PrintMetrics& metrics, PageSink& sink);

// How many pages LayoutPrint makes, for a progress display.
std::size_t CountPrintPages(PrintKind kind, const std::vector<CardInfo>& cards,
                            std::string_view path, const PrintMetrics& metrics);

}  // namespace tessel
