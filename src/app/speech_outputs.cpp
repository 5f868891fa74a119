#include "app/speech_outputs.h"

#ifdef _WIN32
#include "platform/win32_sapi.h"
#include "platform/win32_screen_reader.h"
#else
#include <csignal>

#include "platform/brlapi_display.h"
#include "platform/speech_dispatcher.h"
#endif

namespace korvel::app {

std::unique_ptr<platform::SpeechOutput> openSystemSpeech(platform::WindowSystem& window, std::ostream& err) {
#ifdef _WIN32
  std::string why;
  if (auto* win32 = dynamic_cast<platform::Win32WindowSystem*>(&window)) {
    if (auto reader = platform::ScreenReaderOutput::connect(*win32, why)) return reader;
  }
  auto output = platform::SapiSpeechOutput::connect(why);
  if (output == nullptr) err << "korvel: --speech=system: " << why << "; speaking with the word files\n";
  return output;
#else
  (void)window;
  // A speech-dispatcher that goes away mid-run must not end the program as its socket breaks: the
  // write just fails, and the word files speak.
  std::signal(SIGPIPE, SIG_IGN);
  std::string why;
  auto output = platform::SpeechDispatcherOutput::connect(why);
  if (output == nullptr) {
    err << "korvel: --speech=system: speech-dispatcher cannot be reached (" << why
        << "); speaking with the word files\n";
  }
  return output;
#endif
}

#ifndef _WIN32
namespace {

class BrlapiFrontEnd : public BrailleFrontEnd {
 public:
  explicit BrlapiFrontEnd(std::unique_ptr<platform::BrailleWindow> window) : window_(std::move(window)) {}
  platform::WindowSystem& window() override { return *window_; }
  void announce(const std::string& text) override { window_->announce(text); }

 private:
  std::unique_ptr<platform::BrailleWindow> window_;
};

}  // namespace
#endif

std::unique_ptr<BrailleFrontEnd> openBraille(platform::WindowSystem& window, std::ostream& err) {
#ifdef _WIN32
  (void)window;
  err << "korvel: --braille: no braille display on this build; running on without it\n";
  return nullptr;
#else
  std::string why;
  auto braille = platform::BrailleWindow::connect(window, why);
  if (braille == nullptr) {
    err << "korvel: --braille: BRLTTY cannot be reached (" << why << "); running on without the braille display\n";
    return nullptr;
  }
  return std::make_unique<BrlapiFrontEnd>(std::move(braille));
#endif
}

}  // namespace korvel::app
