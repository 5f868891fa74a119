#include "core/monitor_keys.h"

#include <string>

#include "player/phrase_player.h"
#include "radio_link/cat.h"
#include "radio_link/transport.h"
#include "speech/announcers.h"
#include "state/panel.h"
#include "state/text.h"
#include "state/radio_numbers.h"

namespace korvel {

void monitorKey(Panel& p) {
  auto& c = p.core;
  playWord(p, "mon");
  if (refusedBeforeSending(p, cat::monitor(true))) return;
  if (!c.monitorOn) sendText(p, cat::monitorLevel(c.monitorLevel));
  if (c.monitorOn) {
    playWord(p, "off");
    sendText(p, cat::monitor(false));
    c.monitorOn = false;
  } else {
    playWord(p, "on");
    sendText(p, cat::monitor(true));
    c.monitorOn = true;
  }
}

void micGainKey(Panel& p) {
  auto& c = p.core;
  playWord(p, "micgain");
  c.keyState = key_state::kMicGain;
  restartTickCount(c);
  playWord(p, "lev");
  p.level.micGain = static_cast<int>(askRadioValue(p, cat::Reading::MicGain).value_or(0));
  c.meterPeak = p.level.micGain;
  c.micMeterState = -1;
  speakMeterPeak(p);
  catPause(p);
  c.meterPeak = 0;
  c.micMeterState = 1;
}

void endMicMetering(Panel& p) {
  auto& c = p.core;
  c.micMeterState = -1;
  playWord(p, "micgain");
  playWord(p, "lev");
  c.meterPeak = p.level.micGain;
  speakMeterPeak(p);
  c.micMeterState = 0;
  c.meterPeak = 0;
  playWord(p, "off");
}

void functionLevelKey(Panel& p) {
  const int function = p.fn.lastFunction;
  if (function > level_function::kNone) p.core.keyState = key_state::kFunctionLevel;
  static constexpr const char* kWords[] = {"", "preamp", "nb", "nr", "co", "spc"};
  const bool named = function >= level_function::kPreamp && function <= level_function::kProcessor;
  if (named) playWord(p, kWords[function]);
  playWord(p, "lev");
}

}  // namespace korvel
