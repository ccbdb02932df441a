// A toolbar's command buttons as the application places them: the commands'
// shared actions in order, nullptr where a separator goes. The stack's
// toolbars show them without knowing which commands they are.
#pragma once

#include <QAction>
#include <QToolBar>
#include <vector>

namespace tessel {

using ToolbarItems = std::vector<QAction*>;

inline void AddToolbarItems(QToolBar* bar, const ToolbarItems& items) {
  for (QAction* action : items) {
    if (action) {
      bar->addAction(action);
    } else {
      bar->addSeparator();
    }
  }
}

}  // namespace tessel
