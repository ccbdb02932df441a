// The format toolbar the main window puts under its main toolbar: Text Color,
// Background Color, the font face box and the font size box. Every choice
// goes to the control that had the focus last and applies to all cards.
#pragma once

#include <QPointer>
#include <QToolBar>

#include "stack/format_target.h"
#include "stack/ui/colour_picker.h"

class QComboBox;

namespace tessel {

class CardStackView;

// The sizes the size box offers, in order.
inline constexpr int kFontSizes[] = {8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 32};

class FormatToolBar : public QToolBar {
  Q_OBJECT
 public:
  // The two colour buttons show the shared actions of Text Color and
  // Background Color; their command handlers call OpenPicker.
  FormatToolBar(CardStackView& view, QAction* textColour, QAction* backgroundColour,
                QWidget* parent = nullptr, ColourDialog dialog = StandardColourDialog());
  // Stops following the view first: focus moving off this bar's boxes while
  // it is torn down must not reach it through the view's signal. (The view
  // may already be gone, so the connection is cut by its handle.)
  ~FormatToolBar() override;

  // Follows the focused control's face and size; both boxes stay disabled
  // until the index field or the body has had the focus. The main window
  // calls it with its other command-state updates; the view's target
  // changes call it too.
  void Update();

  QAction* TextColourAction() const { return textColour_; }
  QAction* BackgroundColourAction() const { return backgroundColour_; }
  QComboBox* FaceBox() const { return faceBox_; }
  QComboBox* SizeBox() const { return sizeBox_; }
  // The open colour picker, or nullptr.
  ColourPicker* Picker() const { return picker_; }

  void OpenPicker(ColourRole role);

 private:
  CardStackView& view_;
  ColourDialog dialog_;
  QAction* textColour_;
  QAction* backgroundColour_;
  QComboBox* faceBox_;
  QComboBox* sizeBox_;
  QPointer<ColourPicker> picker_;
  QMetaObject::Connection followsView_;
};

}  // namespace tessel
