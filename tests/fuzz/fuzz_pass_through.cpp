// Arbitrary bytes from the pass-through program alone, with the simulated radio answering on the
// radio line, through the relay's public entries (the poll cycle's ticks, and port input between them). Whatever the other
// program sends, the program must not crash, keep its records whole and keep polling the radio.
//
// Input: one header byte chooses the radio model and mode; then records of [control][length][bytes]
// on the pass-through port: control bit 0 gives the ticks to run afterwards (1 or 2), bit 1 a wake-up
// on port input before them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "station_clock.h"
#include "radio_link/cat_link.h"
#include "core/poll_cycle.h"
#include "display/main_window.h"
#include "core/startup.h"
#include "radio_link/transport.h"
#include "simulated_ports.h"
#include "state/panel.h"
#include "state/text.h"
#include "temp_folder.h"
#include "text_canvas.h"
#include "transceiver.h"
#include "word_recorder.h"

#include "fuzz_checks.h"

namespace {

using korvel::fuzz::check;
using korvel::fuzz::kRadioPort;
using korvel::fuzz::kRelayPort;
using korvel::fuzz::checkPanelWhole;
using korvel::fuzz::stationFolder;

constexpr int kModels[] = {241, 310, 362, 462, 570, 650, 670, 681, 682, 761, 800, 840, 761, 761, 761, 761};
// Ticks in which the poll cycle has asked the radio for its frequency again. The relay may still be
// working through the client's waiting commands and takes turns with the poll; with a radio the
// client has switched off ("PS0;") every relayed command waits out its answer time, so each of the
// poll's two phases can wait behind a whole relay turn and the poll's own wait for a late reply.
constexpr std::size_t kPollWindow = 24;

void checkInvariants(const korvel::Panel& p) {
  checkPanelWhole(p);
  check(p.mode.currentMode >= 1 && p.mode.currentMode <= 7);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  korvel::sim::Transceiver radio(kModels[data[0] & 0x0f]);
  korvel::testing::SimulatedSerialPorts ports(&radio, kRadioPort);
  korvel::testing::WordRecorder sound;
  korvel::testing::TextCanvas canvas;
  korvel::testing::StationClock clock(sound);
  korvel::radio_link::CatLink link(ports, clock);
  korvel::Panel p(ports, link, sound, canvas, stationFolder());

  korvel::fuzz::setUpStation(p, ports, true);
  p.radio.setModelNumber(radio.model());
  p.link.connected = 1;
  p.link.frequencyHz = 7100000;
  p.band.currentBand = 4;
  p.mode.currentMode = 1 + ((data[0] >> 4) % 7);

  std::size_t at = 1;
  while (at + 2 <= size) {
    const std::uint8_t control = data[at];
    const std::size_t length = data[at + 1];
    at += 2;
    const std::size_t take = length < size - at ? length : size - at;
    ports.feed(kRelayPort, std::string(reinterpret_cast<const char*>(data + at), take));
    at += take;
    if ((control & 2) != 0) {
      korvel::portInput(p);
      checkInvariants(p);
    }
    for (int i = 0; i <= (control & 1); ++i) {
      clock.passedMs += korvel::kTimerPeriodMs;
      korvel::pollTick(p);
      checkInvariants(p);
    }
  }
  // Whatever the other program sent, the poll cycle still asks the radio for its frequency.
  ports.clearWritten(kRadioPort);
  for (std::size_t i = 0; i < kPollWindow; ++i) {
    clock.passedMs += korvel::kTimerPeriodMs;
    korvel::pollTick(p);
  }
  check(ports.written(kRadioPort).find("FA;") != std::string::npos);
  checkInvariants(p);
  return 0;
}
