// Helpers of the response benchmark: a station folder with the simulated transceiver, child
// processes, a thread's processor time and switches from /proc, and order statistics.
#pragma once

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace korvel::bench {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

inline double msBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

inline std::string readText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

// Waits until the file holds the text, up to the timeout.
inline bool waitForText(const fs::path& file, const std::string& text, std::chrono::milliseconds timeout) {
  const auto until = Clock::now() + timeout;
  while (Clock::now() < until) {
    if (readText(file).find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// A child process with its own folder, extra environment and output file; stopped when destroyed.
class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() { stop(SIGKILL); }

  bool start(const std::string& program, const std::vector<std::string>& args, const fs::path& folder,
             const std::map<std::string, std::string>& env, const fs::path& output) {
    std::fflush(nullptr);  // or the child prints what this process had buffered
    pid_ = fork();
    if (pid_ < 0) return false;
    if (pid_ == 0) {
      if (chdir(folder.c_str()) != 0) _exit(127);
      for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
      if (!output.empty()) {
        if (std::FILE* out = std::freopen(output.c_str(), "w", stdout)) dup2(fileno(out), STDERR_FILENO);
      }
      std::vector<char*> argv{const_cast<char*>(program.c_str())};
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    return true;
  }
  // Sends the signal and waits (up to 10 s) for the exit; the exit code, -1 if none.
  int stop(int signal) {
    if (pid_ <= 0) return -1;
    kill(pid_, signal);
    return wait(std::chrono::seconds(10));
  }
  int wait(std::chrono::milliseconds timeout) {
    if (pid_ <= 0) return -1;
    const auto until = Clock::now() + timeout;
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (Clock::now() >= until) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

// A temporary station folder: the sample configuration, the rendered voice and korvel-sim on COM5.
class BenchStation {
 public:
  BenchStation(const fs::path& sampleConfig, const fs::path& waveFolder, const std::string& simExe,
               const std::vector<std::string>& simArgs = {}) {
    std::string pattern = (fs::temp_directory_path() / "korvel-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;
    folder = pattern;
    std::error_code ec;
    fs::copy_file(sampleConfig, folder / "korvel.cfg", ec);
    fs::create_directory_symlink(waveFolder, folder / "wave", ec);
    std::vector<std::string> args{"--link", "COM5"};
    args.insert(args.end(), simArgs.begin(), simArgs.end());
    sim.start(simExe, args, folder, {}, folder / "sim.out");
    ready_ = waitForText(folder / "sim.out", "COM5", std::chrono::seconds(10)) && fs::exists(folder / "COM5");
  }
  ~BenchStation() {
    sim.stop(SIGTERM);
    std::error_code ec;
    if (!folder.empty() && std::getenv("KORVEL_BENCH_KEEP") == nullptr) fs::remove_all(folder, ec);
  }
  bool ready() const { return ready_; }

  fs::path folder;
  ChildProcess sim;

 private:
  bool ready_ = false;
};

// One thread's processor time (ns, from the scheduler's own accounting) and its context switches.
struct ThreadCost {
  std::string name;
  long long cpuNs = 0;
  long long switches = 0;
};

// Every thread of a process by thread id; "self" for this process.
inline std::map<int, ThreadCost> threadCosts(const std::string& pid) {
  std::map<int, ThreadCost> out;
  std::error_code ec;
  for (const auto& task : fs::directory_iterator("/proc/" + pid + "/task", ec)) {
    ThreadCost cost;
    std::ifstream(task.path() / "comm") >> cost.name;
    std::ifstream(task.path() / "schedstat") >> cost.cpuNs;
    std::istringstream status(readText(task.path() / "status"));
    std::string line;
    while (std::getline(status, line)) {
      if (line.find("ctxt_switches:") != std::string::npos) cost.switches += std::atoll(line.c_str() + line.find(':') + 1);
    }
    out[std::atoi(task.path().filename().c_str())] = cost;
  }
  return out;
}

// A field of /proc/<pid>/status in kB ("VmHWM:"), -1 when absent.
inline long statusKb(const std::string& pid, const std::string& field) {
  std::istringstream status(readText("/proc/" + pid + "/status"));
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + field.size());
  }
  return -1;
}

struct Spread {
  std::size_t count = 0;
  double min = 0, median = 0, p99 = 0, max = 0;
};

// Nearest-rank order statistics.
inline Spread spreadOf(std::vector<double> values) {
  Spread s;
  s.count = values.size();
  if (values.empty()) return s;
  std::sort(values.begin(), values.end());
  const auto rank = [&](double q) {
    const auto i = static_cast<std::size_t>(std::max(1.0, q * static_cast<double>(values.size()) + 0.999999));
    return values[std::min(values.size(), i) - 1];
  };
  s.min = values.front();
  s.median = rank(0.5);
  s.p99 = rank(0.99);
  s.max = values.back();
  return s;
}

inline void printSpread(const char* label, const Spread& s) {
  std::printf("%-34s median %6.1f  p99 %6.1f  min %6.1f  max %6.1f ms  (%zu)\n", label, s.median, s.p99, s.min,
              s.max, s.count);
}

}  // namespace korvel::bench
