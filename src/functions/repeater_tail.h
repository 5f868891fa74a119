// The repeater-offset tail of a band or channel record, shared by the band table and the channels.
#pragma once

#include <string>

namespace korvel {
struct Panel;

// Cuts a band-record text to its first 13 characters and appends the current band's shift sign
// and offset (bands 10..13).
std::string appendRepeaterTail(Panel& p, const std::string& text);

}  // namespace korvel
