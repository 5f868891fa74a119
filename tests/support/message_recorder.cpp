#include "message_recorder.h"

#include <algorithm>

namespace korvel::testing {

bool MessageRecorder::speak(const std::string& text, const platform::Pace& pace) {
  if (!reachable) return false;
  messages.push_back(text);
  if (onMessage) onMessage(text);
  int left = durationMs;
  do {
    if (pace.giveWay && pace.giveWay()) {
      ++cancels;
      return true;
    }
    if (pace.meanwhile) pace.meanwhile();
    left -= platform::kMeanwhileLookMs;
  } while (left > 0);
  return true;
}

bool MessageRecorder::speakAsync(const std::string& text) {
  if (!reachable) return false;
  messages.push_back(text);
  return true;
}

}  // namespace korvel::testing
