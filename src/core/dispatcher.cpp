#include "core/dispatcher.h"

#include "core/direct_keys.h"
#include "core/entry_modes.h"
#include "state/panel.h"
#include "state/radio_numbers.h"
#include "core/poll_cycle.h"
#include "functions/tuning.h"
#include "functions/levels.h"
#include "functions/mode.h"
#include "functions/toggles.h"
#include "functions/tones.h"
#include "memory/channel_ops.h"
#include "platform/key_codes.h"
#include "radio_link/debug_log.h"
#include "radio_link/radio_models.h"
#include "radio_link/transport.h"
#include "speech/announcers.h"
#include "player/phrase_player.h"

namespace korvel {

namespace {

bool isDigitKey(int key) { return key >= vk::k0 && key <= vk::k0 + 9; }
bool isKey(int key, char letter) { return key == letter; }

// What a row of the key table does with the chain afterwards.
enum class Next { Stop, RunOn, NoRow };

// Keys of the extended state, of voice-message recording, and the offset Enter: they come before
// the extended state is cancelled by any other key.
bool extendedStateKeys(Panel& p, int key) {
  auto& c = p.core;
  if (c.keyState == key_state::kExtended) {
    if (isKey(key, 'R')) {
      voiceRecordKey(p);
      return true;
    }
    if (isKey(key, 'P')) {
      voicePlayKey(p);
      return true;
    }
    if (isKey(key, 'A')) {
      agcKey(p);
      return true;
    }
    if (isKey(key, 'S')) {
      swapKey(p);
      return true;
    }
    if (isKey(key, 'O')) {
      startOffsetEntry(p);
      return true;
    }
  }
  if (c.keyState == key_state::kVoiceRecording) {
    sendText(p, "LM00");
    c.keyState = key_state::kIdle;
    if (isKey(key, 'R')) {
      playWord(p, "stop");
      return true;
    }
  }
  return false;
}

// The key table, in chain order. Each row either ends the chain or lets it run on.
Next keyTable(Panel& p, int key) {
  auto& c = p.core;
  const int mode = p.mode.currentMode;

  if (c.keyState == key_state::kBandSelect && (isKey(key, 'X') || isKey(key, 'T') || isKey(key, 'S') || isKey(key, 'U'))) {
    bandSelectLetter(p, key);
    return Next::Stop;
  }
  if (isKey(key, 'U')) {
    stepChannel(p);
    return Next::Stop;
  }
  // Every key after U forgets the quiet channel step and, other than S and F, the bank stepped.
  p.tone.speechQuiet = 0;
  if (!isKey(key, 'S') && !isKey(key, 'F')) p.memory.lastBank = 99;
  if (isKey(key, 'B') && p.memory.channelOp > 0) {
    p.memory.bankEntry = -1;
    playWord(p, "bank");
    return Next::Stop;
  }
  if (p.memory.channelOp > 0 && !isDigitKey(key)) {
    p.memory.channelOp = 0;
    p.memory.bankEntry = 0;
  }
  if (isKey(key, 'B')) {
    startBandSelect(p);
    return Next::Stop;
  }
  if (key == vk::kSpace) {
    transmitKey(p);
    return Next::Stop;
  }
  if (isKey(key, 'L')) {
    functionLevelKey(p);
    return Next::Stop;
  }
  if (isKey(key, 'K')) {
    keyerSpeedKey(p);
    return Next::Stop;
  }
  if (isKey(key, 'D') && radioModel(p.link.radioModel).hasDigitalVoice && isFmFamily(mode)) {
    toggleDigitalMode(p);
    return Next::Stop;
  }
  if (isKey(key, 'I')) {
    toneKey(p);
    return Next::Stop;
  }
  if (isKey(key, 'H')) {
    playWordAsync(p, "help.wav");
    return Next::Stop;
  }
  if (isKey(key, 'N') && p.tone.toneActive != 1) {
    startMenuEntry(p);
    return Next::Stop;
  }
  if (key == vk::kEnter && c.keyState == key_state::kMenuNumber) {
    menuNumberDone(p);
    return Next::Stop;
  }
  if (key == vk::kEnter && c.keyState == key_state::kMenuValue) {
    menuValueDone(p);
    return Next::Stop;
  }
  if (isKey(key, 'O')) {
    statusReport(p);
    return Next::Stop;
  }
  if (isKey(key, 'C')) {
    p.memory.channelOp = 1;
    playWord(p, "sch");
    return Next::Stop;
  }
  if (isKey(key, 'G')) {
    p.memory.channelOp = 2;
    playWord(p, "gch");
    return Next::Stop;
  }
  if (isKey(key, 'A')) {
    c.keyState = key_state::kAfGain;
    playWord(p, "af");
    return Next::Stop;
  }
  if (isKey(key, 'E')) {
    startFrequencyEntry(p);
    return Next::RunOn;
  }
  if (key == vk::kPeriod) {
    frequencyPointKey(p);
    return Next::Stop;
  }
  if (key == vk::kEnter && p.tone.toneActive == 1 && c.freqEntryActive == 0) {
    validateToneEntry(p);
    return Next::Stop;
  }
  // 999 marks "no entry since start-up"; an open entry whose digits happen to be 999 still ends here.
  if (key == vk::kEnter && (c.entryNumber != 999 || c.freqEntryActive == 1)) {
    enterTypedFrequency(p);
    return Next::Stop;
  }
  if (isKey(key, 'V')) {
    splitKey(p);
    return Next::Stop;
  }
  if (isKey(key, 'Z')) {
    zeroInKey(p);
    return Next::Stop;
  }
  if (key == vk::function(1)) {
    p.fn.lastFunction = 1;
    p.fn.preampLevel = 1;
    togglePreamp(p);
    return Next::RunOn;
  }
  if (key == vk::function(2)) {
    toggleAttenuator(p);
    return Next::RunOn;
  }
  if (key == vk::function(3)) {
    toggleNoiseBlanker(p);
    return Next::RunOn;
  }
  if (key == vk::function(4)) {
    toggleNoiseReduction(p);
    return Next::RunOn;
  }
  if (isDigitKey(key)) {
    digitKey(p, key - vk::k0);
    return Next::Stop;
  }
  if (key == vk::function(5)) {
    toggleNotch(p);
    return Next::RunOn;
  }
  if (key == vk::function(6)) {
    cycleContour(p);
    return Next::RunOn;
  }
  if (key == vk::function(7)) {
    if (isSsb(mode)) {
      toggleProcessor(p);
    } else {
      playWord(p, "na");
    }
    return Next::Stop;
  }
  if (key == vk::function(8)) {
    if (mode == mode_number::kCw) {
      toggleBreakIn(p);
    } else {
      toggleVox(p);
    }
    return Next::RunOn;
  }
  if (key == vk::function(12)) {
    tunerSettingKey(p);
    return Next::Stop;
  }
  if (isKey(key, 'F') && c.tickCount >= 2) {
    announceFrequencyKey(p);
    return Next::Stop;
  }
  if (isKey(key, 'P')) {
    c.keyState = key_state::kPower;
    playWord(p, "Power");
    speakPower(p);
    return Next::Stop;
  }
  if (key == vk::function(11)) {
    micGainKey(p);
    return Next::Stop;
  }
  if (isKey(key, 'R')) {
    c.keyState = key_state::kRfGain;
    playWord(p, "rf");
    return Next::RunOn;
  }
  if (isKey(key, 'S')) {
    if (c.txState > 0 || c.tuneActive == 1) {
      speakSwr(p);
    } else {
      showSMeter(p);
    }
    return Next::RunOn;
  }
  if (isKey(key, 'T')) {
    tuneKey(p);
    return Next::Stop;
  }
  if (isKey(key, 'W') && mode != mode_number::kAm && !isFm(mode)) {
    c.keyState = key_state::kWidth;
    speakWidth(p);
    return Next::Stop;
  }
  if (isKey(key, 'X')) {
    extendedKey(p);
    return Next::Stop;
  }
  if (isKey(key, 'M')) {
    if (c.keyState == key_state::kExtended) {
      toggleWideFm(p);
      c.keyState = key_state::kIdle;
    } else {
      cycleMode(p);
    }
    return Next::Stop;
  }
  if (key == vk::kUp) {
    levelUp(p);
    return Next::RunOn;
  }
  if (key == vk::kDown) {
    levelDown(p);
    return Next::RunOn;
  }
  if ((key == vk::kPlus || key == vk::kMinus) && c.keyState == key_state::kOffset) {
    offsetSignKey(p, key);
    return Next::Stop;
  }
  if ((key == vk::kPlus || key == vk::kMinus) && c.keyState == key_state::kMenuValue) {
    menuSignKey(p, key);
    return Next::Stop;
  }
  return Next::NoRow;
}

}  // namespace

void handleEvent(Panel& p, const platform::Event& event) {
  switch (event.message) {
    case platform::kCloseMessage:
      p.core.running = 0;
      break;
    case platform::kTimerMessage:
      pollTick(p);
      break;
    case platform::kKeyUpMessage:
      p.core.keyHeld = 0;
      break;
    case platform::kKeyDownMessage:
      handleKeyDown(p, event.key);
      break;
    default:
      break;
  }
}

void processEvents(Panel& p) {
  for (const auto& event : p.window.waitEvents()) handleEvent(p, event);
}

void handleKeyDown(Panel& p, int key) {
  auto& c = p.core;
  // Auto-repeat: one command per press; the key-up re-arms.
  if (c.keyHeld == 1) return;
  c.keyCode = key;
  c.keyHeld = 1;
  p.link.relayActive = 0;

  if (key == vk::kShift) {
    playWord(p, "noshift");
    return;
  }
  if (key == vk::kAdd) key = vk::kPlus;
  if (key == vk::kSubtract) key = vk::kMinus;
  c.keyCode = key;
  if (p.config.debugLog == 1) writeDebugLine(p, keyLine(key));

  if (c.tuneActive == 1 && !isKey(key, 'S') && !isKey(key, 'T')) {
    playWord(p, "ton");
    return;
  }
  if (p.tone.toneActive == 1 && p.tone.toneText == "999" && key != vk::kEnter && !isDigitKey(key)) {
    p.tone.toneActive = 0;
  }
  if (isKey(key, 'Q')) {
    quitKey(p);
    return;
  }
  if (p.link.frequencyHz == 0) {
    playWord(p, "nc");
    return;
  }
  if (extendedStateKeys(p, key)) return;
  if (key == vk::kEnter && (c.keyState == key_state::kOffset || c.keyState == key_state::kOffsetDigits)) {
    offsetEnterKey(p);
    return;
  }
  if (c.keyState == key_state::kExtended && !isKey(key, 'M') && !isKey(key, 'F') && !isKey(key, 'S') && !isKey(key, 'X')) {
    c.keyState = key_state::kIdle;
    return;
  }
  if (key == vk::function(9)) monitorKey(p);  // runs on
  if (key == vk::kControl || key == vk::kInsert || key == vk::kLeftWindows) return;
  if (c.micMeterState > 0 && key != vk::kUp && key != vk::kDown) {
    endMicMetering(p);
    if (key == vk::function(11)) return;
  }
  if (key >= vk::kNumpad0 && key <= vk::kNumpad0 + 9) key = vk::k0 + (key - vk::kNumpad0);
  if (key == vk::kDecimal) key = vk::kPeriod;
  c.keyCode = key;
  if (c.keyState == key_state::kKeyerSpeed && !isKey(key, 'K') && key != vk::kUp && key != vk::kDown) {
    c.keyState = key_state::kIdle;
    p.mode.currentMode = p.mode.savedMode;
    applyMode(p);
    if (c.breakIn == 1) sendText(p, "BI1");
  }

  if (keyTable(p, key) == Next::Stop) return;

  if (c.keyState != key_state::kIdle && c.keyState != key_state::kWidth) return;
  if (!tuningKey(p, key)) return;
  resendFrequency(p);
}

}  // namespace korvel
