#include "services/ui/dialogs.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QProcess>
#include <QPushButton>

#include <algorithm>
#include <vector>

namespace tessel {

namespace {

QString RunFileDialog(QWidget* parent, const std::optional<QString>& folder, const FileKind& kind,
                      bool save) {
  QFileDialog dialog(parent);
  dialog.setNameFilter(kind.filter);
  dialog.setDefaultSuffix(kind.suffix);
  if (folder) dialog.setDirectory(*folder);
  if (save) {
    // AnyFile, so that a new name can be typed; replacing a file is confirmed.
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

}  // namespace

FileKind CardFileKind() { return {QStringLiteral("Tessel Files (*.tsl)"), QStringLiteral("tsl")}; }

QMessageBox::StandardButton QtDialogs::Message(QWidget* parent, QMessageBox::Icon icon,
                                               const QString& caption, const QString& text,
                                               QMessageBox::StandardButtons buttons,
                                               const QString& reason) {
  QMessageBox box(icon, caption, text, buttons, parent);
  box.setTextFormat(Qt::PlainText);
  box.setInformativeText(reason);
  // A file name in the reason must not be read as markup either.
  if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
    label->setTextFormat(Qt::PlainText);
  }
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

int QtDialogs::Choose(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                      const QString& text, const QStringList& buttons, int defaultButton,
                      int escape) {
  QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);
  std::vector<QPushButton*> added;
  for (const QString& label : buttons) added.push_back(box.addButton(label, QMessageBox::AcceptRole));
  box.setDefaultButton(added.at(static_cast<std::size_t>(defaultButton)));
  box.setEscapeButton(added.at(static_cast<std::size_t>(escape)));
  box.exec();
  const auto chosen = std::find(added.begin(), added.end(), box.clickedButton());
  return chosen == added.end() ? escape : static_cast<int>(chosen - added.begin());
}

void QtDialogs::Notice(QWidget* parent, const QString& caption, const QString& text) {
  if (notice_) notice_->close();
  auto* box = new QMessageBox(QMessageBox::Information, caption, text, QMessageBox::Ok, parent);
  box->setTextFormat(Qt::PlainText);
  box->setWindowModality(Qt::NonModal);
  box->setAttribute(Qt::WA_DeleteOnClose);
  // Typing goes on in the card while the notice is up: the window manager
  // is asked not to give it the keyboard, now or later.
  box->setAttribute(Qt::WA_ShowWithoutActivating);
  box->setWindowFlag(Qt::WindowDoesNotAcceptFocus);
  box->show();
  notice_ = box;
}

QString QtDialogs::OpenFileName(QWidget* parent, const std::optional<QString>& folder,
                                const FileKind& kind) {
  return RunFileDialog(parent, folder, kind, false);
}

QString QtDialogs::SaveFileName(QWidget* parent, const std::optional<QString>& folder,
                                const FileKind& kind) {
  return RunFileDialog(parent, folder, kind, true);
}

int QtDialogs::RunModal(QDialog& dialog) { return dialog.exec(); }

bool QtDialogs::OpenUrl(const QUrl& url, std::function<void()> failedLater) {
  if (!url.isLocalFile()) return QDesktopServices::openUrl(url);
  // QDesktopServices reports a file handed to xdg-open as opened as soon as
  // xdg-open starts, also when it then finds no program for it; its exit
  // status tells. It may try browsers for seconds, or wait on the one it
  // started, so it is watched without waiting. It has no parent: neither
  // this window's nor the program's end stops a browser it runs.
  auto* opener = new QProcess;
  opener->setProcessChannelMode(QProcess::ForwardedChannels);
  QObject::connect(opener, &QProcess::finished, opener,
                   [opener, failedLater = std::move(failedLater)](int code, QProcess::ExitStatus status) {
                     // Queued: a message box run inside QProcess's own signal
                     // would never be painted.
                     if ((status != QProcess::NormalExit || code != 0) && failedLater) {
                       QMetaObject::invokeMethod(qApp, failedLater, Qt::QueuedConnection);
                     }
                     opener->deleteLater();
                   });
  opener->start(QStringLiteral("xdg-open"), {url.toLocalFile()});
  if (!opener->waitForStarted()) {
    delete opener;
    return false;
  }
  return true;
}

}  // namespace tessel
