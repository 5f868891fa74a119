// The main window as the program sees it: its named fields drawn as text at pixel positions into
// a retained image, one font at a time, a 50 ms timer and a blocking source of classic window events.
#pragma once

#include <cstddef>
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

// The window's fields by name. Every drawing names the field it belongs to: a window that draws
// pixels places the text at the drawing's position and may ignore the name, the terminal front end
// shows the fields by it.
enum class Field {
  Unnamed,  // text at a bare position, in no field
  Banner,
  KeyHelp,          // the help line of the letter keys
  FunctionKeyHelp,  // the help line of the function keys
  Mode,
  SMeter,     // the reading, then the decibels over S9 after it
  SplitMark,  // "B" in split, "R" with the repeater shift
  Frequency,
  // The status row, left to right.
  Preamp,
  Attenuator,
  NoiseBlanker,
  NoiseReduction,
  Notch,
  Contour,
  Processor,
  VoxBreakIn,
  Monitor,
  Tone,
};
inline constexpr std::size_t kFieldCount = static_cast<std::size_t>(Field::Tone) + 1;

// What a drawing is to its field: the field's new text, or more of it, drawn after what the new
// text began (the decibels after the S-meter reading, the blanks after the split mark).
struct FieldPart {
  Field field = Field::Unnamed;
  bool more = false;
};

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
  // Draws text with its top-left corner at (x, y), black on opaque white, in the current font, as
  // the given part of a field. Returns the width drawn in pixels, which moves the caller's text
  // position.
  virtual int drawText(int x, int y, const std::string& text, FieldPart part) = 0;
  // The periodic tick: at most one tick is ever pending, never a burst after a long blocking call.
  virtual void startTimer(int periodMs) = 0;
  virtual void stopTimer() = 0;
  // Blocks until at least one event is pending (or the tick is due) and returns all pending events.
  virtual std::vector<Event> waitEvents() = 0;
  // The ports whose input is also to end the wait, with one kPortInputMessage; replaced at every
  // call, empty for none. A front end that cannot watch them leaves the program to its ticks.
  virtual void watchInput(std::vector<InputHandle> handles) { (void)handles; }
  // True when a key press waits to be taken by waitEvents; it stays waiting. Asked while a word
  // plays, so that speech can give way to the next key.
  virtual bool keyWaiting() { return false; }
};

}  // namespace korvel::platform
