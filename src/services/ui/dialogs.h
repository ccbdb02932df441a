// The message boxes, file dialogs, modal dialogs and browser hand-over the
// main window uses, behind one interface so that tests can answer them.
#pragma once

#include <functional>
#include <optional>

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

class QDialog;
class QWidget;

namespace tessel {

// What a file dialog offers: its filter ("Tessel Files (*.tsl)") and the
// suffix a typed name without one gets.
struct FileKind {
  QString filter;
  QString suffix;
};
FileKind CardFileKind();

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The text is shown as it stands, never as markup: it may hold card texts.
  // `reason`, when given, is the system's word on a failure, beneath it.
  virtual QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon,
                                              const QString& caption, const QString& text,
                                              QMessageBox::StandardButtons buttons,
                                              const QString& reason = QString()) = 0;
  // A question with buttons of its own (texts may carry & for their keys):
  // the index of the one chosen; Esc and the close box choose `escape`.
  virtual int Choose(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                     const QString& text, const QStringList& buttons, int defaultButton,
                     int escape) = 0;
  // News that needs no answer, shown beside the window without taking the
  // keyboard from it; a newer notice replaces one still shown.
  virtual void Notice(QWidget* parent, const QString& caption, const QString& text) = 0;
  // A file to read; empty when cancelled. `folder`: where to start, nullopt
  // for the dialog's own choice.
  virtual QString OpenFileName(QWidget* parent, const std::optional<QString>& folder,
                               const FileKind& kind) = 0;
  // A file to write, new or existing (the dialog asks before an existing
  // file is replaced); empty when cancelled.
  virtual QString SaveFileName(QWidget* parent, const std::optional<QString>& folder,
                               const FileKind& kind) = 0;
  virtual int RunModal(QDialog& dialog) = 0;
  // Hands the address to the desktop; false when that failed at once. A
  // local file goes to a program that may only later find it can show
  // nothing: `failedLater` is then called.
  virtual bool OpenUrl(const QUrl& url, std::function<void()> failedLater = {}) = 0;
};

// The real thing: QMessageBox, QFileDialog, QDialog::exec, QDesktopServices.
class QtDialogs final : public Dialogs {
 public:
  QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon,
                                      const QString& caption, const QString& text,
                                      QMessageBox::StandardButtons buttons,
                                      const QString& reason = QString()) override;
  int Choose(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
             const QStringList& buttons, int defaultButton, int escape) override;
  void Notice(QWidget* parent, const QString& caption, const QString& text) override;
  QString OpenFileName(QWidget* parent, const std::optional<QString>& folder,
                       const FileKind& kind) override;
  QString SaveFileName(QWidget* parent, const std::optional<QString>& folder,
                       const FileKind& kind) override;
  int RunModal(QDialog& dialog) override;
  bool OpenUrl(const QUrl& url, std::function<void()> failedLater = {}) override;

 private:
  QPointer<QMessageBox> notice_;
};

}  // namespace tessel
