#include "functions/toggles.h"

#include "state/panel.h"
#include "state/text.h"
#include "display/status_row.h"
#include "radio_link/radio_models.h"
#include "radio_link/cat.h"
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
// Where the contour key puts the contour when it switches it.
constexpr int kContourStartHz = 1200;

void releaseLevelTarget(Panel& p, int function) {
  if (p.fn.lastFunction == function) p.fn.lastFunction = kLevelNone;
}

// Asks the radio for a level; without an answer carrying it the level keeps its value.
void readLevel(Panel& p, cat::Reading reading, int& level) {
  if (const auto value = askRadioValue(p, reading)) level = static_cast<int>(*value);
}

}  // namespace

void togglePreamp(Panel& p) {
  playWord(p, "preamp");
  if (refusedBeforeSending(p, cat::preamp(1))) return;
  if (!p.fn.preampOn) {
    p.fn.lastFunction = kLevelPreamp;
    playWord(p, "on");
    sendText(p, cat::preamp(p.fn.preampLevel < 2 ? 1 : 2));
    p.fn.preampOn = true;
  } else {
    playWord(p, "off");
    sendText(p, cat::preamp(0));
    p.fn.preampOn = false;
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
  if (refusedBeforeSending(p, cat::set(cat::Switch::Attenuator, true))) return;
  if (!p.fn.attOn) {
    playWord(p, "on");
    sendText(p, cat::set(cat::Switch::Attenuator, true));
    p.fn.attOn = true;
  } else {
    playWord(p, "off");
    sendText(p, cat::set(cat::Switch::Attenuator, false));
    p.fn.attOn = false;
  }
  showStatusRow(p);
}

void toggleNoiseBlanker(Panel& p) {
  playWord(p, "nb");
  if (refusedBeforeSending(p, cat::set(cat::Switch::NoiseBlanker, true))) return;
  if (!p.fn.nbOn) {
    playWord(p, "on");
    sendText(p, cat::set(cat::Switch::NoiseBlanker, true));
    p.fn.nbOn = true;
    p.fn.lastFunction = kLevelNoiseBlanker;
    readLevel(p, cat::Reading::NoiseBlankerLevel, p.fn.nbLevel);
  } else {
    playWord(p, "off");
    sendText(p, cat::set(cat::Switch::NoiseBlanker, false));
    p.fn.nbOn = false;
    releaseLevelTarget(p, kLevelNoiseBlanker);
  }
}

void toggleNoiseReduction(Panel& p) {
  if (p.radio.radioRefuses(cat::set(cat::Switch::NoiseReduction, true))) {
    playWord(p, "nr");
    playWord(p, "na");
    return;
  }
  const nr_state::NrState state = p.fn.nrState;
  // A state the radio never reported is switched off without a word: the operator's next press
  // then switches it on from a known state.
  if (state != nr_state::kUnknown) playWord(p, "nr");
  if (state == nr_state::kOff) {
    sendText(p, cat::set(cat::Switch::NoiseReduction, true));
    p.fn.nrState = nr_state::kOn;
    p.fn.lastFunction = kLevelNoiseReduction;
    playWord(p, "on");
    readLevel(p, cat::Reading::NoiseReductionLevel, p.fn.nrLevel);
  } else {
    sendText(p, cat::set(cat::Switch::NoiseReduction, false));
    releaseLevelTarget(p, kLevelNoiseReduction);
    if (state == nr_state::kOn) playWord(p, "off");
    p.fn.nrState = nr_state::kOff;
  }
  showStatusRow(p);
}

void toggleNotch(Panel& p) {
  playWord(p, "notch");
  if (refusedBeforeSending(p, cat::set(cat::Switch::Notch, true))) return;
  const bool on = !p.fn.notchOn;
  playWord(p, on ? "on" : "off");
  p.fn.notchOn = on;
  sendText(p, cat::set(cat::Switch::Notch, on));
}

void cycleContour(Panel& p) {
  if (p.radio.radioRefuses(cat::contour(cat::Contour::Dip, kContourStartHz))) {
    playWord(p, "co");
    playWord(p, "na");
    return;
  }
  p.fn.lastFunction = kLevelContour;
  cat::Contour kind = cat::Contour::Off;
  switch (p.fn.contourState) {
    case contour_state::kOff:
      p.fn.contourState = contour_state::kDip;
      kind = cat::Contour::Dip;
      playWord(p, "cod");
      break;
    case contour_state::kDip:
      p.fn.contourState = contour_state::kPeak;
      kind = cat::Contour::Peak;
      playWord(p, "cop");
      break;
    default:
      p.fn.contourState = contour_state::kOff;
      p.fn.lastFunction = kLevelNone;
      p.core.keyState = key_state::kIdle;
      playWord(p, "co");
      playWord(p, "off");
      break;
  }
  // The key always starts from the contour's middle frequency.
  sendText(p, cat::contour(kind, kContourStartHz));
}

void toggleProcessor(Panel& p) {
  const RadioModel& model = radioRow(p);
  // A radio the program does not ask about its processor is not switched either.
  if (!cat::hasProcessorQuery(model)) return;
  if (!isSsb(p.mode.currentMode)) {
    playWord(p, "na");
    return;
  }
  playWord(p, "spc");
  if (refusedBeforeSending(p, cat::processor(model, true))) return;
  if (!p.fn.procState) {
    playWord(p, "on");
    sendText(p, cat::processor(model, true));
    p.fn.lastFunction = kLevelProcessor;
  } else {
    playWord(p, "off");
    sendText(p, cat::processor(model, false));
    p.fn.lastFunction = kLevelNone;
  }
  p.fn.procState = !p.fn.procState;
  if (p.fn.procState) {
    readLevel(p, cat::Reading::ProcessorLevel, p.fn.processorLevel);
    showStatusRow(p);
  }
}

namespace {

// Both F8 toggles: announce the function, send the opposite of the flag, flip it, say the result.
void toggleFunction(Panel& p, bool& flag, const char* word, cat::Switch what) {
  playWord(p, word);
  if (refusedBeforeSending(p, cat::set(what, true))) return;
  const bool on = !flag;
  flag = on;
  playWord(p, on ? "on" : "off");
  sendText(p, cat::set(what, on));
  showStatusRow(p);
}

}  // namespace

void toggleBreakIn(Panel& p) { toggleFunction(p, p.core.breakIn, "bkin", cat::Switch::BreakIn); }

void toggleVox(Panel& p) { toggleFunction(p, p.core.voxOn, "vox", cat::Switch::Vox); }

}  // namespace korvel
