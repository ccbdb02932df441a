#include "app/ui/command_registry.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>
#include <algorithm>

#include "services/ui/icons.h"
#include "services/ui/text.h"

namespace tessel {

CommandRegistry::CommandRegistry(QWidget* window) : QObject(window) {
  for (const CommandInfo& c : Commands()) {
    if (!c.HasAction()) continue;
    auto* action = new QAction(window);
    action->setText(ToQString(c.text));
    const QString prompt = ToQString(CommandPrompt(c.id));
    action->setStatusTip(prompt);
    const std::string_view tip = CommandTooltip(c.id);
    action->setToolTip(tip.empty() ? prompt : ToQString(tip));
    if (!c.icon.empty()) action->setIcon(CommandIcon(std::string(c.icon).c_str()));
    if (!c.key.empty()) {
      action->setShortcut(QKeySequence(ToQString(c.key)));
      action->setShortcutContext(Qt::WindowShortcut);
    }
    action->setData(static_cast<int>(c.id));
    const CommandId id = c.id;
    connect(action, &QAction::triggered, this, [this, id] { Run(id); });
    actions_[id] = action;
    window->addAction(action);  // keys work whether or not a menu shows it
  }
}

CommandRegistry::~CommandRegistry() = default;

QAction* CommandRegistry::Action(CommandId id) const {
  const auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

namespace {

// An action or a menu in a menu or toolbar, by its slot there.
struct Placed {
  Slot slot;
  QAction* action;
};

// In slot order, with nullptr between groups.
std::vector<QAction*> InOrder(std::vector<Placed> placed) {
  std::stable_sort(placed.begin(), placed.end(),
                   [](const Placed& a, const Placed& b) { return a.slot < b.slot; });
  std::vector<QAction*> out;
  for (std::size_t i = 0; i < placed.size(); ++i) {
    if (i > 0 && SlotGroup(placed[i].slot) != SlotGroup(placed[i - 1].slot)) out.push_back(nullptr);
    out.push_back(placed[i].action);
  }
  return out;
}

}  // namespace

std::vector<QAction*> CommandRegistry::BarItems(Slot CommandInfo::*bar) const {
  std::vector<Placed> placed;
  for (const CommandInfo& c : Commands()) {
    if (c.*bar > 0 && c.HasAction()) placed.push_back({c.*bar, Action(c.id)});
  }
  return InOrder(std::move(placed));
}

void CommandRegistry::FillMenuBar(QMenuBar* menuBar) {
  std::map<std::string_view, QMenu*> menus;
  std::map<std::string_view, std::vector<Placed>> contents;  // by the path they sit in
  for (const MenuInfo& m : Menus()) {
    const std::string_view parent = ParentMenu(m.path);
    auto* menu = new QMenu(ToQString(MenuTitle(m.path)),
                           parent.empty() ? static_cast<QWidget*>(menuBar) : menus.at(parent));
    connect(menu, &QMenu::aboutToShow, this, &CommandRegistry::UpdateStates);
    menus[m.path] = menu;
    contents[parent].push_back({m.slot, menu->menuAction()});
  }
  for (const CommandInfo& c : Commands()) {
    if (!c.menu.empty() && c.HasAction()) contents[c.menu].push_back({c.menuSlot, Action(c.id)});
  }
  for (const auto& [path, placed] : contents) {
    QWidget* target = path.empty() ? static_cast<QWidget*>(menuBar) : menus.at(path);
    for (QAction* action : InOrder(placed)) {
      if (!action) {
        action = new QAction(target);
        action->setSeparator(true);
      }
      target->addAction(action);
    }
  }
}

CommandInputs CommandRegistry::Inputs() const {
  CommandInputs in;
  for (const auto& [input, source] : sources_) in.Set(input, source());
  return in;
}

void CommandRegistry::Provide(Input in, std::function<std::size_t()> source) {
  Q_ASSERT(!sources_.count(in));
  sources_[in] = std::move(source);
}

void CommandRegistry::Handle(CommandId id, std::function<void()> handler) {
  Q_ASSERT(!handlers_.count(id));
  handlers_[id] = std::move(handler);
}

void CommandRegistry::Run(CommandId id) {
  if (beforeCommand_) beforeCommand_();
  if (CommandEnabled(id, Inputs())) {
    const auto it = handlers_.find(id);
    if (it != handlers_.end()) {
      // A copy: the handler may run a nested event loop (a dialog) in which
      // handlers are looked up again.
      const std::function<void()> handler = it->second;
      handler();
    }
    emit commandRan(id);
  }
  UpdateStates();
}

void CommandRegistry::RunAsCommand(const std::function<void()>& work) {
  if (beforeCommand_) beforeCommand_();
  work();
  UpdateStates();
}

void CommandRegistry::UpdateStates() {
  const CommandInputs in = Inputs();
  for (const auto& [id, action] : actions_) action->setEnabled(CommandEnabled(id, in));
  emit statesUpdated();
}

}  // namespace tessel
