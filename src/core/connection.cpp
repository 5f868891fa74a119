#include "core/connection.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "state/panel.h"
#include "state/frequency_text.h"
#include "state/text.h"
#include "display/main_window.h"
#include "display/window_fields.h"
#include "display/status_row.h"
#include "state/band_record.h"
#include "functions/band_table.h"
#include "functions/mode.h"
#include "functions/tones.h"
#include "functions/toggles.h"
#include "memory/memory_store.h"
#include "radio_link/cat.h"
#include "radio_link/debug_log.h"
#include "radio_link/radio_models.h"
#include "radio_link/transport.h"
#include "speech/announcers.h"
#include "player/phrase_player.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

// What the connection assumes when the radio does not report its AGC step or AF gain.
constexpr int kAgcStepUnread = 2;
constexpr int kAfGainUnread = 80;
// The contour frequency the connection leaves set.
constexpr int kContourStartHz = 1200;

const std::string& currentRecord(const Panel& p) {
  static const std::string none;
  const int band = p.band.currentBand;
  if (band < band_number::kFirst || band >= static_cast<int>(p.band.bandTable.size())) return none;
  return p.band.bandTable[static_cast<std::size_t>(band)];
}

// The repeater offset kept in a band 11..13 repeater record becomes that band's working offset.
void takeWorkingOffset(Panel& p) {
  const int band = p.band.currentBand;
  if (!isConfiguredOffsetBand(band)) return;
  const std::string& record = currentRecord(p);
  if (band_record::kind(record) != '5') return;
  const std::string shift = band_record::vfoBDigits(record);  // sign, then the offset in its last four
  const char sign = shift.empty() ? ' ' : shift[0];
  if (sign != '+' && sign != '-') return;
  const auto index = static_cast<std::size_t>(band);
  p.config.repeaterOffsetMinus[index] = sign == '-' ? 1 : 0;
  const std::string khz = right(shift, 4);
  p.config.repeaterOffsetKhz[index] = band == band_number::k70cm ? khz : right(khz, 3);
}

void identifyRadio(Panel& p) {
  const auto number = askRadioValue(p, cat::Reading::Identity);
  p.radio.setModelNumber(number ? canonicalModelNumber(static_cast<int>(*number)) : 0);
  if (radioRow(p).skipRecordSwap) p.link.skipRecordSwap = true;
}

void sendOffsetMenus(Panel& p) {
  for (auto& command : offsetMenuCommands(p.radio.modelNumber(), p.config.repeaterOffsetKhz)) {
    sendText(p, std::move(command));
  }
}

// Tone off; in the FM family the shift is put right and the record's tone applied.
void resetToneAndShift(Panel& p) {
  p.tone.toneText = kNoTone;
  p.tone.toneActive = false;
  p.tone.toneIsDcs = false;
  const int mode = p.mode.currentMode;
  if (!isFmFamily(mode)) return;
  const std::string& record = currentRecord(p);
  // Not a repeater record: the toggle below then switches any shift off without a word.
  if (band_record::kind(record) != '5') p.tone.repeaterActive = repeater_shift::kSwitchOffQuietly;
  toggleRepeaterShift(p);
  p.tone.toneText = band_record::toneCode(record);
  if (p.tone.toneText != kNoTone) {
    p.tone.toneActive = true;
    p.tone.toneIsDcs = isDcsNumber(wholeValueOf(p.tone.toneText));
    applyTone(p);
  }
}

void sendFixedSettings(Panel& p) {
  sendText(p, cat::set(cat::Switch::Attenuator, false));
  sendText(p, cat::set(cat::Switch::NoiseBlanker, false));
  // The contour's frequency is set first, then the contour is switched off.
  sendText(p, cat::contour(cat::Contour::Dip, kContourStartHz));
  sendText(p, cat::contour(cat::Contour::Off, 0));
  sendText(p, cat::level(cat::Level::TransmitPower, p.config.txPower));
}

