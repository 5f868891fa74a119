// korvel-sim as a process: the link it makes, answers over the pseudo-terminal, the reply delay,
// its log, and a clean exit on SIGTERM.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace korvel::e2e {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// A serial-port client of the link: raw mode, as korvel opens it.
class PortClient {
 public:
  explicit PortClient(const fs::path& link) : fd_(::open(link.c_str(), O_RDWR | O_NOCTTY)) {
    if (fd_ < 0) return;
    termios settings{};
    tcgetattr(fd_, &settings);
    cfmakeraw(&settings);
    tcsetattr(fd_, TCSANOW, &settings);
  }
  ~PortClient() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool open() const { return fd_ >= 0; }
  void send(const std::string& bytes) { ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
  // Reads until `terminators` semicolons have arrived or the time is up.
  std::string read(int terminators, std::chrono::milliseconds timeout) {
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::count(got.begin(), got.end(), ';') < terminators) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd watch{fd_, POLLIN, 0};
      if (poll(&watch, 1, static_cast<int>(left.count())) <= 0) break;
      char buffer[256];
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n <= 0) break;
      got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }

 private:
  int fd_;
};

class SimProcess : public ::testing::Test {
 protected:
  void TearDown() override { sim.stop(SIGKILL, 2000ms); }
  // Starts korvel-sim and waits for its ready line; returns that line.
  std::string start(const std::vector<std::string>& args) {
    if (!sim.start(KORVEL_SIM_EXE, args, folder, {}, folder / "sim.out")) return {};
    waitFor(folder / "sim.out", [](const std::string& s) { return s.find('\n') != std::string::npos; }, 10s);
    const auto all = lines(readFile(folder / "sim.out"));
    return all.empty() ? std::string() : all.front();
  }
  bool linkExists(const std::string& name) const {
    struct stat info {};
    return lstat((folder / name).c_str(), &info) == 0;
  }

  korvel::testing::TempFolder home{"korvel-sim"};
  fs::path folder = home.path();
  Child sim;
};

TEST_F(SimProcess, AnswersOnItsLinkAcrossClientsAndLeavesCleanlyOnSigterm) {
  const std::string ready = start({"--model", "761", "--link", "COM5", "--log", "sim.log"});
  const std::string target = fs::read_symlink(folder / "COM5").string();
  EXPECT_EQ(ready, "korvel-sim: model 761 on COM5 -> " + target);
  EXPECT_TRUE(target.starts_with("/dev/pts/")) << target;
  {
    PortClient port(folder / "COM5");
    ASSERT_TRUE(port.open());
    port.send("ID;");
    EXPECT_EQ(port.read(1, 3000ms), "ID0761;");
  }
  {
    // A second client after the first has closed: the terminal is still served.
    PortClient port(folder / "COM5");
    ASSERT_TRUE(port.open());
    port.send("F");
    port.send("A007100000;F");
    port.send("A;XX;");
    EXPECT_EQ(port.read(2, 3000ms), "FA007100000;?;");
  }
  EXPECT_EQ(sim.stop(SIGTERM, 5000ms), 0);
  EXPECT_FALSE(linkExists("COM5"));
  const std::string log = readFile(folder / "sim.log");
  EXPECT_NE(log.find("in  ID;\nout ID0761;\n"), std::string::npos) << log;
  EXPECT_NE(log.find("in  FA007100000;\nin  FA;\nout FA007100000;\n"), std::string::npos) << log;
}

TEST_F(SimProcess, ReportsItsModelAndWaitsTheReplyDelay) {
  const std::string ready = start({"--model=362", "--link=COM9", "--reply-delay-ms=300"});
  EXPECT_TRUE(ready.starts_with("korvel-sim: model 362 on COM9 -> /dev/pts/")) << ready;
  PortClient port(folder / "COM9");
  ASSERT_TRUE(port.open());
  port.send("FA;");
  EXPECT_EQ(port.read(1, 100ms), "");  // the answer cannot come before its delay
  EXPECT_EQ(port.read(1, 3000ms), "FA14074000;");
  EXPECT_EQ(sim.stop(SIGINT, 5000ms), 0);
  EXPECT_FALSE(linkExists("COM9"));
}

TEST_F(SimProcess, ReplacesAStaleLinkButNeverAFile) {
  fs::create_symlink("/dev/pts/no-such-terminal", folder / "COM3");
  start({"--link", "COM3"});
  EXPECT_NE(fs::read_symlink(folder / "COM3").string(), "/dev/pts/no-such-terminal");
  PortClient port(folder / "COM3");
  ASSERT_TRUE(port.open());
  port.send("ID;");
  EXPECT_EQ(port.read(1, 3000ms), "ID0761;");
  EXPECT_EQ(sim.stop(SIGTERM, 5000ms), 0);

  std::ofstream(folder / "COM4") << "notes";
  start({"--link", "COM4"});
  EXPECT_EQ(sim.wait(5000ms), 1);
  EXPECT_EQ(readFile(folder / "COM4"), "notes");
}

TEST_F(SimProcess, HelpAndBadArguments) {
  start({"--help"});
  EXPECT_EQ(sim.wait(5000ms), 0);
  EXPECT_NE(readFile(folder / "sim.out").find("usage: korvel-sim --link NAME"), std::string::npos);

  for (const std::vector<std::string>& args : {std::vector<std::string>{"--model", "761"},
                                                 {"--link", "COM5", "--model", "12345"},
                                                 {"--link", "COM5", "--reply-delay-ms", "-5"},
                                                 {"--link", "COM5", "--bogus"}}) {
    start(args);
    EXPECT_EQ(sim.wait(5000ms), 2) << args.back();
    EXPECT_FALSE(linkExists("COM5")) << args.back();
  }
}

}  // namespace
}  // namespace korvel::e2e
