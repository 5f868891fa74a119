#include "app/find_radio_run.h"

#include <iostream>

#include "platform/window_system.h"
#include "state/panel.h"
#ifdef _WIN32
#include "platform/win32_serial.h"
#include "platform/win32_sound.h"
#else
#include "platform/sdl_sound.h"
#include "platform/serial_posix.h"
#endif

namespace korvel::app {

namespace {

// The panel needs a window system; the search draws nothing and waits for no event.
class NoWindow : public platform::WindowSystem {
 public:
  bool createWindow(int, int, int, int, const std::string&) override { return false; }
  void closeWindow() override {}
  void setFont(const std::string&, int, int) override {}
  int drawText(int, int, const std::string&, platform::FieldPart) override { return 0; }
  void startTimer(int) override {}
  void stopTimer() override {}
  std::vector<platform::Event> waitEvents() override { return {{platform::kCloseMessage, 0}}; }
};

}  // namespace

int runFindRadio(const std::filesystem::path& folder, const FindRequest& request, std::ostream* transcript) {
#ifdef _WIN32
  platform::Win32SerialPorts ports;
  platform::Win32SoundOutput sound;
#else
  platform::PosixSerialPorts ports(folder);
  platform::SdlSoundOutput sound;
#endif
  NoWindow window;
  Panel panel(ports, sound, window, folder);
  panel.speech.transcript = transcript;
  return findRadio(panel, request, std::cout);
}

}  // namespace korvel::app
