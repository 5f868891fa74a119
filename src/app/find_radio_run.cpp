#include "app/find_radio_run.h"

#include <iostream>

#include "platform/window_system.h"
#include "app/no_window.h"
#include "state/panel.h"
#ifdef _WIN32
#include "platform/win32_serial.h"
#include "platform/win32_sound.h"
#else
#include "platform/sdl_sound.h"
#include "platform/serial_posix.h"
#endif

namespace korvel::app {

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
