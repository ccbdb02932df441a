#include "services/ui/print_job.h"

#include <QIODevice>
#include <QPrintEngine>
#include <QProcess>

#include "services/mail.h"
#include "services/ui/text.h"

namespace tessel {

// The PDF writer's bytes into the atomic file, through a buffer: the writer
// hands them over a few bytes at a time.
class PrintJob::Sink final : public QIODevice {
 public:
  explicit Sink(AtomicFile& file) : writer_(&AtomicFile::SinkFor, &file) {}
  bool isSequential() const override { return true; }
  bool Flush() { return writer_.Flush(); }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 n) override {
    writer_.Bytes(data, static_cast<std::size_t>(n));
    return writer_.Failed() ? -1 : n;
  }

 private:
  ByteWriter writer_;
};

PrintDestination DestinationOf(const QPrinter& printer) {
  PrintDestination d;
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    d.pdfFile = printer.outputFileName();
  } else {
    d.printerName = printer.printerName();
    d.copies = printer.copyCount();
    d.collate = printer.collateCopies();
    d.duplex = printer.duplex();
    // What the print dialog's options page set for the queue.
    constexpr auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);
    if (printer.printEngine()) d.options = printer.printEngine()->property(kCupsOptions).toStringList();
  }
  d.layout = printer.pageLayout();
  if (printer.fullPage()) d.layout.setMode(QPageLayout::FullPageMode);
  d.resolution = printer.resolution();
  d.title = printer.docName();
  d.creator = printer.creator();
  return d;
}

QStringList LpArguments(const PrintDestination& d, const QString& file) {
  QStringList args{QStringLiteral("-d"), d.printerName};
  if (!d.title.isEmpty()) args << QStringLiteral("-t") << d.title;
  const auto option = [&args](const QString& name, const QString& value) {
    args << QStringLiteral("-o") << (value.isEmpty() ? name : name + u'=' + value);
  };
  option(QStringLiteral("media"), d.layout.pageSize().key());
  if (d.copies > 1) {
    args << QStringLiteral("-n") << QString::number(d.copies);
    if (d.collate) option(QStringLiteral("Collate"), QStringLiteral("True"));
  }
  const bool portrait = d.layout.orientation() == QPageLayout::Portrait;
  switch (d.duplex) {
    case QPrinter::DuplexNone: option(QStringLiteral("sides"), QStringLiteral("one-sided")); break;
    case QPrinter::DuplexAuto:
      option(QStringLiteral("sides"),
             portrait ? QStringLiteral("two-sided-long-edge") : QStringLiteral("two-sided-short-edge"));
      break;
    case QPrinter::DuplexLongSide: option(QStringLiteral("sides"), QStringLiteral("two-sided-long-edge")); break;
    case QPrinter::DuplexShortSide: option(QStringLiteral("sides"), QStringLiteral("two-sided-short-edge")); break;
  }
  if (!portrait) option(QStringLiteral("landscape"), {});
  for (qsizetype i = 0; i + 1 < d.options.size(); i += 2) option(d.options[i], d.options[i + 1]);
  // The file after "--", so that no name is taken for an option.
  args << QStringLiteral("--") << file;
  return args;
}

PrintJob::PrintJob(PrintDestination destination, FileOps& ops)
    : destination_(std::move(destination)), file_(ops), sink_(std::make_unique<Sink>(file_)) {
  writer_ = std::make_unique<QPdfWriter>(sink_.get());
  writer_->setPageLayout(destination_.layout);
  writer_->setResolution(destination_.resolution);
  writer_->setTitle(destination_.title);
  if (!destination_.creator.isEmpty()) writer_->setCreator(destination_.creator);
}

PrintJob::~PrintJob() { Cancel(); }

bool PrintJob::Fail(const QString& reason) {
  error_ = destination_.pdfFile.isEmpty()
               ? QStringLiteral("Could not print on %1 (%2).").arg(destination_.printerName, reason)
               : QStringLiteral("Could not write \"%1\" (%2).").arg(destination_.pdfFile, reason);
  Cancel();
  return false;
}

bool PrintJob::Begin() {
  error_.clear();
  QString target = destination_.pdfFile;
  if (target.isEmpty()) {
    // Only this user can reach the spooled pages.
    spool_ = std::make_unique<PrivateTempFolder>();
    std::string error;
    if (!spool_->Ensure(error)) return Fail(ToQString(error));
    target = FromPath(spool_->Path()) + QStringLiteral("/job.pdf");
    spoolFile_ = target;
  }
  if (!file_.Begin(ToPath(target))) return Fail(ToQString(file_.Error()));
  sink_->open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  begun_ = true;
  return true;
}

bool PrintJob::Finish() {
  if (!begun_) return Fail(QStringLiteral("nothing was drawn"));
  sink_->close();
  if (!sink_->Flush() || !file_.Commit()) {
    const std::string why = file_.Error();
    return Fail(ToQString(why.empty() ? std::string("write failed") : why));
  }
  begun_ = false;
  if (spoolFile_.isEmpty()) return true;
  const bool submitted = Submit(spoolFile_);
  spool_.reset();  // lp has taken its own copy, or failed
  return submitted;
}

bool PrintJob::Submit(const QString& file) {
  QProcess lp;
  lp.setProcessChannelMode(QProcess::MergedChannels);
  lp.start(QString::fromLatin1(kPrintQueueCommand), LpArguments(destination_, file));
  if (!lp.waitForStarted()) return Fail(QStringLiteral("%1 could not be started").arg(kPrintQueueCommand));
  lp.waitForFinished(-1);
  if (lp.exitStatus() != QProcess::NormalExit || lp.exitCode() != 0) {
    const QString said = QString::fromLocal8Bit(lp.readAll()).trimmed();
    return Fail(said.isEmpty() ? QStringLiteral("%1 failed").arg(kPrintQueueCommand) : said);
  }
  return true;
}

void PrintJob::Cancel() {
  if (sink_->isOpen()) sink_->close();
  file_.Abort();
  begun_ = false;
  spool_.reset();
}

}  // namespace tessel
