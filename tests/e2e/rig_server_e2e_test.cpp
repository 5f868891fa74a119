// The rig server as the station's programs use it: Debian's rigctl ("NET rigctl", Hamlib model 2),
// a raw socket as CQRLOG speaks it, four clients at once while the operator changes band, and the
// transmitter keyed by a client. korvel-sim is the radio; rigctl's wall times are printed.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <chrono>
#include <fstream>
#include <iostream>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "e2e_support.h"
#include "loopback_client.h"
#include "needed_tools.h"

namespace korvel::e2e {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// A port of this test run's own, so that runs side by side do not meet.
int testPort() { return 42000 + static_cast<int>(getpid() % 20000); }

// A station whose korvel.options moves the rig server to this run's port.
struct ServerStation {
  explicit ServerStation(std::vector<std::string> simArgs = {}) : st(761, "", std::move(simArgs)) {}
  LiveStation st;
  int port = testPort();

  bool start(const std::map<std::string, std::string>& env = {}, const std::string& moreOptions = "") {
    std::ofstream(st.folder / "korvel.options") << "# the rig server of this test\n--rig-server=127.0.0.1:" << port << "\n"
                                                 << moreOptions;
    return st.simReady() && st.startKorvel(env) &&
           waitFor(st.folder / "debug.dat",
                   [](const std::string& s) {
                     const auto end = s.find("TX=BI;");
                     return end != std::string::npos && s.find("RX=SM", end) != std::string::npos;
                   },
                   60s);
  }
};

TEST(RigServer, RigctlCallsAnsweredFromWhatKorvelKnows) {
  KORVEL_NEED_TOOLS("rigctl");
  ServerStation s;
  ASSERT_TRUE(s.start()) << s.st.debugLog() << readFile(s.st.folder / "korvel.out");
  struct Call {
    std::vector<std::string> command;
    std::string output;  // a regular expression
  } calls[] = {
      {{"f"}, "7100000\n"},  {{"F", "14074000"}, ""},      {{"f"}, "14074000\n"}, {{"m"}, "LSB\n2400\n"},
      {{"M", "USB", "2400"}, ""}, {{"m"}, "USB\n2400\n"}, {{"t"}, "0\n"},         {{"v"}, "VFOA\n"},
      {{"s"}, "0\nVFOA\n"},  {{"l", "STRENGTH"}, "-?[0-9]+\n"},
  };
  for (const Call& call : calls) {
    std::vector<std::string> args = {"-m", "2", "-r", "127.0.0.1:" + std::to_string(s.port)};
    args.insert(args.end(), call.command.begin(), call.command.end());
    Child rigctl;
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(rigctl.start("/usr/bin/rigctl", args, s.st.folder, {}, s.st.folder / "rigctl.out"));
    const int exitCode = rigctl.wait(20s);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    std::string shown;
    for (const auto& word : call.command) shown += " " + word;
    std::cout << "rigctl" << shown << ": " << took.count() << " ms\n";
    EXPECT_EQ(exitCode, 0) << shown;
    const std::string output = readFile(s.st.folder / "rigctl.out");
    EXPECT_TRUE(std::regex_match(output, std::regex(call.output))) << shown << ": " << output;
  }
  // Korvel followed the client: the frequency went out in the relay's turn, the mode was applied.
  const std::string log = s.st.debugLog();
  EXPECT_TRUE(has(log, "***VRX1=FA014074000;\r\nTX=FA014074000;")) << log;
  // A setting is followed once the radio has taken it: the question behind it answered.
  EXPECT_TRUE(has(log, "***VRX1=MD02;\r\nTX=MD02;\r\nTX=ID;\r\nRX=ID0761;\r\n***VTX1=ID0761;\r\nTX=NA00;")) << log;
}

TEST(RigServer, RawSocketAsLoggersSpeakIt) {
  ServerStation s;
  ASSERT_TRUE(s.start()) << s.st.debugLog();
  testing::LoopbackClient c(s.port);
  ASSERT_TRUE(c.connected());
  c.send("\\dump_state\n");
  const std::string state = c.readUntil("done\n");
  EXPECT_EQ(state.rfind("1\n1042\n0\n", 0), 0u) << state;
  EXPECT_TRUE(has(state, "ptt_type=0x1\ntargetable_vfo=0x3\nhas_set_vfo=1\n")) << state;
  c.send("\\dump_caps\n");
  const std::string caps = c.readUntil("RPRT 0\n");
  for (const char* line : {"Can set Power Stat:\tN\n", "Can get VFO:\tY\n", "Can send Morse:\tN\n", "Can send Voice:\tN\n",
                           "Hamlib version:\t"}) {
    EXPECT_TRUE(has(caps, line)) << line;
  }
  struct Exchange {
    std::string sent;
    int lines;
    std::string answer;
  } exchanges[] = {
      {"\\chk_vfo", 1, "0\n"},
      {"\\get_powerstat", 1, "1\n"},
      {"F 14074000", 1, "RPRT 0\n"},
      {"+f", 3, "get_freq:\nFrequency: 14074000\nRPRT 0\n"},
      {"fmv", 4, "14074000\nLSB\n2400\nVFOA\n"},
      {"+f +m +v", 11,
       "get_freq:\nFrequency: 14074000\nRPRT 0\nget_mode:\nMode: LSB\nPassband: 2400\nRPRT 0\nget_vfo:\nVFO: VFOA\nRPRT 0\n"},
      {";\\get_freq", 1, "get_freq:;Frequency: 14074000;RPRT 0\n"},
      {"\\get_vfo_info VFOA", 5, "14074000\nLSB\n2400\n0\n0\n"},
      {"\\no_such_command", 1, "RPRT -11\n"},
      {std::string(2000, 'x'), 1, "RPRT -1\n"},
      {"f\x01\x02", 1, "RPRT -1\n"},
      {"M PKTUSB 0", 1, "RPRT 0\n"},
      {"m", 2, "PKTUSB\n2400\n"},
      {"M LSB 0", 1, "RPRT 0\n"},
  };
  for (const auto& e : exchanges) EXPECT_EQ(c.ask(e.sent, e.lines), e.answer) << e.sent.substr(0, 40);
  // The data mode went to the radio as its own; Korvel sent no mode of its own after it.
  EXPECT_TRUE(has(s.st.debugLog(), "TX=MD0C;\r\nTX=ID;\r\nRX=ID0761;\r\n***VTX1=ID0761;\r\nTX=NA00;")) << s.st.debugLog();
}

// A mode change sends the radio more than the mode (the narrow filter, the width, a squelch question
// in FM); a level read right behind it is answered by the radio's own answer to it, every time.
TEST(RigServer, LevelReadsRightAfterModeChangesAreEachTheirOwn) {
  ServerStation s;
  ASSERT_TRUE(s.start()) << s.st.debugLog();
  testing::LoopbackClient c(s.port);
  ASSERT_TRUE(c.connected());
  const char* modes[] = {"USB", "CW", "FM", "LSB", "AM", "PKTUSB", "CWR", "FMN"};
  int right = 0;
  constexpr int kReads = 80;
  for (int read = 0; read < kReads; ++read) {
    const int watts = 5 + (read * 7) % 95;
    const std::string level = std::to_string(watts / 100.0).substr(0, 4);
    ASSERT_EQ(c.ask(std::string("M ") + modes[read % std::size(modes)] + " 0"), "RPRT 0\n") << read;
    ASSERT_EQ(c.ask("L RFPOWER " + level), "RPRT 0\n") << read;
    const std::string answer = c.ask("l RFPOWER");
    if (std::abs(std::stod(answer) - watts / 100.0) < 0.006) {
      ++right;
    } else {
      ADD_FAILURE() << "read " << read << " after " << modes[read % std::size(modes)] << ": " << answer << " for " << level;
    }
  }
  std::cout << "level reads right after a mode change: " << right << " of " << kReads << "\n";
  EXPECT_EQ(right, kReads);
}

TEST(RigServer, TheOperatorHearsAClientKeyTheTransmitter) {
  ServerStation s;
  ASSERT_TRUE(s.start());
  testing::LoopbackClient c(s.port);
  const std::size_t before = s.st.transcript().size();
  EXPECT_EQ(c.ask("T 1", 1), "RPRT 0\n");
  ASSERT_TRUE(waitFor(s.st.folder / "transcript.txt", [&](const std::string& t) { return t.find("tx\non\n", before) != std::string::npos; }, 10s));
  EXPECT_EQ(c.ask("t", 1), "1\n");
  EXPECT_EQ(c.ask("T 0", 1), "RPRT 0\n");
  ASSERT_TRUE(waitFor(s.st.folder / "transcript.txt", [&](const std::string& t) { return t.find("tx\noff\n", before) != std::string::npos; }, 10s))
      << s.st.transcript().substr(before);
  EXPECT_TRUE(has(s.st.debugLog(), "***VRX1=TX1;\r\nTX=TX1;")) << s.st.debugLog();
}

// The milliseconds from `since` until korvel-sim's log holds `line` past `from` bytes; -1 if never.
long long untilLogged(const fs::path& log, std::size_t from, const std::string& line,
                      std::chrono::steady_clock::time_point since) {
  const auto deadline = since + 5s;
  while (std::chrono::steady_clock::now() < deadline) {
    const std::string text = readFile(log);
    if (text.size() > from && text.find(line, from) != std::string::npos) {
      return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since).count();
    }
    std::this_thread::sleep_for(1ms);
  }
  return -1;
}

