// korvel --find-radio: looks for the radio on the machine's serial devices (or the ones named),
// says and prints what answered, and with --write makes it the station's radio port.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "radio_link/hamlib_radio.h"

namespace korvel {
struct Panel;

struct FindRequest {
  std::vector<std::string> devices;  // empty: every serial device the machine has
  bool write = false;                // make the found device the station's port in korvel.cfg
  // Hamlib's probe of one device (with a speed it already answered at, or 0), when this build
  // has Hamlib: asked where no Yaesu answered, or a radio answered with an ID Korvel does not know.
  std::function<std::optional<radio_link::HamlibFind>(const std::string& device, int knownSpeed)> probe;
};

// Exit codes of the search.
inline constexpr int kRadioFound = 0;
inline constexpr int kNoRadioFound = 1;
inline constexpr int kRadioNotWritten = 2;  // found, but the station could not be set up for it

// Runs the search in the panel's station folder (korvel.cfg gives the speed tried first and the
// port number to keep); what it finds is printed on out and spoken. Returns the exit code.
int findRadio(Panel& p, const FindRequest& request, std::ostream& out);

}  // namespace korvel
