// The station while Korvel speaks: the real korvel (in a terminal of its own, the word files played
// on SDL's dummy sound device at their real length) and korvel-sim. In each round the operator
// presses F (the frequency announcement, some seconds of words); one rig-server client asks "f"
// every 10 ms throughout, and another keys the transmitter ("T 1") and releases it ("T 0") while the
// words play. Printed: the longest wait of the polling client during the announcements, and the time
// from a client's T 1 or T 0 to the radio's receiving TX1; or TX0; (read from korvel-sim's log).
// Run it from the build folder:
//   ./speaking_station_bench [rounds]     (default 5)
#include <pty.h>

#include <atomic>
#include <thread>

#include "bench_support.h"
#include "loopback_client.h"

namespace {

using namespace korvel::bench;
using namespace std::chrono_literals;

constexpr int kServerPort = 45831;
constexpr auto kPollEvery = 10ms;
constexpr auto kKeyAfter = 600ms;    // into the announcement, the client keys
constexpr auto kReleaseAfter = 1500ms;
constexpr auto kAnnouncement = 4500ms;  // longer than F's words at the recorded pace

// Waits until the simulator's log holds `line` past `from` bytes; the time it took in ms, -1 if never.
double untilLogged(const fs::path& log, std::size_t from, const std::string& line, Clock::time_point since) {
  const auto until = since + 5s;
  while (Clock::now() < until) {
    const std::string text = readText(log);
    if (text.size() > from && text.find(line, from) != std::string::npos) return msBetween(since, Clock::now());
    std::this_thread::sleep_for(1ms);
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
  const fs::path here = fs::current_path();
  BenchStation station(here / ".." / "korvel.cfg.example", here / "wave", (here / "korvel-sim").string(),
                       {"--log", "sim.log"});
  if (!station.ready()) {
    std::fprintf(stderr, "korvel-sim did not start (run from the build folder)\n");
    return 1;
  }
  std::ofstream(station.folder / "korvel.options") << "--rig-server=127.0.0.1:" << kServerPort << "\n--terminal\n";
  int terminal = -1;
  std::fflush(nullptr);
  const pid_t korvel = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (korvel == 0) {
    if (chdir(station.folder.c_str()) != 0) _exit(127);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("DISPLAY");
    const std::string exe = (here / "korvel").string();
    execl(exe.c_str(), exe.c_str(), "--transcript=transcript.txt", static_cast<char*>(nullptr));
    _exit(127);
  }
  // The terminal's output is read away so that korvel never blocks on it.
  std::atomic<bool> done{false};
  std::thread drain([&] {
    char buffer[4096];
    while (!done && read(terminal, buffer, sizeof buffer) > 0) {
    }
  });
  if (!waitForText(station.folder / "debug.dat", "TX=BI;", 60s)) {
    std::fprintf(stderr, "Korvel did not connect\n");
    return 1;
  }
  std::this_thread::sleep_for(2s);

  korvel::testing::LoopbackClient poller(kServerPort, 10s);
  korvel::testing::LoopbackClient keyer(kServerPort, 10s);
  std::vector<double> waits, keyed, released;
  for (int round = 0; round < rounds; ++round) {
    std::atomic<bool> polling{true};
    std::thread poll([&] {
      while (polling) {
        const auto asked = Clock::now();
        poller.ask("f", 1);
        waits.push_back(msBetween(asked, Clock::now()));
        std::this_thread::sleep_for(kPollEvery);
      }
    });
    const auto pressed = Clock::now();
    (void)!write(terminal, "f", 1);
    std::this_thread::sleep_until(pressed + kKeyAfter);
    std::size_t logged = readText(station.folder / "sim.log").size();
    auto sent = Clock::now();
    keyer.send("T 1\n");
    keyed.push_back(untilLogged(station.folder / "sim.log", logged, "in  TX1;", sent));
    std::this_thread::sleep_until(pressed + kReleaseAfter);
    logged = readText(station.folder / "sim.log").size();
    sent = Clock::now();
    keyer.send("T 0\n");
    released.push_back(untilLogged(station.folder / "sim.log", logged, "in  TX0;", sent));
    std::this_thread::sleep_until(pressed + kAnnouncement);
    polling = false;
    poll.join();
  }
  const Spread wait = spreadOf(waits);
  std::printf("speaking station bench: %d rounds of F, a client polling f every 10 ms\n", rounds);
  std::printf("  polling client's wait: median %.2f ms, longest %.2f ms (%zu answers)\n", wait.median, wait.max,
              waits.size());
  const Spread on = spreadOf(keyed);
  const Spread off = spreadOf(released);
  std::printf("  client T 1 to the radio during speech: median %.2f ms, longest %.2f ms\n", on.median, on.max);
  std::printf("  client T 0 to the radio during speech: median %.2f ms, longest %.2f ms\n", off.median, off.max);
  done = true;
  kill(korvel, SIGTERM);
  drain.join();
  waitpid(korvel, nullptr, 0);
  return 0;
}
