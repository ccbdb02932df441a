// ports, detect and dial: the serial devices present, the search for a modem
// and a dial, as the program does them.
#include <chrono>
#include <iostream>
#include <thread>

#include "cli/cli.h"
#include "services/modem.h"

namespace tessel::cli {

namespace {

int Ports(const Args& args) {
  if (!args.empty()) return kUsageError;
  for (const std::string& device : SerialDevicesPresent()) std::cout << device << '\n';
  return 0;
}

int Detect(const Args& args) {
  if (args.empty() || args.size() > kComPortCount) return kUsageError;
  std::array<std::string, kComPortCount> devices;
  std::copy(args.begin(), args.end(), devices.begin());
  const int found = DetectModem(devices);
  if (found == 0) {
    Fail(kModemNotFound);
    return 1;
  }
  std::cout << found << ' ' << devices[found - 1] << '\n';
  return 0;
}

// dial [--hold MS] DEVICE SELECTION...
int Dial(const Args& args) {
  std::size_t first = 0;
  int holdMs = kDialHoldMs;
  if (args.size() >= 2 && args[0] == "--hold") {
    try {
      holdMs = std::stoi(args[1]);
    } catch (const std::exception&) {
      return kUsageError;
    }
    if (holdMs < 0) return kUsageError;
    first = 2;
  }
  if (args.size() < first + 2) return kUsageError;
  std::string selection = args[first + 1];
  for (std::size_t i = first + 2; i < args.size(); ++i) selection += ' ' + args[i];
  const std::string digits = DialDigits(selection);
  if (digits.empty()) {
    Fail(CannotDialText(selection));
    return 1;
  }
  ModemPort port;
  std::string error;
  if (!port.Dial(args[first], DialCommand(digits), error)) {
    Fail(error);
    return 1;
  }
  // The modem hangs up when the port closes; give the call time to start.
  std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
  return 0;
}

const Registration kPorts({"ports", "  ports           the serial devices present (ttyS, ttyUSB, ttyACM)\n",
                           70, Ports});
const Registration kDetect(
    {"detect",
     "  detect DEV...   the first of up to four devices that takes the modem probe \"AT\"\n", 71,
     Detect});
const Registration kDial(
    {"dial",
     "  dial [--hold MS] DEVICE SELECTION...\n"
     "                  send \"ATD\" and the digits of SELECTION to DEVICE, hold the line\n"
     "                  MS milliseconds (7000)\n",
     72, Dial});

}  // namespace

}  // namespace tessel::cli
