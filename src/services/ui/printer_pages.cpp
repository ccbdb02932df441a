#include "services/ui/printer_pages.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

#include "cards/codepage.h"
#include "services/ui/print_job.h"
#include "services/ui/text.h"

namespace tessel {
namespace {

// Qt keeps pixel sizes below 2^15; a card file may ask for any size.
constexpr long long kMaxPixelSize = 32767;

// Draws each page as the layout hands it over. The file starts with the
// first page, so a job without pages never reaches the printer.
class PainterPages final : public PageSink {
 public:
  PainterPages(PrintJob& job, const QFont& font, const PrintProgress& progress, std::size_t total)
      : job_(job), font_(font), progress_(progress), total_(total) {}

  bool TakePage(PrintPage&& page) override {
    if (progress_ && !progress_(done_, total_)) {
      outcome_ = PrintOutcome::Cancelled;
      return false;
    }
    QPdfWriter& device = job_.Device();
    if (done_ == 0) {
      if (!job_.Begin()) {
        outcome_ = PrintOutcome::Failed;
        return false;
      }
      if (!painter_.begin(&device)) {
        outcome_ = PrintOutcome::Refused;
        return false;
      }
      painter_.setFont(font_);
      ascent_ = QFontMetrics(font_, &device).ascent();
    } else {
      device.newPage();
    }
    // The layout places text by the top of its line; Qt by the baseline.
    for (const TextRun& run : page.runs) painter_.drawText(run.x, run.y + ascent_, ToQString(run.text));
    ++done_;
    return true;
  }

  PrintOutcome Finish() {
    if (outcome_ == PrintOutcome::Printed && progress_ && !progress_(done_, total_)) {
      outcome_ = PrintOutcome::Cancelled;
    }
    if (painter_.isActive()) painter_.end();
    if (outcome_ == PrintOutcome::Printed && !job_.Finish()) outcome_ = PrintOutcome::Failed;
    if (outcome_ != PrintOutcome::Printed) job_.Cancel();
    return outcome_;
  }

 private:
  PrintJob& job_;
  QFont font_;
  const PrintProgress& progress_;
  std::size_t total_;
  std::size_t done_ = 0;
  int ascent_ = 0;
  QPainter painter_;
  PrintOutcome outcome_ = PrintOutcome::Printed;
};

}  // namespace

QFont PrintFont(const std::string& face, int pointSize, int logPixelsY) {
  const std::string_view name = UpToNul(face).substr(0, kMaxPrintFaceLength);
  QFont font(FromCp1252(name));
  const long long height = static_cast<long long>(logPixelsY) * pointSize * 10 / 720;
  font.setPixelSize(static_cast<int>(std::clamp(height, 1LL, kMaxPixelSize)));
  return font;
}

PrintMetrics PrintMetricsFor(const QFont& font, QPaintDevice& device) {
  const QFontMetrics fm(font, &device);
  PrintMetrics m;
  // The platform's character height is ascent plus descent; its internal
  // leading is the part of that height above the character size the font
  // was made with (Qt's leading() is the external one). LH adds the two.
  const int height = fm.ascent() + fm.descent();
  const int internalLeading = std::max(0, height - font.pixelSize());
  m.lineHeight = std::max(1, height + internalLeading);
  m.widestChar = std::max(1, fm.maxWidth());
  // A QPrinter's width and height are those of its printable area.
  m.pageWidth = device.width();
  m.pageHeight = device.height();
  for (int b = 0; b < 256; ++b) {
    const std::string c(1, static_cast<char>(b));
    m.advance[static_cast<std::size_t>(b)] = fm.horizontalAdvance(FromCp1252(c));
  }
  return m;
}

PrintOutcome PrintOnPrinter(QPrinter& printer, PrintKind kind, const std::vector<CardInfo>& cards,
                            const std::string& path, const FormatSettings& format,
                            const PrintProgress& progress, QString* error) {
  if (!printer.isValid()) return PrintOutcome::Failed;
  printer.setDocName(ToQString(path));
  PrintJob job(DestinationOf(printer));
  QPdfWriter& device = job.Device();
  const bool list = kind == PrintKind::List;
  const QFont font = PrintFont(list ? format.indexFace : format.bodyFace,
                               list ? format.indexSize : format.bodySize, device.logicalDpiY());
  const PrintMetrics metrics = PrintMetricsFor(font, device);
  const std::size_t total = CountPrintPages(kind, cards, path, metrics);
  if (total == 0) return PrintOutcome::NoPages;
  PainterPages pages(job, font, progress, total);
  LayoutPrint(kind, cards, path, metrics, pages);
  const PrintOutcome outcome = pages.Finish();
  if (error) *error = job.Error();
  return outcome;
}

}  // namespace tessel
