#include "core/split_keys.h"

#include "core/connection.h"
#include "functions/tones.h"
#include "player/phrase_player.h"
#include "radio_link/cat.h"
#include "radio_link/transport.h"
#include "state/panel.h"
#include "state/radio_numbers.h"

namespace korvel {

void splitKey(Panel& p) {
  if (p.band.currentBand == band_number::kGeneralCoverage) {
    playWord(p, "split");
    playWord(p, "invalid");
    return;
  }
  p.core.keyState = key_state::kIdle;
  const int mode = p.mode.currentMode;
  if (p.band.currentBand >= band_number::k10m && isFmFamily(mode)) {
    restoreRepeaterDefaults(p);
    toggleRepeaterShift(p);
    return;
  }
  if (!p.tone.vfoB) {
    splitOn(p);
  } else {
    splitOff(p);
  }
}

void zeroInKey(Panel& p) {
  playWord(p, "0");
  playWord(p, "ok");
  if (p.mode.currentMode == mode_number::kCw) {
    sendText(p, cat::zeroIn());
  } else {
    snapToKilohertz(p);
  }
}

}  // namespace korvel
