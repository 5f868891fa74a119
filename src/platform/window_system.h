// The main window as the program sees it: text drawn at pixel positions into a retained image,
// one font at a time, a 50 ms timer and a blocking source of classic window events.
#pragma once

#include <string>
#include <vector>

#include "platform/serial_ports.h"

namespace korvel::platform {

// Message numbers of the classic window events the dispatcher understands.
inline constexpr int kKeyDownMessage = 256;
inline constexpr int kKeyUpMessage = 257;
inline constexpr int kTimerMessage = 275;
inline constexpr int kCloseMessage = 32770;
// Input has arrived on a watched port (a user message, as a window program would post it).
inline constexpr int kPortInputMessage = 1024;

struct Event {
  int message = 0;
  int key = 0;  // virtual-key code for key events, timer identifier for ticks
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // Creates the window at (left, top) with the given outer size and caption; false if it cannot.
  virtual bool createWindow(int left, int top, int width, int height, const std::string& title) = 0;
  virtual void closeWindow() = 0;
  // Face as named by the program ("Ariel"), size in points (at 96 dots per inch), weight 0..1000.
  virtual void setFont(const std::string& face, int points, int weight) = 0;
  // Draws text with its top-left corner at (x, y), black on opaque white, in the current font.
  // Returns the width drawn in pixels, which moves the caller's text position.
  virtual int drawText(int x, int y, const std::string& text) = 0;
  // The periodic tick: at most one tick is ever pending, never a burst after a long blocking call.
  virtual void startTimer(int periodMs) = 0;
  virtual void stopTimer() = 0;
  // Blocks until at least one event is pending (or the tick is due) and returns all pending events.
  virtual std::vector<Event> waitEvents() = 0;
  // The ports whose input is also to end the wait, with one kPortInputMessage; replaced at every
  // call, empty for none. A front end that cannot watch them leaves the program to its ticks.
  virtual void watchInput(std::vector<InputHandle> handles) { (void)handles; }
};

}  // namespace korvel::platform
