// Which front end the program runs with: the window when a display answers, else the terminal.
#pragma once

#include <memory>

#include "platform/terminal_window.h"
#include "platform/window_system.h"

namespace korvel::app {

struct FrontEnd {
  std::unique_ptr<platform::WindowSystem> window;  // null: neither a window nor a terminal
  platform::TerminalWindowSystem* terminal = nullptr;  // the same object, when it is the terminal
};

// The window when a display is named (DISPLAY, WAYLAND_DISPLAY or SDL_VIDEODRIVER) and opens and
// the terminal was not asked for; otherwise the controlling terminal. Says why on stderr.
FrontEnd openFrontEnd(bool terminalAsked);

}  // namespace korvel::app
