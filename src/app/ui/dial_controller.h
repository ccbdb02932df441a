// Auto Dial from the card toolbar and Tools > Options (Modem Setup). The
// controller holds the modem port for the seconds after a dial and closes
// it when they are over, or when the program ends.
#pragma once

#include "app/ui/app_context.h"
#include "services/modem.h"

class QTimer;

namespace tessel {

class DialController final : public Controller {
 public:
  explicit DialController(AppContext& context);
  ~DialController() override;

 private:
  void AutoDial();
  void Dial(const std::string& digits);
  void HangUp();
  void Options();

  AppContext& c_;
  int comPort_;
  ModemPort port_;
  bool pending_ = false;  // the port is open until the dial hangs up
  // Timer 3. A child of the window named "DialHangUpTimer", so that tests
  // can shorten its interval.
  QTimer* hangUp_;
};

}  // namespace tessel
