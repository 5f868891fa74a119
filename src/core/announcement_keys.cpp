#include "core/announcement_keys.h"

#include <algorithm>
#include <string>

#include "player/phrase_player.h"
#include "speech/announcers.h"
#include "state/band_record.h"
#include "state/panel.h"
#include "state/radio_numbers.h"
#include "state/text.h"

namespace korvel {

namespace {

std::string& currentRecord(Panel& p) {
  const int band = std::clamp(p.band.currentBand, band_number::kFirst, band_number::kLast);
  return p.band.bandTable[static_cast<std::size_t>(band)];
}

// The frequency in hertz as the announcers read it: digits with the point before the last six.
std::string hertzAsMegahertz(long long hz) {
  const std::string digits = zeroPad(hz < 0 ? 0 : hz, 7);
  std::string mhz = left(digits, static_cast<long>(digits.size()) - 6);
  while (mhz.size() > 1 && mhz[0] == '0') mhz.erase(0, 1);
  return mhz + "." + right(digits, 6);
}

void speakFrequencyText(Panel& p, const std::string& text) {
  const std::string kept = p.link.frequencyText;
  p.link.frequencyText = text;
  speakFrequency(p);
  speakMode(p);
  p.link.frequencyText = kept;
}

}  // namespace

void announceFrequencyKey(Panel& p) {
  auto& c = p.core;
  if (!frequencyAnnouncementReady(c)) return;
  if (c.keyState == key_state::kExtended && p.tone.repeaterActive == repeater_shift::kOn) {
    // The transmit frequency of the repeater shift.
    long long hz = p.link.frequencyHz;
    const int band = p.band.currentBand;
    if (band == band_number::k10m && p.config.repeaterOffsetMinus[band_number::k10m] == 1) {
      hz -= wholeValueOf(p.config.repeaterOffsetKhz[band_number::k10m]) * 1000LL;
    } else if (isConfiguredOffsetBand(band)) {
      const long long offset = wholeValueOf(p.config.configuredOffsetKhz[static_cast<std::size_t>(band)]) * 1000LL;
      hz += p.config.configuredOffsetMinus[static_cast<std::size_t>(band)] == 1 ? -offset : offset;
    }
    p.speech.announcingTxFrequency = true;
    speakFrequencyText(p, hertzAsMegahertz(hz));
    p.speech.announcingTxFrequency = false;
  } else if (c.keyState == key_state::kExtended && p.tone.vfoB) {
    playWord(p, "vfoa");
    // This is VFO A's frequency: the "vfob" that split puts in front of a frequency would contradict it.
    p.tone.vfoB = false;
    speakFrequencyText(p, hertzAsMegahertz(wholeValueOf(band_record::vfoADigits(currentRecord(p)))));
    p.tone.vfoB = true;
  } else {
    speakFrequency(p);
    speakMode(p);
    if (p.tone.toneActive) {
      playWord(p, mid(p.tone.toneText, 1, 1) > "4" ? "dcs" : "ctcss");
      speakCharacters(p, left(p.tone.toneText, 3));
    }
  }
  c.keyState = key_state::kIdle;
}

void statusReport(Panel& p) {
  const auto& f = p.fn;
  const auto& c = p.core;
  const int mode = p.mode.currentMode;
  playWord(p, "options");
  auto onWord = [&](bool on, const char* word) {
    if (!on) return;
    playWord(p, word);
    playWord(p, "on");
  };
  onWord(f.preampOn, "preamp");
  onWord(f.attOn, "at");
  onWord(f.nbOn, "nb");
  onWord(f.nrState == nr_state::kOn, "nr");
  onWord(f.notchOn, "notch");
  if (f.contourState == contour_state::kDip) playWord(p, "cod");
  if (f.contourState == contour_state::kPeak) playWord(p, "cop");
  onWord(f.procState && isSsb(mode), "spc");
  onWord(c.breakIn && mode == mode_number::kCw, "bkin");
  onWord(c.voxOn, "vox");
  onWord(c.monitorOn, "mon");
  const std::string& tone = p.tone.toneText;
  if (tone != kNoTone) {
    playWord(p, mid(tone, 1, 1) > "3" ? "dcs" : "ctcss");
    speakCharacters(p, tone);
  }
  // The tuner's setting closes the report; while the tuner is out of use above 73 MHz (which only
  // lasts as long as the tune carrier) there is no setting word to add.
  const int tuner = p.config.tunerState;
  playWord(p, "tuner");
  playWord(p, "is");
  if (tuner >= 0 && tuner <= 2) playWord(p, tuner == 0 ? "on" : tuner == 1 ? "off" : "both");
}

}  // namespace korvel
