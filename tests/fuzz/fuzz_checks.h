// What every fuzz target holds the program to after each step, and the station they all start from.
#pragma once

#include <cstdlib>
#include <filesystem>

#include "core/startup.h"
#include "radio_link/transport.h"
#include "simulated_ports.h"
#include "station.h"
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
  check(p.link.relayBuffer.size() <= kStoredTextCap);
  check(p.band.currentBand >= 1 && p.band.currentBand <= 14);
}

inline const std::filesystem::path& stationFolder() {
  static const testing::TempFolder folder{"korvel-fuzz"};
  return folder.path();
}

inline constexpr int kRadioPort = 5;  // the sample settings' radio port
inline constexpr int kRelayPort = 6;

// Start values and the sample configuration's radio settings, the radio port set up (and the relay
// port, when the target relays), the program running.
inline void setUpStation(Panel& p, testing::SimulatedSerialPorts& ports, bool relay) {
  setStartValues(p);
  testing::applySampleRadioSettings(p);
  p.core.running = 1;
  setUpPort(p, kRadioPort);
  if (!relay) return;
  p.config.passThroughPort = kRelayPort;
  ports.addPort(kRelayPort);
  setUpPort(p, kRelayPort);
}

}  // namespace korvel::fuzz
