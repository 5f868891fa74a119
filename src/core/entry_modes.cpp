#include "core/entry_modes.h"

#include <algorithm>
#include <string>

#include "core/voice_message_keys.h"
#include "state/panel.h"
#include "state/text.h"
#include "state/band_record.h"
#include "state/frequency_text.h"
#include "functions/band_table.h"
#include "functions/mode.h"
#include "functions/toggles.h"
#include "memory/channel_ops.h"
#include "platform/key_codes.h"
#include "radio_link/radio_models.h"
#include "radio_link/cat.h"
#include "radio_link/transport.h"
#include "speech/announcers.h"
#include "player/phrase_player.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

// Typed texts are short by nature; a stuck key must not grow them without end.
constexpr std::size_t kTypedCap = 16;
constexpr long long kEntryCap = 1000000000000LL;

std::string digitText(int digit) { return std::string(1, static_cast<char>('0' + digit)); }

const std::string& recordOf(const Panel& p, int band) {
  return p.band.bandTable[static_cast<std::size_t>(std::clamp(band, 1, 14))];
}

void speakSign(Panel& p, char sign) { playWord(p, sign == '-' ? "minus" : "plus"); }

}  // namespace

void startFrequencyEntry(Panel& p) {
  auto& c = p.core;
  c.entryNumber = 0;
  c.keyState = key_state::kIdle;
  c.mhzDigits = 0;
  c.freqEntryActive = true;
  c.pointEntered = false;
  playWord(p, "EF");
}

void frequencyPointKey(Panel& p) {
  auto& c = p.core;
  // The number of a finished entry stays behind, and a second point would take every digit typed
  // so far for the megahertz: either would look up, and switch to, a band nobody asked for.
  if (!c.freqEntryActive || c.pointEntered || c.entryNumber > 439 || c.entryNumber < 1) {
    playWord(p, "invalid");
    return;
  }
  saveBandStateOnLeaving(p);
  c.pointEntered = true;
  bandFromMegahertz(p, c.entryNumber);
  c.entryBand = p.band.currentBand;
  playWord(p, "point");
}

void enterTypedFrequency(Panel& p) {
  auto& c = p.core;
  if (!c.freqEntryActive) return;
  restartTickCount(c);
  c.freqEntryActive = false;
  const bool pointTyped = c.pointEntered;
  c.pointEntered = false;
  std::string digits = std::to_string(c.entryNumber);
  if (c.mhzDigits == 1) digits = "00" + digits;
  if (c.mhzDigits == 2) digits = "0" + digits;
  // Checked before anything changes, so that a refused entry leaves the band and the radio's mode
  // alone. No digits at all, or nothing but zeros, would tune the radio to 0 Hz; without a point
  // the number is whole megahertz, which the panel takes up to 439 as it does before a point.
  if (digits.size() > cat::kFrequencyDigits || c.mhzDigits > 3 || c.mhzDigits == 0 || c.entryNumber == 0 ||
      (!pointTyped && c.entryNumber > 439)) {
    playWord(p, "invalid");
    c.mhzDigits = 0;
    return;
  }
  if (!pointTyped) {
    saveBandStateOnLeaving(p);
    bandFromMegahertz(p, c.entryNumber);
    c.entryBand = p.band.currentBand;
  }
  p.band.currentBand = c.entryBand;
  if (p.band.currentBand < band_number::kGeneralCoverageRequest) {
    const std::string& record = recordOf(p, p.band.currentBand);
    p.mode.currentMode = static_cast<int>(wholeValueOf(std::string(1, band_record::modeDigit(record))));
    // The record's first character is a split flag, or "5" for a repeater record, which is not split.
    p.tone.vfoB = band_record::kind(record) == '1';
    applyMode(p);
  }
  if (c.entryNumber < 25 && isFm(p.mode.currentMode)) {
    p.mode.currentMode = mode_number::kAm;
    applyMode(p);
  }
  digits.append(cat::kFrequencyDigits - digits.size(), '0');
  sendText(p, cat::tune(cat::Vfo::A, digits));
  // The radio is on the entered frequency now: a key before the poll reads it back (a mode change,
  // the frequency key) must work from it, not send the frequency the entry left.
  p.link.frequencyText = recordFrequencyText(digits);
  p.link.frequencyHz = std::stoll(digits);
  p.fn.preampOn = band_record::preampDigit(recordOf(p, p.band.currentBand)) == '0';
  p.fn.preampLevel = 1;
  togglePreamp(p);
  playWord(p, "ok");
}

void startBandSelect(Panel& p) {
  p.core.keyState = key_state::kBandSelect;
  playWord(p, "band");
  speakBand(p);
}

void bandSelectLetter(Panel& p, int key) {
  const int target = key == 'X'   ? band_number::k6m
                     : key == 'T' ? band_number::k2m
                     : key == 'S' ? band_number::k70cm
                                  : band_number::kGeneralCoverageRequest;
  jumpToBand(p, target);
  p.core.keyState = key_state::kIdle;
}

void startOffsetEntry(Panel& p) {
  const int band = p.band.currentBand;
  if (band < band_number::k10m) {
    p.core.keyState = key_state::kIdle;
    return;
  }
  if (band > band_number::k70cm) {
    // General coverage has no repeater offset to announce or store.
    p.core.keyState = key_state::kIdle;
    playWord(p, "na");
    return;
  }
  playWord(p, "eofs");
  p.core.keyState = key_state::kOffset;
  p.core.offsetEntry.clear();
}

