#include "core/dispatcher.h"

#include "core/monitor_keys.h"
#include "core/quit_key.h"
#include "core/entry_modes.h"
#include "core/key_table.h"
#include "core/poll_cycle.h"
#include "functions/mode.h"
#include "functions/tuning.h"
#include "platform/key_codes.h"
#include "player/phrase_player.h"
#include "radio_link/debug_log.h"
#include "radio_link/cat.h"
#include "radio_link/transport.h"
#include "state/panel.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

bool isDigitKey(int key) { return key >= vk::k0 && key <= vk::k0 + 9; }

// --- The steps before the key table. Each returns true when it ends the handling of the key;
// the key is passed by reference to the steps that normalise it.

// Auto-repeat: one command per press; the key-up re-arms.
bool latchKey(Panel& p, int& key) {
  if (p.core.keyHeld) return true;
  p.core.keyCode = key;
  p.core.keyHeld = true;
  p.link.relayActive = false;
  return false;
}

bool refuseShift(Panel& p, int& key) {
  if (key != vk::kShift) return false;
  playWord(p, "noshift");
  return true;
}

bool mapKeypadSigns(Panel& p, int& key) {
  if (key == vk::kAdd) key = vk::kPlus;
  if (key == vk::kSubtract) key = vk::kMinus;
  p.core.keyCode = key;
  return false;
}

bool logKey(Panel& p, int& key) {
  if (p.config.debugLog) writeDebugLine(p, keyLine(key));
  return false;
}

// While the tune carrier is on only S and T are accepted.
bool tuneCarrierLock(Panel& p, int& key) {
  if (!p.core.tuneActive || key == 'S' || key == 'T') return false;
  playWord(p, "ton");
  return true;
}

// An open tone entry that still holds no tone gives way to any key other than Enter or a digit.
bool forgetEmptyToneEntry(Panel& p, int& key) {
  if (p.tone.toneActive && p.tone.toneText == kNoTone && key != vk::kEnter && !isDigitKey(key)) {
    p.tone.toneActive = false;
  }
  return false;
}

bool quitStep(Panel& p, int& key) {
  if (key != 'Q') return false;
  quitKey(p);
  return true;
}

// Every key below needs a radio that has answered a frequency query.
bool needContact(Panel& p, int&) {
  if (p.link.frequencyHz != 0) return false;
  playWord(p, "nc");
  return true;
}

bool extendedStateKeys(Panel& p, int& key) { return runKeyRows(extendedStateRows(), p, key); }

bool offsetEnter(Panel& p, int& key) {
  const int state = p.core.keyState;
  if (key != vk::kEnter || (state != key_state::kOffset && state != key_state::kOffsetDigits)) return false;
  offsetEnterKey(p);
  return true;
}

// In the extended state any key without a second meaning only cancels it.
bool cancelExtended(Panel& p, int& key) {
  if (p.core.keyState != key_state::kExtended) return false;
  if (key == 'M' || key == 'F' || key == 'S' || key == 'X') return false;
  p.core.keyState = key_state::kIdle;
  return true;
}

// F9 switches the monitor and lets the chain run on.
bool monitorStep(Panel& p, int& key) {
  if (key == vk::function(9)) monitorKey(p);
  return false;
}

bool ignoreModifiers(Panel&, int& key) {
  return key == vk::kControl || key == vk::kInsert || key == vk::kLeftWindows;
}

bool leaveMicMetering(Panel& p, int& key) {
  if (p.core.micMeterState <= 0 || key == vk::kUp || key == vk::kDown) return false;
  endMicMetering(p);
  return key == vk::function(11);
}

bool mapKeypadDigits(Panel& p, int& key) {
  if (key >= vk::kNumpad0 && key <= vk::kNumpad0 + 9) key = vk::k0 + (key - vk::kNumpad0);
  if (key == vk::kDecimal) key = vk::kPeriod;
  p.core.keyCode = key;
  return false;
}

// Any key other than K, Up and Down leaves keyer speed mode and restores the mode it put aside.
bool leaveKeyerSpeed(Panel& p, int& key) {
  auto& c = p.core;
  if (c.keyState != key_state::kKeyerSpeed || key == 'K' || key == vk::kUp || key == vk::kDown) return false;
  c.keyState = key_state::kIdle;
  p.mode.currentMode = p.mode.savedMode;
  applyMode(p);
  if (c.breakIn) sendText(p, cat::set(cat::Switch::BreakIn, true));
  return false;
}

using Step = bool (*)(Panel& p, int& key);

constexpr Step kStepsBeforeTable[] = {
    latchKey,         refuseShift,     mapKeypadSigns,  logKey,
    tuneCarrierLock,  forgetEmptyToneEntry, quitStep,   needContact,
    extendedStateKeys, offsetEnter,    cancelExtended,  monitorStep,
    ignoreModifiers,  leaveMicMetering, mapKeypadDigits, leaveKeyerSpeed,
};

}  // namespace

void handleEvent(Panel& p, const platform::Event& event) {
  p.speech.gaveWay = false;  // whatever this event says is a new announcement
  switch (event.message) {
    case platform::kCloseMessage:
      p.core.running = false;
      break;
    case platform::kTimerMessage:
      pollTick(p);
      break;
    case platform::kKeyUpMessage:
      p.core.keyHeld = false;
      break;
    case platform::kKeyDownMessage:
      handleKeyDown(p, event.key);
      break;
    case platform::kPortInputMessage:
      portInput(p);
      break;
    default:
      break;
  }
  finishAnnouncement(p);
}

void processEvents(Panel& p) {
  finishAnnouncement(p);  // the start-up's words, before the first wait
  p.window.watchInput(portsToWatch(p));
  for (const auto& event : p.window.waitEvents()) handleEvent(p, event);
}

void handleKeyDown(Panel& p, int key) {
  for (Step step : kStepsBeforeTable) {
    if (step(p, key)) return;
  }
  if (runKeyRows(keyTableRows(), p, key)) return;
  // Only in the idle and width states do the tuning keys work.
  if (p.core.keyState != key_state::kIdle && p.core.keyState != key_state::kWidth) return;
  if (!tuningKey(p, key)) return;
  resendFrequency(p);
}

}  // namespace korvel
