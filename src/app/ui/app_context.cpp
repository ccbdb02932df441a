#include "app/ui/app_context.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace tessel {

void AppContext::ShowStandardMessage(const QString& text, QMessageBox::Icon icon,
                                     const QString& reason) const {
  const QString caption = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
  dialogs.Message(frame.Window(), icon, caption, text, QMessageBox::Ok, reason);
}

void AppContext::ShowError(const QString& text, const QString& reason) const {
  dialogs.Message(frame.Window(), QMessageBox::Critical, QStringLiteral("Tessel Error..."), text,
                  QMessageBox::Ok, reason);
}

}  // namespace tessel
