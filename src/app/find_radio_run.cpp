#include "app/find_radio_run.h"

#include <iostream>

#include "platform/clock.h"
#include "platform/window_system.h"
#include "app/no_window.h"
#include "radio_link/cat_link.h"
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
  platform::SteadyClock clock;
  radio_link::CatLink radio(ports, clock);
  Panel panel(ports, radio, sound, window, folder);
  panel.speech.transcript = transcript;
  FindRequest search = request;
#ifdef KORVEL_HAVE_HAMLIB
  search.probe = radio_link::probeWithHamlib;
#endif
  return findRadio(panel, search, std::cout);
}

}  // namespace korvel::app
