#include "e2e_support.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "station.h"

namespace korvel::e2e {

Child::~Child() {
  if (pid_ > 0) stop(SIGKILL, std::chrono::milliseconds(2000));
}

bool Child::start(const std::string& program, const std::vector<std::string>& args,
                  const std::filesystem::path& folder, const std::map<std::string, std::string>& env,
                  const std::filesystem::path& output) {
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
      dup2(fd, 1);
      dup2(fd, 2);
      close(fd);
    }
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  pid_ = pid;
  return true;
}

int Child::wait(std::chrono::milliseconds timeout) {
  if (pid_ <= 0) return status_;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      pid_ = -1;
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      return status_;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

int Child::stop(int signal, std::chrono::milliseconds timeout) {
  if (pid_ <= 0) return status_;
  kill(pid_, signal);
  const int code = wait(timeout);
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    return -1;
  }
  return code;
}

bool Child::running() {
  if (pid_ <= 0) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) {
    pid_ = -1;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return false;
  }
  return true;
}

std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

bool waitFor(const std::filesystem::path& file, const std::function<bool(const std::string&)>& predicate,
             std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (predicate(readFile(file))) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return predicate(readFile(file));
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  return out;
}

LiveStation::LiveStation(int model, const std::string& config, std::vector<std::string> simArgs)
    : model_(model), simArgs_(std::move(simArgs)) {
  std::ofstream(folder / "korvel.cfg", std::ios::binary) << (config.empty() ? testing::sampleConfig() : config);
  std::filesystem::create_directory_symlink(KORVEL_WAVE_DIR, folder / "wave");
  simReady_ = startSim();
}

bool LiveStation::startSim() {
  // The words of a simulator that ran before must not be taken for this one's.
  std::filesystem::remove(folder / "sim.out");
  std::vector<std::string> args{"--model", std::to_string(model_), "--link", "COM5", "--reply-delay-ms", "5"};
  args.insert(args.end(), simArgs_.begin(), simArgs_.end());
  sim.start(KORVEL_SIM_EXE, args, folder, {}, folder / "sim.out");
  return waitFor(folder / "sim.out", [](const std::string& s) { return s.find("COM5") != std::string::npos; },
                 std::chrono::seconds(10)) &&
         std::filesystem::exists(folder / "COM5");
}

LiveStation::~LiveStation() {
  korvel.stop(SIGKILL, std::chrono::milliseconds(2000));
  sim.stop(SIGTERM, std::chrono::milliseconds(2000));
}

bool LiveStation::startKorvel(const std::map<std::string, std::string>& extraEnv) {
  std::map<std::string, std::string> env{{"SDL_VIDEODRIVER", "dummy"}, {"SDL_AUDIODRIVER", "dummy"}};
  for (const auto& [k, v] : extraEnv) env[k] = v;
  return korvel.start(KORVEL_EXE, {"--transcript=transcript.txt"}, folder, env, folder / "korvel.out");
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

VirtualDisplay::VirtualDisplay() {
  using namespace std::chrono_literals;
  // Xvfb takes the first display number free and prints it on its standard output (here the file
  // xvfb.out, with anything it says): no other X server started beside this one can take the same.
  const auto out = folder_ / "xvfb.out";
  if (!server_.start("/usr/bin/Xvfb", {"-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"}, folder_,
                     {}, out)) {
    return;
  }
  std::string number;
  ready_ = waitFor(out,
                   [&](const std::string& s) {
                     for (const std::string& line : lines(s)) {
                       if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos) {
                         number = line;
                         return true;
                       }
                     }
                     return false;
                   },
                   10s);
  if (ready_) name_ = ":" + number;
}

VirtualDisplay::~VirtualDisplay() {
  using namespace std::chrono_literals;
  server_.stop(SIGTERM, 5s);
}

std::string run(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
    pclose(pipe);
  }
  return out;
}

Terminal::Terminal(const std::filesystem::path& folder, const std::string& command)
    // A tmux server of its own, so that two terminals of one test do not meet.
    : tmux_("tmux -f /dev/null -L korvel-e2e-" + std::to_string(getpid()) + "-" +
            std::to_string(reinterpret_cast<std::uintptr_t>(this)) + " ") {
  run(tmux_ + "new-session -d -s panel -x 100 -y 10 -c " + folder.string() + " '" + command + "' 2>&1");
}

Terminal::~Terminal() { run(tmux_ + "kill-server 2>/dev/null"); }

void Terminal::type(const std::string& keys) { run(tmux_ + "send-keys -t panel " + keys); }

std::string Terminal::screen() { return run(tmux_ + "capture-pane -p -t panel"); }

}  // namespace korvel::e2e
