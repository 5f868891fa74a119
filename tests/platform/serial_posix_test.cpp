// The POSIX port table against pseudo-terminals: the link named COM<n> in a temporary station folder
// points at a pty slave, the test plays the radio on the master side.
#include "platform/serial_posix.h"
#include "temp_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using korvel::platform::PosixSerialPorts;

namespace {

using Clock = std::chrono::steady_clock;

// A pseudo-terminal. The test keeps the slave open too, so the master never sees EIO while the
// program's descriptor is closed and reopened.
struct Pty {
  Pty() {
    char name[128] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) ADD_FAILURE() << "openpty failed";
    slavePath = name;
  }
  ~Pty() {
    closeMaster();
    if (slave >= 0) close(slave);
  }
  void closeMaster() {
    if (master >= 0) close(master);
    master = -1;
  }
  termios line() const {
    termios t{};
    tcgetattr(slave, &t);
    return t;
  }
  // Everything the program wrote, waiting up to a second for `count` bytes.
  std::string readMaster(std::size_t count) const {
    std::string got;
    const auto until = Clock::now() + std::chrono::seconds(1);
    char buffer[512];
    while (got.size() < count && Clock::now() < until) {
      pollfd p{master, POLLIN, 0};
      if (poll(&p, 1, 50) <= 0) continue;
      const ssize_t n = read(master, buffer, sizeof buffer);
      if (n > 0) got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }
  void writeMaster(const std::string& bytes) const {
    ASSERT_EQ(write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  int master = -1;
  int slave = -1;
  std::string slavePath;
};

class SerialPortsTest : public ::testing::Test {
 protected:
  void link(int n, const std::string& target) {
    std::error_code ec;
    fs::remove(folder / ("COM" + std::to_string(n)), ec);
    fs::create_symlink(target, folder / ("COM" + std::to_string(n)));
  }
  // Opens port n as the program does: open, reads that never wait, 8 data bits, no parity, 2 stops.
  void setUpPort(PosixSerialPorts& ports, int n, int baud = 38400) {
    ASSERT_EQ(ports.openPort(n, baud), 1);
    ports.setPortReadTimeouts(n, -1);
    ASSERT_EQ(ports.setPortFrame(n, 8, 0, 2), 0);
  }
  // Waits (up to a second) until the port reports at least `count` bytes waiting.
  static int waitForBytes(PosixSerialPorts& ports, int n, int count) {
    int waiting = 0;
    const auto until = Clock::now() + std::chrono::seconds(1);
    while ((waiting = ports.portBytesWaiting(n)) < count && Clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return waiting;
  }

  korvel::testing::TempFolder folder{"korvel-serial"};
};

TEST_F(SerialPortsTest, OpenAppliesSpeedAndFrameToTheDevice) {
  struct Case {
    int baud;
    speed_t speed;
  };
  for (const Case c : {Case{4800, B4800}, Case{9600, B9600}, Case{38400, B38400}, Case{115200, B115200}}) {
    SCOPED_TRACE(c.baud);
    Pty pty;
    link(5, pty.slavePath);
    PosixSerialPorts ports(folder);
    setUpPort(ports, 5, c.baud);
    termios t = pty.line();
    EXPECT_EQ(cfgetospeed(&t), c.speed);
    EXPECT_EQ(cfgetispeed(&t), c.speed);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & PARENB, 0u);
    EXPECT_NE(t.c_cflag & CSTOPB, 0u);
    // Raw line: no echo, no line editing, no XON/XOFF, reads that return at once.
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);

    EXPECT_EQ(ports.setPortFrame(5, 8, 0, 1), 0);
    t = pty.line();
    EXPECT_EQ(t.c_cflag & CSTOPB, 0u) << "stop selector 1 gives one stop bit";
  }
}

TEST_F(SerialPortsTest, FrameTheDeviceCannotTakeIsReportedAsRefused) {
  Pty pty;
  link(5, pty.slavePath);
  PosixSerialPorts ports(folder);
  setUpPort(ports, 5);
  EXPECT_EQ(ports.setPortFrame(5, 9, 0, 2), 1);
  EXPECT_EQ(ports.setPortFrame(5, 8, 7, 2), 1);
  // A pseudo-terminal always stays at eight bits without parity: asking for even parity must not
  // be reported as done, and the line keeps its earlier frame.
  EXPECT_EQ(ports.setPortFrame(5, 8, 2, 2), 1);
  const termios t = pty.line();
  EXPECT_EQ(t.c_cflag & PARENB, 0u);
  EXPECT_NE(t.c_cflag & CSTOPB, 0u);
}

TEST_F(SerialPortsTest, UnsupportedSpeedFailsTheOpen) {
  Pty pty;
  link(5, pty.slavePath);
  PosixSerialPorts ports(folder);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ports.openPort(5, 12345), 0);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("12345"), std::string::npos) << said;
  EXPECT_FALSE(ports.isOpen(5));
  EXPECT_EQ(ports.writePort(5, "FA;", 3), 0);
}

