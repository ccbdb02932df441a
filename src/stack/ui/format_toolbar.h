// The format toolbar the main window puts under its main toolbar: Text Color,
// Background Color, the font face box and the font size box. Every choice
// goes to the control that had the focus last and applies to all cards.
#pragma once

#include <QPointer>
#include <QToolBar>

#include "stack/format_target.h"
#include "stack/ui/colour_picker.h"
#include "stack/ui/toolbar_items.h"

class QComboBox;

namespace tessel {

class CardStackView;

// The sizes the size box offers, in order.
inline constexpr int kFontSizes[] = {8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 32};

// A box's tooltip and status prompt.
struct BoxTips {
  QString tooltip;
  QString prompt;
};

class FormatToolBar : public QToolBar {
  Q_OBJECT
 public:
  // The bar shows `items` (the colour commands' shared actions, whose
  // handlers call OpenPicker), then the face box and the size box with
  // their tips.
  FormatToolBar(CardStackView& view, const ToolbarItems& items, const BoxTips& face,
                const BoxTips& size, QWidget* parent = nullptr,
                ColourDialog dialog = StandardColourDialog());
  // Stops following the view first: focus moving off this bar's boxes while
  // it is torn down must not reach it through the view's signal. (The view
  // may already be gone, so the connection is cut by its handle.)
  ~FormatToolBar() override;

  // Follows the focused control's face and size; both boxes stay disabled
  // until the index field or the body has had the focus. The main window
  // calls it with its other command-state updates; the view's target
  // changes call it too.
  void Update();

  QComboBox* FaceBox() const { return faceBox_; }
  QComboBox* SizeBox() const { return sizeBox_; }
  // The open colour picker, or nullptr.
  ColourPicker* Picker() const { return picker_; }

  // Opens the picker under the button of `anchor` (at the bar's left end
  // without one); its pick goes to `role`.
  void OpenPicker(ColourRole role, QAction* anchor = nullptr);

 private:
  CardStackView& view_;
  ColourDialog dialog_;
  QString faceTip_;  // the face box's own tooltip, before any "not installed"
  QComboBox* faceBox_;
  QComboBox* sizeBox_;
  QPointer<ColourPicker> picker_;
  QMetaObject::Connection followsView_;
};

}  // namespace tessel
