#include "memory/channel_ops.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "state/panel.h"
#include "state/text.h"
#include "state/band_record.h"
#include "state/channel_record.h"
#include "functions/mode.h"
#include "functions/tones.h"
#include "functions/repeater_tail.h"
#include "memory/memory_store.h"
#include "radio_link/cat.h"
#include "radio_link/transport.h"
#include "player/phrase_player.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

constexpr int kSlotCount = 100;
constexpr int kNoBank = 99;
constexpr int kGeneralCoverage = band_number::kGeneralCoverage;
constexpr long long kHighestFrequency = 999999999;

// "A" or "B" followed by nine digits.
bool isVfoField(std::string_view text, char letter) {
  return text.size() == 10 && text[0] == letter && isDigits(text.substr(1));
}

std::string digitWord(int digit) { return std::string(1, static_cast<char>('0' + digit)); }

bool isBand(int band) { return isBandNumber(band); }

std::string frequencyDigits(const Panel& p) {
  return zeroPad(std::clamp<long long>(p.link.frequencyHz, 0, kHighestFrequency), 9);
}

// "0" and the digit for bands 1 to 9, "1" and the last digit for 10 to 14. A band the table does
// not know is stored as general coverage, which is what its frequency is taken as.
std::string bandDigits(int band) {
  if (!isBand(band)) band = kGeneralCoverage;
  return zeroPad(band, 2);
}

// The tone part of a record: the active tone as three digits, else "999". A tone still being typed
// (one or two digits) is the same tone as its three-digit form; an empty one is no tone yet.
std::string storedTone(const Panel& p) {
  const std::string& code = p.tone.toneText;
  if (!p.tone.toneActive || !isDigits(code) || code.size() > 3) return kNoTone;
  return zeroPad(wholeValueOf(code), 3);
}

// Sign and eight offset digits for a repeater record, from the shared band-record formatter; an
// offset text of unusual length is zero-filled or cut so the record keeps its width. Empty when the
// band has no repeater shift to describe.
std::string repeaterShift(Panel& p, const std::string& head) {
  const std::string tail = mid(appendRepeaterTail(p, head), 14);
  if (tail.empty() || (tail[0] != '+' && tail[0] != '-')) return {};
  std::string digits = tail.substr(1);
  digits.erase(std::remove_if(digits.begin(), digits.end(), [](unsigned char c) { return !std::isdigit(c); }),
               digits.end());
  if (digits.size() > 8) digits = digits.substr(digits.size() - 8);
  return tail[0] + std::string(8 - digits.size(), '0') + digits;
}

// Everything of the record but tone and preamplifier: kind, mode, band, VFO A and VFO B (or shift).
std::string channelHead(Panel& p) {
  const int band = p.band.currentBand;
  const std::string bandText = bandDigits(band);
  const int mode = p.mode.currentMode;
  const char modeDigit = isModeNumber(mode) ? static_cast<char>('0' + mode) : '1';

  if (!isBand(band) || band == kGeneralCoverage) {
    const std::string hz = frequencyDigits(p);
    return std::string{p.tone.vfoB ? '1' : '0', modeDigit} + bandText + "A" + hz + "B" + hz;
  }

  const std::string& entry = p.band.bandTable[static_cast<std::size_t>(band)];
  std::string vfoA = band_record::vfoAField(entry);
  if (!isVfoField(vfoA, 'A')) vfoA = "A" + frequencyDigits(p);

  if (p.tone.repeaterActive == repeater_shift::kOn) {
    // The band record as the frequency replies keep it already carries kind 5 and the mode.
    std::string kindMode = left(entry, 2);
    if (kindMode.size() != 2 || kindMode[0] != '5' || kindMode[1] < '1' || kindMode[1] > '7') {
      kindMode = std::string{'5', modeDigit};
    }
    const std::string shift = repeaterShift(p, kindMode + vfoA + "B");
    if (!shift.empty()) return kindMode + bandText + vfoA + "B" + shift;
  }

  std::string vfoB = "B" + vfoA.substr(1);
  if (p.tone.vfoB) {
    // The radio's last VFO B reply; before there was one, what the band record holds for VFO B.
    if (isVfoField(p.link.vfoBText, 'B')) {
      vfoB = p.link.vfoBText;
    } else if (const std::string recordB = band_record::vfoBField(entry); isVfoField(recordB, 'B')) {
      vfoB = recordB;
    }
  }
  return std::string{p.tone.vfoB ? '1' : '0', modeDigit} + bandText + vfoA + vfoB;
}

// A slot the recall cannot use: spoken like an empty one, nothing is sent.
void refuseRecall(Panel& p) {
  playWord(p, "invalid");
  p.memory.channelOp = 0;
  p.memory.lastBank = kNoBank;
}

// Bands 11 to 13 take the direction and offset the record stored; band 10 has its fixed shift.
void takeRecordedShift(Panel& p, std::string_view record) {
  const int band = p.band.currentBand;
  if (!isConfiguredOffsetBand(band)) return;
  const auto i = static_cast<std::size_t>(band);
  p.config.repeaterOffsetMinus[i] = channel_record::shiftSign(record) == '-' ? 1 : 0;
  p.config.repeaterOffsetKhz[i] = channel_record::shiftOffsetKhz(record, band == band_number::k70cm);
}

