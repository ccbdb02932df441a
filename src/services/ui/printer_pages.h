// Print jobs drawn on a QPrinter: the print layout's pages put on paper (or
// into a PDF) through QPainter in device pixels, with the font built and
// measured the way the layout expects.
#pragma once

#include <QFont>
#include <QString>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "cards/card_info.h"
#include "cards/format_settings.h"
#include "output/print_layout.h"

class QPaintDevice;
class QPrinter;

namespace tessel {

// Faces longer than this are cut, as the platform's font records cut them.
inline constexpr std::size_t kMaxPrintFaceLength = 31;

// The print font: the face (Windows-1252) at a character height of
// LOGPIXELSY × size × 10 / 720 device pixels, the division truncating.
QFont PrintFont(const std::string& face, int pointSize, int logPixelsY);

// The layout's metrics from Qt's: the one place where they are mapped.
PrintMetrics PrintMetricsFor(const QFont& font, QPaintDevice& device);

enum class PrintOutcome {
  Printed,
  NoPages,    // nothing to print (no card, or no tagged card); nothing sent
  Failed,     // the printer cannot be used, or the job could not be written
              // or handed to it
  Refused,    // the print system would not start the document
  Cancelled,  // stopped through the progress callback: nothing reaches the
              // printer or the PDF file
};

// Called before each page with the pages done and the pages in all, and once
// more when all are done; false cancels the job.
using PrintProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Prints one job: Print Card and Print Tagged in the body font, Print List
// in the index font. `path` (UTF-8) heads the pages and names the document.
// A failure's sentence for the user goes to `error`.
PrintOutcome PrintOnPrinter(QPrinter& printer, PrintKind kind, const std::vector<CardInfo>& cards,
                            const std::string& path, const FormatSettings& format,
                            const PrintProgress& progress = {}, QString* error = nullptr);

}  // namespace tessel
