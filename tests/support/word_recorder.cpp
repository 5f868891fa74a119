#include "word_recorder.h"

#include <algorithm>

namespace korvel::testing {

bool WordRecorder::play(const std::filesystem::path& file, const platform::Pace& pace) {
  if (!std::filesystem::is_regular_file(file)) return false;
  background.clear();
  const std::string name = file.stem().string();
  words.push_back(name);
  speeds.push_back(pace.speedPercent);
  if (onWord) onWord(name);
  if (pace.giveWay && pace.giveWay()) {
    ++cut;
    return true;
  }
  const auto it = durationMs.find(name);
  int left = it != durationMs.end() ? it->second : defaultDurationMs;
  do {
    const int step = std::min(left, platform::kMeanwhileLookMs);
    elapsedMs += step;
    left -= step;
    if (pace.meanwhile) pace.meanwhile();
    if (whilePlaying) whilePlaying(elapsedMs);
  } while (left > 0);
  return true;
}

bool WordRecorder::playAsync(const std::filesystem::path& file, const platform::Pace& pace) {
  if (!std::filesystem::is_regular_file(file)) return false;
  const std::string name = file.stem().string();
  words.push_back(name);
  speeds.push_back(pace.speedPercent);
  background = name;
  return true;
}

void WordRecorder::stop() {
  background.clear();
  ++stops;
}

}  // namespace korvel::testing
