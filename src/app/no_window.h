// A window system for the commands that run without a window (finding the radio, channel lists):
// the panel needs one, but they draw nothing and wait for no event.
#pragma once

#include <string>
#include <vector>

#include "platform/window_system.h"

namespace korvel::app {

class NoWindow : public platform::WindowSystem {
 public:
  bool createWindow(int, int, int, int, const std::string&) override { return false; }
  void closeWindow() override {}
  void setFont(const std::string&, int, int) override {}
  int drawText(int, int, const std::string&, platform::FieldPart) override { return 0; }
  void startTimer(int) override {}
  void stopTimer() override {}
  // A close at once: anything that waits for events ends.
  std::vector<platform::Event> waitEvents() override { return {{platform::kCloseMessage, 0}}; }
};

}  // namespace korvel::app
