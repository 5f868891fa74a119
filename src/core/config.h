// korvel.cfg: 14 lines whose values are taken by character position only.
#pragma once

#include <istream>

namespace korvel {
struct Panel;

// Reads korvel.cfg from the station folder; false when it cannot be opened.
bool readConfiguration(Panel& p);
// The same from a stream (14 lines, missing lines read as empty).
void readConfiguration(Panel& p, std::istream& in);

}  // namespace korvel
