// The braille display end to end: a real BRLTTY with its TTY braille driver, whose cells appear as
// text in a terminal of its own (read with tmux), and korvel with --braille against korvel-sim.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <thread>

#include "e2e_support.h"
#include "needed_tools.h"

namespace korvel::e2e {
namespace {

using namespace std::chrono_literals;

// BRLTTY showing a 40-cell display as text in a tmux terminal, its BrlAPI on a server number of
// its own (BRLAPI_HOST=:N) without authorization.
class BrailleService {
 public:
  BrailleService() : tmux_("tmux -f /dev/null -L korvel-braille-" + std::to_string(getpid()) + " ") {
    run(tmux_ + "new-session -d -s cells -x 60 -y 4 'sleep 600' 2>&1");
    const std::string tty = run(tmux_ + "display -p -t cells '#{pane_tty}'");
    host_ = ":" + std::to_string(kFirstServer + getpid() % kServers);
    server_.start("/usr/bin/env",
                  {"brltty", "-n", "-e", "-q", "-b", "tt", "-d", tty.substr(0, tty.find('\n')), "-x", "no", "-s", "no",
                   "-A", "host=" + host_ + ",auth=none", "-f", "/dev/null", "-W", folder_.path().string(), "-P",
                   (folder_.path() / "pid").string()},
                  folder_.path(), {}, folder_.path() / "brltty.out");
    ready_ = waitFor(folder_.path() / "brltty.out", [](const std::string& s) { return has(s, "BrlAPI Server"); }, 10s);
  }
  ~BrailleService() {
    stop();
    run(tmux_ + "kill-server 2>/dev/null");
  }
  bool ready() const { return ready_; }
  void stop() { server_.stop(SIGTERM, 5s); }
  const std::string& host() const { return host_; }
  // The display's cells as text: the first line of the driver's terminal.
  std::string cells() {
    const std::string screen = run(tmux_ + "capture-pane -p -t cells");
    return screen.substr(0, screen.find('\n'));
  }
  // Waits until the display shows a line starting with `start`.
  bool waitForCells(const std::string& start, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
      if (cells().rfind(start, 0) == 0) return true;
      std::this_thread::sleep_for(50ms);
    }
    return false;
  }
  // A key typed on the display's keyboard (the driver's terminal).
  void type(const std::string& key) { run(tmux_ + "send-keys -t cells " + key); }
  std::string log() const { return readFile(folder_.path() / "brltty.out"); }

 private:
  static constexpr int kFirstServer = 40;
  static constexpr int kServers = 50;
  std::string tmux_;
  std::string host_;
  korvel::testing::TempFolder folder_{"korvel-brltty"};
  Child server_;
  bool ready_ = false;
};

TEST(BrailleEndToEnd, TheFrequencyComesFirstAndTheDisplaysKeysAreKorvelsKeys) {
  KORVEL_NEED_TOOLS("tmux", "brltty");
  BrailleService braille;
  ASSERT_TRUE(braille.ready()) << braille.log();
  LiveStation st(761);
  ASSERT_TRUE(st.simReady());
  Terminal terminal(st.folder, "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy BRLAPI_HOST=" +
                                   braille.host() + " " + KORVEL_EXE +
                                   " --transcript=transcript.txt --speech-rate=600 --braille 2> korvel.err; sleep 600");
  ASSERT_TRUE(waitFor(st.folder / "transcript.txt", [](const std::string& s) { return has(s, "connected\n"); }, 60s))
      << terminal.screen() << readFile(st.folder / "korvel.err");
  ASSERT_TRUE(braille.waitForCells("7.100000  LSB", 10s)) << braille.cells() << "\n" << readFile(st.folder / "korvel.err");
  terminal.type("b");
  terminal.type("6");
  // The announcement first, for a few seconds; then the fields, the new frequency first.
  EXPECT_TRUE(braille.waitForCells("twenty metres", 5s)) << braille.cells();
  EXPECT_TRUE(braille.waitForCells("14.200000  USB", 10s)) << braille.cells();
  // M typed on the display's keyboard is the mode key.
  braille.type("m");
  EXPECT_TRUE(waitFor(st.folder / "transcript.txt", [](const std::string& s) { return has(s, "\ncw\n"); }, 10s))
      << st.transcript();
  EXPECT_TRUE(has(st.debugLog(), "TX=MD03;"));
  EXPECT_TRUE(braille.waitForCells("C W", 5s)) << braille.cells();
  // BRLTTY goes away: Korvel runs on with its keyboard.
  braille.stop();
  terminal.type("f");
  EXPECT_TRUE(waitFor(st.folder / "transcript.txt", [](const std::string& s) { return has(s, "mhz\ncw\n"); }, 10s))
      << st.transcript();
}

}  // namespace
}  // namespace korvel::e2e
