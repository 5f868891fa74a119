// korvel.cfg: 14 lines whose values are taken by character position only.
#pragma once

#include <istream>
#include <string_view>

namespace korvel {
struct Panel;

// Reads korvel.cfg from the station folder; false when it cannot be opened.
bool readConfiguration(Panel& p);
// The same from a stream (14 lines, missing lines read as empty).
void readConfiguration(Panel& p, std::istream& in);
// Line 1 names the radio port: a line of kTwoDigitPortLine characters ("COM=12") by its last two
// characters, any other line by its last one. Line 2 gives the speed after a label of
// kSpeedLabelLength characters ("Speed=").
inline constexpr std::size_t kTwoDigitPortLine = 6;
inline constexpr std::size_t kSpeedLabelLength = 6;
int portOfLine(std::string_view line);
int speedOfLine(std::string_view line);

}  // namespace korvel
