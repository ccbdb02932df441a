// The message boxes, file dialogs, modal dialogs and browser hand-over the
// main window uses, behind one interface so that tests can answer them.
#pragma once

#include <optional>

#include <QMessageBox>
#include <QString>
#include <QUrl>

class QDialog;
class QWidget;

namespace tessel {

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon,
                                              const QString& caption, const QString& text,
                                              QMessageBox::StandardButtons buttons) = 0;
  // A card file to read; empty when cancelled. `folder`: where to start,
  // nullopt for the dialog's own choice.
  virtual QString OpenFileName(QWidget* parent, const std::optional<QString>& folder) = 0;
  // A card file to write, new or existing (the dialog asks before an
  // existing file is replaced); empty when cancelled.
  virtual QString SaveFileName(QWidget* parent, const std::optional<QString>& folder) = 0;
  virtual int RunModal(QDialog& dialog) = 0;
  virtual bool OpenUrl(const QUrl& url) = 0;
};

// The real thing: QMessageBox, QFileDialog, QDialog::exec, QDesktopServices.
class QtDialogs final : public Dialogs {
 public:
  QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon,
                                      const QString& caption, const QString& text,
                                      QMessageBox::StandardButtons buttons) override;
  QString OpenFileName(QWidget* parent, const std::optional<QString>& folder) override;
  QString SaveFileName(QWidget* parent, const std::optional<QString>& folder) override;
  int RunModal(QDialog& dialog) override;
  bool OpenUrl(const QUrl& url) override;
};

inline constexpr char kCardFileFilter[] = "Tessel Files (*.tsl)";
inline constexpr char kCardFileSuffix[] = "tsl";

}  // namespace tessel
