// The card commands: Add, Delete, Go To, Next, Previous and Sort.
#pragma once

#include "app/ui/app_context.h"

namespace tessel {

class CardController final : public Controller {
 public:
  explicit CardController(AppContext& context);

 private:
  void Add();
  void Delete();
  void GoTo();

  AppContext& c_;
};

}  // namespace tessel
