// Where a print run's pages go, and what becomes of them at its end. Qt's
// PDF output reports success whatever the disk did, and its CUPS engine
// hands the job to the printer when painting ends, cancelled or not. So a
// run draws into a PDF of its own, written through the atomic writer: a PDF
// the user chose is renamed into place once it is complete and on disk; for
// a printer it is spooled in a private folder and given to the print system
// (lp) only when the run completed. A cancelled or failed run leaves
// nothing at the target and sends nothing to the printer.
#pragma once

#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QString>
#include <QStringList>

#include <memory>

#include "cards/file_io.h"

namespace tessel {

class PrivateTempFolder;

struct PrintDestination {
  QString pdfFile;      // the PDF file the user chose; empty for a printer
  QString printerName;  // the print queue when there is no PDF file
  QPageLayout layout;
  int resolution = 600;
  QString title;
  QString creator;
  int copies = 1;
  bool collate = false;
  QPrinter::DuplexMode duplex = QPrinter::DuplexNone;
  QStringList options;  // option name and value, in turn, that the print dialog set
};

// What `printer` was set up to do, as a destination.
PrintDestination DestinationOf(const QPrinter& printer);

// The program that takes a job into a print queue.
inline constexpr char kPrintQueueCommand[] = "lp";

// lp's arguments for the spooled file `file`.
QStringList LpArguments(const PrintDestination& destination, const QString& file);

class PrintJob {
 public:
  explicit PrintJob(PrintDestination destination, FileOps& ops = FileOps::System());
  // A job neither finished nor cancelled is cancelled.
  ~PrintJob();
  PrintJob(const PrintJob&) = delete;
  PrintJob& operator=(const PrintJob&) = delete;

  // The device to draw on, with the destination's page layout and resolution;
  // it can be measured before Begin.
  QPdfWriter& Device() { return *writer_; }
  // Starts the file; false with Error() when it cannot be made.
  bool Begin();
  // After the painter has ended: completes the file and, for a printer,
  // submits it. False with Error(); nothing is then at the target.
  bool Finish();
  // Drops what was drawn: nothing reaches the target or the printer.
  void Cancel();
  // The sentence for the user, naming the file or the printer and the reason.
  const QString& Error() const { return error_; }

 private:
  class Sink;
  bool Fail(const QString& reason);
  bool Submit(const QString& file);

  PrintDestination destination_;
  AtomicFile file_;
  std::unique_ptr<Sink> sink_;
  std::unique_ptr<QPdfWriter> writer_;
  std::unique_ptr<PrivateTempFolder> spool_;
  QString spoolFile_;
  bool begun_ = false;
  QString error_;
};

}  // namespace tessel
