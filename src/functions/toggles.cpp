#include "functions/toggles.h"

#include "state/panel.h"
#include "state/text.h"
#include "display/status_row.h"
#include "radio_link/radio_models.h"
#include "radio_link/transport.h"
#include "player/phrase_player.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

// What the level keys adjust after a function has been switched on.
constexpr int kLevelNone = level_function::kNone;
constexpr int kLevelPreamp = level_function::kPreamp;
constexpr int kLevelNoiseBlanker = level_function::kNoiseBlanker;
constexpr int kLevelNoiseReduction = level_function::kNoiseReduction;
constexpr int kLevelContour = level_function::kContour;
constexpr int kLevelProcessor = level_function::kProcessor;

void releaseLevelTarget(Panel& p, int function) {
  if (p.fn.lastFunction == function) p.fn.lastFunction = kLevelNone;
}

// Asks the radio for a level; the number starts `offset` characters after the letters. Without an
// answer carrying the letters the level keeps its value.
void readLevel(Panel& p, const std::string& query, const std::string& letters, long offset, int& level) {
  const std::string& reply = queryRadio(p, query);
  const long skip = offset - static_cast<long>(letters.size());
  if (const auto value = replyField(reply, letters, 3, skip)) level = static_cast<int>(wholeValueOf(*value));
}

}  // namespace

void togglePreamp(Panel& p) {
  playWord(p, "preamp");
  if (p.fn.preampOn == 0) {
    p.fn.lastFunction = kLevelPreamp;
    playWord(p, "on");
    sendText(p, p.fn.preampLevel < 2 ? "PA01" : "PA02");
    p.fn.preampOn = 1;
  } else {
    playWord(p, "off");
    sendText(p, "PA00");
    p.fn.preampOn = 0;
    p.fn.preampLevel = 0;
    releaseLevelTarget(p, kLevelPreamp);
  }
  showStatusRow(p);
}

void toggleAttenuator(Panel& p) {
  playWord(p, "at");
  // VHF and UHF have no attenuator, and general coverage is treated the same way.
  if (p.band.currentBand >= band_number::k2m) {
    playWord(p, "na");
    return;
  }
  if (p.fn.attOn == 0) {
    playWord(p, "on");
    sendText(p, "RA01");
    p.fn.attOn = 1;
  } else {
    playWord(p, "off");
    sendText(p, "RA00");
    p.fn.attOn = 0;
  }
  showStatusRow(p);
}

void toggleNoiseBlanker(Panel& p) {
  playWord(p, "nb");
  if (p.fn.nbOn == 0) {
    playWord(p, "on");
    sendText(p, "NB01");
    p.fn.nbOn = 1;
    p.fn.lastFunction = kLevelNoiseBlanker;
    readLevel(p, "NL0", "NL", 3, p.fn.nbLevel);
  } else {
    playWord(p, "off");
    sendText(p, "NB00");
    p.fn.nbOn = 0;
    releaseLevelTarget(p, kLevelNoiseBlanker);
  }
}

void toggleNoiseReduction(Panel& p) {
  const int state = p.fn.nrState;
  // A state the radio never reported is switched off without a word: the operator's next press
  // then switches it on from a known state.
  if (state == 0 || state == 1) playWord(p, "nr");
  if (state == 0) {
    sendText(p, "NR01");
    p.fn.nrState = 1;
    p.fn.lastFunction = kLevelNoiseReduction;
    playWord(p, "on");
    readLevel(p, "RL0", "RL", 3, p.fn.nrLevel);
  } else {
    sendText(p, "NR00");
    releaseLevelTarget(p, kLevelNoiseReduction);
    if (state == 1) playWord(p, "off");
    p.fn.nrState = 0;
  }
  showStatusRow(p);
}

void toggleNotch(Panel& p) {
  playWord(p, "notch");
  const bool on = p.fn.notchOn == 0;
  playWord(p, on ? "on" : "off");
  p.fn.notchOn = on ? 1 : 0;
  sendText(p, on ? "BC01" : "BC00");
}

void cycleContour(Panel& p) {
  p.fn.lastFunction = kLevelContour;
  std::string command;
  switch (p.fn.contourState) {
    case 0:
      p.fn.contourState = 1;
      command = "CO011200";
      playWord(p, "cod");
      break;
    case 1:
      p.fn.contourState = 2;
      command = "CO031200";
      playWord(p, "cop");
      break;
    default:
      p.fn.contourState = 0;
      command = "CO001200";
      p.fn.lastFunction = kLevelNone;
      p.core.keyState = key_state::kIdle;
      playWord(p, "co");
      playWord(p, "off");
      break;
  }
  sendText(p, command);
}

void toggleProcessor(Panel& p) {
  const RadioModel& model = radioModel(p.link.radioModel);
  // A radio the program does not ask about its processor is not switched either.
  if (model.processorQuery.empty()) return;
  if (!isSsb(p.mode.currentMode)) {
    playWord(p, "na");
    return;
  }
  playWord(p, "spc");
  if (p.fn.procState == 0) {
    playWord(p, "on");
    sendText(p, model.processorOn);
    p.fn.lastFunction = kLevelProcessor;
  } else {
    playWord(p, "off");
    sendText(p, model.processorOff);
    p.fn.lastFunction = kLevelNone;
  }
  p.fn.procState = 1 - (p.fn.procState == 0 ? 0 : 1);
  if (p.fn.procState == 1) {
    readLevel(p, "PL", "PL", 2, p.fn.processorLevel);
    showStatusRow(p);
  }
}

namespace {

// Both F8 toggles: announce the function, send the opposite of the flag, flip it, say the result.
void toggleFunction(Panel& p, int& flag, const char* word, const char* onCommand, const char* offCommand) {
  playWord(p, word);
  if (flag == 0) {
    p.link.commandText = onCommand;
    flag = 1;
    playWord(p, "on");
  } else {
    p.link.commandText = offCommand;
    flag = 0;
    playWord(p, "off");
  }
  sendCommand(p);
  showStatusRow(p);
}

}  // namespace

void toggleBreakIn(Panel& p) { toggleFunction(p, p.core.breakIn, "bkin", "BI1", "BI0"); }

void toggleVox(Panel& p) { toggleFunction(p, p.core.voxOn, "vox", "VX1", "VX0"); }

}  // namespace korvel
