#include "app/ui/help_controller.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

#include "app/ui/about_box.h"
#include "services/ui/data_folder.h"

namespace tessel {

HelpController::HelpController(AppContext& context) : c_(context) {
  c_.commands.Handle(CommandId::HelpContents, [this] { ShowHelp(); });
  c_.commands.Handle(CommandId::About, [this] { ShowAbout(); });
}

void HelpController::ShowHelp() {
  const QString path = DataFolder(c_.settings, QStringLiteral("help")) + QStringLiteral("/tessel.html");
  if (QFileInfo(path).isFile()) {
    // Where no program takes the page (no browser installed), say where it
    // is, so that it can be opened by hand.
    const QString where = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    // xdg-open may fail after the window is gone.
    const auto cannotOpen = [this, where, window = QPointer<QWidget>(c_.frame.Window())] {
      if (!window) return;
      c_.ShowStandardMessage(
          QStringLiteral("The help page could not be opened. You can open it in a web browser "
                         "yourself; it is at:\n%1")
              .arg(where));
    };
    if (!c_.dialogs.OpenUrl(QUrl::fromLocalFile(path), cannotOpen)) cannotOpen();
    return;
  }
  c_.ShowStandardMessage(QStringLiteral(
                             "There is a problem with the help file.\n"
                             "You may need the Microsoft HTML Help Update\n"
                             "Please, go to %1 and follow the instructions from there")
                             .arg(QString::fromLatin1(kHelpAddress)));
}

void HelpController::ShowAbout() {
  AboutBox box(c_.frame.Window());
  c_.dialogs.RunModal(box);
  if (!c_.model.cards.Empty()) c_.FocusFrontBody();
}

}  // namespace tessel
