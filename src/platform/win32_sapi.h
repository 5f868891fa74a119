// The system's speech on Windows: SAPI 5's voice (the one the operator chose in the Speech
// settings, at their rate) through COM.
#pragma once

#include <memory>
#include <string>

#include "platform/speech_output.h"

struct ISpVoice;

namespace korvel::platform {

class SapiSpeechOutput : public SpeechOutput {
 public:
  // The default SAPI voice; null, with why, when COM or SAPI cannot give one.
  static std::unique_ptr<SapiSpeechOutput> connect(std::string& why);
  ~SapiSpeechOutput() override;
  SapiSpeechOutput(const SapiSpeechOutput&) = delete;
  SapiSpeechOutput& operator=(const SapiSpeechOutput&) = delete;

  bool speak(const std::string& text, const Pace& pace) override;
  bool speakAsync(const std::string& text) override;
  void cancel() override;

 private:
  SapiSpeechOutput(ISpVoice* voice, bool comStarted) : voice_(voice), comStarted_(comStarted) {}
  bool say(const std::string& text);

  ISpVoice* voice_;
  bool comStarted_;
};

}  // namespace korvel::platform
