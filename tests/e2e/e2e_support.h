// Running the real programs for end-to-end tests: a station folder, child processes with their
// own environment, and waiting for files to say what we expect.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace korvel::e2e {

class Child {
 public:
  Child() = default;
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child();
  // Starts program with args in folder; stdout and stderr go to the given file.
  bool start(const std::string& program, const std::vector<std::string>& args, const std::filesystem::path& folder,
             const std::map<std::string, std::string>& env, const std::filesystem::path& output);
  // Sends the signal and waits up to timeout for the exit; returns the exit code (-1 on timeout or crash).
  int stop(int signal, std::chrono::milliseconds timeout);
  // Waits for the child to end by itself; -1 on timeout.
  int wait(std::chrono::milliseconds timeout);
  bool running();
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
};

std::string readFile(const std::filesystem::path& file);
// Polls until predicate(file contents) holds or the timeout passes.
bool waitFor(const std::filesystem::path& file, const std::function<bool(const std::string&)>& predicate,
             std::chrono::milliseconds timeout);
std::vector<std::string> lines(const std::string& text);

// A temporary station folder with korvel.cfg, the rendered wave folder linked in, and the
// simulated transceiver running on COM5.
class LiveStation {
 public:
  // simArgs: more of korvel-sim's options (--digits 8).
  explicit LiveStation(int model, const std::string& config = "", std::vector<std::string> simArgs = {});
  ~LiveStation();
  bool simReady() const { return simReady_; }
  // Starts the simulator on COM5 (again, after it was stopped); true once its link is there.
  bool startSim();
  // Starts korvel here with a transcript file; extraEnv adds to SDL's dummy drivers.
  bool startKorvel(const std::map<std::string, std::string>& extraEnv = {});
  std::string transcript() const { return readFile(folder / "transcript.txt"); }
  std::string debugLog() const { return readFile(folder / "debug.dat"); }

  testing::TempFolder home{"korvel-e2e"};
  std::filesystem::path folder = home.path();
  Child sim;
  Child korvel;

 private:
  int model_;
  std::vector<std::string> simArgs_;
  bool simReady_ = false;
};

// Runs a shell command and gives what it printed.
std::string run(const std::string& command);
// Whether a text holds a part.
bool has(const std::string& text, const std::string& part);

// An X server of our own, on a display number it picks itself among those free.
class VirtualDisplay {
 public:
  VirtualDisplay();
  ~VirtualDisplay();
  bool ready() const { return ready_; }
  const std::string& name() const { return name_; }

 private:
  std::string name_;
  korvel::testing::TempFolder folder_{"korvel-xvfb"};
  Child server_;
  bool ready_ = false;
};

// A tmux server of our own, with one terminal running a shell command in the station folder.
class Terminal {
 public:
  Terminal(const std::filesystem::path& folder, const std::string& command);
  ~Terminal();
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;
  void type(const std::string& keys);
  std::string screen();

 private:
  std::string tmux_;
};

}  // namespace korvel::e2e
