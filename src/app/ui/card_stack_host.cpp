#include "app/ui/card_stack_host.h"

namespace tessel {

CardStackHost::CardStackHost(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("CardStack"));
  setFocusPolicy(Qt::NoFocus);
}

}  // namespace tessel
