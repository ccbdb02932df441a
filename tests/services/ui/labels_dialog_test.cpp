// The Labels dialog driven through its widgets.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "services/ui/labels_dialog.h"
#include "support/label_catalogue_for_test.h"

namespace tessel {
namespace {

struct Controls {
  explicit Controls(LabelsDialog& d)
      : dotMatrix(d.findChild<QRadioButton*>("dotMatrix")),
        laser(d.findChild<QRadioButton*>("laserInkJet")),
        tray(d.findChild<QComboBox*>("tray")),
        family(d.findChild<QComboBox*>("family")),
        products(d.findChild<QListWidget*>("products")),
        type(d.findChild<QLabel*>("type")),
        height(d.findChild<QLabel*>("height")),
        width(d.findChild<QLabel*>("width")),
        pageSize(d.findChild<QLabel*>("pageSize")),
        index(d.findChild<QCheckBox*>("indexOnLabel")),
        print(d.findChild<QPushButton*>("print")) {}
  QRadioButton* dotMatrix;
  QRadioButton* laser;
  QComboBox* tray;
  QComboBox* family;
  QListWidget* products;
  QLabel *type, *height, *width, *pageSize;
  QCheckBox* index;
  QPushButton* print;

  QStringList Items(QComboBox* box) const {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
  }
  void PickFamily(int row) {
    family->setCurrentIndex(row);
    emit family->activated(row);
  }
};

TEST(LabelsDialog, OpensOnTheLastChoicesWithTheirEntryShown) {
  const LabelCatalogue catalogue = SmallLabelCatalogue();
  LabelSettings last;
  last.product = 1;
  last.tray = kTrayManualFeed;
  last.indexOnLabel = true;
  LabelsDialog dialog(catalogue, last);
  Controls c(dialog);
  EXPECT_EQ(dialog.windowTitle(), "Labels");
  EXPECT_TRUE(c.laser->isChecked());
  EXPECT_FALSE(c.dotMatrix->isChecked());
  EXPECT_TRUE(c.tray->isEnabled());
  EXPECT_EQ(c.Items(c.tray),
            (QStringList{"Default tray", "Automatic Sheet Feed", "Manual Feed", "Tractor Feed"}));
  EXPECT_EQ(c.tray->currentIndex(), kTrayManualFeed);
  EXPECT_EQ(c.Items(c.family),
            (QStringList{"Avery Standard", "Avery A4 and A5 sizes", "MACO Standard", "Other"}));
  EXPECT_EQ(c.products->count(), 3);
  EXPECT_EQ(c.products->currentRow(), 1);
  EXPECT_EQ(c.type->text(), "Address Labels");
  EXPECT_EQ(c.height->text(), "1in");
  EXPECT_EQ(c.width->text(), "4in");
  EXPECT_EQ(c.pageSize->text(), "US-Letter");
  EXPECT_TRUE(c.index->isChecked());
  EXPECT_TRUE(c.print->isEnabled());
  EXPECT_EQ(dialog.Chosen()->labelName, "Avery 5161");
}

TEST(LabelsDialog, FamilyResetsProductPrinterTypeKeepsPositionsTrayStays) {
  const LabelCatalogue catalogue = SmallLabelCatalogue();
  LabelsDialog dialog(catalogue, LabelSettings());
  Controls c(dialog);
  c.products->setCurrentRow(2);
  EXPECT_EQ(c.height->text(), "1.33in");
  c.tray->setCurrentIndex(kTrayTractorFeed);
  emit c.tray->activated(kTrayTractorFeed);
  c.PickFamily(1);
  EXPECT_EQ(dialog.Settings().product, 0u);
  EXPECT_EQ(c.products->currentRow(), 0);
  EXPECT_EQ(c.pageSize->text(), "A4");

  c.PickFamily(3);  // Other: empty here
  EXPECT_EQ(c.products->count(), 0);
  EXPECT_EQ(c.type->text(), "");
  EXPECT_FALSE(c.print->isEnabled());

  QTest::mouseClick(c.dotMatrix, Qt::LeftButton);
  EXPECT_FALSE(c.tray->isEnabled());
  EXPECT_EQ(c.tray->currentIndex(), kTrayTractorFeed);
  EXPECT_EQ(c.Items(c.family), (QStringList{"Avery Standard", "Avery International (UK)",
                                            "Avery International (France)", "CoStar LabelWriter"}));
  EXPECT_EQ(c.family->currentIndex(), 3);
  EXPECT_EQ(c.products->item(0)->text(), "99010");
  EXPECT_EQ(c.width->text(), "89mm");
  EXPECT_TRUE(c.print->isEnabled());
  QTest::mouseClick(c.index, Qt::LeftButton);
  EXPECT_EQ(dialog.Settings(), (LabelSettings{kDotMatrix, true, kTrayTractorFeed, 3, 0}));
}

TEST(LabelsDialog, PositionPastTheFamilyEndShowsNothingAndCannotPrint) {
  const LabelCatalogue catalogue = SmallLabelCatalogue();
  LabelSettings last;
  last.product = 2;  // Avery Standard's third, then the dot-matrix family
  last.printerType = kDotMatrix;
  last.family = 3;
  LabelsDialog dialog(catalogue, last);
  Controls c(dialog);
  EXPECT_EQ(c.products->count(), 1);
  EXPECT_EQ(c.products->currentRow(), -1);
  EXPECT_EQ(c.width->text(), "");
  EXPECT_FALSE(c.print->isEnabled());
  EXPECT_EQ(dialog.Chosen(), nullptr);
  // Picking the product makes it printable.
  c.products->setCurrentRow(0);
  EXPECT_TRUE(c.print->isEnabled());
  EXPECT_EQ(dialog.Chosen()->labelName, "Dymo 99010");
}

}  // namespace
}  // namespace tessel
