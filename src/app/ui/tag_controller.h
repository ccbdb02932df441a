// Card > Tag...: the Tag Cards dialog over the open cards.
#pragma once

#include "app/ui/app_context.h"

namespace tessel {

class TagController final : public Controller {
 public:
  explicit TagController(AppContext& context);

 private:
  void Tag();

  AppContext& c_;
};

}  // namespace tessel
