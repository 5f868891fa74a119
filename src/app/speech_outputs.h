// The ways Korvel speaks and shows, chosen by the options: the system's speech in place of the word
// files, and the braille display beside the window.
#pragma once

#include <memory>
#include <ostream>

#include "platform/speech_output.h"
#include "platform/window_system.h"

namespace korvel::app {

// The system's speech of this computer (on Windows the screen reader that runs, through the
// window's UI Automation events, else SAPI); null, after one line on err, when there is none to
// reach (Korvel then speaks with the word files).
std::unique_ptr<platform::SpeechOutput> openSystemSpeech(platform::WindowSystem& window, std::ostream& err);

// The braille display beside the window: a front end that wraps it; null, after one line on err,
// when BRLTTY cannot be reached (Korvel runs on without it).
class BrailleFrontEnd {
 public:
  virtual ~BrailleFrontEnd() = default;
  virtual platform::WindowSystem& window() = 0;
  virtual void announce(const std::string& text) = 0;
};
std::unique_ptr<BrailleFrontEnd> openBraille(platform::WindowSystem& window, std::ostream& err);

}  // namespace korvel::app
