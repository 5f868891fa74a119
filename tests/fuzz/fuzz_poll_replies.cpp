// Arbitrary bytes from the radio and from the pass-through program, fed through the poll cycle
// (and so through the connection sequence and the frequency-reply handler). Whatever arrives, the
// program must not crash and must keep every band record at 26 characters.
//
// Input: two header bytes choose the radio model, mode, band, split and what has happened already;
// then records of [control][length][bytes]: control bit 0 picks the line (radio or pass-through),
// bits 1-2 the number of ticks to run afterwards, bits 3-6 transmit/tune/metering states.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "station_clock.h"
#include "radio_link/cat_link.h"
#include "state/panel.h"
#include "core/poll_cycle.h"
#include "display/main_window.h"
#include "core/startup.h"
#include "state/text.h"
#include "radio_link/transport.h"
#include "simulated_ports.h"
#include "temp_folder.h"
#include "text_canvas.h"
#include "word_recorder.h"

#include "fuzz_checks.h"

namespace {

using korvel::fuzz::check;
using korvel::fuzz::kRadioPort;
using korvel::fuzz::kRelayPort;
using korvel::fuzz::checkPanelWhole;
using korvel::fuzz::stationFolder;

constexpr int kModels[] = {0, 241, 251, 310, 362, 462, 570, 650, 670, 681, 682, 761, 800, 840, 1234, 9999};

void checkInvariants(const korvel::Panel& p) {
  checkPanelWhole(p);
  check(p.link.frequencyHz >= 0 && p.link.frequencyHz <= 999999999);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  korvel::testing::SimulatedSerialPorts ports(nullptr, kRadioPort);
  korvel::testing::WordRecorder sound;
  korvel::testing::TextCanvas canvas;
  korvel::testing::StationClock clock(sound);
  korvel::radio_link::CatLink link(ports, clock);
  korvel::Panel p(ports, link, sound, canvas, stationFolder());

  korvel::fuzz::setUpStation(p, ports, true);
  checkInvariants(p);

  const std::uint8_t a = data[0];
  const std::uint8_t b = data[1];
  p.radio.setModelNumber(kModels[a & 0x0f]);
  p.link.connected = (a >> 4) & 1;
  p.tone.vfoB = (a >> 5) & 1;
  p.link.announceOnNextReply = (a >> 6) & 1;
  p.core.quitCountdown = (a >> 7) & 1;
  p.mode.currentMode = 1 + (b & 0x07) % 7;
  p.band.currentBand = 1 + ((b >> 3) & 0x0f) % 14;
  p.tone.repeaterActive = static_cast<korvel::repeater_shift::RepeaterShift>((b >> 7) & 1);

  std::size_t at = 2;
  while (at + 2 <= size) {
    const std::uint8_t control = data[at];
    const std::size_t length = data[at + 1];
    at += 2;
    const std::size_t take = length < size - at ? length : size - at;
    const std::string bytes(reinterpret_cast<const char*>(data + at), take);
    at += take;

    ports.feed((control & 1) ? kRelayPort : kRadioPort, bytes);
    p.core.txState = (control >> 3) & 1 ? 1 : 0;
    p.core.tuneActive = (control >> 4) & 1;
    p.core.micMeterState = (control >> 5) & 1;
    p.core.txSettleTicks = (control >> 6) & 1;
    const int ticks = 1 + ((control >> 1) & 3);
    for (int i = 0; i < ticks; ++i) {
      clock.passedMs += korvel::kTimerPeriodMs;
      korvel::pollTick(p);
      checkInvariants(p);
    }
  }
  return 0;
}