// Reads back the radio's own settings so that the toggles start from where the radio is.
void readBackSettings(Panel& p) {
  const RadioModel& model = radioRow(p);

  p.core.agcStep = kAgcStepUnread;
  if (const auto step = askRadioValue(p, cat::Reading::AgcStep)) p.core.agcStep = static_cast<int>(*step);

  if (const auto gain = askRadioValue(p, cat::Reading::AfGain)) {
    p.level.afGain = static_cast<int>(*gain);
  } else {
    p.level.afGain = kAfGainUnread;
    sendText(p, cat::level(cat::Level::AfGain, kAfGainUnread));
  }

  if (const auto monitor = askRadio(p, cat::Reading::MonitorSwitch); monitor && *monitor == cat::kMonitorOnState) {
    p.core.monitorOn = true;
  }
  if (const auto level = askRadio(p, cat::Reading::MonitorLevel)) p.core.monitorLevel = *level;

  if (cat::hasProcessorQuery(model)) {
    const auto state = askRadioValue(p, cat::Reading::ProcessorState);
    p.fn.procState = state && *state == 1;
  }

  sendText(p, cat::noiseReductionAtStart(p.fn.nrState == nr_state::kOn));
  const int tuner = p.config.tunerState;
  sendText(p, cat::tuner(tuner == 0 || tuner == 2));

  // Not known until the radio says 0 or 1.
  const auto state = askRadioValue(p, cat::Reading::NoiseReductionState);
  p.fn.nrState = !state ? nr_state::kUnknown : *state == 1 ? nr_state::kOn : *state == 0 ? nr_state::kOff : nr_state::kUnknown;

  // A state above 1 is not one the program knows: taken as off.
  if (const auto vox = askRadioValue(p, cat::Reading::Vox)) p.core.voxOn = *vox == 1;
  if (const auto breakIn = askRadioValue(p, cat::Reading::BreakIn)) {
    p.core.breakIn = *breakIn == 1;
  }
}

void showFrequency(Panel& p, const std::string& text) {
  // "B" or "R" with its blanks, or blanks alone: each covers whatever mark stood there before.
  const bool split = p.tone.vfoB;
  const bool splitMark = split && p.tone.repeaterActive == repeater_shift::kOff;
  showField(p, Field::SplitMark, splitMark ? "B   " : p.tone.repeaterActive == repeater_shift::kOn ? "R   " : "    ");
  if (splitMark) printText(p, "    ");
  if (!split) printText(p, "    ");
  showField(p, Field::Frequency, text + spaces(13));
}

// After Q, the second frequency answer ends the run; true when it has.
bool advanceQuitCountdown(Panel& p) {
  if (p.core.quitCountdown <= 0) return false;
  if (++p.core.quitCountdown <= 2) return false;
  endQuit(p);
  return true;
}

// A quit waits this many ticks at most for the radio's answers (about a second).
constexpr int kQuitWaitTicks = 20;
// Frequency answers that cannot be read, in a row, before the operator is told: about two seconds.
constexpr int kUnreadableAnswersForNotice = 10;

// The window's frequency field while the radio does not answer.
constexpr const char* kNotAnsweringText = "not answering";
// Twenty poll exchanges of two 50 ms ticks: about two seconds of a radio that says nothing.
constexpr int kMissedRepliesForLoss = 20;

// A radio back after a loss may have been switched off or replaced: it gets the current band's
// settings as at start, before the connection sequence sends the rest.
void restoreBandOnReturn(Panel& p) {
  p.link.radioLost = false;
  sendText(p, cat::vfoSelectA());
  applyMode(p);
}

}  // namespace

void noteMissedReply(Panel& p) {
  if (!p.link.connected || ++p.link.missedReplies < kMissedRepliesForLoss) return;
  noteRadioGone(p);
}

void noteRadioGone(Panel& p) {
  if (!p.link.connected) return;
  p.link.missedReplies = 0;
  p.link.connected = false;
  p.link.radioLost = true;
  p.link.frequencyHz = 0;  // keys that need the radio answer "nc", as before the first contact
  showFrequency(p, kNotAnsweringText);
  playWord(p, "nc");
  // A quit that waited for the radio's answers ends now, with the memory saved.
  if (p.core.quitCountdown > 0) endQuit(p);
}

void endQuit(Panel& p) {
  saveMemoryBanks(p);
  p.core.quitCountdown = 0;
  p.core.quitWaitTicks = 0;
  p.core.running = false;
}

