#include "core/key_table.h"

#include "core/announcement_keys.h"
#include "core/extended_keys.h"
#include "core/keyer_keys.h"
#include "core/monitor_keys.h"
#include "core/split_keys.h"
#include "core/transmit_keys.h"
#include "core/voice_message_keys.h"
#include "core/entry_modes.h"
#include "functions/levels.h"
#include "functions/mode.h"
#include "functions/toggles.h"
#include "functions/tones.h"
#include "memory/channel_ops.h"
#include "platform/key_codes.h"
#include "player/phrase_player.h"
#include "radio_link/radio_models.h"
#include "radio_link/cat.h"
#include "radio_link/transport.h"
#include "speech/announcers.h"
#include "state/panel.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

using namespace key_class;
using key_state::KeyState;

bool isDigitKey(int key) { return key >= vk::k0 && key <= vk::k0 + 9; }

// Actions that need nothing but the panel.
template <void (*Routine)(Panel&)>
void run(Panel& p, int) {
  Routine(p);
}

template <KeyState State>
bool inState(const Panel& p, int) {
  return p.core.keyState == State;
}

template <KeyState State, const char* Word>
void selectTarget(Panel& p, int) {
  p.core.keyState = State;
  playWord(p, Word);
}

constexpr char kAfWord[] = "af";
constexpr char kRfWord[] = "rf";

bool channelOpPending(const Panel& p, int) { return p.memory.channelOp > 0; }

// --- Rows with more to them than one call -------------------------------------------------------

void forgetQuietStep(Panel& p, int key) {
  p.tone.speechQuiet = false;
  if (key != 'S' && key != 'F') p.memory.lastBank = memory::kNoBank;
}

void bankDigitNext(Panel& p, int) {
  p.memory.bankEntry = -1;
  playWord(p, "bank");
}

bool channelOpLeft(const Panel& p, int key) { return p.memory.channelOp > 0 && !isDigitKey(key); }
void endChannelOp(Panel& p, int) {
  p.memory.channelOp = 0;
  p.memory.bankEntry = 0;
}

bool digitalVoiceFm(const Panel& p, int) {
  return radioRow(p).hasDigitalVoice && isFmFamily(p.mode.currentMode);
}

void playHelp(Panel& p, int) { playWordAsync(p, "help.wav"); }
bool noToneEntry(const Panel& p, int) { return !p.tone.toneActive; }

template <int Op, const char* Word>
void nextChannelOp(Panel& p, int) {
  p.memory.channelOp = Op;
  playWord(p, Word);
}
constexpr char kStoreWord[] = "sch";
constexpr char kRecallWord[] = "gch";

bool toneEntryOpen(const Panel& p, int) { return p.tone.toneActive && !p.core.freqEntryActive; }
// kNoEntryNumber marks "no entry since start-up"; an open entry whose digits happen to be 999
// still ends here.
bool frequencyEntryOpen(const Panel& p, int) {
  return p.core.entryNumber != core::kNoEntryNumber || p.core.freqEntryActive;
}

void preampKey(Panel& p, int) {
  p.fn.lastFunction = level_function::kPreamp;
  p.fn.preampLevel = 1;
  togglePreamp(p);
}

void typedDigit(Panel& p, int key) { digitKey(p, key - vk::k0); }
bool ssbMode(const Panel& p, int) { return isSsb(p.mode.currentMode); }
void notAvailable(Panel& p, int) { playWord(p, "na"); }

void breakInOrVox(Panel& p, int) {
  if (p.mode.currentMode == mode_number::kCw) {
    toggleBreakIn(p);
  } else {
    toggleVox(p);
  }
}

bool readyToAnnounce(const Panel& p, int) { return frequencyAnnouncementReady(p.core); }

void powerKey(Panel& p, int) {
  p.core.keyState = key_state::kPower;
  playWord(p, "Power");
  speakPower(p);
}

void meterKey(Panel& p, int) {
  if (p.core.txState > 0 || p.core.tuneActive) {
    speakSwr(p);
  } else {
    showSMeter(p);
  }
}

