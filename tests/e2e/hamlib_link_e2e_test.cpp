// A radio through Hamlib, end to end: korvel in a terminal with --hamlib-model. Hamlib's own FTDX10
// backend on korvel-sim gives the operator the words Korvel's own link gives and leaves the radio
// where the keys put it; Hamlib's dummy radio takes the keys; a rigctld on another computer (model
// 2) that stops is "nc" at once and "connected" when it is back.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "e2e_support.h"
#include "needed_tools.h"

namespace korvel::e2e {
namespace {

using namespace std::chrono_literals;

// A loopback port of this test process's own, below 65536 whatever its process number.
int freePort(int offset) { return 20000 + offset + static_cast<int>(getpid() % 10000) * 4; }

// korvel in a tmux terminal in the station's folder, and the words each key brings.
class Operator {
 public:
  Operator(LiveStation& station, const std::string& options)
      : st_(station),
        terminal_(station.folder, std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy ") +
                                      KORVEL_EXE + " --transcript=transcript.txt " + options +
                                      " 2>err.txt; echo $? > exit.txt; sleep 600") {}

  bool hears(const std::string& words, std::chrono::milliseconds within = 30s) {
    return waitFor(st_.folder / "transcript.txt", [&](const std::string& s) { return s.find(words, heard_) != std::string::npos; },
                   within);
  }
  // Presses a key (a tmux key name); true once the words that follow include `words`, which are
  // then taken as heard.
  bool press(const std::string& key, const std::string& words) {
    terminal_.type(key);
    std::size_t at = std::string::npos;
    const bool heard = waitFor(st_.folder / "transcript.txt", [&](const std::string& s) {
      at = s.find(words, heard_);
      return at != std::string::npos;
    }, 20s);
    if (heard) heard_ = at + words.size();
    return heard;
  }
  // Presses a key and lets its words, if any, end.
  void press(const std::string& key) {
    terminal_.type(key);
    settle();
  }
  void settle() {
    std::string before;
    do {
      before = st_.transcript();
      std::this_thread::sleep_for(500ms);
    } while (st_.transcript() != before);
    heard_ = before.size();
  }
  // Presses a key; how long its first word took (nullopt: none within a few seconds). The key's
  // words are then let end.
  std::optional<std::chrono::milliseconds> firstWordAfter(const std::string& key) {
    settle();
    const std::size_t before = st_.transcript().size();
    const auto pressed = std::chrono::steady_clock::now();
    terminal_.type(key);
    std::optional<std::chrono::milliseconds> took;
    while (std::chrono::steady_clock::now() - pressed < 5s) {
      if (st_.transcript().size() > before) {
        took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - pressed);
        break;
      }
      std::this_thread::sleep_for(2ms);
    }
    settle();
    return took;
  }
  bool quits() {
    terminal_.type("q");
    return waitFor(st_.folder / "exit.txt", [](const std::string& s) { return !s.empty(); }, 20s) &&
           readFile(st_.folder / "exit.txt") == "0\n";
  }
  std::string screen() { return terminal_.screen(); }

