// Help > Contents (the help page in the browser) and Help > About.
#pragma once

#include "app/ui/app_context.h"

namespace tessel {

class HelpController final : public Controller {
 public:
  explicit HelpController(AppContext& context);

 private:
  void ShowHelp();
  void ShowAbout();

  AppContext& c_;
};

}  // namespace tessel
