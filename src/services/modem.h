// Dialling a number through a modem on a serial port: the command texts, the
// port that "COM 1" to "COM 4" stand for, the dial itself and the search for
// a modem. POSIX termios underneath; no Qt.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cards/settings_store.h"

struct termios;

namespace tessel {

// The port is held open this long after a dial (timer 3), then closed.
inline constexpr int kDialHoldMs = 7000;
// Longest wait for a write (and for the port to send it) before giving up,
// so that a modem holding CTS low can never hang the program.
inline constexpr int kModemWriteLimitMs = 2000;
// The same for each port Auto Detect tries, so that four silent ports keep
// the dialog waiting two seconds at most.
inline constexpr int kProbeWriteLimitMs = 500;

inline constexpr char kProbeCommand[] = "AT\n\r";
inline constexpr char kModemNotFound[] = "Modem Not Found";
inline constexpr char kSerialErrorCaption[] = "Error";

// The decimal digits of a selection, in order; everything else is dropped.
std::string DialDigits(std::string_view selection);

// "Can not dial %s" with the whole selection.
std::string CannotDialText(std::string_view selection);

// "ATD", the digits, LF and CR.
std::string DialCommand(std::string_view digits);

// The device "COM n" stands for (n = 1 to 4): setting "Port n" or its default.
std::string PortDevice(const SettingsStore& settings, int port);
std::array<std::string, kComPortCount> PortDevices(const SettingsStore& settings);

// The serial devices present in `devDir`: ttyS*, ttyUSB* and ttyACM*, in
// natural order (ttyS2 before ttyS10). Built-in ttyS ports that the kernel
// reports as having no UART (type 0 under `sysTtyDir`) are left out.
std::vector<std::string> SerialDevicesPresent(const std::string& devDir = "/dev",
                                              const std::string& sysTtyDir = "/sys/class/tty");

// One serial port held open after a dial. Closing discards what the modem
// has not taken by then, so that closing never waits on a stalled line, and
// gives the line back the settings it had before the dial.
class ModemPort {
 public:
  ModemPort();
  ~ModemPort();
  ModemPort(const ModemPort&) = delete;
  ModemPort& operator=(const ModemPort&) = delete;

  // Opens `device` write-only (never as the controlling terminal, without
  // waiting for a carrier), switches on hardware flow control and writes
  // `command` byte for byte, then waits for the port to send it. False with
  // `error` set (the port is closed again): the system's text for a failed
  // open or write, or a refusal of a device that is not a serial port.
  bool Dial(const std::string& device, std::string_view command, std::string& error);

  bool IsOpen() const { return fd_ >= 0; }
  void Close();

 private:
  int fd_ = -1;
  std::unique_ptr<termios> saved_;  // the line's settings before the dial
};

// Auto Detect: writes the probe to each device in turn, opened read-write
// with output processing off (so the device gets exactly "AT" LF CR), and
// gives the number (1 to 4) of the first that opens and takes it; no answer
// is read, and each line gets its settings back. 0 when none does.
int DetectModem(const std::array<std::string, kComPortCount>& devices);

}  // namespace tessel
