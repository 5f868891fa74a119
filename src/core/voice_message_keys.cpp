#include "core/voice_message_keys.h"

#include <string>

#include "player/phrase_player.h"
#include "radio_link/cat.h"
#include "radio_link/transport.h"
#include "state/panel.h"

namespace korvel {

void voiceRecordKey(Panel& p) {
  p.core.keyState = key_state::kVoiceRecordSlot;
  playWord(p, "record");
}

void voicePlayKey(Panel& p) {
  p.core.keyState = key_state::kVoicePlaySlot;
  playWord(p, "play");
}

void voiceSlotDigit(Panel& p, int digit) {
  const bool recording = p.core.keyState == key_state::kVoiceRecordSlot;
  if (digit < 1 || digit > 5) {
    playWord(p, "invalid");
    p.core.keyState = key_state::kIdle;
    return;
  }
  const std::string d(1, static_cast<char>('0' + digit));
  playWord(p, d);
  if (recording) {
    sendText(p, cat::recordVoiceMessage(digit));
    playWord(p, "start");
    p.core.keyState = key_state::kVoiceRecording;
  } else {
    sendText(p, cat::playVoiceMessage(digit));
    p.core.keyState = key_state::kIdle;
  }
}

}  // namespace korvel
