#include "app/ui/dial_controller.h"

#include <QTimer>

#include "services/ui/modem_setup_dialog.h"
#include "services/ui/text.h"

namespace tessel {

DialController::DialController(AppContext& context)
    : c_(context),
      comPort_(c_.settings.GetInt(kComPort, kNoComPort)),
      hangUp_(new QTimer(c_.frame.Window())) {
  // A value no entry stands for counts as no choice: the first dial asks.
  if (comPort_ < 1 || comPort_ > kComPortCount) comPort_ = kNoComPort;
  hangUp_->setObjectName(QStringLiteral("DialHangUpTimer"));
  hangUp_->setSingleShot(true);
  hangUp_->setInterval(kDialHoldMs);
  QObject::connect(hangUp_, &QTimer::timeout, [this] { HangUp(); });
  c_.commands.Provide(Input::DialPending, [this] { return pending_; });
  c_.commands.Handle(CommandId::AutoDial, [this] { AutoDial(); });
  c_.commands.Handle(CommandId::Options, [this] { Options(); });
}

DialController::~DialController() {
  delete hangUp_;
  port_.Close();
}

void DialController::AutoDial() {
  const std::string selection = c_.view.FrontBodySelectedText();
  const std::string digits = DialDigits(selection);
  if (digits.empty()) {
    c_.ShowStandardMessage(FromCp1252(CannotDialText(selection)));
    return;
  }
  Dial(digits);
}

void DialController::Dial(const std::string& digits) {
  const std::string command = DialCommand(digits);
  hangUp_->stop();
  if (comPort_ == kNoComPort) Options();
  if (comPort_ == kNoComPort) return;
  std::string error;
  const bool dialled = port_.Dial(PortDevice(c_.settings, comPort_), command, error);
  pending_ = dialled;
  if (!dialled) {
    c_.dialogs.Message(c_.frame.Window(), QMessageBox::Information,
                       QString::fromLatin1(kSerialErrorCaption), ToQString(error),
                       QMessageBox::Ok);
    return;
  }
  hangUp_->start();
  c_.commands.UpdateStates();
}

void DialController::HangUp() {
  if (!pending_ || !port_.IsOpen()) return;
  port_.Close();
  pending_ = false;
  c_.commands.UpdateStates();
}

void DialController::Options() {
  ModemSetupDialog dialog(c_.frame.Window(), comPort_, PortDevices(c_.settings),
                          SerialDevicesPresent());
  QObject::connect(&dialog, &ModemSetupDialog::ModemNotFound,
                   [this] { c_.ShowStandardMessage(QString::fromLatin1(kModemNotFound)); });
  if (c_.dialogs.RunModal(dialog) != QDialog::Accepted) return;
  comPort_ = dialog.ChosenPort();
  c_.settings.WriteInt(kComPort, comPort_);
  // Only the devices the user changed are written; the others keep following
  // their defaults.
  for (int n = 1; n <= kComPortCount; ++n) {
    const std::string& device = dialog.Devices()[static_cast<std::size_t>(n - 1)];
    if (device != PortDevice(c_.settings, n)) c_.settings.WriteString(kPortSetting[n - 1], device);
  }
}

}  // namespace tessel