void offsetEnterKey(Panel& p) {
  auto& c = p.core;
  const auto band = static_cast<std::size_t>(std::clamp(p.band.currentBand, 10, 13));
  if (c.keyState == key_state::kOffset) {
    speakBand(p);
    playWord(p, "std");
    speakSign(p, p.config.repeaterOffsetMinus[band] == 1 ? '-' : '+');
    speakCharacters(p, p.config.repeaterOffsetKhz[band]);
    playWord(p, "khz");
    c.keyState = key_state::kIdle;
    return;
  }
  const std::string& entry = c.offsetEntry;
  if (entry.size() < 4 || entry.size() > 5 || (entry.size() > 4 && p.band.currentBand < band_number::k70cm)) {
    playWord(p, "ofs");
    playWord(p, "invalid");
    c.keyState = key_state::kIdle;
    return;
  }
  speakBand(p);
  playWord(p, "ofs");
  speakSign(p, entry[0]);
  speakCharacters(p, entry.substr(1));
  playWord(p, "khz");
  const int minus = entry[0] == '-' ? 1 : 0;
  p.config.repeaterOffsetMinus[band] = minus;
  p.config.repeaterOffsetKhz[band] = entry.substr(1);
  p.config.configuredOffsetMinus[band] = minus;
  p.config.configuredOffsetKhz[band] = entry.substr(1);
  c.keyState = key_state::kIdle;
}

void offsetSignKey(Panel& p, int key) {
  if (p.band.currentBand < band_number::k6m) {
    p.core.keyState = key_state::kIdle;
    return;
  }
  const char sign = key == vk::kMinus ? '-' : '+';
  p.core.offsetEntry = std::string(1, sign);
  speakSign(p, sign);
  p.core.keyState = key_state::kOffsetDigits;
}

void startMenuEntry(Panel& p) {
  p.core.keyState = key_state::kMenuNumber;
  p.core.menuNumber.clear();
  playWord(p, "mn");
}

void menuNumberDone(Panel& p) {
  p.core.keyState = key_state::kMenuValue;
  const auto wanted = static_cast<std::size_t>(radioRow(p).menuNumberLength);
  if (p.core.menuNumber.size() != wanted) {
    playWord(p, "invalid");
    p.core.keyState = key_state::kIdle;
    return;
  }
  playWord(p, "mp");
  p.core.menuValue.clear();
}

void menuValueDone(Panel& p) {
  auto& c = p.core;
  c.pollPaused = true;
  if (c.menuValue.empty()) {
    catPause(p);
    readReply(p);
    for (const char ch : askMenu(p, c.menuNumber)) {
      if (ch == '+') {
        playWord(p, "plus");
      } else if (ch == '-') {
        playWord(p, "minus");
      } else if (ch == '.') {
        playWord(p, "point");
      } else {
        speakCharacters(p, std::string(1, ch));
      }
    }
  } else {
    sendText(p, cat::menu(c.menuNumber, c.menuValue));
    playWord(p, "ok");
  }
  c.keyState = key_state::kIdle;
  c.pollPaused = false;
}

void menuSignKey(Panel& p, int key) {
  const char sign = key == vk::kMinus ? '-' : '+';
  if (p.core.menuValue.size() < kTypedCap) p.core.menuValue += sign;
  speakSign(p, sign);
}

void toneKey(Panel& p) {
  auto& t = p.tone;
  p.core.keyState = key_state::kIdle;
  if (!isFm(p.mode.currentMode)) {
    playWord(p, "wrong");
    playWord(p, "mode");
    return;
  }
  if (t.toneActive) {
    sendText(p, cat::toneMode(cat::ToneMode::Off));
    t.toneActive = false;
    playWord(p, mid(t.toneText, 1, 1) > "4" && t.toneIsDcs ? "dcs" : "ctcss");
    playWord(p, "off");
    t.toneText = kNoTone;
    return;
  }
  playWord(p, p.config.dcsAllowed ? "ecd" : "ec");
  t.toneActive = true;
  t.toneText.clear();
}

void digitKey(Panel& p, int digit) {
  auto& c = p.core;
  auto& m = p.memory;
  const std::string d = digitText(digit);
  if (m.bankEntry == -1) {
    m.bankEntry = digit;
    playWord(p, d);
    playWord(p, "channel");
  } else if (c.keyState == key_state::kMenuNumber || c.keyState == key_state::kMenuValue) {
    std::string& text = c.keyState == key_state::kMenuNumber ? c.menuNumber : c.menuValue;
    if (text.size() < kTypedCap) text += d;
    playWord(p, d);
  } else if (c.keyState == key_state::kVoiceRecordSlot || c.keyState == key_state::kVoicePlaySlot) {
    voiceSlotDigit(p, digit);
  } else if (m.channelOp == 1) {
    storeChannel(p, m.bankEntry * 10 + digit);
  } else if (m.channelOp == 2) {
    recallChannel(p, m.bankEntry * 10 + digit);
  } else if (c.keyState == key_state::kIdle && c.freqEntryActive) {
    // A leading zero only writes the megahertz out ("07.1"): it is no megahertz digit of its own.
    if (!c.pointEntered && !(digit == 0 && c.entryNumber == 0)) c.mhzDigits += 1;
    if (c.entryNumber < kEntryCap) c.entryNumber = c.entryNumber * 10 + digit;
    playWord(p, d);
  } else if (c.keyState == key_state::kBandSelect) {
    saveBandStateOnLeaving(p);
    p.band.currentBand = digit == 0 ? 10 : digit;
    p.tone.vfoB = false;
    recallBand(p);
    c.keyState = key_state::kIdle;
  } else if (c.keyState == key_state::kOffsetDigits) {
    playWord(p, d);
    if (c.offsetEntry.size() < kTypedCap) c.offsetEntry += d;
  } else if (p.tone.toneActive) {
    std::string& tone = p.tone.toneText;
    if (tone.empty() && digit < 5) tone = "0";
    if (tone.size() < kTypedCap) tone += d;
    playWord(p, d);
  }
}

}  // namespace korvel
