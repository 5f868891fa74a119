// korvel --find-radio end to end: korvel-sim on a pseudo-terminal named after the option, found
// past a device that never answers, written into the station, and Korvel started against it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "e2e_support.h"
#include "station.h"

namespace korvel::e2e {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// The silent device's turn (five speeds of 0.4 s), the radio's first, the sound device's start,
// and room for a machine busy with other builds.
constexpr auto kFoundWithin = 15s;

bool startSim(Child& sim, const fs::path& folder, const std::vector<std::string>& args, const std::string& link) {
  std::vector<std::string> all = args;
  all.insert(all.end(), {"--link", link});
  return sim.start(KORVEL_SIM_EXE, all, folder, {}, folder / (link + ".out")) &&
         waitFor(folder / (link + ".out"), [](const std::string& s) { return has(s, " -> "); }, 10s);
}

TEST(FindRadioEndToEnd, FindsTheSimulatorPastASilentDeviceAndWriteStartsKorvelAgainstIt) {
  LiveStation st(761);
  st.sim.stop(SIGTERM, 5s);  // the station's COM5 now leads nowhere
  ASSERT_FALSE(fs::exists(st.folder / "COM5"));
  const std::string config = testing::sampleConfig(5, 0, 1, "7", 1200);  // a speed no radio offers
  std::ofstream(st.folder / "korvel.cfg", std::ios::binary) << config;
  Child radio, silent;
  ASSERT_TRUE(startSim(radio, st.folder, {"--model", "670"}, "radio"));
  ASSERT_TRUE(startSim(silent, st.folder, {}, "silent"));
  kill(silent.pid(), SIGSTOP);  // takes the question and never answers

  Child find;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(find.start(KORVEL_EXE, {"--find-radio", "silent", "radio", "--write", "--transcript=find.txt"}, st.folder,
                         {{"SDL_AUDIODRIVER", "dummy"}}, st.folder / "find.out"));
  EXPECT_TRUE(waitFor(st.folder / "find.out", [](const std::string& s) { return has(s, "Found"); }, kFoundWithin))
      << readFile(st.folder / "find.out");
  EXPECT_LT(std::chrono::steady_clock::now() - start, kFoundWithin);
  EXPECT_EQ(find.wait(60s), 0);
  const std::string out = readFile(st.folder / "find.out");
  EXPECT_TRUE(has(out, "  silent: no answer at any speed\n")) << out;
  EXPECT_TRUE(has(out, "Found FT-991A (ID 0670) on radio (/dev/pts/")) << out;
  EXPECT_TRUE(has(out, ") at 4800 baud.\n")) << out;
  EXPECT_TRUE(has(readFile(st.folder / "find.txt"), "letter-f\nletter-t\n9\n9\n1\nletter-a\nid\n0\n6\n7\n0\n"));
  EXPECT_EQ(fs::read_symlink(st.folder / "COM5"), st.folder / "radio");
  EXPECT_EQ(readFile(st.folder / "korvel.cfg"), testing::sampleConfig(5, 0, 1, "7", 4800));
  EXPECT_EQ(readFile(st.folder / "korvel.cfg.bak"), config);
  kill(silent.pid(), SIGCONT);

  ASSERT_TRUE(st.startKorvel());
  EXPECT_TRUE(waitFor(st.folder / "transcript.txt", [](const std::string& s) { return has(s, "connected\n"); }, 60s))
      << st.transcript() << readFile(st.folder / "korvel.out");
  EXPECT_TRUE(has(st.debugLog(), "RX=ID0670;")) << st.debugLog();
  EXPECT_EQ(st.korvel.stop(SIGTERM, 10s), 0);
}

// A radio on 38400 baud that answers half a second late (a serial line carried over a network): its
// answer arrives while the search asks at the next speed, where a second question goes unanswered.
// The search finds it at its own speed and writes that speed (before, it wrote the next one's).
TEST(FindRadioEndToEnd, ALateAnswerIsCreditedToTheSpeedItWasAskedAt) {
  LiveStation st(761);
  st.sim.stop(SIGTERM, 5s);
  const std::string config = testing::sampleConfig(5, 0, 1, "7", 38400);
  std::ofstream(st.folder / "korvel.cfg", std::ios::binary) << config;
  Child radio;
  ASSERT_TRUE(startSim(radio, st.folder, {"--model", "761", "--speed", "38400", "--reply-delay", "500"}, "radio"));
  for (const char* run : {"find.out"}) {
    Child find;
    ASSERT_TRUE(find.start(KORVEL_EXE, {"--find-radio", "radio", "--write"}, st.folder, {{"SDL_AUDIODRIVER", "dummy"}},
                           st.folder / run));
    EXPECT_EQ(find.wait(60s), 0);
    const std::string out = readFile(st.folder / run);
    EXPECT_TRUE(has(out, "Found FTDX10 (ID 0761) on radio (/dev/pts/")) << out;
    EXPECT_TRUE(has(out, ") at 38400 baud.\n")) << out;
    EXPECT_EQ(readFile(st.folder / "korvel.cfg"), config) << run;
  }
}

// A Kenwood TS-2000 on a pseudo-terminal: it answers "ID;" with its ID, "ID019;", at any speed.
class FakeKenwood {
 public:
  explicit FakeKenwood(const fs::path& link) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    const std::string device = ptsname(master_);
    slave_ = open(device.c_str(), O_RDWR | O_NOCTTY);  // held open, so the line stays up between opens
    termios raw{};
    tcgetattr(slave_, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave_, TCSANOW, &raw);
    fs::create_symlink(device, link);
    answering_ = std::thread([this] { answer(); });
  }
  ~FakeKenwood() {
    stop_ = true;
    if (answering_.joinable()) answering_.join();
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
  }
  bool ready() const { return answering_.joinable(); }

