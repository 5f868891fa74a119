// Hamlib through Korvel's pass-through port, as a logger beside the panel reaches the radio:
// rigctl and rigctld on a socat pty pair whose other end is the pass-through port, korvel-sim
// behind Korvel. Each rigctl call's wall time is printed, not asserted.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "loopback_client.h"
#include "station.h"
#include "needed_tools.h"

namespace korvel::e2e {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr const char* kHamlibFtdx10 = "1042";  // Hamlib's number for the radio that reports ID 0761
constexpr int kPassThroughPort = 6;
// rigctld's port: one of this test run's own, so that runs side by side do not meet.
int rigctldPort() { return 22000 + static_cast<int>(getpid() % 10000); }
constexpr int kFrequencyQueries = 100;


// Waits for a link to appear without opening it (reading a pty would wait for its other end).
bool appears(const fs::path& link) {
  for (int attempt = 0; attempt < 50 && !fs::exists(link); ++attempt) usleep(100000);
  return fs::exists(link);
}

// A station whose pass-through port is one end of a socat pty pair; Hamlib opens the other end.
struct RelayStation {
  LiveStation st{761, testing::sampleConfig(5, kPassThroughPort, 1)};
  Child socat;
  fs::path client = st.folder / "client";

  bool start(const std::map<std::string, std::string>& env = {}) {
    const std::string end = "pty,raw,echo=0,link=";
    if (!st.simReady() ||
        !socat.start("/usr/bin/socat", {end + (st.folder / "COM6").string(), end + client.string()}, st.folder, {},
                     st.folder / "socat.out") ||
        !appears(client) || !st.startKorvel(env)) {
      return false;
    }
    // The pass-through port opens with the connection; the relay serves once the poll runs again.
    return waitFor(st.folder / "debug.dat",
                   [](const std::string& s) {
                     const auto end = s.find("TX=BI;");
                     return end != std::string::npos && s.find("RX=SM", end) != std::string::npos;
                   },
                   60s);
  }
  ~RelayStation() { socat.stop(SIGTERM, 2000ms); }
};

TEST(RelayHamlib, RigctlCallsThroughThePassThroughPort) {
  KORVEL_NEED_TOOLS("rigctl", "socat");
  RelayStation r;
  ASSERT_TRUE(r.start()) << r.st.debugLog();
  struct Call {
    std::vector<std::string> command;
    const char* output;
  } calls[] = {
      {{"f"}, "7100000\n"}, {{"F", "14074000"}, ""}, {{"f"}, "14074000\n"}, {{"m"}, "LSB\n2400\n"},
      {{"M", "USB", "2400"}, ""}, {{"m"}, "USB\n2400\n"}, {{"t"}, "0\n"}, {{"v"}, "VFOA\n"},
  };
  for (const Call& call : calls) {
    std::vector<std::string> args = {"-m", kHamlibFtdx10, "-r", r.client.string()};
    args.insert(args.end(), call.command.begin(), call.command.end());
    std::string shown;
    for (const auto& word : call.command) shown += (shown.empty() ? "" : " ") + word;
    Child rigctl;
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(rigctl.start("/usr/bin/rigctl", args, r.st.folder, {}, r.st.folder / "rigctl.out"));
    const int exitCode = rigctl.wait(20s);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    std::cout << "rigctl " << shown << ": " << took.count() << " ms\n";
    EXPECT_EQ(exitCode, 0) << shown;
    EXPECT_EQ(readFile(r.st.folder / "rigctl.out"), call.output) << shown;
  }
  // Korvel followed what the client did: the frequency it set and the mode.
  const std::string log = r.st.debugLog();
  EXPECT_TRUE(has(log, "TX=FA014074000;")) << log;
  EXPECT_TRUE(has(log, "TX=MD02;")) << log;
  EXPECT_FALSE(has(log, "TX=AI1;"));
}


TEST(RelayHamlib, RigctldServesFrequencyQueriesWhileTheOperatorChangesBand) {
  KORVEL_NEED_TOOLS("rigctld", "socat", "Xvfb", "xdotool");
  VirtualDisplay xvfb;
  ASSERT_TRUE(xvfb.ready());
  const std::string display = xvfb.name();
  RelayStation r;
  ASSERT_TRUE(r.start({{"SDL_VIDEODRIVER", "x11"}, {"DISPLAY", display}})) << r.st.debugLog();

  Child rigctld;
  ASSERT_TRUE(rigctld.start("/usr/bin/rigctld",
                            {"-m", kHamlibFtdx10, "-r", r.client.string(), "-T", "127.0.0.1", "-t",
                             std::to_string(rigctldPort())},
                            r.st.folder, {}, r.st.folder / "rigctld.out"));
  testing::LoopbackClient link(rigctldPort(), 5000ms);
  ASSERT_TRUE(link.connected());
  link.ask("\\set_cache 0");  // every get_freq reaches the radio

  const std::string env = "DISPLAY=" + display + " ";
  std::string window = run(env + "xdotool search --sync --name 'Korvel Front Panel' 2>/dev/null | head -n 1");
  while (!window.empty() && (window.back() == '\n' || window.back() == '\r')) window.pop_back();
  ASSERT_FALSE(window.empty());

  std::vector<std::string> answers;
  std::size_t answerAfterBand = 0;
  for (int i = 0; i < kFrequencyQueries; ++i) {
    if (i == kFrequencyQueries / 3) run(env + "xdotool key --window " + window + " b 6");
    if (answerAfterBand == 0 && has(r.st.transcript(), "20\nmetres\n")) answerAfterBand = answers.size();
    std::string answer = link.ask("f");
    if (!answer.empty() && answer.back() == '\n') answer.pop_back();
    answers.push_back(answer);
  }
  for (std::size_t i = 0; i < answers.size(); ++i) {
    EXPECT_TRUE(answers[i] == "7100000" || answers[i] == "14200000") << i << ": " << answers[i];
  }
  // The band change went out as usual, and the first query after it was spoken sees 20 metres.
  EXPECT_TRUE(has(r.st.debugLog(), "*6 ( 54 )\r\nTX=MD02;\r\n")) << r.st.debugLog();
  ASSERT_GT(answerAfterBand, 0u) << r.st.transcript();
  EXPECT_EQ(answers[answerAfterBand], "14200000");
  EXPECT_EQ(answers.back(), "14200000");
  rigctld.stop(SIGTERM, 2000ms);
}

}  // namespace
}  // namespace korvel::e2e
