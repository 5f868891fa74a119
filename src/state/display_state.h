// Drawing state kept with the main window between operations: the text position, the field being
// drawn and the font.
#pragma once

#include <string>

#include "platform/window_system.h"

namespace korvel::display {

struct DisplayState {
  int x = 0;
  int y = 0;
  platform::Field field = platform::Field::Unnamed;  // the field the text position is in
  bool fieldBegun = false;  // its new text is drawn: what is printed now adds to it
  std::string fontFace;  // empty until the first setFont: the window's default font
  int fontPoints = 0;
  int fontWeight = 0;
  bool windowOpen = false;
};

}  // namespace korvel::display
