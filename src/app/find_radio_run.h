// korvel --find-radio as the program runs it: the machine's real serial devices and sound, and no
// window (the search only speaks and prints).
#pragma once

#include <filesystem>
#include <ostream>

#include "core/find_radio.h"

namespace korvel::app {

// Searches from the station folder; words spoken also go to transcript when it is not null.
// Returns the search's exit code.
int runFindRadio(const std::filesystem::path& folder, const FindRequest& request, std::ostream* transcript);

}  // namespace korvel::app
