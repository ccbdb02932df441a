// A plain host window with a card collection and the card stack view on it.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QWidget>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cards/card_collection.h"
#include "stack/ui/body_editor.h"
#include "stack/ui/card_stack_view.h"
#include "stack/ui/card_windows.h"
#include "stack/ui/index_field.h"

namespace tessel::test {

class RecordingHost : public CardStackHost {
 public:
  void OverwriteChanged(bool overwrite) override { overwrites.push_back(overwrite); }
  void FormatTargetChanged() override { ++targetChanges; }
  void OpenLink(const QUrl& url) override { links.push_back(url.toString()); }

  int targetChanges = 0;
  std::vector<bool> overwrites;
  std::vector<QString> links;
};

// Shared actions as the program's registry makes them, by name, recording
// which were triggered.
class TestActions {
 public:
  QAction* For(const std::string& name) {
    auto& action = actions_[name];
    if (!action) {
      action = std::make_unique<QAction>(QString::fromStdString(name));
      QObject::connect(action.get(), &QAction::triggered,
                       [this, name] { triggered.push_back(name); });
    }
    return action.get();
  }
  // A card toolbar of three buttons with a separator before the last.
  ToolbarItems CardBar() { return {For("Sort"), For("Print"), nullptr, For("Next")}; }
  std::vector<std::string> triggered;

 private:
  std::map<std::string, std::unique_ptr<QAction>> actions_;
};

class StackFixture : public ::testing::Test {
 protected:
  static constexpr int kHostWidth = 1000;
  static constexpr int kHostHeight = 700;

  StackFixture() {
    window.resize(kHostWidth, kHostHeight);
    view = std::make_unique<CardStackView>(&window, cards, format, host, actions.CardBar());
  }

  // Loads cards with these index texts (bodies "body of <index>") as a file
  // load does: append, sort, refresh.
  void Load(const std::vector<std::string>& indexes, int clientHeight = kHostHeight) {
    std::vector<CardInfo> records;
    for (const std::string& i : indexes) records.emplace_back(i, "body of " + i, 1);
    cards.SetClientHeight(clientHeight);
    cards.AppendCards(std::move(records));
    cards.SortCards();
    cards.RefreshStack();
  }

  // Shows the window and makes it active, so focus moves as for a user.
  void ShowActive() {
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }

  // Gives `w` the focus as a click would (a closed popup may have left the
  // window inactive).
  void Focus(QWidget* w) {
    QApplication::setActiveWindow(&window);
    w->setFocus(Qt::MouseFocusReason);
  }

  BodyEditor* Body() const { return view->FrontBody(); }
  IndexField* Index() const { return view->FrontIndex(); }

  QWidget window;
  CardCollection cards;
  FormatSettings format;
  RecordingHost host;
  TestActions actions;
  std::unique_ptr<CardStackView> view;
};

}  // namespace tessel::test
