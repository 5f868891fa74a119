#include "app/front_end.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "platform/sdl_window.h"

namespace korvel::app {

namespace {

bool named(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

}  // namespace

FrontEnd openFrontEnd(bool terminalAsked) {
  const bool displayNamed = named("DISPLAY") || named("WAYLAND_DISPLAY") || named("SDL_VIDEODRIVER");
  if (!terminalAsked && displayNamed) {
    // Only a display that was named: never the console's framebuffer behind the operator's back.
    if (!named("SDL_VIDEODRIVER")) {
      SDL_SetHint(SDL_HINT_VIDEODRIVER, named("DISPLAY") && named("WAYLAND_DISPLAY") ? "x11,wayland"
                                        : named("DISPLAY")                         ? "x11"
                                                                                   : "wayland");
    }
    auto window = std::make_unique<platform::SdlWindowSystem>();
    if (window->openVideo()) return FrontEnd{std::move(window), nullptr};
  }
  bool ownsFd = false;
  const int fd = platform::TerminalWindowSystem::openControllingTerminal(ownsFd);
  if (fd < 0) {
    std::cerr << (terminalAsked   ? "korvel: --terminal: there is no terminal to take keys from\n"
                  : displayNamed ? "korvel: no window, and no terminal to take keys from either\n"
                                 : "korvel: no display, and no terminal to take keys from\n");
    return {};
  }
  std::cerr << (terminalAsked || !displayNamed ? "korvel: " : "korvel: instead, ")
            << "keys from this terminal, the fields as a line of text. Q quits, Ctrl+C closes.\n";
  auto terminal = std::make_unique<platform::TerminalWindowSystem>(fd, ownsFd, STDOUT_FILENO);
  auto* raw = terminal.get();
  return FrontEnd{std::move(terminal), raw};
}

}  // namespace korvel::app
