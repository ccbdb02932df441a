#include "services/ui/modem_setup_dialog.h"

#include <QComboBox>
#include <QCursor>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "services/ui/text.h"

namespace tessel {

ModemSetupDialog::ModemSetupDialog(QWidget* parent, int chosenPort,
                                   const std::array<std::string, kComPortCount>& devices,
                                   const std::vector<std::string>& present)
    : QDialog(parent), chosen_(chosenPort), devices_(devices) {
  setWindowTitle(QStringLiteral("Modem Setup"));
  setModal(true);

  auto* group = new QGroupBox(QStringLiteral("Select COM Port"), this);
  ports_ = new QComboBox(group);
  ports_->setObjectName(QStringLiteral("ComPortList"));  // control 1046
  for (int i = 1; i <= kComPortCount; ++i) ports_->addItem(QStringLiteral("COM %1").arg(i));
  detect_ = new QPushButton(QStringLiteral("Auto Detect"), group);
  detect_->setObjectName(QStringLiteral("AutoDetect"));  // control 1047
  detect_->setAutoDefault(false);

  // The device behind the selected entry: any serial device present can be
  // picked, or a path typed (such as a /dev/serial/by-id name).
  device_ = new QComboBox(group);
  device_->setObjectName(QStringLiteral("PortDevice"));
  device_->setEditable(true);
  device_->setInsertPolicy(QComboBox::NoInsert);
  device_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  device_->setMinimumContentsLength(18);
  for (const std::string& d : present) device_->addItem(FromPath(d));
  device_->setToolTip(QStringLiteral("The serial device the selected COM port stands for"));

  auto* row = new QHBoxLayout;
  row->addWidget(ports_, 1);
  row->addWidget(detect_);
  auto* form = new QFormLayout(group);
  form->addRow(row);
  form->addRow(QStringLiteral("&Device:"), device_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  ports_->setCurrentIndex(chosen_ >= 1 && chosen_ <= kComPortCount ? chosen_ - 1 : -1);
  ShowDevice();
  connect(ports_, &QComboBox::currentIndexChanged, this, &ModemSetupDialog::PortPicked);
  connect(device_, &QComboBox::currentTextChanged, this, &ModemSetupDialog::DeviceEdited);
  connect(detect_, &QPushButton::clicked, this, &ModemSetupDialog::AutoDetect);
}

void ModemSetupDialog::PortPicked(int index) {
  if (index >= 0) chosen_ = index + 1;
  ShowDevice();
}

void ModemSetupDialog::DeviceEdited(const QString& text) {
  const int index = ports_->currentIndex();
  if (index < 0) return;
  devices_[static_cast<std::size_t>(index)] = ToPath(text.trimmed());
  ports_->setItemData(index, text.trimmed(), Qt::ToolTipRole);
}

void ModemSetupDialog::ShowDevice() {
  for (int i = 0; i < kComPortCount; ++i) {
    ports_->setItemData(i, FromPath(devices_[static_cast<std::size_t>(i)]), Qt::ToolTipRole);
  }
  const int index = ports_->currentIndex();
  const QSignalBlocker quiet(device_);
  device_->setEnabled(index >= 0);
  device_->setEditText(index >= 0 ? FromPath(devices_[static_cast<std::size_t>(index)])
                                  : QString());
}

void ModemSetupDialog::AutoDetect() {
  QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  const int found = DetectModem(devices_);
  QGuiApplication::restoreOverrideCursor();
  if (found > 0) {
    chosen_ = found;
    ports_->setCurrentIndex(found - 1);
    return;
  }
  emit ModemNotFound();
  // The choice stays as it was; only the list shows none.
  ports_->setCurrentIndex(-1);
}

}  // namespace tessel