bool quitWaitTick(Panel& p) {
  if (p.core.quitCountdown <= 0 || ++p.core.quitWaitTicks < kQuitWaitTicks) return false;
  endQuit(p);
  return true;
}

void noteFrequencyAnswer(Panel& p, const std::string& reply, bool readable) {
  if (readable) {
    p.link.unreadableAnswers = 0;
    p.link.unreadableTold = false;
    return;
  }
  if (p.link.unreadableTold || ++p.link.unreadableAnswers < kUnreadableAnswersForNotice) return;
  p.link.unreadableTold = true;
  if (p.config.debugLog) writeDebugLine(p, "Radio answers cannot be read: " + reply);
  playWord(p, "noread");
}

void noteRadioAnswered(Panel& p) { p.link.missedReplies = 0; }

namespace {

// The first answer after start or after a loss only says a radio is there: the connection runs, and
// the start band's frequency is what gets spoken and what keys work from.
void connectOnFirstAnswer(Panel& p) {
  // A radio back after a loss: the operator waiting for it hears "connected" as soon as it is set
  // up, and only then where it stands. At start the announcement ends with "connected".
  const bool returning = p.link.radioLost;
  if (returning) restoreBandOnReturn(p);
  connectRadio(p);
  if (returning) playWord(p, "connected");
  speakFrequency(p);
  speakMode(p);
  togglePreamp(p);
  if (!returning) playWord(p, "connected");
  p.link.connected = true;
  const std::string digits = band_record::vfoADigits(currentRecord(p));
  if (isDigits(digits, cat::kFrequencyDigits)) p.link.frequencyHz = std::stoll(digits);
}

}  // namespace

void handleFrequencyReply(Panel& p, const std::optional<FrequencyReply>& reply) {
  if (!p.link.connected) {
    connectOnFirstAnswer(p);
    return;
  }

  // A reply torn, merged with another or made of line noise tells no frequency.
  if (!reply) return;

  if (p.radio.frequencyAnswerIsStale()) {
    // The radio answered before a band, frequency, mode or split change went out: taken at face value
    // it would store the new band's settings into the record of the band just left. The next poll
    // brings the fresh answer; only the quit countdown, which waits for any answer, moves on.
    p.core.replyPending = false;
    advanceQuitCountdown(p);
    return;
  }

  p.link.lastFrequencyReply = *reply;
  p.radio.noteFreshReply();
  if (reply->vfo == Vfo::A) {
    p.link.vfoAText = "A" + reply->digits;
  } else {
    p.link.vfoBText = "B" + reply->digits;
  }

  saveBandState(p);
  p.link.frequencyHz = reply->hz;

  const std::string text = windowFrequencyText(reply->digits);
  showFrequency(p, text);
  p.link.frequencyText = text;
  p.core.replyPending = false;
  showStatusRow(p);

  if (advanceQuitCountdown(p)) return;

  if (p.link.announceOnNextReply) {
    p.link.announceOnNextReply = false;
    speakFrequency(p);
    speakMode(p);
    if (!p.tone.speechQuiet) {
      playWord(p, "preamp");
      playWord(p, p.fn.preampOn ? "on" : "off");
    }
  }
}

void connectRadio(Panel& p) {
  takeWorkingOffset(p);
  identifyRadio(p);
  sendOffsetMenus(p);
  sendText(p, cat::tuneField(band_record::vfoAField(currentRecord(p))));
  resetToneAndShift(p);
  sendFixedSettings(p);
  readBackSettings(p);
  showStatusRow(p);
  // The preamp toggle that follows inverts this, so a record ending in "1" ends with it on.
  p.fn.preampOn = band_record::preampDigit(currentRecord(p)) == '0';
  if (p.config.passThroughPort > 0) setUpPort(p, p.config.passThroughPort);
}

void snapToKilohertz(Panel& p) {
  const long long rest = p.link.frequencyHz % 1000;
  const bool usb = p.mode.currentMode == mode_number::kUsb;
  p.link.frequencyHz -= rest;
  // USB moves up to the next whole kilohertz; every other mode down (a whole one down by one more).
  if (rest == 0) {
    p.link.frequencyHz += usb ? 1000 : -1000;
  } else if (usb) {
    p.link.frequencyHz += 1000;
  }
  sendFrequency(p);
}

}  // namespace korvel
