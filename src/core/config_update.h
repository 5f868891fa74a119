// Setting the radio's port and speed in korvel.cfg when the radio has been found: lines 1 and 2
// change, every other byte of the file stays as the operator wrote it.
#pragma once

#include <string>
#include <string_view>

namespace korvel {
struct Panel;

// The highest port line 1 can name (two digits).
inline constexpr int kHighestConfigPort = 99;

// The configuration text with line 1 naming port (1..kHighestConfigPort) and line 2 the speed.
// A line that already reads as its value is kept as it is; a new line 2 keeps the old one's label.
// Line ends stay as they were; lines that were missing are added with the file's own line end.
std::string withPortAndSpeed(std::string_view config, int port, int baud);

// Writes port and speed into korvel.cfg in the station folder, the old file kept as korvel.cfg.bak,
// each file replaced whole (never half written). False with the reason when korvel.cfg cannot be
// read or either file cannot be written; changed says whether the file had to change at all.
bool writePortAndSpeed(Panel& p, int port, int baud, bool& changed, std::string& why);

}  // namespace korvel
