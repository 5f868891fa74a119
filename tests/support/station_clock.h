// A test's own time for the radio link: the words' simulated playing time and the time the test
// has passed on (timer ticks); a wait moves it on at once.
#pragma once

#include "platform/clock.h"
#include "word_recorder.h"

namespace korvel::testing {

// The station's own time: the words' simulated playing time and the timer's ticks; a wait moves it on.
class StationClock : public platform::Clock {
 public:
  explicit StationClock(const WordRecorder& sound) : sound_(sound) {}
  long long nowMs() override { return sound_.elapsedMs + passedMs; }
  void sleepMs(int ms) override { passedMs += ms; }
  long long passedMs = 0;

 private:
  const WordRecorder& sound_;
};

}  // namespace korvel::testing
