// Test double for the system's speech: records every message instead of speaking it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/speech_output.h"

namespace korvel::testing {

class MessageRecorder : public platform::SpeechOutput {
 public:
  bool speak(const std::string& text, const platform::Pace& pace) override;
  bool speakAsync(const std::string& text) override;
  void cancel() override { ++cancels; }

  // Messages in the order given, blocking and background alike.
  std::vector<std::string> messages;
  // Messages cancelled because a key was waiting, or by cancel().
  int cancels = 0;
  // Called as each message starts (the test's way to press a key in the middle of it).
  std::function<void(const std::string&)> onMessage;
  // Simulated speaking time of every message, served in steps of platform::kMeanwhileLookMs.
  int durationMs = 0;
  // False: the synthesizer has gone away and takes no message.
  bool reachable = true;
};

}  // namespace korvel::testing
