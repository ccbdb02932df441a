// A plain host window with a card collection and the card stack view on it.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>
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
  void PrintFrontCard() override { ++prints; }
  void MailFrontCard() override { ++mails; }
  void DialNumber(const std::string& selection) override { dialled.push_back(selection); }
  void OverwriteChanged(bool overwrite) override { overwrites.push_back(overwrite); }
  void FormatTargetChanged() override { ++targetChanges; }
  void OpenLink(const QUrl& url) override { links.push_back(url.toString()); }

  int prints = 0, mails = 0, targetChanges = 0;
  std::vector<std::string> dialled;
  std::vector<bool> overwrites;
  std::vector<QString> links;
};

class StackFixture : public ::testing::Test {
 protected:
  static constexpr int kHostWidth = 1000;
  static constexpr int kHostHeight = 700;

  StackFixture() {
    window.resize(kHostWidth, kHostHeight);
    view = std::make_unique<CardStackView>(&window, cards, format, host);
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
  std::unique_ptr<CardStackView> view;
};

}  // namespace tessel::test
