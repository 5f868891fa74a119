// Drawing state kept with the main window between operations: the text position and the font.
#pragma once

#include <string>

namespace korvel::display {

struct DisplayState {
  int x = 0;
  int y = 0;
  std::string fontFace;  // empty until the first setFont: the window's default font
  int fontPoints = 0;
  int fontWeight = 0;
  bool windowOpen = false;
};

}  // namespace korvel::display
