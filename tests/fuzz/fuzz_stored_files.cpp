// Arbitrary bytes as the two files the program reads at start-up: korvel.cfg and savmem.dat.
// Whatever they hold, reading them must not crash, the band table must keep valid 26-character
// records, every memory entry must stay within its cap, and the values must stay usable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include <unistd.h>

#include "station_clock.h"
#include "radio_link/cat_link.h"
#include "core/config.h"
#include "state/panel.h"
#include "core/startup.h"
#include "state/text.h"
#include "memory/memory_store.h"
#include "simulated_ports.h"
#include "temp_folder.h"
#include "text_canvas.h"
#include "word_recorder.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

const std::filesystem::path& stationFolder() {
  static const korvel::testing::TempFolder folder{"korvel-fuzz-files"};
  return folder.path();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  korvel::testing::SimulatedSerialPorts ports(nullptr, 5);
  korvel::testing::WordRecorder sound;
  korvel::testing::TextCanvas canvas;
  korvel::testing::StationClock clock(sound);
  korvel::radio_link::CatLink link(ports, clock);
  korvel::Panel p(ports, link, sound, canvas, stationFolder());
  korvel::setStartValues(p);
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  std::istringstream config(bytes);
  korvel::readConfiguration(p, config);
  check(p.config.txPower >= 5);
  check(p.config.bandCoverage.size() <= 1);
  for (int band = 10; band <= 13; ++band) check(p.config.repeaterOffsetKhz[static_cast<std::size_t>(band)].size() <= 4);

  std::istringstream memory(bytes);
  korvel::readMemoryFile(p, memory);
  for (int band = 1; band <= 14; ++band) check(p.band.bandTable[static_cast<std::size_t>(band)].size() == 26);
  for (const auto& slot : p.memory.memorySlots) check(slot.size() <= korvel::kStoredTextCap);
  check(p.band.currentBand >= 0 && p.band.currentBand <= 14);
  return 0;
}
