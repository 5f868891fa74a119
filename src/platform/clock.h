// The time the radio link keeps its deadlines by: milliseconds from any fixed start, and a short
// wait. The program runs on the machine's steady clock; a test runs on a clock it moves itself.
#pragma once

#include <chrono>
#include <thread>

namespace korvel::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual long long nowMs() = 0;
  // Waits about ms milliseconds.
  virtual void sleepMs(int ms) = 0;
};

class SteadyClock : public Clock {
 public:
  long long nowMs() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  void sleepMs(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

}  // namespace korvel::platform
