// One QAction per command id, made from the command table and shared by the
// menus, the main toolbar, the card toolbar and the format toolbar. Each
// capability's controller registers the handlers of its commands here. The
// enabled state of every action comes from CommandEnabled alone, and a
// command whose rule says no never runs, whichever way it was invoked.
#pragma once

#include <functional>
#include <map>

#include <QObject>

#include "app/command_rules.h"

class QAction;
class QWidget;

namespace tessel {

class CommandRegistry : public QObject {
  Q_OBJECT
 public:
  using InputsSource = std::function<CommandInputs()>;

  // The actions become `window`'s, so their keys work wherever the focus is
  // inside it.
  CommandRegistry(QWidget* window, InputsSource inputs);
  ~CommandRegistry() override;

  // Null for ids without an action (string-table entries only).
  QAction* Action(CommandId id) const;
  // The one handler of a command; registering twice is a programming error.
  void Handle(CommandId id, std::function<void()> handler);
  bool HasHandler(CommandId id) const { return handlers_.count(id) != 0; }

  // Asks the rule, runs the handler if there is one, then updates every
  // state. Every menu item, button and key arrives here.
  void Run(CommandId id);
  // Evaluates every rule and sets every action's enabled state.
  void UpdateStates();
  CommandInputs Inputs() const { return inputs_(); }

  // Runs before every command, so that edits still on their way into the
  // card records (the index field) are in them when the command looks.
  void SetBeforeCommand(std::function<void()> hook) { beforeCommand_ = std::move(hook); }

 signals:
  void statesUpdated();
  void commandRan(CommandId id);

 private:
  InputsSource inputs_;
  std::map<CommandId, QAction*> actions_;
  std::map<CommandId, std::function<void()>> handlers_;
  std::function<void()> beforeCommand_;
};

}  // namespace tessel
