#include "services/ui/labels_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "services/ui/text.h"

namespace tessel {

namespace {

template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

}  // namespace

LabelsDialog::LabelsDialog(const LabelCatalogue& catalogue, const LabelSettings& settings,
                           QWidget* parent)
    : QDialog(parent), choice_(catalogue, settings) {
  setWindowTitle(QStringLiteral("Labels"));

  auto* printer = new QGroupBox(QStringLiteral("Pinter information"), this);
  dotMatrix_ = Named(new QRadioButton(QStringLiteral("Dot matrix"), printer), "dotMatrix");
  laserInkJet_ = Named(new QRadioButton(QStringLiteral("Laser and ink jet"), printer), "laserInkJet");
  auto* types = new QButtonGroup(this);
  types->addButton(dotMatrix_, kDotMatrix);
  types->addButton(laserInkJet_, kLaserInkJet);
  tray_ = Named(new QComboBox(printer), "tray");
  for (const char* name : kTrayNames) tray_->addItem(QString::fromLatin1(name));
  auto* trayLabel = new QLabel(QStringLiteral("Tray"), printer);
  trayLabel->setBuddy(tray_);
  auto* printerGrid = new QGridLayout(printer);
  printerGrid->addWidget(dotMatrix_, 0, 0);
  printerGrid->addWidget(laserInkJet_, 1, 0);
  printerGrid->addWidget(trayLabel, 0, 1, 2, 1);
  printerGrid->addWidget(tray_, 0, 2, 2, 1);
  printerGrid->setColumnStretch(2, 1);

  family_ = Named(new QComboBox(this), "family");
  auto* familyLabel = new QLabel(QStringLiteral("Label product"), this);
  familyLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  familyLabel->setBuddy(family_);

  products_ = Named(new QListWidget(this), "products");
  products_->setSelectionMode(QAbstractItemView::SingleSelection);
  products_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  auto* productLabel = new QLabel(QStringLiteral("Product number"), this);
  productLabel->setBuddy(products_);

  auto* info = new QGroupBox(QStringLiteral("Label information"), this);
  auto* infoForm = new QFormLayout(info);
  infoForm->setLabelAlignment(Qt::AlignRight);
  type_ = Named(new QLabel(info), "type");
  height_ = Named(new QLabel(info), "height");
  width_ = Named(new QLabel(info), "width");
  pageSize_ = Named(new QLabel(info), "pageSize");
  infoForm->addRow(QStringLiteral("Type"), type_);
  infoForm->addRow(QStringLiteral("Height"), height_);
  infoForm->addRow(QStringLiteral("Width"), width_);
  infoForm->addRow(QStringLiteral("Page size"), pageSize_);

  auto* card = new QGroupBox(QStringLiteral("Card information"), this);
  indexOnLabel_ = Named(new QCheckBox(QStringLiteral("Use index on label"), card), "indexOnLabel");
  (new QVBoxLayout(card))->addWidget(indexOnLabel_);

  print_ = Named(new QPushButton(QStringLiteral("Print"), this), "print");
  print_->setDefault(true);
  auto* cancel = Named(new QPushButton(QStringLiteral("Cancel"), this), "cancel");

  auto* grid = new QGridLayout(this);
  grid->addWidget(printer, 0, 0, 1, 3);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(print_);
  buttons->addWidget(cancel);
  buttons->addStretch();
  grid->addLayout(buttons, 0, 3, 3, 1);
  grid->addWidget(familyLabel, 1, 0);
  grid->addWidget(family_, 1, 1, 1, 2);
  grid->addWidget(productLabel, 2, 0, 1, 2);
  grid->addWidget(products_, 3, 0, 1, 2);
  grid->addWidget(info, 3, 2, 1, 2);
  grid->addWidget(card, 4, 0, 1, 2);
  grid->setColumnStretch(2, 1);
  grid->setRowStretch(3, 1);

  dotMatrix_->setChecked(settings.printerType == kDotMatrix);
  laserInkJet_->setChecked(settings.printerType != kDotMatrix);
  indexOnLabel_->setChecked(settings.indexOnLabel);
  Fill();

  connect(types, &QButtonGroup::idClicked, this, [this](int type) {
    choice_.SetPrinterType(type);
    Fill();
  });
  connect(indexOnLabel_, &QCheckBox::toggled, this,
          [this](bool on) { choice_.SetIndexOnLabel(on); });
  connect(tray_, &QComboBox::activated, this, [this](int tray) { choice_.SetTray(tray); });
  connect(family_, &QComboBox::activated, this, [this](int family) {
    choice_.SetFamily(family);
    Fill();
  });
  connect(products_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (filling_ || row < 0) return;
    choice_.SetProduct(static_cast<std::size_t>(row));
    ShowEntry();
  });
  connect(print_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

// Lists and fields for the current choices, as on opening.
void LabelsDialog::Fill() {
  filling_ = true;
  const LabelSettings& s = choice_.Settings();
  tray_->setEnabled(choice_.TrayEnabled());
  tray_->setCurrentIndex(s.tray >= 0 && s.tray < tray_->count() ? s.tray : kTrayDefault);
  family_->clear();
  for (const std::string& name : choice_.FamilyNames()) family_->addItem(FromCp1252(name));
  family_->setCurrentIndex(choice_.FamilyRow());
  products_->clear();
  for (const std::string& line : choice_.ProductLines()) products_->addItem(FromCp1252(line));
  // A position past the family's end selects nothing.
  products_->setCurrentRow(choice_.Chosen() ? static_cast<int>(s.product) : -1);
  filling_ = false;
  ShowEntry();
}

void LabelsDialog::ShowEntry() {
  const CatalogueEntry* e = choice_.Chosen();
  type_->setText(e ? FromCp1252(e->type) : QString());
  height_->setText(e ? FromCp1252(e->height) : QString());
  width_->setText(e ? FromCp1252(e->width) : QString());
  pageSize_->setText(e ? FromCp1252(e->pageSize) : QString());
  print_->setEnabled(e != nullptr);
}

}  // namespace tessel