 private:
  LiveStation& st_;
  Terminal terminal_;
  std::size_t heard_ = 0;
};

std::string rigctl(const std::string& target, const std::string& commands) {
  return run("rigctl " + target + " " + commands + " 2>/dev/null");
}

// The words of an operator's session of keys both links serve, from "connected" to "quit".
std::string sessionOn(const std::string& options, std::string& radioAfter) {
  LiveStation st(761);
  EXPECT_TRUE(st.simReady());
  const std::string device = std::filesystem::canonical(st.folder / "COM5").string();
  std::string resolved = options;
  if (const auto at = resolved.find("DEVICE"); at != std::string::npos) resolved.replace(at, 6, device);
  Operator op(st, "--rig-server=off " + resolved);
  EXPECT_TRUE(op.hears("connected\n")) << op.screen();
  op.settle();
  for (const char* key : {"B", "6", "F", "M", "W", "P", "Down", "E", "1", "4", ".", "2", "Enter", "F1", "F3", "A", "Up"}) {
    op.press(key);
  }
  EXPECT_TRUE(op.quits());
  // The radio after the session, as a station program reads it.
  radioAfter = rigctl("-m 1042 -r " + device + " -s 38400", "f m l RFPOWER u NB");
  const std::string words = st.transcript();
  return words.substr(std::min(words.size(), words.find("connected\n")));
}

TEST(HamlibLinkEndToEnd, HamlibsFtdx10BackendGivesTheWordsAndTheRadioOfKorvelsOwnLink) {
  KORVEL_NEED_TOOLS("tmux", "rigctl");
  std::string ownRadio;
  std::string hamlibRadio;
  const std::string own = sessionOn("", ownRadio);
  const std::string through = sessionOn("--hamlib-model=1042 --hamlib-port=DEVICE --hamlib-speed=38400", hamlibRadio);
  EXPECT_EQ(through, own);
  EXPECT_NE(own.find("1\n4\npoint\n2\nmhz\n"), std::string::npos) << own;
  EXPECT_EQ(hamlibRadio, ownRadio);
  EXPECT_NE(ownRadio.find("14200000"), std::string::npos) << ownRadio;
}

TEST(HamlibLinkEndToEnd, ADummyRadioTakesTheOperatorsSessionAndServesTheStationsPrograms) {
  KORVEL_NEED_TOOLS("tmux", "rigctl");
  LiveStation st(761);
  const int server = freePort(0);
  Operator op(st, "--hamlib-model=1 --rig-server=127.0.0.1:" + std::to_string(server));
  ASSERT_TRUE(op.hears("connected\n")) << op.screen();
  op.settle();
  // Each key and the words it brings; a key without words is let settle.
  const std::pair<const char*, const char*> session[] = {
      {"B", "band\n40\nmetres\n"}, {"6", "20\nmetres\npreamp\non\n"}, {"F", "1\n4\npoint\n2\nmhz\nusb\n"},
      {"M", "cw\n"}, {"M", "am\n"}, {"W", ""}, {"Up", ""}, {"Up", ""}, {"P", "Power\n1\n0\n0\nwatts\n"}, {"Down", ""},
      {"C", "sch\n"}, {"1", "1\nok\n"}, {"2", ""}, {"Enter", ""}, {"E", "EF\n"}, {"1", "1\n"}, {"4", "4\n"},
      {".", "point\n"}, {"2", "2\n"}, {"Enter", "preamp\non\nok\n"}, {"F1", "preamp\noff\n"}, {"F2", "at\non\n"},
      {"F3", "nb\non\n"}, {"S", "s\n"}, {"I", "wrong\nmode\n"}, {"N", "mn\n"}, {"0", "0\n"}, {"1", "1\n"},
      {"Enter", "invalid\n"}, {"Enter", ""}, {"A", "af\n"}, {"Up", ""}, {"R", "rf\n"}, {"Down", ""}};
  for (const auto& [key, words] : session) {
    if (*words == '\0') {
      op.press(key);
    } else {
      EXPECT_TRUE(op.press(key, words)) << key << " " << words << "\n" << st.transcript();
    }
  }
  op.settle();
  EXPECT_NE(op.screen().find("AM  14.200000"), std::string::npos) << op.screen();
  EXPECT_NE(op.screen().find("att nb"), std::string::npos) << op.screen();
  // The radio keeps what the keys did, and another program reaches it through Korvel.
  const std::string target = "-m 2 -r 127.0.0.1:" + std::to_string(server);
  EXPECT_EQ(rigctl(target, "f m l RFPOWER l AF l RF"), "14200000\nAM\n9000\n0.900000\n0.039216\n0.901961\n");
  EXPECT_EQ(rigctl(target, "F 14075000 M CW 500 f"), "14075000\n");
  op.settle();  // the poll reads the radio back
  EXPECT_TRUE(op.press("F", "1\n4\npoint\n0\n7\n5\nmhz\ncw\n")) << st.transcript();
  EXPECT_TRUE(op.quits());
}

TEST(HamlibLinkEndToEnd, ARigctldElsewhereThatStopsIsNcAtOnceAndConnectedWhenBack) {
  KORVEL_NEED_TOOLS("tmux", "rigctld");
  LiveStation st(761);
  const std::string port = std::to_string(freePort(1));
  Child rigctld;
  const auto startRigctld = [&] {
    return rigctld.start("/usr/bin/env", {"rigctld", "-m", "1", "-t", port}, st.folder, {}, st.folder / "rigctld.out");
  };
  ASSERT_TRUE(startRigctld());
  std::this_thread::sleep_for(300ms);
  Operator op(st, "--rig-server=off --hamlib-model=2 --hamlib-port=127.0.0.1:" + port);
  ASSERT_TRUE(op.hears("connected\n")) << op.screen();
  op.settle();
  EXPECT_TRUE(op.press("B", "band\n40\nmetres\n"));
  EXPECT_TRUE(op.press("6", "20\nmetres\n"));
  op.settle();

  const auto stopped = std::chrono::steady_clock::now();
  rigctld.stop(SIGKILL, 2s);
  ASSERT_TRUE(op.hears("nc\n", 10s));
  const auto took = std::chrono::steady_clock::now() - stopped;
  EXPECT_LT(took, 3s);
  std::cout << "nc " << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms after rigctld stopped\n";
  op.settle();
  ASSERT_TRUE(startRigctld());
  EXPECT_TRUE(op.hears("connected\n", 10s));
  EXPECT_TRUE(op.quits());
}

// A slow radio (150 ms to each answer) behind a rigctld: no key's first word comes later through
// Hamlib than on Korvel's own link to the same radio. The keys' words come from what Korvel knows,
// never from waiting on Hamlib's calls; the margin is one answer's time, for a busy machine.
TEST(HamlibLinkEndToEnd, ASlowRadioThroughHamlibSpeaksAsSoonAsTheDirectLink) {
  KORVEL_NEED_TOOLS("tmux", "rigctld");
  constexpr auto kReplyDelay = 150ms;
  const std::vector<std::string> keys = {"B", "6", "F", "M", "S", "P"};
  const auto firstWords = [&](bool throughHamlib) {
    LiveStation st(761, "", {"--reply-delay", std::to_string(kReplyDelay.count())});
    EXPECT_TRUE(st.simReady());
    Child rigctld;
    const std::string port = std::to_string(freePort(2));
    std::string options = "--rig-server=off";
    if (throughHamlib) {
      const std::string device = std::filesystem::canonical(st.folder / "COM5").string();
      EXPECT_TRUE(rigctld.start("/usr/bin/env", {"rigctld", "-m", "1042", "-r", device, "-s", "38400", "-t", port},
                                st.folder, {}, st.folder / "rigctld.out"));
      std::this_thread::sleep_for(300ms);
      options += " --hamlib-model=2 --hamlib-port=127.0.0.1:" + port;
    }
    Operator op(st, options);
    EXPECT_TRUE(op.hears("connected\n", 60s)) << op.screen();
    std::vector<std::optional<std::chrono::milliseconds>> took;
    for (const std::string& key : keys) took.push_back(op.firstWordAfter(key));
    EXPECT_TRUE(op.quits());
    return took;
  };
  const auto direct = firstWords(false);
  const auto hamlib = firstWords(true);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    ASSERT_TRUE(direct[i] && hamlib[i]) << keys[i];
    std::cout << keys[i] << ": first word " << direct[i]->count() << " ms direct, " << hamlib[i]->count()
              << " ms through Hamlib\n";
    EXPECT_LE(*hamlib[i], *direct[i] + kReplyDelay) << keys[i];
  }
}

