// The print font, its metrics and the page loop on a real PDF printer.
#include <gtest/gtest.h>

#include <QFile>
#include <QFontMetrics>
#include <QPrinter>
#include <QTemporaryDir>

#include "services/ui/printer_pages.h"

namespace tessel {
namespace {

class PdfPrinter : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setOutputFileName(Pdf());
    printer_.setResolution(600);
  }
  QString Pdf() const { return dir_.filePath("out.pdf"); }

  QTemporaryDir dir_;
  QPrinter printer_{QPrinter::HighResolution};
};

TEST(PrintFont, HeightFromThePointSizeAndTheVerticalResolution) {
  // 600 × 10 × 10 / 720 = 83.3: truncated.
  EXPECT_EQ(PrintFont("Times New Roman", 10, 600).pixelSize(), 83);
  EXPECT_EQ(PrintFont("Arial", 12, 300).pixelSize(), 50);
  EXPECT_EQ(PrintFont("Arial", 1, 72).pixelSize(), 1);
  // Sizes a damaged file may hold still give a usable font.
  EXPECT_EQ(PrintFont("Arial", 0, 600).pixelSize(), 1);
  EXPECT_EQ(PrintFont("Arial", -8, 600).pixelSize(), 1);
  EXPECT_EQ(PrintFont("Arial", 2000000000, 2400).pixelSize(), 32767);
  // The face is cut to 31 characters and converted from Windows-1252.
  EXPECT_EQ(PrintFont(std::string(40, 'F'), 10, 600).family(), QString(31, 'F'));
  EXPECT_EQ(PrintFont("Caf\xE9", 10, 600).family(), QString::fromUtf8("Caf\xC3\xA9"));
}

TEST_F(PdfPrinter, MetricsAreTheFontsOwnInDevicePixels) {
  const QFont font = PrintFont("DejaVu Sans", 10, printer_.logicalDpiY());
  const PrintMetrics m = PrintMetricsFor(font, printer_);
  const QFontMetrics fm(font, &printer_);
  const int height = fm.ascent() + fm.descent();
  EXPECT_EQ(m.lineHeight, height + (height - 83));
  EXPECT_GT(m.lineHeight, 83);
  EXPECT_EQ(m.widestChar, fm.maxWidth());
  EXPECT_EQ(m.advance['i'], fm.horizontalAdvance(QChar('i')));
  EXPECT_LT(m.advance['i'], m.advance['W']);
  EXPECT_EQ(m.advance[0x80], fm.horizontalAdvance(QChar(0x20AC)));  // the euro sign
  // A4 at 600 dpi, less the printer's margins.
  EXPECT_EQ(m.pageWidth, printer_.width());
  EXPECT_GT(m.pageWidth, 4000);
  EXPECT_LT(m.pageWidth, 4961);
  EXPECT_GT(m.pageHeight, 6000);
}

std::vector<CardInfo> LongCard() {
  std::string body;
  for (int i = 0; i < 300; ++i) body += "line " + std::to_string(i) + "\r\n";
  return {CardInfo("Long", body, 1)};
}

TEST_F(PdfPrinter, ProgressCountsThePagesAndCanCancel) {
  std::vector<std::pair<std::size_t, std::size_t>> calls;
  const auto record = [&](std::size_t done, std::size_t total) {
    calls.emplace_back(done, total);
    return true;
  };
  ASSERT_EQ(PrintOnPrinter(printer_, PrintKind::Card, LongCard(), "/p.tsl", FormatSettings(), record),
            PrintOutcome::Printed);
  ASSERT_GE(calls.size(), 4u);
  const std::size_t total = calls.size() - 1;
  for (std::size_t i = 0; i < calls.size(); ++i) EXPECT_EQ(calls[i], std::make_pair(i, total));
  EXPECT_EQ(printer_.docName(), "/p.tsl");
  EXPECT_GT(QFile(Pdf()).size(), 0);

  // Cancel before the third page: the job stops there.
  calls.clear();
  const auto cancel = [&](std::size_t done, std::size_t total) {
    calls.emplace_back(done, total);
    return done < 2;
  };
  QFile::remove(Pdf());
  EXPECT_EQ(PrintOnPrinter(printer_, PrintKind::Card, LongCard(), "/p.tsl", FormatSettings(), cancel),
            PrintOutcome::Cancelled);
  EXPECT_EQ(calls.size(), 3u);
  EXPECT_FALSE(QFile::exists(Pdf()));
  // A file that was there before stays as it was.
  QFile old(Pdf());
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("old");
  old.close();
  EXPECT_EQ(PrintOnPrinter(printer_, PrintKind::Card, LongCard(), "/p.tsl", FormatSettings(), cancel),
            PrintOutcome::Cancelled);
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), "old");
}

TEST_F(PdfPrinter, NoPagesNoDocument) {
  EXPECT_EQ(PrintOnPrinter(printer_, PrintKind::Tagged, {CardInfo("a", "b", 0)}, "", FormatSettings()),
            PrintOutcome::NoPages);
  EXPECT_EQ(PrintOnPrinter(printer_, PrintKind::Card, {}, "", FormatSettings()), PrintOutcome::NoPages);
  EXPECT_FALSE(QFile::exists(Pdf()));
  // A PDF that cannot be written fails, and says why.
  printer_.setOutputFileName(dir_.filePath("none/out.pdf"));
  QString error;
  EXPECT_EQ(PrintOnPrinter(printer_, PrintKind::List, {CardInfo("a", "b", 0)}, "", FormatSettings(),
                           {}, &error),
            PrintOutcome::Failed);
  EXPECT_TRUE(error.contains(dir_.filePath("none/out.pdf"))) << error.toStdString();
  EXPECT_TRUE(error.contains("No such file or directory")) << error.toStdString();
}

}  // namespace
}  // namespace tessel
