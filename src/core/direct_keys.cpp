#include "core/direct_keys.h"

#include <algorithm>
#include <string>

#include "state/panel.h"
#include "state/text.h"
#include "display/status_row.h"
#include "state/band_record.h"
#include "functions/mode.h"
#include "functions/tones.h"
#include "platform/key_codes.h"
#include "core/connection.h"
#include "radio_link/radio_models.h"
#include "radio_link/transport.h"
#include "speech/announcers.h"
#include "player/phrase_player.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

void pause(Panel& p, int times) {
  for (int i = 0; i < times; ++i) catPause(p);
}

std::string& currentRecord(Panel& p) {
  return p.band.bandTable[static_cast<std::size_t>(std::clamp(p.band.currentBand, 1, 14))];
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

void quitKey(Panel& p) {
  playWord(p, "quit");
  if (p.link.connected == 0) {
    p.core.running = 0;
    return;
  }
  sendText(p, "TX0");
  p.core.quitCountdown = 1;
}

void transmitKey(Panel& p) {
  auto& c = p.core;
  if (c.txState == 0) {
    playWord(p, "tx");
    playWord(p, "on");
    c.txState = p.config.swrAnnounce + 10;
    p.config.swrAnnounce = 0;
    c.txSettleTicks = 2;
    c.tunerEngaged = 0;
    sendText(p, "TX1");
  } else {
    p.config.swrAnnounce = c.txState - 10;
    c.txState = 0;
    sendText(p, "TX0");
    playWord(p, "tx");
    playWord(p, "off");
  }
}

namespace {

void tuneOff(Panel& p) {
  playWord(p, "off");
  if (p.config.tunerState > 0) {
    sendText(p, "TX0");
    if (p.config.tunerState == 3) p.config.tunerState = 0;
    pause(p, 5);
    sendText(p, "PC" + zeroPad(p.config.txPower, 3));
    applyMode(p);
  }
  p.core.tuneActive = 0;
}

void keyCarrier(Panel& p) {
  sendText(p, "PC005");
  sendText(p, "MD05");
  sendFrequency(p);
  sendText(p, "TX1");
}

}  // namespace

void tuneKey(Panel& p) {
  auto& c = p.core;
  playWord(p, "tune");
  if (c.tuneActive == 1) {
    tuneOff(p);
    return;
  }
  playWord(p, "on");
  c.tuneActive = 1;
  auto& tuner = p.config.tunerState;
  if (tuner == 0 || tuner == 2) {
    if (p.link.frequencyHz > 73000000) {
      playWord(p, "atu");
      playWord(p, "na");
      tuner = 3;
    } else {
      if (c.tunerEngaged == 0) {
        sendText(p, "AC001");
        c.tunerEngaged = 1;
      }
      sendText(p, radioModel(p.link.radioModel).tunerStartCommand);
      c.tickCount = 0;
      for (int i = 0; i < 10; ++i) playWord(p, "beep");
      playWord(p, "ok");
      if (tuner == 0) {
        // The tuner's cycle is complete: nothing more to key.
        playWord(p, "tune");
        tuneOff(p);
        return;
      }
    }
  }
  keyCarrier(p);
}

void tunerSettingKey(Panel& p) {
  p.core.tunerEngaged = 0;
  playWord(p, "tuner");
  auto& tuner = p.config.tunerState;
  if (tuner == 1) {
    sendText(p, "AC001");
    playWord(p, "on");
    tuner = 0;
  } else if (tuner == 0) {
    sendText(p, "AC001");
    playWord(p, "both");
    tuner = 2;
  } else {
    sendText(p, "AC000");
    playWord(p, "off");
    tuner = 1;
  }
}

void voiceRecordKey(Panel& p) {
  p.core.keyState = key_state::kVoiceRecordSlot;
  playWord(p, "record");
}

void voicePlayKey(Panel& p) {
  p.core.keyState = key_state::kVoicePlaySlot;
  playWord(p, "play");
}

void voiceSlotDigit(Panel& p, int digit) {
  const bool recording = p.core.keyState == key_state::kVoiceRecordSlot;
  if (digit < 1 || digit > 5) {
    playWord(p, "invalid");
    p.core.keyState = key_state::kIdle;
    return;
  }
  const std::string d(1, static_cast<char>('0' + digit));
  playWord(p, d);
  if (recording) {
    sendText(p, "LM0" + d);
    playWord(p, "start");
    p.core.keyState = key_state::kVoiceRecording;
  } else {
    sendText(p, "PB0" + d);
    p.core.keyState = key_state::kIdle;
  }
}

void agcKey(Panel& p) {
  auto& step = p.core.agcStep;
  sendText(p, "GT0" + std::to_string(std::clamp(step, 0, 9)));
  playWord(p, "agc");
  if (step == 1) playWord(p, "fast");
  if (step == 2) playWord(p, "mid");
  if (step == 3) playWord(p, "slow");
  step += 1;
  if (step > 3) step = 1;
}

void swapKey(Panel& p) {
  if (p.tone.repeaterActive == 1) {
    p.core.keyState = key_state::kIdle;
    return;
  }
  playWord(p, "swop");
  sendText(p, "SV");
  if (p.link.skipRecordSwap != 1) {
    std::string& record = currentRecord(p);
    if (record.size() == band_record::kLength) {
      record = left(record, 3) + mid(record, 14, 9) + "B" + mid(record, 4, 9) + mid(record, 23);
    }
  }
  p.core.keyState = key_state::kIdle;
}

void extendedKey(Panel& p) {
  playWord(p, "extcm");
  if (p.core.keyState == key_state::kExtended) {
    p.core.keyState = key_state::kIdle;
    playWord(p, "off");
  } else {
    p.core.keyState = key_state::kExtended;
    playWord(p, "on");
  }
}

void keyerSpeedKey(Panel& p) {
  auto& c = p.core;
  playWord(p, "ks");
  if (c.keyState != key_state::kKeyerSpeed) {
    p.mode.savedMode = p.mode.currentMode;
    p.mode.currentMode = mode_number::kCw;
    applyMode(p);
    c.keyState = key_state::kKeyerSpeed;
    const std::string& reply = queryRadio(p, "KS");
    const long at = findText(reply, "KS");
    if (at > 0) p.level.keyerSpeed = static_cast<int>(wholeValueOf(mid(reply, at + 2, 3)));
    playWord(p, "on");
    sendText(p, "BI0");
    speakKeyerSpeed(p);
  } else {
    c.keyState = key_state::kIdle;
    p.mode.currentMode = p.mode.savedMode;
    applyMode(p);
    playWord(p, "off");
    speakKeyerSpeed(p);
    if (c.breakIn == 1) sendText(p, "BI1");
  }
}

void monitorKey(Panel& p) {
  auto& c = p.core;
  playWord(p, "mon");
  if (c.monitorOn == 0) sendText(p, "ML1" + c.monitorLevel);
  if (c.monitorOn == 1) {
    playWord(p, "off");
    sendText(p, "ML0000");
    c.monitorOn = 0;
  } else {
    playWord(p, "on");
    sendText(p, "ML0001");
    c.monitorOn = 1;
  }
}

void micGainKey(Panel& p) {
  auto& c = p.core;
  playWord(p, "micgain");
  c.keyState = key_state::kMicGain;
  c.tickCount = 0;
  playWord(p, "lev");
  const std::string& reply = queryRadio(p, "MG");
  const long at = findText(reply, "MG");
  p.level.micGain = static_cast<int>(wholeValueOf(at > 0 ? mid(reply, at + 2, 3) : mid(reply, 2, 3)));
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
  if (function > 0) p.core.keyState = key_state::kFunctionLevel;
  static constexpr const char* kWords[] = {"", "preamp", "nb", "nr", "co", "spc"};
  if (function >= 1 && function <= 5) playWord(p, kWords[function]);
  playWord(p, "lev");
}

void splitKey(Panel& p) {
  if (p.band.currentBand == band_number::kGeneralCoverage) {
    playWord(p, "split");
    playWord(p, "invalid");
    return;
  }
  p.core.keyState = key_state::kIdle;
  const int mode = p.mode.currentMode;
  if (p.band.currentBand >= band_number::k10m && isFmFamily(mode)) {
    restoreRepeaterDefaults(p);
    toggleRepeaterShift(p);
    return;
  }
  if (p.tone.vfoB == 0) {
    splitOn(p);
  } else {
    splitOff(p);
  }
}

void zeroInKey(Panel& p) {
  playWord(p, "0");
  playWord(p, "ok");
  if (p.mode.currentMode == mode_number::kCw) {
    sendText(p, "ZI");
  } else {
    snapToKilohertz(p);
  }
}

void announceFrequencyKey(Panel& p) {
  auto& c = p.core;
  if (c.tickCount < 2) return;
  if (c.keyState == key_state::kExtended && p.tone.repeaterActive == 1) {
    // The transmit frequency of the repeater shift.
    long long hz = p.link.frequencyHz;
    const int band = p.band.currentBand;
    if (band == band_number::k10m && p.config.repeaterOffsetMinus[band_number::k10m] == 1) {
      hz -= wholeValueOf(p.config.repeaterOffsetKhz[band_number::k10m]) * 1000LL;
    } else if (isConfiguredOffsetBand(band)) {
      const long long offset = wholeValueOf(p.config.configuredOffsetKhz[static_cast<std::size_t>(band)]) * 1000LL;
      hz += p.config.configuredOffsetMinus[static_cast<std::size_t>(band)] == 1 ? -offset : offset;
    }
    p.speech.announcingTxFrequency = 1;
    speakFrequencyText(p, hertzAsMegahertz(hz));
    p.speech.announcingTxFrequency = 0;
  } else if (c.keyState == key_state::kExtended && p.tone.vfoB == 1) {
    playWord(p, "vfoa");
    // This is VFO A's frequency: the "vfob" that split puts in front of a frequency would contradict it.
    p.tone.vfoB = 0;
    speakFrequencyText(p, hertzAsMegahertz(wholeValueOf(band_record::vfoADigits(currentRecord(p)))));
    p.tone.vfoB = 1;
  } else {
    speakFrequency(p);
    speakMode(p);
    if (p.tone.toneActive == 1) {
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
  onWord(f.preampOn == 1, "preamp");
  onWord(f.attOn == 1, "at");
  onWord(f.nbOn == 1, "nb");
  onWord(f.nrState == 1, "nr");
  onWord(f.notchOn == 1, "notch");
  if (f.contourState == 1) playWord(p, "cod");
  if (f.contourState == 2) playWord(p, "cop");
  onWord(f.procState == 1 && isSsb(mode), "spc");
  onWord(c.breakIn == 1 && mode == mode_number::kCw, "bkin");
  onWord(c.voxOn == 1, "vox");
  onWord(c.monitorOn == 1, "mon");
  const std::string& tone = p.tone.toneText;
  if (tone != "999") {
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
