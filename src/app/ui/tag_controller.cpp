#include "app/ui/tag_controller.h"

#include "output/ui/tag_dialog.h"

namespace tessel {

TagController::TagController(AppContext& context) : c_(context) {
  c_.commands.Handle(CommandId::Tag, [this] { Tag(); });
}

void TagController::Tag() {
  TagDialog dialog(c_.model.cards, c_.frame.Window());
  c_.dialogs.RunModal(dialog);
  c_.FocusFrontBody();
}

}  // namespace tessel
