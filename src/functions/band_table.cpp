#include "functions/band_table.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "state/panel.h"
#include "state/frequency_text.h"
#include "state/text.h"
#include "state/band_record.h"
#include "functions/mode.h"
#include "functions/toggles.h"
#include "functions/tones.h"
#include "functions/repeater_tail.h"
#include "radio_link/cat.h"
#include "radio_link/transport.h"
#include "speech/announcers.h"
#include "player/phrase_player.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

constexpr int kFirstBand = band_number::kFirst;
constexpr int kGeneralCoverage = band_number::kGeneralCoverage;
// The radio's own frequency counts as 70 cm up to 449 MHz; a typed one only up to 439.
constexpr long kTop70cmReplyMegahertz = kTop70cmReportedMegahertz;
constexpr long long kHertzPerMegahertz = 1000000;

// The whole megahertz of the last frequency the radio reported; 0 before the first report.
long lastReportedMegahertz(const Panel& p) {
  return p.link.lastFrequencyReply ? static_cast<long>(p.link.lastFrequencyReply->hz / kHertzPerMegahertz) : 0;
}

bool isBand(int band) { return isBandNumber(band); }

// The configured top band as its configuration character. Anything the four known characters do
// not cover is taken as an HF-only radio, so stepping can never ask for a band without a record.
char coverage(const Panel& p) {
  const std::string& c = p.config.bandCoverage;
  if (c == "6" || c == "2" || c == "7") return c[0];
  return '1';
}

// A record fit to be sent to the radio: the layout's fixed letters, a mode and nine frequency digits.
bool isSendable(const std::string& record) {
  if (record.size() != band_record::kLength) return false;
  const char mode = band_record::modeDigit(record);
  return mode >= '1' && mode <= '7' && band_record::vfoAField(record)[0] == 'A' &&
         band_record::vfoBField(record)[0] == 'B' &&
         isDigits(band_record::vfoADigits(record), kFrequencyDigitCount);
}

// A three-digit tone code as the record keeps it; anything else means no tone.
std::string toneForRecord(const std::string& tone) { return isDigits(tone, 3) ? tone : kNoTone; }

// The repeater shift for the VFO-B field: sign and eight digits. The shared formatter gives exactly
// that for the usual offset lengths; an unusual offset text is zero-filled or cut to fit.
std::string shiftField(Panel& p, const std::string& head, const std::string& fallback) {
  const std::string tail = mid(appendRepeaterTail(p, head), 14);
  if (tail.empty() || (tail[0] != '+' && tail[0] != '-')) return fallback;
  if (tail.size() == kFrequencyDigitCount) return tail;
  std::string digits = tail.substr(1);
  digits.erase(std::remove_if(digits.begin(), digits.end(), [](unsigned char c) { return !std::isdigit(c); }),
               digits.end());
  if (digits.size() > 8) digits = digits.substr(digits.size() - 8);
  return tail[0] + std::string(8 - digits.size(), '0') + digits;
}

// Puts the record's stored tone back on the radio (FM modes only) and says which it is.
void reapplyRecordTone(Panel& p) {
  const std::string& code = p.tone.toneText;
  if (code == kNoTone || code == "000") return;
  const bool dcs = isDcsCode(code);
  p.tone.toneActive = true;
  p.tone.toneIsDcs = dcs;
  sendText(p, dcs ? cat::dcsCode(code) : cat::ctcssTone(code));
  sendText(p, cat::toneMode(dcs ? cat::ToneMode::Dcs : cat::ToneMode::Ctcss));
  playWord(p, dcs ? "dcs" : "ctcss");
  for (const char c : code) playWord(p, std::string(1, c));
}

void changeBand(Panel& p, int band) {
  saveBandStateOnLeaving(p);
  p.tone.toneText = kNoTone;
  p.band.currentBand = band;
}

}  // namespace

