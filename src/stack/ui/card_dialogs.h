// The Go To and Find dialogs. Both are modal children of the main window;
// the caller runs them and reads their values after OK.
#pragma once

#include <QDialog>
#include <string>

#include "stack/search.h"

class QCheckBox;
class QLineEdit;

namespace tessel {

inline constexpr int kGoToTextLimit = 41;
inline constexpr int kFindTextLimit = 50;

class GoToDialog : public QDialog {
  Q_OBJECT
 public:
  explicit GoToDialog(QWidget* parent);
  QLineEdit* Edit() const { return edit_; }
  // The typed text in Windows-1252.
  std::string Text() const;

 private:
  QLineEdit* edit_;
};

class FindDialog : public QDialog {
  Q_OBJECT
 public:
  // Opens with `text` (Windows-1252) and the options.
  FindDialog(QWidget* parent, const std::string& text, TextMatchOptions options);
  QLineEdit* Edit() const { return edit_; }
  QCheckBox* WholeWord() const { return wholeWord_; }
  QCheckBox* MatchCase() const { return matchCase_; }
  std::string Text() const;
  TextMatchOptions Options() const;

 private:
  QLineEdit* edit_;
  QCheckBox* wholeWord_;
  QCheckBox* matchCase_;
};

}  // namespace tessel
