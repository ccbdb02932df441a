// The card stack on screen: one card window per on-screen entry of the card
// collection's stack, kept in step through CardStackObserver, plus the front
// card's editing, the format target and the file-wide look of the cards.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QUrl>
#include <map>
#include <string>
#include <vector>

#include "cards/card_collection.h"
#include "cards/format_settings.h"
#include "stack/format_target.h"
#include "stack/ui/card_windows.h"

class QMenu;

namespace tessel {

class BodyEditor;
class IndexField;

// What the card stack tells the main window.
class CardStackHost {
 public:
  virtual ~CardStackHost() = default;
  // The "OVR" pane follows this.
  virtual void OverwriteChanged(bool overwrite) = 0;
  // The format toolbar follows the focused control (FormatToolBar::Update).
  virtual void FormatTargetChanged() = 0;
  // Only http, https, ftp and mailto addresses ever arrive here.
  virtual void OpenLink(const QUrl& url) = 0;
};

// The card list menu lists at most this many cards. Only the first 101 items
// act at all, and Qt needs seconds to build a menu of 100,000 items.
inline constexpr std::size_t kCardListMenuItems = 2000;
inline constexpr std::size_t kCardListActiveItems = 101;

class CardStackView : public QObject, public CardStackObserver {
  Q_OBJECT
 public:
  // Card windows become children of `hostWidget`. The view must be destroyed
  // before `cards`; it registers itself as their observer. Every front
  // card's toolbar shows `cardBar` after its index field.
  CardStackView(QWidget* hostWidget, CardCollection& cards, FormatSettings& format,
                CardStackHost& host, ToolbarItems cardBar);
  ~CardStackView() override;
  CardStackView(const CardStackView&) = delete;
  CardStackView& operator=(const CardStackView&) = delete;

  // Where the host's client area starts inside the host widget (below a menu
  // bar, for instance); card rectangles are shifted by it.
  void SetClientOrigin(QPoint origin);
  QPoint ClientOrigin() const { return origin_; }

  // The card commands of the toolbar and the keys F8 and F9.
  void Sort();
  void Next();
  void Previous();
  // Item k of the card list menu brings card k forward; only the first
  // kCardListActiveItems items act, later ones do nothing.
  void CardListChosen(std::size_t k);
  // The card list menu: one item per card, in collection order, up to
  // kCardListMenuItems.
  QMenu* CreateCardListMenu(QWidget* parent);
  void FocusFrontBody();
  // After Add: the index field takes the focus with its whole text selected,
  // so typing replaces it.
  void FocusFrontIndexSelectingAll();

  // The edit commands, always on the front body, wherever the focus is.
  // Each change is stored into the front record and marks the document
  // modified, as every change of the body does.
  void UndoBody();
  void CutBody();
  void CopyBody();
  void PasteBody();
  bool BodyCanUndo() const;
  bool BodyHasSelection() const;

  // Find works in the front body's own positions: one byte of the text
  // (Windows-1252, a line break as one LF) per position of the editor.
  std::string FrontBodySearchText() const;
  std::string FrontBodySelectedText() const;
  std::size_t FrontBodySelectionEnd() const;
  void SelectInFrontBody(std::size_t start, std::size_t end);

  bool Overwrite() const { return overwrite_; }

  // The format target and the file-wide look.
  void SetFormatTarget(FormatControl control);
  const FormatTarget& Target() const { return target_; }
  const FormatSettings& Format() const { return format_; }
  bool StackEmpty() const { return cards_.StackSize() == 0; }
  void ApplyIndexFont(const std::string& face, int size);
  void ApplyBodyFormat();
  void ApplyBodyTextColour();
  // The format toolbar's choices for the focused control.
  void SetFace(const std::string& face);
  void SetSize(int size);
  void ApplyColour(ColourRole role, Colour colour);

  // The windows, for the main window and tests.
  FrontCardWindow* Front() const;
  BackCardWindow* Back(std::size_t slot) const;
  IndexField* FrontIndex() const;
  BodyEditor* FrontBody() const;

  // CardStackObserver
  void CardWindowAdded(const StackEntry& entry) override;
  void CardWindowRemoved(const StackEntry& entry) override;
  void CardWindowsCleared() override;
  void PlaceholdersAdded(std::size_t count) override;
  void StackRefreshed() override;
  void StackLaidOut() override;
  std::optional<std::string> FrontIndexFieldText() const override;
  void SetFrontIndexFieldText(const std::string& text) override;

 signals:
  void formatTargetChanged();
  // The front body's undo state or the presence of its selection changed.
  void bodyStateChanged();

 private:
  void CreateFrontWindow();
  void OnBackCardClicked(std::size_t slot);
  void OnIndexEdited();
  void OnBodyEdited(int position, int removed, const QString& inserted);
  void OnCtrlLetter(char letter);
  void OnLinkClicked(const QString& target);
  void ShowCardList(const QPoint& globalPos);
  void SetOverwrite(bool overwrite);
  void ApplyIndexColours();
  void Place(QWidget* window, const StackRect& rect) const;
  void PlaceAll() const;
  void ApplyFontOf(FormatControl control);
  void BringForward(std::size_t k);

  QWidget* hostWidget_;
  CardCollection& cards_;
  FormatSettings& format_;
  CardStackHost& host_;
  ToolbarItems cardBar_;
  QPoint origin_;
  std::vector<QPointer<QWidget>> windows_;  // index = slot
  FormatTarget target_;
  bool overwrite_ = false;
};

}  // namespace tessel
