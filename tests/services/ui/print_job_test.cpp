// A print run's PDF: written whole or not at all, and handed to a print
// queue only when the run completed.
#include "services/ui/print_job.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include "support/failing_ops.h"
#include "support/xdg_email_stub.h"

namespace tessel {
namespace {

using test::FailingOps;

PrintDestination Destination(const QString& pdfFile, const QString& printer = {}) {
  PrintDestination d;
  d.pdfFile = pdfFile;
  d.printerName = printer;
  d.layout = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
  d.resolution = 300;
  d.title = QStringLiteral("cards.tsl");
  return d;
}

// Draws a few pages and ends as the job's callers do.
bool DrawAndFinish(PrintJob& job, int pages = 20) {
  if (!job.Begin()) return false;
  QPainter painter(&job.Device());
  for (int p = 0; p < pages; ++p) {
    if (p > 0) job.Device().newPage();
    painter.drawText(100, 100, QStringLiteral("page %1 ").arg(p).repeated(40));
  }
  painter.end();
  return job.Finish();
}

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(PrintJob, EveryFailedWriteLeavesTheOldFileAndSaysWhy) {
  QTemporaryDir dir;
  const QString target = dir.filePath("out.pdf");
  FailingOps counter(-1);
  {
    PrintJob job(Destination(target), counter);
    ASSERT_TRUE(DrawAndFinish(job)) << job.Error().toStdString();
  }
  EXPECT_TRUE(Bytes(target).startsWith("%PDF"));
  EXPECT_GT(counter.calls, 4);
  for (int at = 0; at < counter.calls; ++at) {
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
    old.write("old");
    old.close();
    FailingOps ops(at);
    PrintJob job(Destination(target), ops);
    EXPECT_FALSE(DrawAndFinish(job)) << "call " << at;
    EXPECT_TRUE(job.Error().contains(target)) << job.Error().toStdString();
    EXPECT_TRUE(job.Error().contains("No space left on device")) << job.Error().toStdString();
    EXPECT_EQ(Bytes(target), "old") << "call " << at;
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.pdf"});
  }
}

class PrintQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(spool_.isValid());
    qputenv("TMPDIR", spool_.path().toLocal8Bit());
  }
  void TearDown() override { qunsetenv("TMPDIR"); }
  bool SpoolEmpty() const {
    return QDir(spool_.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  }

  QTemporaryDir spool_;
  uitest::ProgramStub lp_{kPrintQueueCommand, "--"};
};

TEST_F(PrintQueue, OnlyACompletedRunReachesThePrinter) {
  PrintDestination d = Destination({}, QStringLiteral("Office"));
  d.copies = 2;
  d.collate = true;
  d.options = QStringList{"page-set", "odd"};
  {
    PrintJob cancelled(d);
    ASSERT_TRUE(cancelled.Begin());
    QPainter painter(&cancelled.Device());
    painter.drawText(100, 100, QStringLiteral("drawn"));
    painter.end();
    cancelled.Cancel();
  }
  EXPECT_TRUE(lp_.Calls().empty());
  EXPECT_TRUE(SpoolEmpty());
  {
    PrintJob abandoned(d);  // never finished: as cancelled
    ASSERT_TRUE(abandoned.Begin());
  }
  EXPECT_TRUE(lp_.Calls().empty());
  EXPECT_TRUE(SpoolEmpty());

  PrintJob job(d);
  ASSERT_TRUE(DrawAndFinish(job, 3)) << job.Error().toStdString();
  ASSERT_EQ(lp_.Calls().size(), 1u);
  QStringList args = lp_.Calls()[0];
  ASSERT_GE(args.size(), 2);
  EXPECT_EQ(args[args.size() - 2], "--");
  args.removeLast();
  EXPECT_EQ(args, (QStringList{"-d", "Office", "-t", "cards.tsl", "-o", "media=A4", "-n", "2", "-o",
                               "Collate=True", "-o", "sides=one-sided", "-o", "page-set=odd", "--"}));
  EXPECT_TRUE(lp_.Attachment().startsWith("%PDF"));
  EXPECT_TRUE(lp_.Attachment().trimmed().endsWith("%%EOF"));
  EXPECT_TRUE(SpoolEmpty());
}

TEST_F(PrintQueue, ARefusedJobIsAFailure) {
  lp_.SetExitStatus(1);
  PrintJob job(Destination({}, QStringLiteral("Office")));
  EXPECT_FALSE(DrawAndFinish(job, 1));
  EXPECT_TRUE(job.Error().startsWith("Could not print on Office")) << job.Error().toStdString();
  EXPECT_TRUE(SpoolEmpty());
}

}  // namespace
}  // namespace tessel
