#include "core/extended_keys.h"

#include <algorithm>
#include <string>

#include "player/phrase_player.h"
#include "radio_link/cat.h"
#include "radio_link/transport.h"
#include "state/band_record.h"
#include "state/panel.h"
#include "state/radio_numbers.h"
#include "state/text.h"

namespace korvel {

namespace {

std::string& currentRecord(Panel& p) {
  const int band = std::clamp(p.band.currentBand, band_number::kFirst, band_number::kLast);
  return p.band.bandTable[static_cast<std::size_t>(band)];
}

}  // namespace

void extendedKey(Panel& p) {
  playWord(p, "extcm");
  if (p.core.keyState == key_state::kExtended) {
    p.core.keyState = key_state::kIdle;
    playWord(p, "off");
  } else {
    p.core.keyState = key_state::kExtended;
    playWord(p, "on");
  }
}

void agcKey(Panel& p) {
  auto& step = p.core.agcStep;
  if (p.radio.radioRefuses(cat::agcStep(step))) {
    playWord(p, "agc");
    playWord(p, "na");
    return;
  }
  sendText(p, cat::agcStep(step));
  playWord(p, "agc");
  if (step == 1) playWord(p, "fast");
  if (step == 2) playWord(p, "mid");
  if (step == 3) playWord(p, "slow");
  step += 1;
  if (step > 3) step = 1;
}

void swapKey(Panel& p) {
  if (p.tone.repeaterActive == repeater_shift::kOn) {
    p.core.keyState = key_state::kIdle;
    return;
  }
  playWord(p, "swop");
  sendText(p, cat::receiverToVfoB());
  if (!p.link.skipRecordSwap) {
    std::string& record = currentRecord(p);
    if (record.size() == band_record::kLength) {
      record = left(record, 3) + mid(record, 14, 9) + "B" + mid(record, 4, 9) + mid(record, 23);
    }
  }
  p.core.keyState = key_state::kIdle;
}

}  // namespace korvel
