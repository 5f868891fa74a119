#include "speech/announcers.h"

#include <string>

#include "state/panel.h"
#include "state/modes.h"
#include "state/text.h"
#include "display/main_window.h"
#include "display/window_fields.h"
#include "display/status_row.h"
#include "radio_link/transport.h"
#include "player/phrase_player.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

// Digits of a non-negative number as its own word ("10" names the word file 10.wav).
std::string digitsOf(long long n) { return std::to_string(n); }

}  // namespace

void speakFrequency(Panel& p) {
  if (p.tone.speechQuiet) return;
  const std::string& text = p.link.frequencyText;
  if (text.empty()) {
    playWord(p, "nc");
    return;
  }
  const bool vfoB = p.tone.vfoB;
  const bool repeater = p.tone.repeaterActive == repeater_shift::kOn;
  const bool noShift = p.tone.repeaterActive == repeater_shift::kOff;
  const bool txFrequency = p.speech.announcingTxFrequency;
  if (!vfoB && repeater) playWord(p, "repeater");
  if (txFrequency && repeater) playWord(p, "tx");
  if (vfoB && noShift && !txFrequency) playWord(p, "vfob");

  // The MHz part digit by digit; the blanks of the right-aligned reply form are silent.
  long point = findText(text, ".");
  if (point == 0) point = static_cast<long>(text.size()) + 1;
  speakCharacters(p, left(text, point - 1));

  if (right(text, 6) == "000000") {
    playWord(p, "mhz");
    return;
  }
  playWord(p, "point");
  // Digits after the point until only zeros are left: trailing zeros are never spoken.
  for (long pos = point + 1; pos <= 11 && pos <= static_cast<long>(text.size()); ++pos) {
    speakCharacters(p, mid(text, pos, 1));
    if (valueOf(mid(text, pos + 1)) == 0) {
      playWord(p, "mhz");
      return;
    }
  }
}

void speakMode(Panel& p) {
  if (p.tone.speechQuiet) return;
  const ModeRow* mode = modeOfProgram(p.mode.currentMode);
  if (mode == nullptr) return;
  for (const char* word : mode->words) {
    if (word != nullptr) playWord(p, word);
  }
}

void speakWidth(Panel& p) {
  playWord(p, "bw");
  const int n = p.mode.widthIndex;
  if (p.mode.currentMode < mode_number::kCw) {
    // Sideband filter steps in kHz with one decimal: 9 is 1.8, 14 is 2.4, 21 is 3.1.
    playWord(p, n <= 10 ? "1.wav" : n <= 19 ? "2.wav" : "3.wav");
    playWord(p, "point");
    if (n == 9) {
      playWord(p, "8.wav");
    } else if (n == 10) {
      playWord(p, "9.wav");
    } else if (n >= 11 && n <= 19) {
      playWord(p, digitsOf(n % 10));
    } else if (n == 20) {
      playWord(p, "0.wav");
    } else if (n == 21) {
      playWord(p, "1.wav");
    }
    playWord(p, "khz");
    return;
  }
  // CW filter steps in Hz: 50 Hz apart up to 500, then 800 and 1200.
  if (n == 11) {
    for (const char* word : {"8", "0", "0", "hz"}) playWord(p, word);
    return;
  }
  if (n == 12) {
    for (const char* word : {"1", "2", "0", "0", "hz"}) playWord(p, word);
    return;
  }
  const int q = n / 2;
  if (q > 0) playWord(p, digitsOf(q));
  playWord(p, n % 2 == 0 ? "0" : "5");
  playWord(p, "0");
  playWord(p, "hz");
}

void showSMeter(Panel& p) {
  struct Step {
    int above;
    const char* printed;
    const char* word;
  };
  playWord(p, "s.wav");
  const int v = p.core.sMeterValue;
  if (v > 120) {
    playWord(p, "9.wav");
    showField(p, Field::SMeter, "S9");
    if (v > 131) {
      static constexpr Step kOverNine[] = {
          {247, "+60db", "60db"}, {206, "+40db", "40db"}, {183, "+30db", "30db"}, {163, "+20db", "20db"},
          {153, "+15db", "15db"}, {143, "+10db", "10db"}, {131, "+5db", "5db"},
      };
      setFont(p, "ARIEL", 20, 20);
      for (const auto& step : kOverNine) {
        if (v > step.above) {
          printText(p, {step.printed, "\r\n"});
          playWord(p, step.word);
          break;
        }
      }
    } else {
      // Erases the decibel figure of an earlier, stronger reading.
      printText(p, {spaces(50), "\r\n"});
    }
    setFont(p, "ARIEL", 50, 700);
    return;
  }
  static constexpr Step kBelowNine[] = {
      {108, "S8", "8.wav"}, {96, "S7", "7.wav"}, {82, "S6", "6.wav"}, {68, "S5", "5.wav"},
      {54, "S4", "4.wav"},  {40, "S3", "3.wav"}, {20, "S2", "2.wav"}, {10, "S1", "1.wav"},
  };
  for (const auto& step : kBelowNine) {
    if (v > step.above) {
      playWord(p, step.word);
      showField(p, Field::SMeter, step.printed + spaces(11));
      return;
    }
  }
  playWord(p, "0.wav");
  showField(p, Field::SMeter, "S0" + spaces(12));
}

void speakSwr(Panel& p) {
  if (p.config.tunerState == 0 && p.core.txState == 0) return;
  const bool fullPhrase = p.config.swrAnnounce < 2;
  if (fullPhrase) playWord(p, "SWR");
  const long v = wholeValueOf(p.core.swrText);
  const char* whole = "1";
  long tenths = 0;
  if (v < 50) {
    whole = "1";
  } else if (v < 120) {
    tenths = (v - 50) / 7;
  } else if (v < 160) {
    whole = "2";
    tenths = (v - 120) / 10;
  } else if (v < 180) {
    whole = "3";
    tenths = (v - 160) / 2;
  } else if (v < 200) {
    whole = "4";
    // (v - 180) / 2.5 to the nearest whole number; with whole readings it never falls on a half.
    tenths = ((v - 180) * 2 + 2) / 5;
  } else {
    whole = "gt5";
  }
  playWord(p, whole);
  playWord(p, "point");
  playWord(p, digitsOf(tenths));
  if (fullPhrase) playWord(p, "21");
  if (p.config.swrAnnounce == 1) p.config.swrAnnounce = 2;
}

void speakMeterPeak(Panel& p) {
  if (p.core.micMeterState == 1) {
    playWord(p, "alc");
    p.core.micMeterState = 2;
  }
  speakCharacters(p, digitsOf(p.core.meterPeak));
  restartTickCount(p.core);
}

void speakPower(Panel& p) {
  // The configuration and the level keys keep the power within three digits.
  speakCharacters(p, left(digitsOf(p.config.txPower), 3));
  playWord(p, "watts");
}

void speakBand(Panel& p) {
  static constexpr const char* kBandWords[] = {"",   "160", "80", "60", "40", "30", "20", "17",
                                               "15", "12",  "10", "6",  "2",  "70", "un"};
  const int band = p.band.currentBand;
  if (isBandNumber(band)) playWord(p, kBandWords[band]);
  if (band < band_number::kGeneralCoverage) playWord(p, "metres");
}

void speakKeyerSpeed(Panel& p) {
  const int speed = p.level.keyerSpeed;
  if (speed > 9) playWord(p, digitsOf(speed / 10 % 10));
  playWord(p, digitsOf(speed % 10));
  playWord(p, "wpm");
}

}  // namespace korvel
