#include "app/ui/format_controller.h"

#include "stack/ui/format_toolbar.h"

namespace tessel {

FormatController::FormatController(AppContext& c) {
  FormatToolBar& bar = c.formatBar;
  c.commands.Handle(CommandId::TextColour, [&bar] { bar.OpenPicker(ColourRole::Text); });
  c.commands.Handle(CommandId::BackgroundColour,
                    [&bar] { bar.OpenPicker(ColourRole::Background); });
}

}  // namespace tessel