 private:
  void answer() {
    std::string heard;
    while (!stop_) {
      pollfd in{master_, POLLIN, 0};
      if (poll(&in, 1, 50) <= 0) continue;
      char bytes[256];
      const ssize_t n = read(master_, bytes, sizeof bytes);
      if (n <= 0) continue;
      heard.append(bytes, static_cast<std::size_t>(n));
      for (auto end = heard.find(';'); end != std::string::npos; end = heard.find(';')) {
        if (heard.compare(0, end, "ID") == 0 || heard.substr(0, end).ends_with("ID")) (void)!write(master_, "ID019;", 6);
        heard.erase(0, end + 1);
      }
      if (heard.size() > 64) heard.erase(0, heard.size() - 8);  // a backend's binary questions
    }
  }
  int master_ = -1;
  int slave_ = -1;
  std::atomic<bool> stop_ = false;
  std::thread answering_;
};

// A radio that is no Yaesu (its ID names none): Hamlib's probe finds it, and --write names it in
// korvel.options.
TEST(FindRadioEndToEnd, AKenwoodIsFoundThroughHamlibsProbeAndWrittenToTheOptions) {
  LiveStation st(761);
  st.sim.stop(SIGTERM, 5s);
  FakeKenwood radio(st.folder / "kenwood");
  ASSERT_TRUE(radio.ready());
  Child find;
  ASSERT_TRUE(find.start(KORVEL_EXE, {"--find-radio", "kenwood", "--write", "--transcript=find.txt"}, st.folder,
                         {{"SDL_AUDIODRIVER", "dummy"}}, st.folder / "find.out"));
  EXPECT_EQ(find.wait(60s), 0);
  const std::string out = readFile(st.folder / "find.out");
  EXPECT_TRUE(has(out, "Found Kenwood TS-2000 (Hamlib model 2014) on kenwood (/dev/pts/")) << out;
  EXPECT_TRUE(has(out, ") at 38400 baud.\nkorvel.options now names Hamlib model 2014 on kenwood at 38400 baud.\n")) << out;
  EXPECT_TRUE(has(readFile(st.folder / "find.txt"), "letter-t\nletter-s\n2\n0\n0\n0\nport\n")) << readFile(st.folder / "find.txt");
  EXPECT_EQ(readFile(st.folder / "korvel.options"), "--hamlib-model=2014\n--hamlib-port=kenwood\n--hamlib-speed=38400\n");
}

}  // namespace
}  // namespace korvel::e2e
