// Memory channel operations and the repeater-offset formatter the band table shares.
#pragma once

#include <string>

namespace korvel {
struct Panel;

// Cuts a band-record text to its first 13 characters and appends the current band's shift sign
// and offset (bands 10..13).
std::string appendRepeaterTail(Panel& p, const std::string& text);

}  // namespace korvel
