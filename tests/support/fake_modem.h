// A pseudo-terminal pair standing in for a modem on a serial port.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <string>

namespace tessel::test {

// A pseudo-terminal standing in for a modem: the program writes to the
// device `Path()` names, the test reads what arrived from the other end.
class FakeModem {
 public:
  FakeModem() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    EXPECT_GE(master_, 0);
    EXPECT_EQ(grantpt(master_), 0);
    EXPECT_EQ(unlockpt(master_), 0);
    path_ = ptsname(master_);
    // Held open by the test so the line and its settings persist between the
    // program's opens.
    slave_ = open(path_.c_str(), O_RDWR | O_NOCTTY);
    EXPECT_GE(slave_, 0);
    // No echo of its own, so Received() holds exactly what the program sent.
    termios t = Settings();
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    SetSettings(t);
  }
  ~FakeModem() {
    close(slave_);
    close(master_);
  }
  const std::string& Path() const { return path_; }
  termios Settings() const {
    termios t{};
    EXPECT_EQ(tcgetattr(slave_, &t), 0);
    return t;
  }
  void SetSettings(const termios& t) { EXPECT_EQ(tcsetattr(slave_, TCSANOW, &t), 0); }
  // Output processing on, as a freshly opened serial line has it (LF sent
  // as CR LF), and hardware flow control off.
  termios CookedSettings() {
    termios t = Settings();
    t.c_oflag |= OPOST | ONLCR;
    t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    SetSettings(t);
    return t;
  }
  // Every byte that has arrived, waiting briefly for the first.
  std::string Received() {
    std::string got;
    pollfd p{master_, POLLIN, 0};
    while (poll(&p, 1, got.empty() ? 1000 : 50) > 0) {
      char buf[256];
      const ssize_t n = read(master_, buf, sizeof buf);
      if (n <= 0) break;
      got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
};

}  // namespace tessel::test
