#include "functions/tuning.h"

#include <string>

#include "functions/tones.h"
#include "platform/key_codes.h"
#include "player/phrase_player.h"
#include "radio_link/cat.h"
#include "radio_link/transport.h"
#include "state/panel.h"
#include "state/text.h"
#include "state/radio_numbers.h"

namespace korvel {

void tuneBy(Panel& p, long long step) {
  // The dial stops above 0 Hz: a step that would reach or pass it is not taken (0 Hz would also
  // read as a radio that has not answered yet).
  if (p.link.frequencyHz + step > 0) p.link.frequencyHz += step;
}

bool tuningKey(Panel& p, int key) {
  const int mode = p.mode.currentMode;
  const int band = p.band.currentBand;
  const bool fm = isFm(mode);
  auto& squelch = p.mode.squelchLevel;
  switch (key) {
    case vk::kPlus:
    case vk::kMinus:
      tuneBy(p, key == vk::kPlus ? 1000000 : -1000000);
      if (p.tone.repeaterActive == repeater_shift::kOn) {
        // Renew the shift on the new megahertz: switch it on again from the off state.
        p.tone.repeaterActive = repeater_shift::kOff;
        toggleRepeaterShift(p);
      }
      break;
    case vk::kPageUp:
      tuneBy(p, mode > mode_number::kCw && band > band_number::k6m && band != band_number::kGeneralCoverage ? 12500 : 10000);
      break;
    case vk::kPageDown:
      tuneBy(p, mode == mode_number::kFmNarrow && band > band_number::k6m && band != band_number::kGeneralCoverage ? -12500 : -10000);
      break;
    case vk::kRight:
      if (fm) {
        squelch += squelch < 20 ? 1 : 10;
        if (squelch > 255) {
          squelch = 255;
          playWord(p, "max");
        }
        sendText(p, cat::level(cat::Level::Squelch, squelch));
        return false;
      }
      tuneBy(p, mode == mode_number::kCw ? 10 : 100);
      break;
    case vk::kLeft:
      if (fm) {
        if (squelch == 245) squelch = 240;
        squelch -= squelch < 30 ? 1 : 10;
        if (squelch < 1) {
          squelch = 0;
          playWord(p, "0");
        }
        sendText(p, cat::level(cat::Level::Squelch, squelch));
        return false;
      }
      tuneBy(p, mode == mode_number::kCw ? -10 : -100);
      break;
    default:
      break;
  }
  return true;
}

void resendFrequency(Panel& p) {
  sendText(p, cat::tune(cat::Vfo::A, p.link.frequencyHz));
}

}  // namespace korvel
