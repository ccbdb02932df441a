#include "services/modem.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "support/fake_modem.h"
#include "support/test_support.h"

namespace tessel {
namespace {

namespace fs = std::filesystem;
using test::FakeModem;

TEST(DialTexts, DigitsCommandAndRefusal) {
  EXPECT_EQ(DialDigits("(0) 1-2"), "012");
  EXPECT_EQ(DialDigits("+44 (20) 7946-0958 ext. 7"), "442079460958" "7");
  EXPECT_EQ(DialDigits("call Bob \xB2\xB3"), "");  // superscript digits are not digits
  EXPECT_EQ(DialCommand("012"), std::string("ATD012\n\r"));
  EXPECT_EQ(DialCommand("012").size(), 8u);
  EXPECT_EQ(CannotDialText("call Bob"), "Can not dial call Bob");
  EXPECT_EQ(std::string(kProbeCommand), "AT\n\r");
}

TEST(Ports, ComNumbersStandForSettingsWithTtySDefaults) {
  test::MemoryStore store;
  EXPECT_EQ(PortDevice(store, 1), "/dev/ttyS0");
  EXPECT_EQ(PortDevice(store, 4), "/dev/ttyS3");
  EXPECT_EQ(PortDevice(store, 0), "");
  EXPECT_EQ(PortDevice(store, 5), "");
  store.WriteString("Port 2", "/dev/ttyACM0");
  const auto devices = PortDevices(store);
  EXPECT_EQ(devices[0], "/dev/ttyS0");
  EXPECT_EQ(devices[1], "/dev/ttyACM0");
  EXPECT_EQ(devices[3], "/dev/ttyS3");
}

TEST(Ports, SerialDevicesPresentInNaturalOrderWithoutEmptyUarts) {
  test::TempDir dev;
  test::TempDir sys;
  for (const char* name : {"ttyS10", "ttyS2", "ttyS0", "ttyS1", "ttyUSB0", "ttyACM1", "ttyACM0",
                           "tty0", "tty", "ttyprintk", "console", "ttySx", "ttyUSB"}) {
    std::ofstream(dev.File(name)).put('\0');
  }
  for (const auto& [name, type] :
       {std::pair{"ttyS0", "4"}, {"ttyS1", "0"}, {"ttyS10", "0\n"}, {"ttyUSB0", "0"}}) {
    fs::create_directories(sys.Path() / name);
    std::ofstream(sys.Path() / name / "type") << type;
  }
  const std::string d = dev.Path().string() + "/";
  EXPECT_EQ(SerialDevicesPresent(dev.Path().string(), sys.Path().string()),
            (std::vector<std::string>{d + "ttyACM0", d + "ttyACM1", d + "ttyS0", d + "ttyS2",
                                      d + "ttyUSB0"}));
  EXPECT_TRUE(SerialDevicesPresent(dev.File("missing"), sys.Path().string()).empty());
}

// The line's settings as a user would notice them changed.
void ExpectSameSettings(const termios& a, const termios& b) {
  EXPECT_EQ(a.c_iflag, b.c_iflag);
  EXPECT_EQ(a.c_oflag, b.c_oflag);
  EXPECT_EQ(a.c_cflag, b.c_cflag);
  EXPECT_EQ(a.c_lflag, b.c_lflag);
  EXPECT_EQ(cfgetospeed(&a), cfgetospeed(&b));
}

TEST(ModemPort, DialWritesTheCommandWithHardwareFlowControlAndKeepsTheRest) {
  FakeModem modem;
  termios before = modem.CookedSettings();
  cfsetispeed(&before, B9600);
  cfsetospeed(&before, B9600);
  modem.SetSettings(before);

  ModemPort port;
  std::string error;
  ASSERT_TRUE(port.Dial(modem.Path(), DialCommand(DialDigits("(0) 1-2")), error)) << error;
  EXPECT_TRUE(port.IsOpen());
  // Byte for byte: the LF is not turned into CR LF on the way.
  EXPECT_EQ(modem.Received(), std::string("ATD012\n\r"));

  const termios after = modem.Settings();
  EXPECT_NE(after.c_cflag & CRTSCTS, 0u);
  EXPECT_EQ(cfgetospeed(&after), static_cast<speed_t>(B9600));
  EXPECT_EQ(after.c_cflag & ~static_cast<tcflag_t>(CRTSCTS), before.c_cflag);
  EXPECT_EQ(after.c_lflag, before.c_lflag);
  EXPECT_EQ(after.c_iflag, before.c_iflag);

  if (geteuid() != 0) {
    // Held without sharing: nobody else opens the port while a dial is pending.
    const int other = open(modem.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_LT(other, 0);
    EXPECT_EQ(errno, EBUSY);
    if (other >= 0) close(other);
  }
  port.Close();
  EXPECT_FALSE(port.IsOpen());
  ExpectSameSettings(modem.Settings(), before);
  const int again = open(modem.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  EXPECT_GE(again, 0);
  if (again >= 0) close(again);

  // A second dial on the same object closes nothing it should not and works.
  ASSERT_TRUE(port.Dial(modem.Path(), DialCommand("5"), error)) << error;
  EXPECT_EQ(modem.Received(), std::string("ATD5\n\r"));
}

TEST(ModemPort, RefusesWhatIsNoSerialPortAndReportsTheSystemsText) {
  test::TempDir dir;
  const std::string file = dir.File("not-a-modem");
  { std::ofstream(file) << "keep"; }
  ModemPort port;
  std::string error;
  EXPECT_FALSE(port.Dial(file, "ATD1\n\r", error));
  EXPECT_EQ(error, file + " is not a serial port.\nChoose the modem's device in Tools > Options.");
  EXPECT_FALSE(port.IsOpen());
  std::ifstream in(file);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep");

  EXPECT_FALSE(port.Dial("/dev/null", "ATD1\n\r", error));
  EXPECT_EQ(error.find("/dev/null is not a serial port."), 0u) << error;

  EXPECT_FALSE(port.Dial(dir.Path().string(), "ATD1\n\r", error));
  EXPECT_EQ(error, "Is a directory");
  EXPECT_FALSE(port.Dial(dir.File("absent"), "ATD1\n\r", error));
  EXPECT_EQ(error, "No such file or directory");
  EXPECT_FALSE(port.IsOpen());
}

TEST(ModemPort, AWriteTheLineDoesNotTakeGivesUpInsteadOfHanging) {
  FakeModem modem;  // nothing reads its end, so the line fills up
  ModemPort port;
  std::string error;
  EXPECT_FALSE(port.Dial(modem.Path(), std::string(1 << 20, 'x'), error));
  EXPECT_EQ(error, std::strerror(ETIMEDOUT));
  EXPECT_FALSE(port.IsOpen());
}

TEST(DetectModem, PicksTheFirstPortThatOpensAndTakesTheProbe) {
  test::TempDir dir;
  FakeModem second;
  FakeModem fourth;
  const std::string absent = dir.File("ttyS0");
  const std::string file = dir.File("plain");
  { std::ofstream(file) << ""; }

  const termios before = second.CookedSettings();
  EXPECT_EQ(DetectModem({absent, second.Path(), absent, fourth.Path()}), 2);
  // Exactly the four bytes, not the LF turned into CR LF; the line as it was.
  EXPECT_EQ(second.Received(), std::string("AT\n\r"));
  ExpectSameSettings(second.Settings(), before);
  EXPECT_EQ(fourth.Received(), "");
  EXPECT_EQ(DetectModem({file, absent, "/dev/null", fourth.Path()}), 4);
  EXPECT_EQ(DetectModem({absent, absent, file, ""}), 0);
  // The search leaves the port free for the dial.
  ModemPort port;
  std::string error;
  EXPECT_TRUE(port.Dial(second.Path(), "ATD1\n\r", error)) << error;
}

}  // namespace
}  // namespace tessel
