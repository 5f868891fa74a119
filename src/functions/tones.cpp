#include "functions/tones.h"

#include <algorithm>
#include <cctype>

#include "state/panel.h"
#include "state/text.h"
#include "display/status_row.h"
#include "state/band_record.h"
#include "radio_link/cat.h"
#include "radio_link/transport.h"
#include "player/phrase_player.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

constexpr long kHighestCtcss = 49;
constexpr long kLowestDcs = kLowestDcsNumber;
constexpr long kHighestDcs = 603;

void refuseTone(Panel& p) {
  playWord(p, "invalid");
  p.tone.toneActive = false;
  p.tone.toneText = kNoTone;
  p.tone.toneEntryQuiet = false;
  showStatusRow(p);
}

void say(Panel& p, std::string_view word) {
  if (!p.tone.speechQuiet) playWord(p, word);
}

// "A" or "B" and nine digits: the VFO part of a frequency command.
bool isFrequencyField(std::string_view text) {
  return text.size() == 10 && (text[0] == 'A' || text[0] == 'B') && isDigits(text.substr(1));
}

// The split frequency: the last frequency command sent, or the working frequency when there is none.
std::string splitFrequencyField(const Panel& p) {
  const std::string field = mid(p.radio.lastFrequencyCommand(), 2, 10);
  if (isFrequencyField(field)) return field;
  return "A" + zeroPad(std::clamp<long long>(p.link.frequencyHz, 0, 999999999), 9);
}

}  // namespace

void validateToneEntry(Panel& p) {
  p.tone.toneIsDcs = false;
  std::string& code = p.tone.toneText;
  const long n = wholeValueOf(code);
  if (!isDigits(code) || code.size() > 3 || n > kHighestDcs || (n > kHighestCtcss && n < kLowestDcs)) {
    refuseTone(p);
    return;
  }
  // One or two typed digits name the same tone as their three-digit form: 12 is tone 012.
  code = zeroPad(n, 3);
  p.tone.toneEntryQuiet = true;
  if (n >= kLowestDcs && !p.config.dcsAllowed) {
    refuseTone(p);
    return;
  }
  if (n >= kLowestDcs) p.tone.toneIsDcs = true;
  applyTone(p);
  p.tone.toneEntryQuiet = false;
}

void applyTone(Panel& p) {
  const std::string code = p.tone.toneText;
  const char first = code.empty() ? '0' : code[0];
  // A radio that cannot take the tone: the tone's word and "na", and no tone is left on.
  if (p.radio.radioRefuses(p.tone.toneIsDcs ? cat::dcsMenu(code) : cat::ctcssTone(code))) {
    say(p, p.tone.toneIsDcs ? "dcs" : "ctcss");
    say(p, "na");
    p.tone.toneActive = false;
    p.tone.toneText = kNoTone;
    p.tone.toneIsDcs = false;
    showStatusRow(p);
    return;
  }
  if (p.tone.toneIsDcs) {
    sendText(p, cat::dcsMenu(code));
    say(p, "dcs");
    say(p, "on");
    sendText(p, cat::dcsCodeOfEntry(code));
    // The code alone does not switch the radio's DCS encoder on.
    sendText(p, cat::toneMode(cat::ToneMode::Dcs));
    return;
  }
  say(p, "ctcss");
  if (!p.tone.speechQuiet) {
    if (p.tone.toneEntryQuiet) {
      playWord(p, "on");
    } else {
      for (const char c : code) playWord(p, std::string(1, c));
    }
  }
  sendText(p, cat::ctcssTone(code));
  sendText(p, cat::toneMode(first > '4' ? cat::ToneMode::Dcs : cat::ToneMode::Ctcss));
}

void restoreRepeaterDefaults(Panel& p) {
  const int band = p.band.currentBand;
  if (!isConfiguredOffsetBand(band)) return;
  const auto i = static_cast<std::size_t>(band);
  p.config.repeaterOffsetMinus[i] = p.config.configuredOffsetMinus[i];
  if (band != band_number::k70cm) p.config.repeaterOffsetKhz[i] = p.config.configuredOffsetKhz[i];
}

void toggleRepeaterShift(Panel& p) {
  const repeater_shift::RepeaterShift state = p.tone.repeaterActive;
  const bool announce = !p.tone.speechQuiet && state != repeater_shift::kSwitchOffQuietly;
  const int band = p.band.currentBand;
  // Only the bands with repeaters take a shift; elsewhere there is nothing to switch on.
  if (state == repeater_shift::kOff && !isRepeaterBand(band)) return;

  if (announce) playWord(p, "repeater");
  if (state == repeater_shift::kOff && p.radio.radioRefuses(cat::shift(cat::Shift::Plus))) {
    if (announce) playWord(p, "na");
    return;
  }
  if (state != repeater_shift::kOff) {
    if (announce) playWord(p, "off");
    p.tone.repeaterActive = repeater_shift::kOff;
    p.tone.vfoB = false;
    sendText(p, cat::shift(cat::Shift::Simplex));
    return;
  }

  p.tone.repeaterActive = repeater_shift::kOn;
  const bool minus = band == band_number::k10m || p.config.repeaterOffsetMinus[static_cast<std::size_t>(band)] == 1;
  sendText(p, cat::shift(minus ? cat::Shift::Minus : cat::Shift::Plus));
  say(p, "on");
  if (p.tone.toneActive) {
    sendText(p, cat::toneMode(p.tone.toneIsDcs ? cat::ToneMode::Dcs : cat::ToneMode::Ctcss));
  }
}

void splitOn(Panel& p) {
  playWord(p, "split");
  if (refusedBeforeSending(p, cat::split(true))) return;
  p.tone.vfoB = true;
  p.band.bandRecallText = splitFrequencyField(p);
  sendText(p, cat::split(true));

  const int band = p.band.currentBand;
  if (!p.link.relayActive && isBandNumber(band)) {
    std::string& record = p.band.bandTable[static_cast<std::size_t>(band)];
    if (record.size() == band_record::kLength) {
      record = band_record::make(band_record::kind(record), band_record::modeDigit(record),
                                 band_record::vfoADigits(record), mid(p.band.bandRecallText, 2, 9),
                                 band_record::toneCode(record), band_record::preampDigit(record));
    }
  }
  // With split on the send routine makes this an "FB" command: VFO B takes the receive frequency.
  sendText(p, cat::tuneField(p.band.bandRecallText));
}

void splitOff(Panel& p) {
  p.tone.vfoB = false;
  sendText(p, cat::split(false));
  const std::string field =
      isFrequencyField(p.band.bandRecallText) ? p.band.bandRecallText : splitFrequencyField(p);
  sendText(p, cat::tune(cat::Vfo::A, mid(field, 2, cat::kFrequencyDigits)));
  playWord(p, "split");
  playWord(p, "off");
}

}  // namespace korvel
