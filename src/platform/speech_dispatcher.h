// The system's speech on Linux: speech-dispatcher through libspeechd, the service Orca speaks
// through, with the operator's own synthesizer, voice, rate and language.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include <libspeechd.h>

#include "platform/speech_output.h"

namespace korvel::platform {

class SpeechDispatcherOutput : public SpeechOutput {
 public:
  // Connects to the user's speech-dispatcher (SPEECHD_ADDRESS when it is set, else the user's own
  // socket, started when it is not running); null, with why, when there is none to reach.
  static std::unique_ptr<SpeechDispatcherOutput> connect(std::string& why);
  ~SpeechDispatcherOutput() override;
  SpeechDispatcherOutput(const SpeechDispatcherOutput&) = delete;
  SpeechDispatcherOutput& operator=(const SpeechDispatcherOutput&) = delete;

  bool speak(const std::string& text, const Pace& pace) override;
  bool speakAsync(const std::string& text) override;
  void cancel() override;

  // Called on libspeechd's thread when a message has ended or was cancelled.
  void messageDone(std::size_t messageId);

 private:
  explicit SpeechDispatcherOutput(SPDConnection* connection) : connection_(connection) {}
  // Hands the message over (cancelling one still spoken in the background); its id, or -1.
  int say(const std::string& text);

  SPDConnection* connection_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::set<std::size_t> done_;  // ids of messages ended, not yet looked for
  int background_ = -1;         // the message started by speakAsync, while it may still be spoken
};

}  // namespace korvel::platform