void recallTone(Panel& p, std::string_view record) {
  auto& t = p.tone;
  t.toneText = channel_record::toneCode(record);
  const int mode = p.mode.currentMode;
  if (isFm(mode) && t.toneText != kNoTone) {
    t.toneActive = true;
    // A CTCSS tone must not go out as a DCS code because the last tone applied was one.
    t.toneIsDcs = isDcsNumber(wholeValueOf(t.toneText));
    t.toneEntryQuiet = false;
    applyTone(p);
    t.toneActive = true;
    return;
  }
  t.toneActive = false;
  t.toneText = kNoTone;
  sendText(p, cat::toneMode(cat::ToneMode::Off));
}

// The channel's split state: a split channel listens on VFO B; a repeater channel has no split.
void recallSplit(Panel& p, char kind) {
  auto& t = p.tone;
  if (kind == '5') {
    t.vfoB = false;
  } else if (kind == '1') {
    t.vfoB = true;
    if (!t.speechQuiet) playWord(p, "split");
    sendText(p, cat::split(true));
  } else {
    t.vfoB = false;
    sendText(p, cat::split(false));
  }
}

// Both VFOs of a split channel, else VFO A only.
void sendRecalledFrequencies(Panel& p, std::string_view record) {
  auto& t = p.tone;
  if (t.vfoB) {
    t.vfoB = false;
    sendText(p, cat::tune(cat::Vfo::A, channel_record::vfoADigits(record)));
    t.vfoB = true;
    sendText(p, cat::tune(cat::Vfo::B, channel_record::vfoBDigits(record)));
  } else {
    sendText(p, cat::tune(cat::Vfo::A, channel_record::vfoADigits(record)));
  }
}

}  // namespace

bool isWellFormedChannelRecord(std::string_view r) {
  if (r.size() != channel_record::kLength || !isDigits(channel_record::bandDigits(r))) return false;
  if (!isBand(channel_record::band(r))) return false;
  // Without its band digits a channel record is laid out as a band record.
  return isWellFormedBandRecord(channel_record::asBandRecord(r));
}

void storeChannel(Panel& p, int slot) {
  auto& m = p.memory;
  if (slot < 0 || slot >= kSlotCount) {
    playWord(p, "invalid");
    m.channelOp = 0;
    return;
  }
  playWord(p, digitWord(slot % 10));

  std::string record = channelHead(p) + storedTone(p) + (p.fn.preampOn ? "1" : "0");
  m.memorySlots[static_cast<std::size_t>(slot)] = std::move(record);
  saveMemoryBanks(p);

  playWord(p, "ok");
  m.channelOp = 0;
}

void recallChannel(Panel& p, int slot) {
  auto& m = p.memory;
  auto& t = p.tone;
  if (slot < 0 || slot >= kSlotCount) {
    refuseRecall(p);
    return;
  }
  playWord(p, digitWord(slot % 10));
  m.lastBank = slot / 10;
  m.lastSlot = slot % 10;

  // A copy: the routines below may save the store, and the record must stay as it was read.
  const std::string record = m.memorySlots[static_cast<std::size_t>(slot)];
  if (!channel_record::isOccupied(record) || !isWellFormedChannelRecord(record)) {
    refuseRecall(p);
    return;
  }

  const char kind = channel_record::kind(record);
  recallSplit(p, kind);

  // Band and frequency are taken before the mode is applied: the mode change re-sends the working
  // frequency and notes the mode in the current band's record, and both belong to the channel, not
  // to the band being left.
  p.band.currentBand = channel_record::band(record);
  p.band.bandRecallText = channel_record::vfoAField(record);
  p.link.frequencyHz = std::stoll(kind == '1' ? channel_record::vfoBDigits(record) : channel_record::vfoADigits(record));

  p.mode.currentMode = channel_record::mode(record);
  applyMode(p);
  if (kind == '5') t.repeaterActive = repeater_shift::kOn;

  sendRecalledFrequencies(p, record);

  if (kind == '5') {
    t.repeaterActive = repeater_shift::kOff;
    takeRecordedShift(p, record);
    toggleRepeaterShift(p);
  }

  p.link.announceOnNextReply = true;
  recallTone(p, record);

  p.fn.preampOn = channel_record::preampDigit(record) == '1';
  sendText(p, cat::preamp(p.fn.preampOn ? 1 : 0));
  m.channelOp = 0;
}

void stepChannel(Panel& p) {
  auto& m = p.memory;
  if (m.lastBank < 0 || m.lastBank >= 10) {
    playWord(p, "ncs");
    return;
  }
  // The last recalled channel is occupied, so one round of the bank always finds one; the bound
  // only guards against a bank that has been emptied meanwhile.
  int slot = m.lastSlot;
  bool found = false;
  for (int step = 0; step < 10 && !found; ++step) {
    slot = slot >= 9 ? 0 : std::max(slot, -1) + 1;
    found = channel_record::isOccupied(m.memorySlots[static_cast<std::size_t>(m.lastBank * 10 + slot)]);
  }
  if (!found) {
    playWord(p, "ncs");
    return;
  }
  m.lastSlot = slot;
  playWord(p, "channel");
  m.channelOp = 2;
  p.tone.speechQuiet = true;
  recallChannel(p, m.lastBank * 10 + slot);
}

}  // namespace korvel
