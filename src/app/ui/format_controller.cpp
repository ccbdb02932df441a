#include "app/ui/format_controller.h"

#include "stack/ui/format_toolbar.h"

namespace tessel {

FormatController::FormatController(AppContext& c) {
  FormatToolBar& bar = c.formatBar;
  CommandRegistry& commands = c.commands;
  commands.Handle(CommandId::TextColour, [&bar, &commands] {
    bar.OpenPicker(ColourRole::Text, commands.Action(CommandId::TextColour));
  });
  commands.Handle(CommandId::BackgroundColour, [&bar, &commands] {
    bar.OpenPicker(ColourRole::Background, commands.Action(CommandId::BackgroundColour));
  });
}

}  // namespace tessel
