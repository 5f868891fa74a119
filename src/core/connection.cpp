#include "core/connection.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "state/panel.h"
#include "state/text.h"
#include "display/main_window.h"
#include "display/status_row.h"
#include "state/band_record.h"
#include "functions/band_table.h"
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

constexpr int kFrequencyDigits = 9;
// A whole frequency reply: "FA" or "FB", nine digits, ";".
constexpr long kReplyTerminatorPosition = 12;

const std::string& currentRecord(const Panel& p) {
  static const std::string none;
  const int band = p.band.currentBand;
  if (band < band_number::kFirst || band >= static_cast<int>(p.band.bandTable.size())) return none;
  return p.band.bandTable[static_cast<std::size_t>(band)];
}

bool allDigits(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// The nine frequency digits as the window shows them: MHz right-aligned in three places with blanks
// for leading zeros, ".", then the six digits below the MHz (014074000 -> " 14.074000").
std::string displayText(const std::string& digits) {
  std::string text = left(digits, 3) + "." + right(digits, 6);
  std::size_t zeros = 0;
  while (zeros < text.size() && text[zeros] == '0') ++zeros;
  return std::string(zeros, ' ') + text.substr(zeros);
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
  if (const long at = findText(reply, "ID"); at > 0) {
    p.link.radioModel = static_cast<int>(wholeValueOf(mid(reply, at + 2, 4)));
  }
  if (p.link.radioModel == 310) p.link.radioModel = 241;  // the same radio under its other number
  if (radioModel(p.link.radioModel).skipRecordSwap) p.link.skipRecordSwap = 1;
}

void sendOffsetMenus(Panel& p) {
  const auto& khz = p.config.repeaterOffsetKhz;
  for (auto& command : offsetMenuCommands(p.link.radioModel, khz[band_number::k10m], khz[band_number::k6m],
                                                 khz[band_number::k2m], khz[band_number::k70cm])) {
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
  if (const std::string& reply = queryRadio(p, "GT0"); const long at = findText(reply, "GT0")) {
    p.core.agcStep = static_cast<int>(wholeValueOf(mid(reply, at + 3, 1)));
  }

  if (const std::string& reply = queryRadio(p, "AG0"); const long at = findText(reply, "AG")) {
    p.level.afGain = static_cast<int>(wholeValueOf(mid(reply, at + 3, 3)));
  } else {
    p.level.afGain = 80;
    sendText(p, "AG0080");
  }

  if (const std::string& reply = queryRadio(p, "ML0"); const long at = findText(reply, "ML0")) {
    if (mid(reply, at + 3, 3) == "001") p.core.monitorOn = 1;
  }
  if (const std::string& reply = queryRadio(p, "ML1"); const long at = findText(reply, "ML1")) {
    p.core.monitorLevel = mid(reply, at + 3, 3);
  }

  if (!model.processorQuery.empty()) {
    const std::string& reply = queryRadio(p, model.processorQuery);
    p.fn.procState = 0;
    // The state digit follows the query's own letters: "PR1;" or "PR01;".
    if (const long at = findText(reply, "PR"); at > 0) {
      const long digitAt = at + static_cast<long>(model.processorQuery.size());
      if (wholeValueOf(mid(reply, digitAt, 1)) == 1) p.fn.procState = 1;
    }
  }

  sendText(p, p.fn.nrState == 1 ? "NR1" : "NR0");
  const int tuner = p.config.tunerState;
  sendText(p, tuner == 0 || tuner == 2 ? "AC001" : "AC000");

  p.fn.nrState = 9;  // not known until the radio says
  if (const std::string& reply = queryRadio(p, "NR0"); const long at = findText(reply, "NR0")) {
    p.fn.nrState = static_cast<int>(wholeValueOf(mid(reply, at + 3)));
  }

  if (const std::string& reply = queryRadio(p, "VX"); const long at = findText(reply, "VX")) {
    const int vox = static_cast<int>(wholeValueOf(mid(reply, at + 2, 1)));
    p.core.voxOn = vox >= 2 ? 0 : vox;
  }
  if (const std::string& reply = queryRadio(p, "BI"); const long at = findText(reply, "BI")) {
    const int breakIn = static_cast<int>(wholeValueOf(mid(reply, at + 2, 1)));
    p.core.breakIn = breakIn >= 2 ? 0 : breakIn;
  }
}

void showFrequency(Panel& p, const std::string& text) {
  moveTo(p, 80, 150);
  const bool split = p.tone.vfoB == 1;
  if (split && p.tone.repeaterActive == 0) printText(p, "B   ");
  printText(p, p.tone.repeaterActive == 1 ? "R   " : "    ");
  if (!split) printText(p, "    ");
  moveTo(p, 285, 150);
  printText(p, text + spaces(13));
}

}  // namespace

void handleFrequencyReply(Panel& p) {
  if (p.link.connected == 0) {
    // The first reply only says a radio is there; the start band's frequency is what gets spoken.
    connectRadio(p);
    speakFrequency(p);
    speakMode(p);
    togglePreamp(p);
    playWord(p, "connected");
    p.link.connected = 1;
    return;
  }

  const std::string reply = p.link.replyText;
  if (findText(reply, ";") != kReplyTerminatorPosition) return;  // truncated or merged
  const std::string digits = mid(reply, 3, kFrequencyDigits);
  // Line noise that happens to start with the letters is not a frequency.
  if (!allDigits(digits)) return;

  p.link.lastFrequencyReply = left(reply, 11);
  if (reply.rfind("FA", 0) == 0) p.link.vfoAText = "A" + digits;
  if (reply.rfind("FB", 0) == 0) p.link.vfoBText = "B" + digits;

  saveBandState(p);
  p.link.frequencyHz = std::stoll(digits);

  const std::string text = displayText(digits);
  showFrequency(p, text);
  p.link.frequencyText = text;
  p.core.replyPending = 0;
  p.link.replyText.clear();
  showStatusRow(p);

  if (p.core.quitCountdown > 0) {
    ++p.core.quitCountdown;
    if (p.core.quitCountdown > 2) {
      saveMemoryBanks(p);
      p.core.quitCountdown = 0;
      p.core.running = 0;
      return;
    }
  }

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
