// The Modem Setup dialog: which of "COM 1" to "COM 4" the modem is on, the
// serial device each of them stands for, and the search for a modem.
#pragma once

#include <array>
#include <string>
#include <vector>

#include <QDialog>

#include "services/modem.h"

class QComboBox;
class QPushButton;

namespace tessel {

class ModemSetupDialog : public QDialog {
  Q_OBJECT

 public:
  // `chosenPort`: 1 to 4, or -1 for none; `devices`: the device of each
  // entry; `present`: the serial devices offered for picking another.
  ModemSetupDialog(QWidget* parent, int chosenPort,
                   const std::array<std::string, kComPortCount>& devices,
                   const std::vector<std::string>& present);

  // What OK keeps.
  int ChosenPort() const { return chosen_; }
  const std::array<std::string, kComPortCount>& Devices() const { return devices_; }

  QComboBox* PortList() const { return ports_; }
  // The device of the entry selected in the port list; typed or picked.
  QComboBox* DeviceBox() const { return device_; }
  QPushButton* AutoDetectButton() const { return detect_; }

 signals:
  // Auto Detect found nothing; the owner shows "Modem Not Found".
  void ModemNotFound();

 private:
  void PortPicked(int index);
  void DeviceEdited(const QString& text);
  void AutoDetect();
  void ShowDevice();

  int chosen_;
  std::array<std::string, kComPortCount> devices_;
  QComboBox* ports_;
  QComboBox* device_;
  QPushButton* detect_;
};

}  // namespace tessel