TEST_F(SerialPortsTest, BytesWaitingAndAFullRead) {
  Pty pty;
  link(5, pty.slavePath);
  PosixSerialPorts ports(folder);
  setUpPort(ports, 5);
  EXPECT_EQ(ports.portBytesWaiting(5), 0);
  char buffer[300];
  EXPECT_EQ(ports.readPort(5, buffer, 255), 0) << "nothing has arrived: the read returns at once, empty";

  std::string sent;
  for (int i = 0; i < 300; ++i) sent += static_cast<char>('A' + i % 26);
  pty.writeMaster(sent);
  EXPECT_EQ(waitForBytes(ports, 5, 300), 300);
  ASSERT_EQ(ports.readPort(5, buffer, 255), 255);
  EXPECT_EQ(std::string(buffer, 255), sent.substr(0, 255));
  EXPECT_EQ(ports.portBytesWaiting(5), 45);
  ASSERT_EQ(ports.readPort(5, buffer, 255), 45);
  EXPECT_EQ(std::string(buffer, 45), sent.substr(255));
}

TEST_F(SerialPortsTest, EveryByteValueRoundTripsBothWays) {
  Pty pty;
  link(5, pty.slavePath);
  PosixSerialPorts ports(folder);
  setUpPort(ports, 5);
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);

  EXPECT_EQ(ports.writePort(5, all.data(), 256), 256);
  EXPECT_EQ(pty.readMaster(256), all);

  pty.writeMaster(all);
  ASSERT_EQ(waitForBytes(ports, 5, 256), 256);
  std::string got(256, '\0');
  int n = 0;
  while (n < 256) {
    const int r = ports.readPort(5, got.data() + n, 256 - n);
    ASSERT_GT(r, 0);
    n += r;
  }
  EXPECT_EQ(got, all);
}

TEST_F(SerialPortsTest, MissingLinkSaysOnceWhichLinkToMake) {
  PosixSerialPorts ports(folder);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ports.openPort(7, 38400), 0);
  std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("COM7 not found; make it with: ln -s "), std::string::npos) << said;
  EXPECT_NE(said.find((folder / "COM7").string()), std::string::npos) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;

  // A link whose device is gone (adapter unplugged) fails too, with one line naming the device.
  link(8, "/dev/korvel-no-such-device");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ports.openPort(8, 38400), 0);
  said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("/dev/korvel-no-such-device"), std::string::npos) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;

  // A plain file is not a serial device.
  { std::ofstream(folder / "COM9") << "x"; }
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ports.openPort(9, 38400), 0);
  ::testing::internal::GetCapturedStderr();
}

TEST_F(SerialPortsTest, NumbersOutsideTheTableAndEmptySlotsDoNothing) {
  Pty pty;
  link(256, pty.slavePath);
  PosixSerialPorts ports(folder);
  ::testing::internal::CaptureStderr();
  char buffer[16];
  for (int n : {0, -1, 257, 100000, 3}) {
    SCOPED_TRACE(n);
    if (n != 3) {
      EXPECT_EQ(ports.openPort(n, 38400), 0);
    }
    ports.setPortReadTimeouts(n, -1);
    EXPECT_EQ(ports.setPortFrame(n, 8, 0, 2), 0);
    EXPECT_EQ(ports.portBytesWaiting(n), 0);
    EXPECT_EQ(ports.readPort(n, buffer, 16), 0);
    EXPECT_EQ(ports.writePort(n, "FA;", 3), 0);
    ports.closePort(n);
  }
  ::testing::internal::GetCapturedStderr();
  // The top of the table is a real slot.
  setUpPort(ports, 256);
  EXPECT_EQ(ports.writePort(256, "ID;", 3), 3);
  EXPECT_EQ(pty.readMaster(3), "ID;");
  ports.closePort(256);
  EXPECT_EQ(ports.writePort(256, "ID;", 3), 0) << "a closed slot is empty again";
}

TEST_F(SerialPortsTest, VanishedDeviceReturnsZeroWithoutHanging) {
  Pty pty;
  link(5, pty.slavePath);
  PosixSerialPorts ports(folder);
  setUpPort(ports, 5);
  pty.writeMaster("FA014074000;");
  EXPECT_EQ(waitForBytes(ports, 5, 12), 12);
  pty.closeMaster();

  ::testing::internal::CaptureStderr();
  const auto start = Clock::now();
  char buffer[255];
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ports.portBytesWaiting(5), 0);
    EXPECT_EQ(ports.readPort(5, buffer, 255), 0);
    EXPECT_EQ(ports.writePort(5, "FA;", 3), 0);
    EXPECT_EQ(ports.setPortFrame(5, 8, 0, 2), 0);
  }
  ports.setPortReadTimeouts(5, 10);
  EXPECT_EQ(ports.readPort(5, buffer, 255), 0);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("COM5 lost"), std::string::npos) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << "the loss is reported once: " << said;
  EXPECT_FALSE(ports.isOpen(5));
  ports.closePort(5);
}