// A client that keys the transmitter and closes its connection, and Debian's rigctl keying it and
// killed: each time the radio is unkeyed within 100 ms and the operator hears "tx off".
TEST(RigServer, AClientThatKeysAndVanishesLeavesNoTransmitterOn) {
  KORVEL_NEED_TOOLS("rigctl");
  ServerStation s({"--log", "sim.log"});
  ASSERT_TRUE(s.start());
  const fs::path log = s.st.folder / "sim.log";
  {
    testing::LoopbackClient c(s.port);
    EXPECT_EQ(c.ask("T 1", 1), "RPRT 0\n");
    ASSERT_TRUE(waitFor(log, [](const std::string& t) { return has(t, "in  TX1;"); }, 5s));
  }
  const std::size_t logged = readFile(log).size();
  const long long closed = untilLogged(log, logged, "in  TX0;", std::chrono::steady_clock::now());
  std::cout << "unkeyed after the client closed: " << closed << " ms\n";
  EXPECT_GE(closed, 0);
  EXPECT_LE(closed, 100);

  const std::size_t keyedFrom = readFile(log).size();
  Child rigctl;
  ASSERT_TRUE(rigctl.start("/bin/sh", {"-c", "(echo 'T 1'; sleep 30) | exec rigctl -m 2 -r 127.0.0.1:" + std::to_string(s.port) + " -"},
                           s.st.folder, {}, s.st.folder / "rigctl.out"));
  ASSERT_GE(untilLogged(log, keyedFrom, "in  TX1;", std::chrono::steady_clock::now()), 0) << readFile(s.st.folder / "rigctl.out");
  const std::size_t killedFrom = readFile(log).size();
  run("pkill -KILL -f 'rigctl -m 2 -r 127.0.0.1:" + std::to_string(s.port) + "'");
  const long long killed = untilLogged(log, killedFrom, "in  TX0;", std::chrono::steady_clock::now());
  std::cout << "unkeyed after rigctl was killed: " << killed << " ms\n";
  EXPECT_GE(killed, 0);
  EXPECT_LE(killed, 100);
  rigctl.stop(SIGKILL, 2s);
  EXPECT_TRUE(waitFor(s.st.folder / "transcript.txt",
                      [](const std::string& t) { return t.rfind("tx\noff\n") != std::string::npos && t.rfind("tx\noff\n") > t.rfind("tx\non\n"); },
                      10s))
      << s.st.transcript();
}

