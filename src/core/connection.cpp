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
#include "radio_link/radio_models.h"
#include "radio_link/transport.h"
#include "speech/announcers.h"
#include "player/phrase_player.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

// A whole frequency reply: "FA" or "FB", nine digits, ";".
constexpr long kReplyTerminatorPosition = 12;

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
  const std::string& reply = queryRadio(p, "ID");
  p.link.radioModel = 0;
  if (const auto number = replyField(reply, "ID", 4)) {
    p.link.radioModel = canonicalModelNumber(static_cast<int>(wholeValueOf(*number)));
  }
  if (radioModel(p.link.radioModel).skipRecordSwap) p.link.skipRecordSwap = 1;
}

void sendOffsetMenus(Panel& p) {
  for (auto& command : offsetMenuCommands(p.link.radioModel, p.config.repeaterOffsetKhz)) {
    sendText(p, std::move(command));
  }
}

// Tone off; in the FM family the shift is put right and the record's tone applied.
void resetToneAndShift(Panel& p) {
  p.tone.toneText = "999";
  p.tone.toneActive = 0;
  p.tone.toneIsDcs = 0;
  const int mode = p.mode.currentMode;
  if (!isFmFamily(mode)) return;
  const std::string& record = currentRecord(p);
  // Not a repeater record: the toggle below then switches any shift off without a word.
  if (band_record::kind(record) != '5') p.tone.repeaterActive = 2;
  toggleRepeaterShift(p);
  p.tone.toneText = band_record::toneCode(record);
  if (p.tone.toneText != "999") {
    p.tone.toneActive = 1;
    p.tone.toneIsDcs = isDcsNumber(wholeValueOf(p.tone.toneText)) ? 1 : 0;
    applyTone(p);
  }
}

void sendFixedSettings(Panel& p) {
  sendText(p, "RA00");
  sendText(p, "NB00");
  sendText(p, "CO011200");
  sendText(p, "CO000000");
  sendText(p, "PC" + zeroPad(p.config.txPower, 3));
}

// Reads back the radio's own settings so that the toggles start from where the radio is.
void readBackSettings(Panel& p) {
  const RadioModel& model = radioModel(p.link.radioModel);

  p.core.agcStep = 2;
  if (const auto step = replyField(queryRadio(p, "GT0"), "GT0", 1)) {
    p.core.agcStep = static_cast<int>(wholeValueOf(*step));
  }

  if (const auto gain = replyField(queryRadio(p, "AG0"), "AG", 3, 1)) {
    p.level.afGain = static_cast<int>(wholeValueOf(*gain));
  } else {
    p.level.afGain = 80;
    sendText(p, "AG0080");
  }

  if (const auto monitor = replyField(queryRadio(p, "ML0"), "ML0", 3); monitor && *monitor == "001") {
    p.core.monitorOn = 1;
  }
  if (const auto level = replyField(queryRadio(p, "ML1"), "ML1", 3)) p.core.monitorLevel = *level;

  if (!model.processorQuery.empty()) {
    const std::string& reply = queryRadio(p, model.processorQuery);
    p.fn.procState = 0;
    // The state digit follows the query's own letters: "PR1;" or "PR01;".
    const long afterLetters = static_cast<long>(model.processorQuery.size()) - 2;
    if (const auto state = replyField(reply, "PR", 1, afterLetters); state && wholeValueOf(*state) == 1) {
      p.fn.procState = 1;
    }
  }

  sendText(p, p.fn.nrState == 1 ? "NR1" : "NR0");
  const int tuner = p.config.tunerState;
  sendText(p, tuner == 0 || tuner == 2 ? "AC001" : "AC000");

  p.fn.nrState = 9;  // not known until the radio says
  if (const auto state = replyField(queryRadio(p, "NR0"), "NR0", -1)) {
    p.fn.nrState = static_cast<int>(wholeValueOf(*state));
  }

  if (const auto state = replyField(queryRadio(p, "VX"), "VX", 1)) {
    const int vox = static_cast<int>(wholeValueOf(*state));
    p.core.voxOn = vox >= 2 ? 0 : vox;
  }
  if (const auto state = replyField(queryRadio(p, "BI"), "BI", 1)) {
    const int breakIn = static_cast<int>(wholeValueOf(*state));
    p.core.breakIn = breakIn >= 2 ? 0 : breakIn;
  }
}

void showFrequency(Panel& p, const std::string& text) {
  // "B" or "R" with its blanks, or blanks alone: each covers whatever mark stood there before.
  const bool split = p.tone.vfoB == 1;
  const bool splitMark = split && p.tone.repeaterActive == 0;
  showField(p, Field::SplitMark, splitMark ? "B   " : p.tone.repeaterActive == 1 ? "R   " : "    ");
  if (splitMark) printText(p, "    ");
  if (!split) printText(p, "    ");
  showField(p, Field::Frequency, text + spaces(13));
}