void initBandTable(Panel& p) {
  for (int band = kFirstBand; band <= kGeneralCoverage; ++band) {
    p.band.bandTable[static_cast<std::size_t>(band)] = band_record::defaultRecord(band);
  }
}

int topBand(const Panel& p) {
  switch (coverage(p)) {
    case '6': return 11;
    case '2': return 12;
    case '7': return 13;
    default: return 10;
  }
}

void saveBandState(Panel& p) {
  const char kindDigit = p.tone.repeaterActive == repeater_shift::kOn ? '5' : (p.tone.vfoB ? '1' : '0');
  const int mode = p.mode.currentMode;
  const char modeDigit = isModeNumber(mode) ? static_cast<char>('0' + mode) : '1';

  // Only a whole frequency reply can be stored; before the first one arrives the record and the band
  // stay as they are.
  if (!p.link.lastFrequencyReply) return;
  const std::string& digits = p.link.lastFrequencyReply->digits;

  const bool allowed = bandFromFrequency(p, p.link.lastFrequencyReply->hz);
  if (!allowed || !isBand(p.band.currentBand)) return;

  const std::string& old = p.band.bandTable[static_cast<std::size_t>(p.band.currentBand)];
  std::string vfoA = band_record::vfoADigits(old);
  std::string vfoB = band_record::vfoBDigits(old);
  // The field kept from the old record must be a frequency: a shift left there by an earlier repeater
  // record would otherwise be swapped into VFO A or sent as one.
  if (!isDigits(vfoA, kFrequencyDigitCount)) vfoA = digits;
  if (!isDigits(vfoB, kFrequencyDigitCount)) vfoB = digits;
  if (p.tone.vfoB) {
    vfoB = digits;
  } else {
    vfoA = digits;
  }
  if (p.tone.repeaterActive == repeater_shift::kOn) {
    vfoB = shiftField(p, std::string{kindDigit, modeDigit} + "A" + vfoA + "B", vfoB);
  }

  if (p.link.relayActive) return;
  p.band.bandTable[static_cast<std::size_t>(p.band.currentBand)] =
      band_record::make(kindDigit, modeDigit, vfoA, vfoB, toneForRecord(p.tone.toneText),
                        p.fn.preampOn ? '1' : '0');
}

void recallBand(Panel& p) {
  int band = p.band.currentBand;
  const int top = topBand(p);
  if (band == 0) band = top;
  if (band == top + 1) band = kFirstBand;
  if (band == band_number::kGeneralCoverageRequest) band = kGeneralCoverage;
  if (!isBand(band)) band = kFirstBand;
  p.band.currentBand = band;

  // A record that cannot be sent as it stands (a damaged saved table) is recalled as the band's
  // start-up record instead; the next save writes a good one.
  std::string record = p.band.bandTable[static_cast<std::size_t>(band)];
  if (!isSendable(record)) record = band_record::defaultRecord(band);

  if (p.tone.vfoB) sendText(p, cat::split(false));
  if (p.tone.toneActive) {
    p.tone.toneActive = false;
    p.tone.toneText = kNoTone;
    sendText(p, cat::toneMode(cat::ToneMode::Off));
  }

  p.mode.currentMode = band_record::modeDigit(record) - '0';
  applyMode(p);

  const std::string vfoA = band_record::vfoAField(record);
  sendText(p, cat::tuneField(vfoA));
  const std::string digits = band_record::vfoADigits(record);
  p.link.frequencyText = recordFrequencyText(digits);
  // The radio is on the record's frequency now; a mode change before the next frequency reply must
  // re-send this one, not the frequency of the band just left.
  p.link.frequencyHz = std::stoll(digits);

  if (band_record::kind(record) == '5') {
    p.tone.repeaterActive = repeater_shift::kOff;
    toggleRepeaterShift(p);
  }

  p.tone.toneText = toneForRecord(band_record::toneCode(record));
  speakBand(p);
  p.band.bandRecallText = vfoA;

  if (isFm(p.mode.currentMode)) reapplyRecordTone(p);

  p.fn.preampOn = band_record::preampDigit(record) == '0';
  p.fn.preampLevel = 1;
  togglePreamp(p);

  p.mode.widthQuiet = true;
}