bool hasWidth(const Panel& p, int) {
  const int mode = p.mode.currentMode;
  return mode != mode_number::kAm && !isFm(mode);
}

void widthKey(Panel& p, int) {
  p.core.keyState = key_state::kWidth;
  speakWidth(p);
}

void wideFmKey(Panel& p, int) {
  toggleWideFm(p);
  p.core.keyState = key_state::kIdle;
}

void endRecording(Panel& p, int) {
  sendText(p, cat::recordVoiceMessage(0));
  p.core.keyState = key_state::kIdle;
}

void stopRecording(Panel& p, int key) {
  endRecording(p, key);
  playWord(p, "stop");
}

void bandLetter(Panel& p, int key) { bandSelectLetter(p, key); }
void offsetSign(Panel& p, int key) { offsetSignKey(p, key); }
void menuSign(Panel& p, int key) { menuSignKey(p, key); }

constexpr auto inBandSelect = inState<key_state::kBandSelect>;
constexpr auto inExtended = inState<key_state::kExtended>;

const KeyRow kKeyTable[] = {
    {"band select 6 m", 'X', inBandSelect, bandLetter, Then::Stop},
    {"band select 2 m", 'T', inBandSelect, bandLetter, Then::Stop},
    {"band select 70 cm", 'S', inBandSelect, bandLetter, Then::Stop},
    {"band select general coverage", 'U', inBandSelect, bandLetter, Then::Stop},
    {"next filled channel", 'U', nullptr, run<stepChannel>, Then::Stop},
    {"forget the quiet channel step", kAnyKey, nullptr, forgetQuietStep, Then::NextRow},
    {"bank digit next", 'B', channelOpPending, bankDigitNext, Then::Stop},
    {"leave the channel entry", kAnyKey, channelOpLeft, endChannelOp, Then::NextRow},
    {"band select", 'B', nullptr, run<startBandSelect>, Then::Stop},
    {"transmit", vk::kSpace, nullptr, run<transmitKey>, Then::Stop},
    {"function level", 'L', nullptr, run<functionLevelKey>, Then::Stop},
    {"keyer speed", 'K', nullptr, run<keyerSpeedKey>, Then::Stop},
    {"FM and C4FM", 'D', digitalVoiceFm, run<toggleDigitalMode>, Then::Stop},
    {"tone", 'I', nullptr, run<toneKey>, Then::Stop},
    {"help", 'H', nullptr, playHelp, Then::Stop},
    {"menu number entry", 'N', noToneEntry, run<startMenuEntry>, Then::Stop},
    {"menu number done", vk::kEnter, inState<key_state::kMenuNumber>, run<menuNumberDone>, Then::Stop},
    {"menu value done", vk::kEnter, inState<key_state::kMenuValue>, run<menuValueDone>, Then::Stop},
    {"status report", 'O', nullptr, run<statusReport>, Then::Stop},
    {"store channel", 'C', nullptr, nextChannelOp<memory::kStoreChannel, kStoreWord>, Then::Stop},
    {"recall channel", 'G', nullptr, nextChannelOp<memory::kRecallChannel, kRecallWord>, Then::Stop},
    {"AF gain", 'A', nullptr, selectTarget<key_state::kAfGain, kAfWord>, Then::Stop},
    {"frequency entry", 'E', nullptr, run<startFrequencyEntry>, Then::RunOn},
    {"frequency entry point", vk::kPeriod, nullptr, run<frequencyPointKey>, Then::Stop},
    {"tone entry done", vk::kEnter, toneEntryOpen, run<validateToneEntry>, Then::Stop},
    {"frequency entry done", vk::kEnter, frequencyEntryOpen, run<enterTypedFrequency>, Then::Stop},
    {"split or repeater shift", 'V', nullptr, run<splitKey>, Then::Stop},
    {"zero-in", 'Z', nullptr, run<zeroInKey>, Then::Stop},
    {"preamp", vk::function(1), nullptr, preampKey, Then::RunOn},
    {"attenuator", vk::function(2), nullptr, run<toggleAttenuator>, Then::RunOn},
    {"noise blanker", vk::function(3), nullptr, run<toggleNoiseBlanker>, Then::RunOn},
    {"noise reduction", vk::function(4), nullptr, run<toggleNoiseReduction>, Then::RunOn},
    {"entry digit", kDigitKey, nullptr, typedDigit, Then::Stop},
    {"notch", vk::function(5), nullptr, run<toggleNotch>, Then::RunOn},
    {"contour", vk::function(6), nullptr, run<cycleContour>, Then::RunOn},
    {"speech processor", vk::function(7), ssbMode, run<toggleProcessor>, Then::Stop},
    {"speech processor refused", vk::function(7), nullptr, notAvailable, Then::Stop},
    {"break-in or VOX", vk::function(8), nullptr, breakInOrVox, Then::RunOn},
    {"tuner setting", vk::function(12), nullptr, run<tunerSettingKey>, Then::Stop},
    {"frequency announcement", 'F', readyToAnnounce, run<announceFrequencyKey>, Then::Stop},
    {"power", 'P', nullptr, powerKey, Then::Stop},
    {"mic gain", vk::function(11), nullptr, run<micGainKey>, Then::Stop},
    {"RF gain", 'R', nullptr, selectTarget<key_state::kRfGain, kRfWord>, Then::RunOn},
    {"meter", 'S', nullptr, meterKey, Then::RunOn},
    {"tune", 'T', nullptr, run<tuneKey>, Then::Stop},
    {"filter width", 'W', hasWidth, widthKey, Then::Stop},
    {"extended state", 'X', nullptr, run<extendedKey>, Then::Stop},
    {"FM wide or narrow", 'M', inExtended, wideFmKey, Then::Stop},
    {"next mode", 'M', nullptr, run<cycleMode>, Then::Stop},
    {"level up", vk::kUp, nullptr, run<levelUp>, Then::RunOn},
    {"level down", vk::kDown, nullptr, run<levelDown>, Then::RunOn},
    {"offset sign", kSignKey, inState<key_state::kOffset>, offsetSign, Then::Stop},
    {"menu value sign", kSignKey, inState<key_state::kMenuValue>, menuSign, Then::Stop},
};

