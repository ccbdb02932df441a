#include "services/ui/modem_setup_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "support/fake_modem.h"
#include "support/test_support.h"

namespace tessel {
namespace {

using Devices = std::array<std::string, kComPortCount>;

const Devices kDefaults{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};

TEST(ModemSetupDialog, ShowsTheChosenPortAndTheDeviceEachStandsFor) {
  ModemSetupDialog dialog(nullptr, 2, kDefaults, {"/dev/ttyACM0", "/dev/ttyS0"});
  EXPECT_EQ(dialog.windowTitle(), "Modem Setup");
  ASSERT_EQ(dialog.findChildren<QGroupBox*>().size(), 1);
  EXPECT_EQ(dialog.findChildren<QGroupBox*>()[0]->title(), "Select COM Port");
  EXPECT_EQ(dialog.AutoDetectButton()->text(), "Auto Detect");
  QComboBox* list = dialog.PortList();
  ASSERT_EQ(list->count(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(list->itemText(i), QStringLiteral("COM %1").arg(i + 1));
  EXPECT_EQ(list->currentIndex(), 1);
  EXPECT_EQ(list->itemData(3, Qt::ToolTipRole).toString(), "/dev/ttyS3");
  EXPECT_EQ(dialog.DeviceBox()->currentText(), "/dev/ttyS1");
  // The serial devices present are offered.
  ASSERT_EQ(dialog.DeviceBox()->count(), 2);
  EXPECT_EQ(dialog.DeviceBox()->itemText(0), "/dev/ttyACM0");

  ModemSetupDialog none(nullptr, kNoComPort, kDefaults, {});
  EXPECT_EQ(none.PortList()->currentIndex(), -1);
  EXPECT_FALSE(none.DeviceBox()->isEnabled());
  EXPECT_EQ(none.ChosenPort(), kNoComPort);
}

TEST(ModemSetupDialog, PickingAnEntryAndItsDeviceChangesOnlyThatEntry) {
  ModemSetupDialog dialog(nullptr, kNoComPort, kDefaults, {"/dev/ttyACM0", "/dev/ttyUSB0"});
  dialog.PortList()->setCurrentIndex(2);
  EXPECT_EQ(dialog.ChosenPort(), 3);
  EXPECT_TRUE(dialog.DeviceBox()->isEnabled());
  EXPECT_EQ(dialog.DeviceBox()->currentText(), "/dev/ttyS2");
  dialog.DeviceBox()->setCurrentIndex(1);  // picked from the list
  EXPECT_EQ(dialog.Devices()[2], "/dev/ttyUSB0");
  EXPECT_EQ(dialog.PortList()->itemData(2, Qt::ToolTipRole).toString(), "/dev/ttyUSB0");

  dialog.PortList()->setCurrentIndex(0);
  EXPECT_EQ(dialog.DeviceBox()->currentText(), "/dev/ttyS0");
  dialog.DeviceBox()->lineEdit()->clear();
  QTest::keyClicks(dialog.DeviceBox()->lineEdit(), "/dev/serial/by-id/modem");
  EXPECT_EQ(dialog.ChosenPort(), 1);
  EXPECT_EQ(dialog.Devices(),
            (Devices{"/dev/serial/by-id/modem", "/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyS3"}));
}

TEST(ModemSetupDialog, AutoDetectSelectsTheFirstPortThatTakesTheProbe) {
  test::TempDir dir;
  test::FakeModem modem;
  ModemSetupDialog dialog(nullptr, 4, {dir.File("ttyS0"), modem.Path(), dir.File("x"), ""}, {});
  QSignalSpy notFound(&dialog, &ModemSetupDialog::ModemNotFound);
  QTest::mouseClick(dialog.AutoDetectButton(), Qt::LeftButton);
  EXPECT_EQ(notFound.count(), 0);
  EXPECT_EQ(dialog.PortList()->currentIndex(), 1);
  EXPECT_EQ(dialog.ChosenPort(), 2);
  EXPECT_EQ(modem.Received(), std::string("AT\n\r"));
}

TEST(ModemSetupDialog, AutoDetectFindingNothingKeepsTheChoiceAndClearsTheList) {
  test::TempDir dir;
  ModemSetupDialog dialog(nullptr, 3, {dir.File("a"), dir.File("b"), dir.File("c"), ""}, {});
  QSignalSpy notFound(&dialog, &ModemSetupDialog::ModemNotFound);
  QTest::mouseClick(dialog.AutoDetectButton(), Qt::LeftButton);
  EXPECT_EQ(notFound.count(), 1);
  EXPECT_EQ(dialog.PortList()->currentIndex(), -1);
  EXPECT_EQ(dialog.ChosenPort(), 3);
}

}  // namespace
}  // namespace tessel
