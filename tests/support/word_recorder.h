// Test double for sound output: records every file played instead of playing it.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/sound_output.h"

namespace korvel::testing {

class WordRecorder : public platform::SoundOutput {
 public:
  bool play(const std::filesystem::path& file, const platform::Pace& pace = {}) override;
  bool playAsync(const std::filesystem::path& file, const platform::Pace& pace = {}) override;
  void stop() override;

  // File names (without folder and ".wav") in the order played, blocking and background alike.
  std::vector<std::string> words;
  // The speech rate each of those words was asked at, in the same order.
  std::vector<int> speeds;
  // The background word still "playing", empty when none or cut.
  std::string background;
  int stops = 0;
  // Called as each word starts (the test's way to press a key in the middle of a phrase).
  std::function<void(const std::string&)> onWord;
  // Blocking words cut short because a key was waiting.
  int cut = 0;
  // Simulated playing time per word (file stem), added to elapsedMs on every blocking play, in
  // steps of platform::kMeanwhileLookMs with the station served (pace.meanwhile) at each; a word
  // of no length serves it once. Words not in the map take defaultDurationMs.
  std::map<std::string, int> durationMs;
  int defaultDurationMs = 0;
  long long elapsedMs = 0;
  // Called after each serving of the station while a word plays, with elapsedMs.
  std::function<void(long long)> whilePlaying;
};

}  // namespace korvel::testing
