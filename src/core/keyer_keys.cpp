#include "core/keyer_keys.h"

#include <string>

#include "functions/mode.h"
#include "player/phrase_player.h"
#include "radio_link/transport.h"
#include "speech/announcers.h"
#include "state/panel.h"
#include "state/radio_numbers.h"
#include "state/text.h"

namespace korvel {

void keyerSpeedKey(Panel& p) {
  auto& c = p.core;
  playWord(p, "ks");
  if (c.keyState != key_state::kKeyerSpeed) {
    p.mode.savedMode = p.mode.currentMode;
    p.mode.currentMode = mode_number::kCw;
    applyMode(p);
    c.keyState = key_state::kKeyerSpeed;
    if (const auto speed = replyField(queryRadio(p, "KS"), "KS", 3)) {
      p.level.keyerSpeed = static_cast<int>(wholeValueOf(*speed));
    }
    playWord(p, "on");
    sendText(p, "BI0");
    speakKeyerSpeed(p);
  } else {
    c.keyState = key_state::kIdle;
    p.mode.currentMode = p.mode.savedMode;
    applyMode(p);
    playWord(p, "off");
    speakKeyerSpeed(p);
    if (c.breakIn == 1) sendText(p, "BI1");
  }
}

}  // namespace korvel
