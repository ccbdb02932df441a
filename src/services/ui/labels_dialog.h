// The Labels dialog: printer type, tray, label family and product, and
// whether the index goes on the label.
#pragma once

#include <QDialog>

#include "services/label_run.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace tessel {

class LabelsDialog final : public QDialog {
  Q_OBJECT

 public:
  // Opens on `settings`, the choices of the last Labels command.
  LabelsDialog(const LabelCatalogue& catalogue, const LabelSettings& settings,
               QWidget* parent = nullptr);

  // The choices as they stand; the caller keeps them when Print was pressed.
  const LabelSettings& Settings() const { return choice_.Settings(); }
  // The product Print uses; nullptr when none is chosen (Print is off then).
  const CatalogueEntry* Chosen() const { return choice_.Chosen(); }

 private:
  void Fill();
  void ShowEntry();

  LabelChoice choice_;
  bool filling_ = false;
  QRadioButton* dotMatrix_;
  QRadioButton* laserInkJet_;
  QComboBox* tray_;
  QComboBox* family_;
  QListWidget* products_;
  QLabel* type_;
  QLabel* height_;
  QLabel* width_;
  QLabel* pageSize_;
  QCheckBox* indexOnLabel_;
  QPushButton* print_;
};

}  // namespace tessel
