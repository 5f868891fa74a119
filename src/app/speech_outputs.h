// The ways Korvel speaks and shows, chosen by the options: the system's speech in place of the word
// files, and the braille display beside the window.
#pragma once

#include <memory>
#include <ostream>

#include "platform/speech_output.h"

namespace korvel::app {

// The system's speech of this computer; null, after one line on err, when there is none to reach
// (Korvel then speaks with the word files).
std::unique_ptr<platform::SpeechOutput> openSystemSpeech(std::ostream& err);

}  // namespace korvel::app