// After Q, the second frequency answer ends the run; true when it has.
bool advanceQuitCountdown(Panel& p) {
  if (p.core.quitCountdown <= 0) return false;
  if (++p.core.quitCountdown <= 2) return false;
  saveMemoryBanks(p);
  p.core.quitCountdown = 0;
  p.core.running = 0;
  return true;
}

// The window's frequency field while the radio does not answer.
constexpr const char* kNotAnsweringText = "not answering";
// Twenty poll exchanges of two 50 ms ticks: about two seconds of a radio that says nothing.
constexpr int kMissedRepliesForLoss = 20;

// A radio back after a loss may have been switched off or replaced: it gets the current band's
// settings as at start, before the connection sequence sends the rest.
void restoreBandOnReturn(Panel& p) {
  p.link.radioLost = 0;
  sendText(p, "VS0");
  applyMode(p);
}

}  // namespace

void noteMissedReply(Panel& p) {
  if (p.link.connected == 0 || ++p.link.missedReplies < kMissedRepliesForLoss) return;
  p.link.missedReplies = 0;
  p.link.connected = 0;
  p.link.radioLost = 1;
  p.link.frequencyHz = 0;  // keys that need the radio answer "nc", as before the first contact
  showFrequency(p, kNotAnsweringText);
  playWord(p, "nc");
  // A quit that waited for the radio's answers ends now, with the memory saved.
  if (p.core.quitCountdown > 0) {
    saveMemoryBanks(p);
    p.core.quitCountdown = 0;
    p.core.running = 0;
  }
}

void noteRadioAnswered(Panel& p) { p.link.missedReplies = 0; }

void handleFrequencyReply(Panel& p) {
  if (p.link.connected == 0) {
    // A radio back after a loss: the operator waiting for it hears "connected" as soon as it is set
    // up, and only then where it stands. At start the announcement ends with "connected".
    const bool returning = p.link.radioLost == 1;
    if (returning) restoreBandOnReturn(p);
    // The first reply only says a radio is there; the start band's frequency is what gets spoken.
    connectRadio(p);
    if (returning) playWord(p, "connected");
    speakFrequency(p);
    speakMode(p);
    togglePreamp(p);
    if (!returning) playWord(p, "connected");
    p.link.connected = 1;
    return;
  }

  const std::string reply = p.link.replyText;
  if (findText(reply, ";") != kReplyTerminatorPosition) return;  // truncated or merged
  const std::string digits = mid(reply, 3, kFrequencyDigitCount);
  // Line noise that happens to start with the letters is not a frequency.
  if (!isDigits(digits)) return;

  if (frequencyAnswerIsStale(p)) {
    // The radio answered before a band, frequency, mode or split change went out: taken at face value
    // it would store the new band's settings into the record of the band just left. The next poll
    // brings the fresh answer; only the quit countdown, which waits for any answer, moves on.
    p.core.replyPending = 0;
    p.link.replyText.clear();
    advanceQuitCountdown(p);
    return;
  }

  p.link.lastFrequencyReply = left(reply, 11);
  p.link.radioStateChangesAtReply = p.link.radioStateChanges;
  if (reply.rfind("FA", 0) == 0) p.link.vfoAText = "A" + digits;
  if (reply.rfind("FB", 0) == 0) p.link.vfoBText = "B" + digits;

  saveBandState(p);
  p.link.frequencyHz = std::stoll(digits);

  const std::string text = windowFrequencyText(digits);
  showFrequency(p, text);
  p.link.frequencyText = text;
  p.core.replyPending = 0;
  p.link.replyText.clear();
  showStatusRow(p);

  if (advanceQuitCountdown(p)) return;

  if (p.link.announceOnNextReply == 1) {
    p.link.announceOnNextReply = 0;
    speakFrequency(p);
    speakMode(p);
    if (p.tone.speechQuiet != 1) {
      playWord(p, "preamp");
      playWord(p, p.fn.preampOn == 1 ? "on" : "off");
    }
  }
}

void connectRadio(Panel& p) {
  takeWorkingOffset(p);
  identifyRadio(p);
  sendOffsetMenus(p);
  sendText(p, "F" + band_record::vfoAField(currentRecord(p)));
  resetToneAndShift(p);
  sendFixedSettings(p);
  readBackSettings(p);
  showStatusRow(p);
  // The preamp toggle that follows inverts this, so a record ending in "1" ends with it on.
  p.fn.preampOn = band_record::preampDigit(currentRecord(p)) == '0' ? 1 : 0;
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
