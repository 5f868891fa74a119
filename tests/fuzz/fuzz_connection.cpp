// The connection sequence against a radio that answers anything: every command the program writes
// to the radio line is answered with the next record of the input, whatever it holds (nothing, a
// refusal, half a reply, noise, the answer to another question). The first answer begins with "FA",
// so the first reply starts the connection. The program must not crash, must keep its records whole
// and, once the sequence has run, must be connected and keep polling.
//
// Input: one header byte: bits 0-3 the band, bit 4 a radio that was lost (its return), bits 5-7 the
// mode; then records of [length][bytes], one per command written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "station_clock.h"
#include "radio_link/cat_link.h"
#include "core/poll_cycle.h"
#include "core/startup.h"
#include "display/main_window.h"
#include "radio_link/transport.h"
#include "simulated_ports.h"
#include "state/panel.h"
#include "state/text.h"
#include "temp_folder.h"
#include "text_canvas.h"
#include "word_recorder.h"

#include "fuzz_checks.h"

namespace {

using korvel::fuzz::check;
using korvel::fuzz::kRadioPort;
using korvel::fuzz::checkPanelWhole;
using korvel::fuzz::stationFolder;

// Enough ticks for the first reply and the whole sequence behind it.
constexpr int kTicks = 8;

// A radio line whose answers are the input's records, one per write, in order.
class ScriptedRadio : public korvel::testing::SimulatedSerialPorts {
 public:
  ScriptedRadio(const std::uint8_t* data, std::size_t size)
      : SimulatedSerialPorts(nullptr, kRadioPort), data_(data), size_(size) {}
  int writePort(int n, const char* bytes, int length) override {
    const int written = SimulatedSerialPorts::writePort(n, bytes, length);
    if (n == kRadioPort) feed(n, (first_ ? "FA" : "") + nextRecord());
    first_ = false;
    return written;
  }
  bool exhausted() const { return at_ >= size_; }

 private:
  std::string nextRecord() {
    if (at_ >= size_) return {};
    const std::size_t length = data_[at_++];
    const std::size_t take = length < size_ - at_ ? length : size_ - at_;
    std::string record(reinterpret_cast<const char*>(data_ + at_), take);
    at_ += take;
    return record;
  }
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
  bool first_ = true;
};

void checkInvariants(const korvel::Panel& p) {
  checkPanelWhole(p);
  check(p.link.frequencyHz >= 0 && p.link.frequencyHz <= 999999999);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  ScriptedRadio ports(data + 1, size - 1);
  korvel::testing::WordRecorder sound;
  korvel::testing::TextCanvas canvas;
  korvel::testing::StationClock clock(sound);
  korvel::radio_link::CatLink link(ports, clock);
  korvel::Panel p(ports, link, sound, canvas, stationFolder());

  korvel::fuzz::setUpStation(p, ports, false);
  p.band.currentBand = 1 + (data[0] & 0x0f) % 14;
  p.link.radioLost = (data[0] >> 4) & 1;
  p.mode.currentMode = 1 + (data[0] >> 5) % 7;

  for (int i = 0; i < kTicks && p.core.running == 1; ++i) {
    clock.passedMs += korvel::kTimerPeriodMs;
    korvel::pollTick(p);
    checkInvariants(p);
  }
  // The first answer began with "FA": the sequence has run, whatever the rest said.
  if (p.core.running == 1) check(p.link.connected == 1);
  return 0;
}