// A second Korvel reaches the radio through the first one's rig server (model 2): both operators'
// keys work on the one radio, and each hears where the other tuned it.
TEST(HamlibLinkEndToEnd, ASecondKorvelWorksTheRadioThroughTheFirstOnesRigServer) {
  KORVEL_NEED_TOOLS("tmux");
  LiveStation first(761);
  ASSERT_TRUE(first.simReady());
  const int server = freePort(3);
  Operator a(first, "--rig-server=127.0.0.1:" + std::to_string(server));
  ASSERT_TRUE(a.hears("connected\n")) << a.screen();
  a.settle();
  LiveStation second(761);
  Operator b(second, "--rig-server=off --hamlib-model=2 --hamlib-port=127.0.0.1:" + std::to_string(server));
  ASSERT_TRUE(b.hears("connected\n")) << b.screen();
  b.settle();
  EXPECT_TRUE(b.press("B", "band\n40\nmetres\n"));
  EXPECT_TRUE(b.press("6", "20\nmetres\n"));
  b.settle();
  a.settle();  // the first one's poll reads the radio back
  EXPECT_TRUE(a.press("F", "1\n4\npoint\n2\nmhz\nusb\n")) << first.transcript();
  a.press("E");
  for (const char* key : {"1", "4", ".", "0", "7", "4"}) a.press(key);
  EXPECT_TRUE(a.press("Enter", "ok\n"));
  a.settle();
  b.settle();  // the second one's poll reads the radio back
  EXPECT_TRUE(b.press("F", "1\n4\npoint\n0\n7\n4\nmhz\nusb\n")) << second.transcript();
  EXPECT_TRUE(b.quits());
  EXPECT_TRUE(a.quits());
}

}  // namespace
}  // namespace korvel::e2e
