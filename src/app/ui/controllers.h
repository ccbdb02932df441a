// Every capability's controller, made once for the main window.
#pragma once

#include <memory>
#include <vector>

#include "app/ui/app_context.h"

namespace tessel {

// A new capability adds its controller here, one line; the main window does
// not change.
std::vector<std::unique_ptr<Controller>> MakeControllers(AppContext& context);

}  // namespace tessel
