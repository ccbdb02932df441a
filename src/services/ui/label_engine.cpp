#include "services/ui/label_engine.h"

#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "services/ui/print_job.h"
#include "services/ui/text.h"

namespace tessel {

namespace {

// Text keeps this far from the label's edge when the template sets less.
inline constexpr double kMinMargin = 3.0;  // points

// The paper source a tray code stands for; nullopt for the printer's default.
std::optional<QPrinter::PaperSource> PaperSourceFor(int trayCode) {
  switch (trayCode) {
    case 7: return QPrinter::Auto;
    case 4: return QPrinter::Manual;
    case 8: return QPrinter::Tractor;
    default: return std::nullopt;
  }
}

// Draws `text` word-wrapped into `area` (a long word breaks anywhere), line
// by line from the top, and only the lines that fit whole: a line the bottom
// edge would cut, and all after it, are left out. False when text was left
// out (blank lines at the end do not count).
bool DrawWholeLines(QPainter& painter, const QRectF& area, const QString& text,
                    Qt::Alignment align) {
  QTextOption option(align);
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  double y = 0;
  qsizetype start = 0;  // of the paragraph in `text`
  for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
    QTextLayout layout(paragraph, painter.font(), painter.device());
    layout.setTextOption(option);
    layout.beginLayout();
    std::vector<QTextLine> lines;
    qsizetype leftOut = -1;  // where the text that does not fit begins
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLeadingIncluded(true);
      line.setLineWidth(area.width());
      if (y + line.height() > area.height()) {
        leftOut = start + line.textStart();
        break;
      }
      line.setPosition(QPointF(0, y));
      y += line.height();
      lines.push_back(line);
    }
    layout.endLayout();
    for (const QTextLine& line : lines) line.draw(&painter, area.topLeft());
    if (leftOut >= 0) return text.mid(leftOut).trimmed().isEmpty();
    start += paragraph.size() + 1;
  }
  return true;
}

}  // namespace

// The steps must come in the run's order; one out of place is a fault of the
// caller, reported instead of printing something half set up.
bool SheetLabelEngine::Step(int expected, int next) {
  if (step_ != expected) return Fail(QStringLiteral("Label steps out of order"));
  step_ = next;
  return true;
}

bool SheetLabelEngine::Fail(const QString& why) {
  error_ = why;
  return false;
}

bool SheetLabelEngine::NewMainDocument() {
  step_ = 0;
  error_.clear();
  product_.reset();
  records_.clear();
  cutShort_ = 0;
  return Step(0, 1);
}

bool SheetLabelEngine::InsertMergeField(const std::string& header) {
  header_ = FromCp1252(header);
  return Step(1, 2);
}

bool SheetLabelEngine::StoreEntry(const std::string& entry) {
  entry_ = FromCp1252(entry);
  return Step(2, 3);
}

bool SheetLabelEngine::LayOutSheet(const std::string& labelName, const std::string& entry,
                                   int trayCode) {
  if (!Step(3, 4)) return false;
  if (FromCp1252(entry) != entry_) return Fail(QStringLiteral("No label text stored"));
  if (!templates_.Load()) return Fail(templates_.Error());
  const QString name = FromCp1252(labelName);
  const LabelTemplate* product = templates_.Find(name);
  if (!product) return Fail(QStringLiteral("Unknown label product \"%1\"").arg(name));
  if (!product->Usable()) {
    return Fail(QStringLiteral("The label product \"%1\" has no layout Tessel can print").arg(name));
  }
  product_ = *product;
  const QPageSize paper(QSizeF(product->pageWidth, product->pageHeight), QPageSize::Point,
                        QString(), QPageSize::FuzzyMatch);
  printer_.setFullPage(true);
  printer_.setPageLayout(QPageLayout(paper, QPageLayout::Portrait, QMarginsF(), QPageLayout::Point));
  // The print system keeps the source where the printer has no such tray.
  if (const auto source = PaperSourceFor(trayCode)) {
#ifdef Q_OS_WIN
    if (printer_.supportedPaperSources().contains(*source))
#endif
      printer_.setPaperSource(*source);
  }
  return true;
}

