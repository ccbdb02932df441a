// Files dropped on the main window or its front card: a card file opens as
// File > Open does, a Cardfile file is imported as File > Import > Cardfile
// does, a CSV file through the column dialog as File > Import > Comma
// Delimited Text does, a vCard file's cards as File > Import > vCard...
// adds them. Dropped text is left to the widget it lands on.
#pragma once

#include <QObject>

#include "app/ui/app_context.h"

class QUrl;

namespace tessel {

class DropController final : public QObject, public Controller {
 public:
  explicit DropController(AppContext& context);

 protected:
  // Watches the whole application, as the front card's editors handle drops
  // themselves before the window would see them.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Take(const QList<QUrl>& files);

  AppContext& c_;
};

}  // namespace tessel
