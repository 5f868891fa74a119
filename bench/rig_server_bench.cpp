// The rig server against rigctld: the command loop WSJT-X and JTDX poll with (v, f, m, t, s), N rounds,
// one client and then four at once, query-to-answer time per command: Korvel's server (korvel and
// korvel-sim), and rigctld -m 1042 talking straight to a korvel-sim of its own, in the same run.
// Then Korvel's processor time while four clients poll once a second, and with none. Run it from
// the build folder (needs rigctld, libhamlib-utils):
//   ./rig_server_bench [rounds]     (default 1000)
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "bench_support.h"
#include "loopback_client.h"

namespace {

using namespace korvel::bench;
using namespace std::chrono_literals;

constexpr const char* kCommands[] = {"v", "f", "m", "t", "s"};
constexpr int kAnswerLines[] = {1, 1, 2, 1, 2};
constexpr int kKorvelPort = 45811;
constexpr int kRigctldPort = 45812;

// Sends the command and reads its lines; the time it took in ms.
double timedAsk(korvel::testing::LoopbackClient& c, const char* command, int lines) {
  const auto start = Clock::now();
  c.ask(command, lines);
  return msBetween(start, Clock::now());
}

using Times = std::vector<std::vector<double>>;  // per command

void loop(int port, int rounds, Times& times, std::chrono::milliseconds pause = 0ms) {
  korvel::testing::LoopbackClient c(port, 10s);
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t k = 0; k < std::size(kCommands); ++k) times[k].push_back(timedAsk(c, kCommands[k], kAnswerLines[k]));
    if (pause > 0ms) std::this_thread::sleep_for(pause);
  }
}

// Each of `clients` runs the loop at once; every answer time, per command.
Times run(int port, int clients, int rounds) {
  std::vector<Times> each(static_cast<std::size_t>(clients), Times(std::size(kCommands)));
  std::vector<std::thread> threads;
  for (auto& t : each) threads.emplace_back([&t, port, rounds] { loop(port, rounds, t); });
  for (auto& t : threads) t.join();
  Times all(std::size(kCommands));
  for (const auto& t : each) {
    for (std::size_t k = 0; k < all.size(); ++k) all[k].insert(all[k].end(), t[k].begin(), t[k].end());
  }
  return all;
}

void report(const char* what, const Times& korvel, const Times& rigctld) {
  std::printf("\n%s\n", what);
  for (std::size_t k = 0; k < std::size(kCommands); ++k) {
    const Spread a = spreadOf(korvel[k]);
    const Spread b = spreadOf(rigctld[k]);
    std::printf("  %s  Korvel median %6.2f p99 %6.2f ms | rigctld median %6.2f p99 %6.2f ms | ratio %5.2f\n",
                kCommands[k], a.median, a.p99, b.median, b.p99, a.median > 0 ? b.median / a.median : 0.0);
  }
}

// The process's processor time (the scheduler's own accounting, every thread). rigctld serves each
// client in a thread of its own, so the clients stay connected until it has been read.
double cpuMs(pid_t pid) {
  long long ns = 0;
  for (const auto& [tid, cost] : threadCosts(std::to_string(pid))) ns += cost.cpuNs;
  return static_cast<double>(ns) / 1e6;
}

// Processor time of a process over a span, in per cent of one core, with `clients` polling once a second.
double idleLoad(pid_t pid, int port, int clients, std::chrono::seconds span) {
  const double before = cpuMs(pid);
  const auto start = Clock::now();
  std::atomic<int> finished{0};
  std::atomic<bool> measured{false};
  std::vector<std::thread> threads;
  for (int i = 0; i < clients; ++i) {
    threads.emplace_back([&] {
      korvel::testing::LoopbackClient c(port, 10s);
      Times t(std::size(kCommands));
      for (int round = 0; round < static_cast<int>(span.count()); ++round) {
        for (std::size_t k = 0; k < std::size(kCommands); ++k) t[k].push_back(timedAsk(c, kCommands[k], kAnswerLines[k]));
        std::this_thread::sleep_for(1s);
      }
      ++finished;
      while (!measured) std::this_thread::sleep_for(10ms);
    });
  }
  if (clients == 0) std::this_thread::sleep_for(span);
  while (finished < clients) std::this_thread::sleep_for(10ms);
  const double load = 100.0 * (cpuMs(pid) - before) / msBetween(start, Clock::now());
  measured = true;
  for (auto& t : threads) t.join();
  return load;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 1000;
  const fs::path here = fs::current_path();
  BenchStation korvelStation(here / ".." / "korvel.cfg.example", here / "wave", (here / "korvel-sim").string());
  BenchStation rigctldStation(here / ".." / "korvel.cfg.example", here / "wave", (here / "korvel-sim").string());
  if (!korvelStation.ready() || !rigctldStation.ready()) {
    std::fprintf(stderr, "korvel-sim did not start (run from the build folder)\n");
    return 1;
  }
  std::ofstream(korvelStation.folder / "korvel.options") << "--rig-server=127.0.0.1:" << kKorvelPort << "\n";
  ChildProcess korvel;
  korvel.start((here / "korvel").string(), {"--transcript=transcript.txt"}, korvelStation.folder,
               {{"SDL_VIDEODRIVER", "dummy"}, {"SDL_AUDIODRIVER", "dummy"}}, korvelStation.folder / "korvel.out");
  ChildProcess rigctld;
  rigctld.start("/usr/bin/rigctld",
                {"-m", "1042", "-r", (rigctldStation.folder / "COM5").string(), "-s", "38400", "-T", "127.0.0.1", "-t",
                 std::to_string(kRigctldPort)},
                rigctldStation.folder, {}, rigctldStation.folder / "rigctld.out");
  // Measured once the start-up words have ended: while Korvel speaks, a client is served between
  // the sound device's looks (every 5 ms), which is another figure (speaking_station_bench).
  if (!waitForText(korvelStation.folder / "debug.dat", "TX=BI;", 60s) ||
      !waitForText(korvelStation.folder / "transcript.txt", "connected\n", 60s)) {
    std::fprintf(stderr, "Korvel did not connect\n");
    return 1;
  }
  std::this_thread::sleep_for(1s);
  std::printf("rig server bench: %d rounds of v f m t s per client\n", rounds);
  {
    const Times k = run(kKorvelPort, 1, rounds);
    const Times r = run(kRigctldPort, 1, rounds);
    report("one client", k, r);
  }
  {
    const Times k = run(kKorvelPort, 4, rounds);
    const Times r = run(kRigctldPort, 4, rounds);
    report("four clients at once", k, r);
  }
  constexpr auto kSpan = 30s;
  std::printf("\nprocessor time over %lld s (per cent of one core)\n", static_cast<long long>(kSpan.count()));
  std::printf("  Korvel, no client:                      %5.2f %%\n", idleLoad(korvel.pid(), kKorvelPort, 0, kSpan));
  std::printf("  Korvel, four clients polling once a second: %5.2f %%\n", idleLoad(korvel.pid(), kKorvelPort, 4, kSpan));
  std::printf("  rigctld, four clients polling once a second: %5.2f %%\n",
              idleLoad(rigctld.pid(), kRigctldPort, 4, kSpan));
  korvel.stop(SIGTERM);
  rigctld.stop(SIGTERM);
  return 0;
}
