#include "stack/ui/card_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "services/ui/text.h"

namespace tessel {
namespace {

QLineEdit* LimitedEdit(QWidget* parent, int limit) {
  auto* edit = new QLineEdit(parent);
  edit->setMaxLength(limit);
  return edit;
}

// OK (the default button) and Cancel, wired to accept and reject.
QDialogButtonBox* OkCancel(QDialog* dialog, Qt::Orientation orientation) {
  auto* buttons =
      new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, orientation, dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

void MakeFixedModal(QDialog* dialog, const char* caption) {
  dialog->setWindowTitle(QString::fromLatin1(caption));
  dialog->setModal(true);
  dialog->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint);
}

}  // namespace

GoToDialog::GoToDialog(QWidget* parent)
    : QDialog(parent), edit_(LimitedEdit(this, kGoToTextLimit)) {
  MakeFixedModal(this, "Goto Index");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Index Text"), this));
  layout->addWidget(edit_);
  layout->addWidget(OkCancel(this, Qt::Horizontal));
  edit_->setFocus();
}

std::string GoToDialog::Text() const { return ToCp1252(edit_->text()); }

FindDialog::FindDialog(QWidget* parent, const std::string& text, TextMatchOptions options)
    : QDialog(parent),
      edit_(LimitedEdit(this, kFindTextLimit)),
      wholeWord_(new QCheckBox(QStringLiteral("Match whole word only"), this)),
      matchCase_(new QCheckBox(QStringLiteral("Match case"), this)) {
  MakeFixedModal(this, "Find");
  // A longer text taken from a selection is searched whole: the limit is
  // for typing, not for cutting what the user selected.
  const QString initial = FromCp1252(text);
  if (initial.size() > kFindTextLimit) edit_->setMaxLength(static_cast<int>(initial.size()));
  edit_->setText(initial);
  edit_->selectAll();
  wholeWord_->setChecked(options.wholeWord);
  matchCase_->setChecked(options.matchCase);
  auto* layout = new QGridLayout(this);
  auto* label = new QLabel(QStringLiteral("Find what"), this);
  label->setBuddy(edit_);
  layout->addWidget(label, 0, 0);
  layout->addWidget(edit_, 0, 1, 1, 2);
  layout->addWidget(wholeWord_, 1, 0, 1, 2);
  layout->addWidget(matchCase_, 1, 2);
  layout->addWidget(OkCancel(this, Qt::Vertical), 0, 3, 2, 1);
  edit_->setFocus();
}

std::string FindDialog::Text() const { return ToCp1252(edit_->text()); }

TextMatchOptions FindDialog::Options() const {
  return {matchCase_->isChecked(), wholeWord_->isChecked()};
}

}  // namespace tessel