bool SheetLabelEngine::NewDataSource(const std::string& header) {
  if (!Step(4, 5)) return false;
  if (FromCp1252(header) != header_) return Fail(QStringLiteral("No merge field for the data"));
  return true;
}

bool SheetLabelEngine::AddRecord(const std::string& labelText) {
  if (step_ != 5) return Step(5, 5);
  QString text = FromCp1252(labelText);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  records_.append(text);
  return true;
}

bool SheetLabelEngine::Merge() { return Step(5, 6); }

bool SheetLabelEngine::SetFont(const std::string& face, float size) {
  face_ = FromCp1252(face);
  size_ = size > 0 ? size : 10;
  return Step(6, 7);
}

bool SheetLabelEngine::Print() {
  if (!Step(7, 8)) return false;
  const LabelTemplate& t = *product_;
  PrintJob job(DestinationOf(printer_));
  if (!job.Begin()) return Fail(job.Error());
  QPdfWriter& device = job.Device();
  QPainter painter;
  if (!painter.begin(&device)) {
    return Fail(QStringLiteral("The printer %1 cannot print").arg(printer_.printerName()));
  }
  QFont font(face_);
  font.setPointSizeF(size_);
  painter.setFont(font);
  painter.setPen(Qt::black);
  const double scale = device.resolution() / 72.0;
  const double margin = std::max(t.margin, kMinMargin);
  const bool oval = t.shape == QLatin1String("round") || t.shape == QLatin1String("ellipse");
  const int perSheet = std::max(1, t.layout.nx) * std::max(1, t.layout.ny);
  const int sheets = std::max<int>(1, (records_.size() + perSheet - 1) / perSheet);
  cutShort_ = 0;
  std::size_t sheet = 0;
  for (qsizetype k = 0; k < records_.size(); ++k) {
    const LabelSlot slot = PlaceLabel(t.layout, static_cast<std::size_t>(k));
    if (slot.sheet != sheet) {
      if (progress_ && !progress_(static_cast<int>(sheet) + 1, sheets)) {
        painter.end();
        job.Cancel();
        return Fail(QStringLiteral("Printing cancelled"));
      }
      device.newPage();
      sheet = slot.sheet;
    }
    const QRectF label(slot.x * scale, slot.y * scale, t.labelWidth * scale, t.labelHeight * scale);
    // Text on a round label keeps inside the largest rectangle the oval holds.
    QRectF box = label;
    if (oval) {
      const double f = (1 - M_SQRT1_2) / 2;
      box.adjust(label.width() * f, label.height() * f, -label.width() * f, -label.height() * f);
    }
    box.adjust(margin * scale, margin * scale, -margin * scale, -margin * scale);
    painter.save();
    if (oval) {
      QPainterPath clip;
      clip.addEllipse(label);
      painter.setClipPath(clip);
    } else {
      painter.setClipRect(label);
    }
    // A label taller than wide (a spine or a roll label) has its text along
    // its long side, read from bottom to top.
    QRectF area = box;
    if (t.labelHeight > t.labelWidth) {
      painter.translate(box.bottomLeft());
      painter.rotate(-90);
      area = QRectF(0, 0, box.height(), box.width());
    }
    if (!DrawWholeLines(painter, area, records_[k], oval ? Qt::AlignHCenter : Qt::AlignLeft)) {
      ++cutShort_;
    }
    painter.restore();
  }
  // Cancel after the last sheet still stops the job.
  const bool cancelled = progress_ && !progress_(sheets, sheets);
  painter.end();
  if (cancelled) {
    job.Cancel();
    return Fail(QStringLiteral("Printing cancelled"));
  }
  if (!job.Finish()) return Fail(job.Error());
  return true;
}

std::string SheetLabelEngine::Error() const { return ToCp1252(error_); }

}  // namespace tessel
