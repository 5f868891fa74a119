// What every fuzz target holds the program to after each step, and the station folder they share.
#pragma once

#include <cstdlib>
#include <filesystem>

#include "state/panel.h"
#include "state/text.h"
#include "temp_folder.h"

namespace korvel::fuzz {

inline void check(bool ok) {
  if (!ok) std::abort();
}

// Records whole, read and relay texts within their caps, a band the table has.
inline void checkPanelWhole(const Panel& p) {
  for (int band = 1; band <= 14; ++band) check(p.band.bandTable[static_cast<std::size_t>(band)].size() == 26);
  check(p.link.replyText.size() <= kReadCap);
  check(p.link.relayBuffer.size() <= kStoredTextCap);
  check(p.band.currentBand >= 1 && p.band.currentBand <= 14);
}

inline const std::filesystem::path& stationFolder() {
  static const testing::TempFolder folder{"korvel-fuzz"};
  return folder.path();
}

}  // namespace korvel::fuzz
