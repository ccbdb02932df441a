// The main frame: menu, main and format toolbars, status bar, timers, the
// command table, and the owner of the card collection, the format settings
// and the document.
#pragma once

#include <map>
#include <memory>
#include <string>

#include <QLabel>
#include <QMainWindow>
#include <QTimer>

#include "app/command_rules.h"
#include "cards/settings_store.h"
#include "cards/card_collection.h"
#include "cards/document.h"
#include "cards/format_settings.h"
#include "stack/card_commands.h"
#include "stack/ui/card_stack_view.h"

class QAction;
class QMenu;
class QToolBar;

namespace tessel {

class Dialogs;
class FormatToolBar;

inline constexpr int kCardCountInterval = 500;  // timer 121
inline constexpr int kDialHangUpDelay = 7000;   // timer 3

class MainWindow : public QMainWindow, private DocumentUi, private CardStackHost {
  Q_OBJECT

 public:
  MainWindow(SettingsStore& settings, Dialogs& dialogs, QWidget* parent = nullptr);
  ~MainWindow() override;

  CardCollection& Cards() { return cards_; }
  FormatSettings& Format() { return format_; }
  Document& Doc() { return document_; }
  CardStackView& StackView() { return *view_; }
  // The widget the card windows live in: the area between the bars.
  QWidget* StackArea() const { return stackArea_; }
  // Null for ids that have no action (string-table entries only).
  QAction* Action(CommandId id) const;
  QToolBar* MainToolBar() const { return mainToolBar_; }
  tessel::FormatToolBar* FormatBar() const { return formatToolBar_; }

  // Asks the command's rule and runs it only when enabled. Every menu item,
  // toolbar button and key arrives here.
  void RunCommand(CommandId id);
  // Evaluates every rule and sets every action's enabled state.
  void UpdateCommandStates();
  CommandInputs CurrentInputs() const;

  // The start-up load of the file named on the command line.
  void LoadCommandLine(const std::string& text);
  void FocusFrontBody() override;

  // Height of the client area: everything below the menu bar, toolbars and
  // status bar included. The card cascade is measured from it.
  int ClientHeight() const;

  bool MailAvailable() const { return mailAvailable_; }
  int ComPort() const { return comPort_; }
  bool Overwrite() const { return overwrite_; }
  void SetOverwrite(bool on);
  const std::string& SearchText() const { return search_.text; }
  void SetSearchText(const std::string& text) { search_.text = text; }
  const SearchState& Search() const { return search_; }
  bool DialPending() const { return dialPending_; }

  QString CardCountText() const { return cardsPane_->text(); }
  QString OverwriteText() const { return ovrPane_->text(); }
  QString ReadyText() const { return readyPane_->text(); }
  bool CardTimerActive() const { return cardTimer_.isActive(); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // DocumentUi
  void ShowError(const std::string& text) override;
  SaveAnswer AskSaveChanges() override;
  std::optional<std::string> AskOpenPath(const std::optional<std::string>& folder) override;
  std::optional<std::string> AskSavePath(const std::optional<std::string>& folder) override;
  void SetTitle(const std::string& title) override;
  void ShowCardCount(std::size_t count) override;
  void ApplyCardFormat() override;

  // CardStackHost: the card toolbar's buttons and the front card's news.
  void PrintFrontCard() override;
  void MailFrontCard() override;
  void DialNumber(const std::string& selection) override;
  void OverwriteChanged(bool overwrite) override;
  void FormatTargetChanged() override;
  void OpenLink(const QUrl& url) override;

  std::optional<std::string> AskPath(const std::optional<std::string>& folder, bool save);

  void CreateActions();
  void CreateMenus();
  void CreateToolBars();
  void CreateStatusBar();
  QMenu* AddMenu(QMenu* parent, const char* title);
  void AddItem(QMenu* menu, CommandId id, const char* text);

  int MenuHeight() const;
  void LayoutCards();
  void RestoreDefaultPlacement();
  // The card, find and edit commands (main_window_cards.cpp).
  void AddCard();
  void DeleteCard();
  void GoTo();
  void Find();
  void FindNext();

  void ShowHelp();
  void ShowAbout();
  void ShowStandardMessage(const QString& text);
  void OnCardTimer();
  void OnDialTimer();

  SettingsStore& settings_;
  Dialogs& dialogs_;
  CardCollection cards_;
  FormatSettings format_;
  Document document_;
  QWidget* stackArea_ = nullptr;
  // After the collection, so that the card windows go before the cards.
  std::unique_ptr<CardStackView> view_;

  std::map<CommandId, QAction*> actions_;
  QToolBar* mainToolBar_ = nullptr;
  tessel::FormatToolBar* formatToolBar_ = nullptr;
  QLabel* readyPane_ = nullptr;
  QLabel* cardsPane_ = nullptr;
  QLabel* capsPane_ = nullptr;
  QLabel* numPane_ = nullptr;
  QLabel* ovrPane_ = nullptr;
  QTimer cardTimer_;
  QTimer dialTimer_;

  bool mailAvailable_ = false;
  int comPort_ = kNoComPort;
  bool overwrite_ = false;
  bool dialPending_ = false;
  SearchState search_;
};

}  // namespace tessel
