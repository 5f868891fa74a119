// Setting the radio's port and speed in korvel.cfg when the radio has been found: lines 1 and 2
// change, every other byte of the file stays as the operator wrote it. A radio found through
// Hamlib is named in korvel.options instead, by its three Hamlib options.
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

// The options file in the station folder, and the options that name a radio through Hamlib.
inline constexpr const char* kOptionsFileName = "korvel.options";
inline constexpr std::string_view kHamlibModelOption = "hamlib-model";
inline constexpr std::string_view kHamlibPortOption = "hamlib-port";
inline constexpr std::string_view kHamlibSpeedOption = "hamlib-speed";

// The radio korvel.options names through Hamlib; model 0: none (the radio of korvel.cfg).
struct HamlibChoice {
  int model = 0;
  std::string port;
  int speed = 0;
};

// The options text with its Hamlib radio lines replaced by the choice's (or, for model 0, only
// taken out); every other line stays as it was, line ends included.
std::string withHamlibRadio(std::string_view options, const HamlibChoice& choice);

// Writes the choice into korvel.options in the station folder (made when missing; the old file
// kept as korvel.options.bak), each file replaced whole. changed says whether it had to change.
bool writeHamlibRadio(Panel& p, const HamlibChoice& choice, bool& changed, std::string& why);

}  // namespace korvel
