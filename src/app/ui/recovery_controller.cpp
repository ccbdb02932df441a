#include "app/ui/recovery_controller.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>

#include <QApplication>
#include <QEvent>
#include <QSessionManager>

namespace tessel {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

RecoveryController::RecoveryController(AppContext& c) : c_(c), folder_(RecoveryFolder()) {
  clock_.start();
  c_.model.document.SetOnSettled([this] {
    schedule_.Written();
    if (writer_) writer_->Remove();
  });
  qApp->installEventFilter(this);
  tick_.setInterval(1000);
  connect(&tick_, &QTimer::timeout, this, &RecoveryController::Tick);
  tick_.start();
  // The session ends: there may be no later chance to keep the cards.
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
    if (c_.model.cards.Modified()) WriteNow(true);
  });
  // Once the event loop runs: after the window is shown and the file named
  // on the command line is read.
  QTimer::singleShot(0, this, &RecoveryController::OfferRecovery);
}

RecoveryController::~RecoveryController() {
  qApp->removeEventFilter(this);
  c_.model.document.SetOnSettled({});
}

bool RecoveryController::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonRelease:
    case QEvent::Drop:
    case QEvent::InputMethod:
      schedule_.Changed(clock_.elapsed());
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

void RecoveryController::Tick() {
  ShowWriteError();
  if (!schedule_.Due(clock_.elapsed())) return;
  schedule_.Written();
  if (c_.model.cards.Modified()) WriteNow(false);
}

bool RecoveryController::WriteNow(bool wait) {
  if (!writer_) {
    const std::string why = MakeRecoveryFolder(folder_);
    if (!why.empty()) {
      if (!folderReported_) {
        c_.frame.ShowStatus(Q("Unsaved cards cannot be kept for recovery: " + why));
        folderReported_ = true;
      }
      return false;
    }
    const RecoveryHeader own = OwnRecoveryHeader("", false);
    writer_ = std::make_unique<RecoveryWriter>(folder_ + "/tessel-" + std::to_string(own.pid) +
                                               "-" + std::to_string(own.written) + ".recovery");
  }
  // Only the snapshot is taken here; the disk is the writer thread's.
  const Document& doc = c_.model.document;
  writer_->Write(RecoveryBytes(OwnRecoveryHeader(doc.Path(), doc.SaveBlocked()), c_.model.format,
                               c_.model.cards.Cards(), writer_->TakeSpare()));
  if (!wait) return true;
  writer_->Flush();
  return !ShowWriteError();
}

bool RecoveryController::ShowWriteError() {
  const std::string why = writer_ ? writer_->TakeError() : std::string();
  if (!why.empty()) c_.frame.ShowStatus(Q("Unsaved cards could not be kept for recovery: " + why));
  return !why.empty();
}

void RecoveryController::OfferRecovery() {
  const std::vector<RecoveryCandidate> found = AbandonedRecoveries(folder_);
  // The newest is offered; the others wait for the next start.
  if (found.empty()) return;
  const RecoveryCandidate& newest = found.front();
  QWidget* parent = c_.frame.Window();
  const int answer = c_.dialogs.Choose(
      parent, QMessageBox::Question, QStringLiteral("Tessel"),
      Q(RecoveryQuestion(newest.header, std::time(nullptr))),
      {QStringLiteral("&Recover"), QStringLiteral("&Discard"), QStringLiteral("&Later")}, 0, 2);
  if (answer == 0) {
    Recover(newest);
  } else if (answer == 1) {
    if (c_.dialogs.Message(parent, QMessageBox::Warning, QStringLiteral("Tessel"),
                           Q(DiscardQuestion(newest.header)),
                           QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
      ::unlink(newest.file.c_str());
    }
  }
  c_.commands.UpdateStates();
}

void RecoveryController::Recover(const RecoveryCandidate& found) {
  RecoveryData data;
  std::string error;
  if (!LoadRecovery(found.file, data, error)) {
    // Kept under another name, so that it is not offered at every start
    // but is still there for whoever wants to look.
    const std::string kept = found.file + ".damaged";
    std::rename(found.file.c_str(), kept.c_str());
    c_.ShowError(Q("The unsaved cards could not be recovered from \"" + kept + "\""), Q(error));
    return;
  }
  if (!c_.model.document.Recover(std::move(data.cards), data.header.path,
                                 data.header.saveBlocked)) {
    return;
  }
  // This process keeps them now: its own file is on disk before the old
  // one goes, so a crash in between loses nothing.
  if (WriteNow(true)) ::unlink(found.file.c_str());
}

}  // namespace tessel
