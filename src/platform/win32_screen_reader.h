// The system's speech on Windows when a screen reader runs: each message is a UI Automation
// notification event of Korvel's window, which NVDA, JAWS and Narrator speak in the operator's own
// voice and rate. The screen reader reports no end of a message: Korvel goes on at once.
#pragma once

#include <memory>
#include <string>

#include "platform/speech_output.h"
#include "platform/win32_window.h"

namespace korvel::platform {

class ScreenReaderOutput : public SpeechOutput {
 public:
  // Null, with why, when no screen reader says it runs or this Windows has no notification events.
  static std::unique_ptr<ScreenReaderOutput> connect(Win32WindowSystem& window, std::string& why);
  ~ScreenReaderOutput() override;
  ScreenReaderOutput(const ScreenReaderOutput&) = delete;
  ScreenReaderOutput& operator=(const ScreenReaderOutput&) = delete;

  // pace.giveWay set (--interrupt-speech): the message replaces what the screen reader still says
  // of Korvel's; otherwise it is queued behind it.
  bool speak(const std::string& text, const Pace& pace) override;
  bool speakAsync(const std::string& text) override;
  void cancel() override {}

  struct Api;
  class Provider;

 private:
  ScreenReaderOutput(Win32WindowSystem& window, std::unique_ptr<Api> api);
  bool raise(const std::string& text, bool replace);

  Win32WindowSystem& window_;
  std::unique_ptr<Api> api_;
  Provider* provider_;
};

}  // namespace korvel::platform