const KeyRow kExtendedStateRows[] = {
    {"voice message record", 'R', inExtended, run<voiceRecordKey>, Then::Stop},
    {"stop recording with R", 'R', inState<key_state::kVoiceRecording>, stopRecording, Then::Stop},
    {"stop recording", kAnyKey, inState<key_state::kVoiceRecording>, endRecording, Then::NextRow},
    {"voice message play", 'P', inExtended, run<voicePlayKey>, Then::Stop},
    {"AGC", 'A', inExtended, run<agcKey>, Then::Stop},
    {"swap VFOs", 'S', inExtended, run<swapKey>, Then::Stop},
    {"repeater offset", 'O', inExtended, run<startOffsetEntry>, Then::Stop},
};

}  // namespace

bool rowMatches(const KeyRow& row, const Panel& p, int key) {
  const bool keyFits = row.key == kAnyKey                            ? true
                       : row.key == kDigitKey                        ? isDigitKey(key)
                       : row.key == kSignKey                         ? key == vk::kPlus || key == vk::kMinus
                                                                     : key == row.key;
  return keyFits && (row.when == nullptr || row.when(p, key));
}

bool runKeyRows(std::span<const KeyRow> rows, Panel& p, int key) {
  for (const KeyRow& row : rows) {
    if (!rowMatches(row, p, key)) continue;
    row.action(p, key);
    if (row.then == Then::Stop) return true;
    if (row.then == Then::RunOn) return false;
  }
  return false;
}

std::span<const KeyRow> keyTableRows() { return kKeyTable; }
std::span<const KeyRow> extendedStateRows() { return kExtendedStateRows; }

}  // namespace korvel
