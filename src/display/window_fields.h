// The window's fields by name and where the window shows each: the layout's pixel position and,
// where it is fixed, the font. The program says which field gets which text; this places it.
#pragma once

#include <string_view>

#include "display/main_window.h"
#include "platform/window_system.h"

namespace korvel {
struct Panel;

using platform::Field;

// The large fields (mode, S-meter reading, frequency), and the font left after every status row.
inline constexpr FontChoice kLargeFont{"Ariel", 50, 700};
inline constexpr FontChoice kStatusRowFont{"Ariel", 20, 20};

// Draws text as the field's new value at the field's place, in its font where the layout fixes one;
// printText then adds more to the field after it.
void showField(Panel& p, Field field, std::string_view text);
// The same at the text position, just after the last text drawn, wherever that ended.
void showFieldHere(Panel& p, Field field, std::string_view text);

}  // namespace korvel