TEST_F(SerialPortsTest, LostDeviceComesBackWithItsSettings) {
  auto first = std::make_unique<Pty>();
  link(5, first->slavePath);
  PosixSerialPorts ports(folder);
  setUpPort(ports, 5, 4800);
  first->closeMaster();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ports.writePort(5, "FA;", 3), 0);

  Pty second;  // the adapter plugged in again, perhaps under another name
  link(5, second.slavePath);
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  EXPECT_EQ(ports.writePort(5, "FA;", 3), 3);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("COM5 is back"), std::string::npos) << said;
  EXPECT_EQ(second.readMaster(3), "FA;");
  const termios t = second.line();
  EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B4800));
  EXPECT_NE(t.c_cflag & CSTOPB, 0u);
}

TEST_F(SerialPortsTest, DeviceIsOpenedExclusively) {
  Pty pty;
  link(5, pty.slavePath);
  link(6, pty.slavePath);
  PosixSerialPorts ports(folder);
  PosixSerialPorts another(folder);  // a second Korvel in the same station folder
  setUpPort(ports, 5);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ports.openPort(6, 38400), 0);
  EXPECT_EQ(another.openPort(5, 38400), 0);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("in use"), std::string::npos) << said;
  ports.closePort(5);
  EXPECT_EQ(another.openPort(5, 38400), 1) << "closing the port frees the device";
}

TEST_F(SerialPortsTest, WaitingReadsAndStuckWritesAreBounded) {
  Pty pty;
  link(5, pty.slavePath);
  PosixSerialPorts ports(folder);
  ASSERT_EQ(ports.openPort(5, 1000000), 1);
  char buffer[64];

  // 2 ms per byte asked for: a read of 20 bytes gives what arrived within about 40 ms.
  ports.setPortReadTimeouts(5, 2);
  pty.writeMaster("ID0761;");
  EXPECT_EQ(waitForBytes(ports, 5, 7), 7);
  EXPECT_EQ(ports.readPort(5, buffer, 20), 7);
  EXPECT_EQ(std::string(buffer, 7), "ID0761;");
  auto start = Clock::now();
  EXPECT_EQ(ports.readPort(5, buffer, 20), 0);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));

  // Nobody reads the other end: the write gives up instead of hanging.
  ports.setPortReadTimeouts(5, -1);
  const std::string big(40000, 'x');
  start = Clock::now();
  const int written = ports.writePort(5, big.data(), static_cast<int>(big.size()));
  EXPECT_LT(written, static_cast<int>(big.size()));
  EXPECT_GT(written, 0);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

}  // namespace

// The search for a radio: devices named directly, opened quietly, and the one found linked in.
TEST_F(SerialPortsTest, NamedDevicesOpenQuietlyAndTheFoundOneIsLinked) {
  Pty pty;
  std::ofstream(folder / "notes.txt") << "not a terminal";
  PosixSerialPorts ports(folder);
  struct Case {
    std::string device;
    int opened;
    std::string why;
  } cases[] = {
      {pty.slavePath, 1, ""},
      {(folder / "nothing-here").string(), 0, ""},
      {(folder / "notes.txt").string(), 0, "not a serial device"},
  };
  testing::internal::CaptureStderr();
  for (const auto& c : cases) {
    std::string why = "?";
    EXPECT_EQ(ports.openNamedPort(200, c.device, 4800, why), c.opened) << c.device;
    EXPECT_EQ(why, c.why) << c.device;
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(ports.writePort(200, "ID;", 3), 0) << "the failed open closed the slot";

  std::string why;
  ASSERT_EQ(ports.openNamedPort(200, pty.slavePath, 4800, why), 1);
  const termios line = pty.line();
  EXPECT_EQ(cfgetospeed(&line), B4800);
  ports.closePort(200);
  link(5, "/dev/null");  // an old link is replaced
  EXPECT_EQ(ports.assignPort(5, pty.slavePath, why), 5) << why;
  EXPECT_EQ(fs::read_symlink(folder / "COM5"), pty.slavePath);
  std::ofstream(folder / "COM6") << "a file of the user's";
  EXPECT_EQ(ports.assignPort(6, pty.slavePath, why), 0);
  EXPECT_NE(why.find("not a link"), std::string::npos) << why;
}

TEST_F(SerialPortsTest, DevicesAreListedOnceStableNamesFirstInNumberOrder) {
  const fs::path dev = folder / "dev";
  fs::create_directories(dev / "serial" / "by-id");
  for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyUSB0", "ttyACM0", "ttyS0", "ttyUSBx"}) std::ofstream(dev / name);
  fs::create_symlink("../../ttyUSB2", dev / "serial" / "by-id" / "usb-Silicon_Labs_CP2105-if00-port0");
  const std::string d = dev.string();
  EXPECT_EQ(PosixSerialPorts::serialDevicesUnder(dev),
            (std::vector<std::string>{d + "/serial/by-id/usb-Silicon_Labs_CP2105-if00-port0", d + "/ttyUSB0",
                                      d + "/ttyUSB10", d + "/ttyACM0"}));
}
