// Pass-through latency: the real korvel and korvel-sim, a socat pty pair on the pass-through port,
// and a client that sends N frequency queries, each after the answer to the last (as Hamlib does):
// once back to back, and once each after a pause that moves it through every moment of Korvel's own
// 100 ms poll cycle (as a logger polling now and then meets it). Prints the median and the 95th
// percentile of query-to-answer time for each, and how many answers were not the radio's frequency
// answer. Needs socat; run it from the build folder:
//   ./relay_latency_bench [queries]     (default 200)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>


namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

pid_t spawn(const fs::path& folder, std::vector<std::string> args, const char* output) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  if (chdir(folder.c_str()) != 0) _exit(127);
  const int out = open(output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  dup2(out, 1);
  dup2(out, 2);
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
}

// The sample configuration with the pass-through port on COM6.
constexpr const char* kConfig =
    "COM=5\r\nSpeed=38400\r\nPower=100\r\nSWR=0\r\nATU=1\r\nBands = 7\r\nOnOff =0\r\nDCS=1\r\n"
    "10m = -100\r\n6m = -500\r\n2m = -600\r\n70cm: -7600\r\nRelay=6\r\nDebug=1\r\n";

std::string readAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

bool waitUntil(const std::function<bool()>& ready, std::chrono::seconds limit) {
  const auto end = Clock::now() + limit;
  while (Clock::now() < end) {
    if (ready()) return true;
    std::this_thread::sleep_for(20ms);
  }
  return false;
}

// One answer: bytes up to and including ";", or empty after a second.
std::string answer(int fd) {
  std::string text;
  const auto end = Clock::now() + 1s;
  while (Clock::now() < end) {
    pollfd pfd{fd, POLLIN, 0};
    if (poll(&pfd, 1, 10) <= 0) continue;
    char c = 0;
    if (read(fd, &c, 1) == 1) {
      text += c;
      if (c == ';') return text;
    }
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  const int queries = argc > 1 ? std::atoi(argv[1]) : 200;
  const fs::path build = fs::canonical("/proc/self/exe").parent_path();
  const fs::path folder = fs::temp_directory_path() / ("korvel-relay-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  fs::create_directory_symlink(build / "wave", folder / "wave");
  std::ofstream(folder / "korvel.cfg", std::ios::binary) << kConfig;

  std::vector<pid_t> children;
  children.push_back(spawn(folder, {(build / "korvel-sim").string(), "--model", "761", "--link", "COM5"}, "sim.out"));
  children.push_back(spawn(folder, {"socat", "pty,raw,echo=0,link=COM6", "pty,raw,echo=0,link=client"}, "socat.out"));
  waitUntil([&] { return fs::exists(folder / "COM5") && fs::exists(folder / "client"); }, 10s);
  children.push_back(spawn(folder, {(build / "korvel").string()}, "korvel.out"));
  const bool ready = waitUntil([&] {
    const std::string log = readAll(folder / "debug.dat");
    const auto end = log.find("TX=BI;");
    return end != std::string::npos && log.find("RX=SM", end) != std::string::npos;
  }, 60s);

  // Pauses of 0, 7, 14, ... 98, 5, 12, ... ms: every millisecond of the poll cycle, in turn.
  constexpr int kCycleMs = 100;
  constexpr int kPauseStrideMs = 7;
  int wrong = 0;
  std::vector<double> ms, spread;
  if (ready) {
    const int fd = open((folder / "client").c_str(), O_RDWR | O_NOCTTY);
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);
    for (int i = 0; i < 2 * queries; ++i) {
      const bool spreading = i >= queries;
      if (spreading) std::this_thread::sleep_for(std::chrono::milliseconds(i * kPauseStrideMs % kCycleMs));
      const auto start = Clock::now();
      if (write(fd, "FA;", 3) != 3) break;
      const std::string reply = answer(fd);
      (spreading ? spread : ms).push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
      if (reply.size() != 12 || reply.rfind("FA", 0) != 0) ++wrong;
    }
    close(fd);
  }
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    kill(*it, SIGTERM);
    waitpid(*it, nullptr, 0);
  }
  fs::remove_all(folder);
  if (ms.empty()) {
    std::fprintf(stderr, "no station came up (is socat installed?)\n");
    return 1;
  }
  const auto report = [](const char* name, std::vector<double>& times) {
    if (times.empty()) return;
    std::sort(times.begin(), times.end());
    std::printf("%-14s queries %zu  median %.1f ms  p95 %.1f ms  max %.1f ms\n", name, times.size(),
                times[times.size() / 2], times[times.size() * 95 / 100], times.back());
  };
  report("back to back", ms);
  report("spread", spread);
  std::printf("not a frequency answer %d\n", wrong);
  return 0;
}
