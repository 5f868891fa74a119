#include "core/keyer_keys.h"

#include <string>

#include "functions/mode.h"
#include "player/phrase_player.h"
#include "radio_link/cat.h"
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
    if (const auto speed = askRadioValue(p, cat::Reading::KeyerSpeed)) p.level.keyerSpeed = static_cast<int>(*speed);
    playWord(p, "on");
    sendText(p, cat::set(cat::Switch::BreakIn, false));
    speakKeyerSpeed(p);
  } else {
    c.keyState = key_state::kIdle;
    p.mode.currentMode = p.mode.savedMode;
    applyMode(p);
    playWord(p, "off");
    speakKeyerSpeed(p);
    if (c.breakIn) sendText(p, cat::set(cat::Switch::BreakIn, true));
  }
}

}  // namespace korvel
