// The system's speech: one message of text spoken by the operator's own synthesizer, in their voice,
// rate and language. The word files are the other way Korvel speaks (SoundOutput).
#pragma once

#include <string>

#include "platform/sound_output.h"

namespace korvel::platform {

class SpeechOutput {
 public:
  virtual ~SpeechOutput() = default;
  // Speaks the message and returns when the synthesizer says it has been spoken, serving
  // pace.meanwhile every kMeanwhileLookMs while it waits. pace.giveWay true cancels the message in
  // the synthesizer and returns at once; pace.speedPercent does not apply (the operator's rate does).
  // False when the synthesizer could not take the message.
  virtual bool speak(const std::string& text, const Pace& pace) = 0;
  // Starts the message and returns at once; the next message cancels it.
  virtual bool speakAsync(const std::string& text) = 0;
  // Cancels whatever is being spoken.
  virtual void cancel() = 0;
};

}  // namespace korvel::platform
