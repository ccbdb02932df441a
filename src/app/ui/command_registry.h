// One QAction per command id, made from the command table and shared by the
// menus, the main toolbar, the card toolbar and the format toolbar, which it
// lays out as the table's rows place them. Each capability's controller
// registers here the handlers of its commands and the sources of the facts
// their rules read. The enabled state of every action comes from
// CommandEnabled alone, and a command whose rule says no never runs,
// whichever way it was invoked.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include <QObject>

#include "app/command_rules.h"
#include "app/command_table.h"

class QAction;
class QMenuBar;
class QWidget;

namespace tessel {

class CommandRegistry : public QObject {
  Q_OBJECT
 public:
  // The actions become `window`'s, so their keys work wherever the focus is
  // inside it.
  explicit CommandRegistry(QWidget* window);
  ~CommandRegistry() override;

  // Null for ids without an action (string-table entries only).
  QAction* Action(CommandId id) const;
  // The actions of the rows that `bar` of the table places, in slot order,
  // with nullptr where a separator goes.
  std::vector<QAction*> BarItems(Slot CommandInfo::*bar) const;
  // Fills `menuBar` with the table's menus and their commands. States are
  // asked again whenever a menu opens.
  void FillMenuBar(QMenuBar* menuBar);
  // The one handler of a command; registering twice is a programming error.
  void Handle(CommandId id, std::function<void()> handler);
  bool HasHandler(CommandId id) const { return handlers_.count(id) != 0; }

  // Asks the rule, runs the handler if there is one, then updates every
  // state. Every menu item, button and key arrives here.
  void Run(CommandId id);
  // Work that is no command of the table (a dropped file) but must find the
  // records as a command does and leave every state updated.
  void RunAsCommand(const std::function<void()>& work);
  // Evaluates every rule and sets every action's enabled state.
  void UpdateStates();
  // Every fact the rules read, each asked of its source now.
  CommandInputs Inputs() const;
  // The source of one fact, declared by the controller whose state it is;
  // one source per fact.
  void Provide(Input in, std::function<std::size_t()> source);
  // Drops every source, before the controllers that declared them go.
  void ForgetInputs() { sources_.clear(); }

  // Runs before every command, so that edits still on their way into the
  // card records (the index field) are in them when the command looks.
  void SetBeforeCommand(std::function<void()> hook) { beforeCommand_ = std::move(hook); }

 signals:
  void statesUpdated();
  void commandRan(CommandId id);

 private:
  std::map<Input, std::function<std::size_t()>> sources_;
  std::map<CommandId, QAction*> actions_;
  std::map<CommandId, std::function<void()>> handlers_;
  std::function<void()> beforeCommand_;
};

}  // namespace tessel
