// File > Print: Card (also the card toolbar's Print button), List and Tag.
#pragma once

#include <QString>

#include "app/ui/app_context.h"
#include "output/print_layout.h"

namespace tessel {

class PrintController final : public Controller {
 public:
  explicit PrintController(AppContext& context);

 private:
  void Print(PrintKind kind);

  AppContext& c_;
  QString printerName_;  // the printer chosen last; the next dialog starts there
  bool printing_ = false;
};

}  // namespace tessel
