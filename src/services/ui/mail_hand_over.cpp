#include "services/ui/mail_hand_over.h"

#include <memory>

#include <QCursor>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include "services/ui/text.h"

namespace tessel {

namespace {

// The override cursor for one hand-over, taken down once whichever comes
// first: the end of xdg-email or the time limit.
class WaitCursor {
 public:
  WaitCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
  ~WaitCursor() { Restore(); }
  void Restore() {
    if (!shown_) return;
    shown_ = false;
    QGuiApplication::restoreOverrideCursor();
  }

 private:
  bool shown_ = true;
};

}  // namespace

bool MailProgramAvailable() {
  return !QStandardPaths::findExecutable(QString::fromLatin1(kXdgEmail)).isEmpty();
}

MailHandOver::MailHandOver(QObject* parent) : QObject(parent) {}

MailHandOver::~MailHandOver() {
  for (QProcess* process : findChildren<QProcess*>()) {
    process->disconnect();
    process->waitForFinished(2000);
  }
}

void MailHandOver::Send(const MailRequest& request, Done done) {
  auto* process = new QProcess(this);
  QStringList args;
  // The texts are UTF-8 (xdg-email is told so); the attachment is a file name.
  for (const std::string& arg : XdgEmailArguments(request)) {
    args << (!request.attachment.empty() && arg == request.attachment ? FromPath(arg)
                                                                       : ToQString(arg));
  }
  auto cursor = std::make_shared<WaitCursor>();
  QTimer::singleShot(kWaitCursorLimitMs, process, [cursor] { cursor->Restore(); });
  ++running_;
  auto finish = [this, process, cursor, done = std::move(done)](MailResult result) {
    process->disconnect();
    process->deleteLater();
    cursor->Restore();
    --running_;
    if (done) done(result);
  };
  connect(process, &QProcess::errorOccurred, this, [finish](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) finish(MailResult::StartFailed);
  });
  connect(process, &QProcess::finished, this,
          [finish](int exitCode, QProcess::ExitStatus status) {
            finish(XdgEmailResult(status == QProcess::CrashExit, exitCode));
          });
  // Its output is of no use to the user; let it go where ours goes.
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  process->start(QString::fromLatin1(kXdgEmail), args);
}

}  // namespace tessel
