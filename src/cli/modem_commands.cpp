// ports, detect and dial: the serial devices present, the search for a modem
// and a dial, as the program does them.
#include <chrono>
#include <iostream>
#include <memory>
#include <thread>

#include "cli/cli.h"
#include "services/modem.h"

namespace tessel::cli {

namespace {

int Ports() {
  for (const std::string& device : SerialDevicesPresent()) std::cout << device << '\n';
  return 0;
}

int Detect(const Args& args) {
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

struct DialArgs {
  int holdMs = kDialHoldMs;
  std::string device;
  Args selection;  // the words of the selected text
};

int Dial(const DialArgs& args) {
  std::string selection = args.selection[0];
  for (std::size_t i = 1; i < args.selection.size(); ++i) selection += ' ' + args.selection[i];
  const std::string digits = DialDigits(selection);
  if (digits.empty()) {
    Fail(CannotDialText(selection));
    return 1;
  }
  ModemPort port;
  std::string error;
  if (!port.Dial(args.device, DialCommand(digits), error)) {
    Fail(error);
    return 1;
  }
  // The modem hangs up when the port closes; give the call time to start.
  std::this_thread::sleep_for(std::chrono::milliseconds(args.holdMs));
  return 0;
}

Work DeclarePorts(CLI::App&) { return Ports; }

Work DeclareDetect(CLI::App& command) {
  auto devices = std::make_shared<Args>();
  command.add_option("DEV", *devices, "up to four serial devices, tried in this order")
      ->required()
      ->expected(1, static_cast<int>(kComPortCount));
  return [devices] { return Detect(*devices); };
}

Work DeclareDial(CLI::App& command) {
  auto args = std::make_shared<DialArgs>();
  command.add_option("--hold", args->holdMs,
                     "milliseconds to hold the line before hanging up (" +
                         std::to_string(kDialHoldMs) + ")")
      ->type_name("MS")
      ->check(CLI::NonNegativeNumber);
  command.add_option("DEVICE", args->device, "the serial device of the modem")->required();
  command.add_option("SELECTION", args->selection, "the text whose digits are dialled")->required();
  return [args] { return Dial(*args); };
}

const Registration kPorts({"ports", "the serial devices present (ttyS, ttyUSB, ttyACM)", 70,
                           DeclarePorts});
const Registration kDetect({"detect",
                            "the first of up to four devices that takes the modem probe \"AT\"",
                            71, DeclareDetect});
const Registration kDial({"dial",
                          "send \"ATD\" and the digits of SELECTION to DEVICE and hold the line",
                          72, DeclareDial});

}  // namespace

}  // namespace tessel::cli
