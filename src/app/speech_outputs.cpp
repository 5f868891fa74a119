#include "app/speech_outputs.h"

#ifndef _WIN32
#include "platform/speech_dispatcher.h"
#endif

namespace korvel::app {

std::unique_ptr<platform::SpeechOutput> openSystemSpeech(std::ostream& err) {
#ifdef _WIN32
  err << "korvel: --speech=system: no system speech on this build; speaking with the word files\n";
  return nullptr;
#else
  std::string why;
  auto output = platform::SpeechDispatcherOutput::connect(why);
  if (output == nullptr) {
    err << "korvel: --speech=system: speech-dispatcher cannot be reached (" << why
        << "); speaking with the word files\n";
  }
  return output;
#endif
}

}  // namespace korvel::app