// A client's transmission under --tx-limit=2 ends two seconds after the radio was keyed.
TEST(RigServer, AClientsTransmissionEndsAtTheLimit) {
  ServerStation s({"--log", "sim.log"});
  ASSERT_TRUE(s.start({}, "--tx-limit=2\n"));
  const fs::path log = s.st.folder / "sim.log";
  testing::LoopbackClient c(s.port);
  const std::size_t from = readFile(log).size();
  const auto keyed = std::chrono::steady_clock::now();
  EXPECT_EQ(c.ask("T 1", 1), "RPRT 0\n");
  const long long released = untilLogged(log, from, "in  TX0;", keyed);
  std::cout << "released " << released << " ms after T 1 under --tx-limit=2\n";
  EXPECT_GE(released, 2000);
  EXPECT_LE(released, 2500);
  EXPECT_TRUE(waitFor(s.st.folder / "transcript.txt", [](const std::string& t) { return has(t, "txlimit\ntx\noff\n"); }, 10s))
      << s.st.transcript();
  EXPECT_EQ(c.ask("t", 1), "0\n");
}

// A web page the operator opens posts "T 1" and a frequency to the server, as a page's script can:
// headless Chromium loads it, its request reaches Korvel, and the radio hears nothing of it.
TEST(RigServer, AWebPageReachesNoRadio) {
  KORVEL_NEED_TOOLS("chromium");
  ServerStation s({"--log", "sim.log"});
  ASSERT_TRUE(s.start());
  const fs::path page = s.st.folder / "page.html";
  std::ofstream(page) << "<!doctype html><title>waiting</title><script>\n"
                         "fetch('http://127.0.0.1:" << s.port << "/', {method: 'POST', mode: 'no-cors',\n"
                         "  headers: {'Content-Type': 'text/plain'}, body: 'T 1\\nF 14250000\\n'})\n"
                         "  .finally(() => { document.title = 'posted'; });\n"
                         "</script>\n";
  Child browser;
  ASSERT_TRUE(browser.start("/usr/bin/chromium",
                            {"--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--user-data-dir=" +
                             (s.st.folder / "browser").string(), "--virtual-time-budget=5000", "--dump-dom",
                             "file://" + page.string()},
                            s.st.folder, {}, s.st.folder / "browser.out"));
  EXPECT_EQ(browser.wait(60s), 0) << readFile(s.st.folder / "browser.out");
  EXPECT_TRUE(waitFor(s.st.folder / "debug.dat",
                      [](const std::string& d) { return has(d, "RIG: a web browser's request closed unread: POST / HTTP/1.1"); }, 10s))
      << "the page's request never reached Korvel";
  std::this_thread::sleep_for(500ms);
  const std::string radio = readFile(s.st.folder / "sim.log");
  EXPECT_FALSE(has(radio, "in  TX1;")) << radio;
  EXPECT_FALSE(has(radio, "FA014250000")) << radio;
  EXPECT_FALSE(has(s.st.transcript(), "tx\non\n"));
}

