// The main frame: menus, main and format toolbars and status bar built from
// the command registry, the status panes, the card-count timer and the
// window placement. The commands themselves live in the controllers.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QLabel>
#include <QMainWindow>
#include <QTimer>

#include "app/app_model.h"
#include "app/ui/app_context.h"
#include "app/ui/command_registry.h"
#include "stack/ui/card_signals.h"
#include "services/ui/file_guard.h"
#include "stack/ui/card_stack_view.h"

class QAction;
class QToolBar;

namespace tessel {

class Dialogs;
class FormatToolBar;

inline constexpr int kCardCountInterval = 500;  // timer 121

class MainWindow : public QMainWindow, private DocumentUi, private CardStackHost, private Frame {
  Q_OBJECT

 public:
  MainWindow(SettingsStore& settings, Dialogs& dialogs, QWidget* parent = nullptr);
  ~MainWindow() override;

  AppModel& Model() { return *model_; }
  CardCollection& Cards() { return model_->cards; }
  FormatSettings& Format() { return model_->format; }
  Document& Doc() { return model_->document; }
  CardStackView& StackView() { return *view_; }
  CommandRegistry& Commands() { return *registry_; }
  // The widget the card windows live in: the area between the bars.
  QWidget* StackArea() const { return stackArea_; }
  // Null for ids that have no action (string-table entries only).
  QAction* Action(CommandId id) const { return registry_->Action(id); }
  QToolBar* MainToolBar() const { return mainToolBar_; }
  tessel::FormatToolBar* FormatBar() const { return formatToolBar_; }

  // Runs a command as its menu item, button or key would: only when its
  // rule allows.
  void RunCommand(CommandId id) { registry_->Run(id); }
  void UpdateCommandStates() { registry_->UpdateStates(); }

  // The start-up load of the file named on the command line.
  void LoadCommandLine(const std::string& text);
  void FocusFrontBody() override;

  // Height of the client area: everything below the menu bar, toolbars and
  // status bar included. The card cascade is measured from it.
  int ClientHeight() const;

  bool MailAvailable() const { return registry_->Inputs()[Input::MailAvailable] != 0; }
  bool Overwrite() const { return overwrite_; }
  void SetOverwrite(bool on);
  const std::string& SearchText() const { return model_->search.text; }
  void SetSearchText(const std::string& text) { model_->search.text = text; }
  const SearchState& Search() const { return model_->search; }
  bool DialPending() const { return registry_->Inputs()[Input::DialPending] != 0; }

  QString CardCountText() const { return cardsPane_->text(); }
  QString OverwriteText() const { return ovrPane_->text(); }
  QString ReadyText() const { return readyPane_->text(); }
  bool CardTimerActive() const { return cardTimer_.isActive(); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // DocumentUi: the document's title, pane and questions.
  void ShowError(const std::string& text, const std::string& reason) override;
  void ShowMessage(const std::string& text, const std::string& reason) override;
  SaveAnswer AskSaveChanges() override;
  std::optional<std::string> AskOpenPath(const std::optional<std::string>& folder) override;
  std::optional<std::string> AskSavePath(const std::optional<std::string>& folder) override;
  void SetTitle(const std::string& title) override;
  void ShowCardCount(std::size_t count) override;
  void ApplyCardFormat() override;
  void ShowStatus(const std::string& text) override;
  LockedAnswer AskOpenLocked(const std::string& text) override;
  ChangedAnswer AskChangedOnDisk(const std::string& text) override;
  void ShowNotice(const std::string& text) override;

  // CardStackHost: the front card's news.
  void OverwriteChanged(bool overwrite) override;
  void FormatTargetChanged() override;
  void OpenLink(const QUrl& url) override;

  // Frame: what the controllers use of the window.
  QWidget* Window() override { return this; }
  void ShowStatus(const QString& text) override;

  // A card file to open or save as; nullopt when the dialog is cancelled.
  std::optional<std::string> AskPath(const std::optional<std::string>& folder, bool save);

  void CreateToolBars();
  void CreateStatusBar();

  int MenuHeight() const;
  void LayoutCards();
  void RestoreDefaultPlacement();
  void OnCardTimer();
  // The count pane shows the number of cards now.
  void ShowCardCount();

  SettingsStore& settings_;
  Dialogs& dialogs_;
  // Before the model: the document's lock and watch go first.
  QtFileLocker locker_;
  std::unique_ptr<QtFileWatcher> watcher_;
  std::unique_ptr<AppModel> model_;
  // The model's news as signals: title, count pane and command states.
  std::unique_ptr<CardSignals> cardSignals_;
  QWidget* stackArea_ = nullptr;
  std::unique_ptr<CommandRegistry> registry_;
  // After the model, so that the card windows go before the cards.
  std::unique_ptr<CardStackView> view_;
  QToolBar* mainToolBar_ = nullptr;
  tessel::FormatToolBar* formatToolBar_ = nullptr;
  std::unique_ptr<AppContext> context_;
  std::vector<std::unique_ptr<Controller>> controllers_;

  QLabel* readyPane_ = nullptr;
  QLabel* cardsPane_ = nullptr;
  QLabel* capsPane_ = nullptr;
  QLabel* numPane_ = nullptr;
  QLabel* ovrPane_ = nullptr;
  QTimer cardTimer_;
  bool overwrite_ = false;
};

}  // namespace tessel
