#include "app/ui/command_registry.h"

#include <QAction>
#include <QWidget>

#include "services/ui/icons.h"
#include "services/ui/text.h"

namespace tessel {

CommandRegistry::CommandRegistry(QWidget* window, InputsSource inputs)
    : QObject(window), inputs_(std::move(inputs)) {
  for (const CommandInfo& c : Commands()) {
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

void CommandRegistry::Handle(CommandId id, std::function<void()> handler) {
  Q_ASSERT(!handlers_.count(id));
  handlers_[id] = std::move(handler);
}

void CommandRegistry::Run(CommandId id) {
  if (beforeCommand_) beforeCommand_();
  if (CommandEnabled(id, inputs_())) {
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

void CommandRegistry::UpdateStates() {
  const CommandInputs in = inputs_();
  for (const auto& [id, action] : actions_) action->setEnabled(CommandEnabled(id, in));
  emit statesUpdated();
}

}  // namespace tessel