void stepBandUp(Panel& p) {
  int band = p.band.currentBand;
  saveBandStateOnLeaving(p);
  ++band;
  if (band == kGeneralCoverage) {
    playWord(p, "band");
    playWord(p, "un");
  }
  // A tone stays with its band; it comes back only through the band's record.
  p.tone.toneActive = false;
  p.tone.toneText = kNoTone;
  if (band > kGeneralCoverage) band = kFirstBand;
  p.band.currentBand = band;
  recallBand(p);
}

void stepBandDown(Panel& p) {
  int band = p.band.currentBand;
  saveBandStateOnLeaving(p);
  --band;
  if (band <= 0 || band == band_number::k70cm) band = topBand(p);
  p.band.currentBand = band;
  recallBand(p);
}

void jumpToBand(Panel& p, int n) {
  const char c = coverage(p);
  bool allowed = false;
  switch (n) {
    case 11: allowed = c != '1'; break;
    case 12: allowed = c == '2' || c == '7'; break;
    case 13: allowed = c == '7'; break;
    case 15: allowed = true; break;
    default: break;
  }
  p.core.keyState = key_state::kIdle;
  if (!allowed) {
    playWord(p, "band");
    playWord(p, "na");
    return;
  }
  changeBand(p, n);
  if (n == band_number::kGeneralCoverageRequest) playWord(p, "band");
  recallBand(p);
}

int bandOfMegahertz(long mhz, long top70cmMhz) {
  switch (mhz) {
    case 1: return 1;
    case 3: return 2;
    case 5: return 3;
    case 7: return 4;
    case 10: return 5;
    case 14: return 6;
    case 18: return 7;
    case 21: return 8;
    case 24: return 9;
    case 28:
    case 29: return 10;
    default: break;
  }
  if (mhz >= 50 && mhz <= 54) return 11;
  if (mhz >= 144 && mhz <= 148) return 12;
  if (mhz >= 430 && mhz <= top70cmMhz) return 13;
  return kGeneralCoverage;
}

void bandFromMegahertz(Panel& p, long mhz) {
  p.band.currentBand = kGeneralCoverage;
  if (p.tone.toneActive) {
    sendText(p, cat::toneMode(cat::ToneMode::Off));
    p.tone.toneActive = false;
    p.tone.toneText = kNoTone;
  }
  const int band = bandOfMegahertz(mhz, 439);
  p.band.currentBand = band;
  if (band == kGeneralCoverage && p.tone.vfoB) p.tone.vfoB = false;
}

void storeModeInBand(Panel& p) {
  if (p.link.relayActive) return;
  const int band = p.band.currentBand;
  const int mode = p.mode.currentMode;
  if (!isBand(band) || !isModeNumber(mode)) return;
  std::string& record = p.band.bandTable[static_cast<std::size_t>(band)];
  band_record::setModeDigit(record, static_cast<char>('0' + mode));
}

void saveBandStateOnLeaving(Panel& p) {
  const bool reported = p.radio.stateChanges() == p.radio.stateChangesAtReply();
  const long mhz = lastReportedMegahertz(p);
  if (!reported && bandOfMegahertz(mhz, kTop70cmReplyMegahertz) != p.band.currentBand) return;
  saveBandState(p);
}

bool bandFromFrequency(Panel& p, long long hz) {
  const int band = bandOfMegahertz(static_cast<long>(hz / kHertzPerMegahertz), kTop70cmReplyMegahertz);
  p.band.currentBand = band;
  const int mode = p.mode.currentMode;
  // FM on HF, or C4FM below 2 m, is not a state worth keeping in the band's record.
  return !((band < band_number::k10m && mode > mode_number::kAm) ||
           (band < band_number::k2m && mode == mode_number::kC4fm));
}


}  // namespace korvel
