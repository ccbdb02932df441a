#include "services/modem.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <thread>

namespace tessel {

namespace {

using Clock = std::chrono::steady_clock;

std::string ErrnoText() { return std::strerror(errno); }

int MsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<long long>(0, left.count()));
}

// Opens a serial device without waiting for a carrier and without making it
// our controlling terminal, and only if it is a terminal at all: a file or a
// pipe named by mistake is never written. Its settings go to `saved`, for
// ClosePort to put back. -1 with `error` set otherwise.
int OpenPort(const std::string& device, int access, termios& saved, std::string& error) {
  const int fd = open(device.c_str(), access | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = ErrnoText();
    return -1;
  }
  if (!isatty(fd)) {
    close(fd);
    error = device + " is not a serial port.\nChoose the modem's device in Tools > Options.";
    return -1;
  }
  if (tcgetattr(fd, &saved) != 0) {
    error = ErrnoText();
    close(fd);
    return -1;
  }
  // Nobody else may open the port while we hold it.
  ioctl(fd, TIOCEXCL);
  return fd;
}

// Output processing off, so that every byte of a command reaches the modem
// as written: it would turn the LF into CR LF, and a modem drops a command
// when more characters follow the CR that ended it.
bool SetRawOutput(int fd, termios settings) {
  settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  return tcsetattr(fd, TCSANOW, &settings) == 0;
}

void ClosePort(int fd, const termios& saved) {
  // Whatever the line still holds (a modem that never cleared to send) is
  // dropped, so close() does not wait on it; what went out is left alone.
  int queued = 0;
  if (ioctl(fd, TIOCOUTQ, &queued) != 0 || queued > 0) tcflush(fd, TCOFLUSH);
  // The line is the user's: the next program to use it finds it as it was.
  tcsetattr(fd, TCSANOW, &saved);
  ioctl(fd, TIOCNXCL);
  close(fd);
}

// Writes all of `data`, waiting for room until `deadline`.
bool WriteAll(int fd, std::string_view data, Clock::time_point deadline) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return false;
    pollfd p{fd, POLLOUT, 0};
    const int ready = poll(&p, 1, MsLeft(deadline));
    if (ready == 0) {
      errno = ETIMEDOUT;
      return false;
    }
    if (ready < 0 && errno != EINTR) return false;
  }
  return true;
}

// Waits until the port has sent everything, up to `deadline`. tcdrain()
// would wait without limit on a line that never clears to send.
bool Drain(int fd, Clock::time_point deadline) {
  for (;;) {
    int queued = 0;
    if (ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0) return true;
    if (Clock::now() >= deadline) {
      errno = ETIMEDOUT;
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// "ttyS12" -> ("ttyS", 12); false for names that are no serial device.
bool SerialName(const std::string& name, std::string& prefix, unsigned long& number) {
  for (const char* p : {"ttyUSB", "ttyACM", "ttyS"}) {
    const std::size_t len = std::strlen(p);
    if (name.size() <= len || name.compare(0, len, p) != 0) continue;
    const std::string digits = name.substr(len);
    if (digits.size() > 6 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      return false;
    }
    prefix = p;
    number = std::stoul(digits);
    return true;
  }
  return false;
}

}  // namespace

std::string DialDigits(std::string_view selection) {
  std::string digits;
  for (char c : selection) {
    if (c >= '0' && c <= '9') digits += c;
  }
  return digits;
}

std::string CannotDialText(std::string_view selection) {
  return "Can not dial " + std::string(selection);
}

std::string DialCommand(std::string_view digits) { return "ATD" + std::string(digits) + "\n\r"; }

std::string PortDevice(const SettingsStore& settings, int port) {
  if (port < 1 || port > kComPortCount) return {};
  return settings.GetString(kPortSetting[port - 1], kPortDefault[port - 1]);
}

std::array<std::string, kComPortCount> PortDevices(const SettingsStore& settings) {
  std::array<std::string, kComPortCount> devices;
  for (int i = 0; i < kComPortCount; ++i) devices[i] = PortDevice(settings, i + 1);
  return devices;
}

std::vector<std::string> SerialDevicesPresent(const std::string& devDir,
                                              const std::string& sysTtyDir) {
  struct Found {
    std::string prefix;
    unsigned long number;
    std::string name;
  };
  std::vector<Found> found;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(devDir, ec)) {
    const std::string name = entry.path().filename().string();
    Found f{{}, 0, name};
    if (!SerialName(name, f.prefix, f.number)) continue;
    if (f.prefix == "ttyS") {
      // The kernel makes ttyS0 to ttyS31 whether or not a UART is fitted.
      std::ifstream type(sysTtyDir + "/" + name + "/type");
      int uart = -1;
      if (type >> uart && uart == 0) continue;
    }
    found.push_back(std::move(f));
  }
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    return a.prefix != b.prefix ? a.prefix < b.prefix : a.number < b.number;
  });
  std::vector<std::string> paths;
  for (const Found& f : found) paths.push_back(devDir + "/" + f.name);
  return paths;
}

ModemPort::ModemPort() : saved_(std::make_unique<termios>()) {}

ModemPort::~ModemPort() { Close(); }

bool ModemPort::Dial(const std::string& device, std::string_view command, std::string& error) {
  Close();
  const int fd = OpenPort(device, O_WRONLY, *saved_, error);
  if (fd < 0) return false;
  // Hardware flow control on; every other setting stays as the port had it,
  // except output processing (SetRawOutput).
  termios settings = *saved_;
  settings.c_cflag |= CRTSCTS;
  if (!SetRawOutput(fd, settings)) {
    error = ErrnoText();
    ClosePort(fd, *saved_);
    return false;
  }
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kModemWriteLimitMs);
  if (!WriteAll(fd, command, deadline) || !Drain(fd, deadline)) {
    error = ErrnoText();
    ClosePort(fd, *saved_);
    return false;
  }
  fd_ = fd;
  return true;
}

void ModemPort::Close() {
  if (fd_ < 0) return;
  ClosePort(fd_, *saved_);
  fd_ = -1;
}

int DetectModem(const std::array<std::string, kComPortCount>& devices) {
  for (int i = 0; i < kComPortCount; ++i) {
    std::string ignored;
    termios saved{};
    const int fd = OpenPort(devices[i], O_RDWR, saved, ignored);
    if (fd < 0) continue;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::milliseconds(kProbeWriteLimitMs);
    const bool taken = SetRawOutput(fd, saved) && WriteAll(fd, kProbeCommand, deadline);
    if (taken) Drain(fd, deadline);  // let the probe out before closing
    ClosePort(fd, saved);
    if (taken) return i + 1;
  }
  return 0;
}

}  // namespace tessel