// Forty programs that opened a connection and forgot it: rigctl's call is answered all the same.
TEST(RigServer, FortyForgottenConnectionsShutNoDoor) {
  KORVEL_NEED_TOOLS("rigctl");
  ServerStation s;
  ASSERT_TRUE(s.start());
  std::vector<std::unique_ptr<testing::LoopbackClient>> forgotten;
  for (int i = 0; i < 40; ++i) {
    forgotten.push_back(std::make_unique<testing::LoopbackClient>(s.port));
    ASSERT_TRUE(forgotten.back()->connected());
  }
  Child rigctl;
  ASSERT_TRUE(rigctl.start("/usr/bin/rigctl", {"-m", "2", "-r", "127.0.0.1:" + std::to_string(s.port), "f"}, s.st.folder,
                           {}, s.st.folder / "rigctl.out"));
  EXPECT_EQ(rigctl.wait(20s), 0);
  EXPECT_EQ(readFile(s.st.folder / "rigctl.out"), "7100000\n");
}

TEST(RigServer, FourClientsWhileTheOperatorChangesBand) {
  KORVEL_NEED_TOOLS("Xvfb", "xdotool");
  VirtualDisplay display;
  ASSERT_TRUE(display.ready());
  ServerStation s;
  ASSERT_TRUE(s.start({{"SDL_VIDEODRIVER", "x11"}, {"DISPLAY", display.name()}})) << s.st.debugLog();
  const std::string env = "DISPLAY=" + display.name() + " ";
  std::string window = run(env + "xdotool search --sync --name 'Korvel Front Panel' 2>/dev/null | head -n 1");
  while (!window.empty() && window.back() == '\n') window.pop_back();
  ASSERT_FALSE(window.empty());

  constexpr int kClients = 4;
  constexpr int kRounds = 500;          // at least, and on until each has asked after the band was spoken
  constexpr int kMostRounds = 100000;
  std::atomic<bool> bandSpoken{false};
  std::vector<std::vector<std::string>> answers(kClients);
  std::vector<std::string> firstAfterBand(kClients);
  std::vector<std::thread> clients;
  for (int i = 0; i < kClients; ++i) {
    clients.emplace_back([&, i] {
      testing::LoopbackClient c(s.port);
      for (int round = 0; round < kMostRounds && (round < kRounds || firstAfterBand[i].empty()); ++round) {
        const bool spoken = bandSpoken.load();
        const std::string f = c.ask("f", 1);
        answers[i].push_back(f);
        answers[i].push_back(c.ask("m", 2));
        if (spoken && firstAfterBand[i].empty()) firstAfterBand[i] = f;
      }
    });
  }
  std::this_thread::sleep_for(300ms);
  run(env + "xdotool key --window " + window + " b 6");
  const bool spoken =
      waitFor(s.st.folder / "transcript.txt", [](const std::string& t) { return has(t, "20\nmetres\n"); }, 20s);
  bandSpoken = true;
  for (auto& t : clients) t.join();
  ASSERT_TRUE(spoken) << s.st.transcript();
  for (int i = 0; i < kClients; ++i) {
    ASSERT_GE(answers[i].size(), 2u * kRounds) << "client " << i;
    for (std::size_t k = 0; k < answers[i].size(); k += 2) {
      EXPECT_TRUE(answers[i][k] == "7100000\n" || answers[i][k] == "14200000\n") << i << ": " << answers[i][k];
      EXPECT_TRUE(answers[i][k + 1] == "LSB\n2400\n" || answers[i][k + 1] == "USB\n2400\n") << answers[i][k + 1];
    }
    EXPECT_EQ(firstAfterBand[i], "14200000\n") << "client " << i;
  }
  EXPECT_TRUE(has(s.st.transcript(), "band\n40\nmetres\n20\nmetres\n")) << s.st.transcript();
}

TEST(RigServer, APortInUseIsSaidOnceAndKorvelRunsOn) {
  ServerStation s;
  const int taken = ::socket(AF_INET, SOCK_STREAM, 0);
  const int on = 1;
  setsockopt(taken, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(s.port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(taken, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(taken, 1), 0);
  ASSERT_TRUE(s.start());
  const std::string said = readFile(s.st.folder / "korvel.out");
  EXPECT_TRUE(has(said, "korvel: the rig server cannot listen on 127.0.0.1:" + std::to_string(s.port))) << said;
  EXPECT_TRUE(has(s.st.transcript(), "connected\n"));
  ::close(taken);
}

}  // namespace
}  // namespace korvel::e2e
