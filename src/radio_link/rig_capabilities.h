// What the rig server tells a client about the radio when it connects: rigctld's \dump_state (the
// block Hamlib's "NET rigctl" reads at open) and the \dump_caps lines loggers look for.
#pragma once

#include <string>
#include <vector>

#include "radio_link/radio_models.h"

namespace korvel::rig {

struct StationCapabilities {
  int radioModel = 0;          // the number the radio reported to "ID"; 0 while unknown
  const RadioModel* model = nullptr;  // its row: the modes it has
  std::string bandCoverage;    // korvel.cfg's top band: "1" HF, "6", "2" or "7" (70 cm)
  std::string version;         // the program's version text
  std::vector<std::string> offered;  // what the server's commands do ("set Frequency", "get VFO")
};

std::string dumpState(const StationCapabilities& station);
std::string dumpCaps(const StationCapabilities& station);

}  // namespace korvel::rig
