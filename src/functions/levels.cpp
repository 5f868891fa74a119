#include "functions/levels.h"

#include <algorithm>
#include <string>

#include "functions/tuning.h"
#include "state/panel.h"
#include "state/text.h"
#include "functions/band_table.h"
#include "functions/mode.h"
#include "functions/toggles.h"
#include "radio_link/radio_models.h"
#include "radio_link/cat.h"
#include "radio_link/transport.h"
#include "player/phrase_player.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

void say(Panel& p, bool condition, const char* word) {
  if (condition) playWord(p, word);
}

void adjustPower(Panel& p, int direction) {
  if (refusedBeforeSending(p, cat::level(cat::Level::TransmitPower, 0))) return;
  int& power = p.config.txPower;
  const int maxPower = p.config.maxPower;
  if (direction > 0) {
    power += 10;
    if (power == 15) power = 10;
    if (power > maxPower) {
      if (maxPower == 200) {
        power = 200;
      } else if (power > 100) {
        power = 100;
      }
    }
    say(p, power == 200 || (power == 100 && maxPower < 200), "max");
  } else {
    power -= 10;
    if (power < 1) power = 5;
    say(p, power == 5, "min");
  }
  sendText(p, cat::level(cat::Level::TransmitPower, power));
}

void adjustRfGain(Panel& p, int direction) {
  if (refusedBeforeSending(p, cat::level(cat::Level::RfGain, 0))) return;
  int& gain = p.level.rfGain;
  if (direction > 0) {
    gain += 20;
    if (gain > 240) gain = 255;
    say(p, gain == 255, "max");
  } else {
    gain -= 20;
    if (gain < 20) gain = 0;
  }
  say(p, gain == 0, "min");
  sendText(p, cat::level(cat::Level::RfGain, gain));
}

void adjustAfGain(Panel& p, int direction) {
  if (refusedBeforeSending(p, cat::level(cat::Level::AfGain, 0))) return;
  int& gain = p.level.afGain;
  gain += direction > 0 ? 10 : -10;
  if (gain > 250) gain = 250;
  if (gain < 0) gain = 0;
  say(p, direction > 0 && gain == 250, "max");
  sendText(p, cat::level(cat::Level::AfGain, gain));
}

void adjustKeyerSpeed(Panel& p, int direction) {
  if (refusedBeforeSending(p, cat::level(cat::Level::KeyerSpeed, 0))) return;
  int& speed = p.level.keyerSpeed;
  speed = std::clamp(speed + direction, 4, 60);
  say(p, direction > 0 && speed == 60, "max");
  say(p, direction < 0 && speed == 4, "min");
  sendText(p, cat::level(cat::Level::KeyerSpeed, speed));
}

void adjustMicGain(Panel& p, int direction) {
  if (refusedBeforeSending(p, cat::level(cat::Level::MicGain, 0))) return;
  int& gain = p.level.micGain;
  gain += direction;
  if (gain > 100) {
    gain = 100;
    playWord(p, "max");
  }
  if (gain < 0) {
    gain = 0;
    playWord(p, "min");
  }
  sendText(p, cat::level(cat::Level::MicGain, gain));
}

void adjustFunctionLevel(Panel& p, int direction) {
  auto& f = p.fn;
  const RadioModel& model = radioRow(p);
  switch (f.lastFunction) {
    case level_function::kPreamp:
      playWord(p, direction > 0 ? "max" : "min");
      f.preampLevel = direction > 0 ? 2 : 1;
      f.preampOn = false;
      togglePreamp(p);
      break;
    case level_function::kNoiseBlanker:
      if (refusedBeforeSending(p, cat::level(cat::Level::NoiseBlanker, 0))) break;
      f.nbLevel += direction;
      if (f.nbLevel > 10) {
        f.nbLevel = 10;
        playWord(p, "max");
      }
      if (f.nbLevel < 1) {
        f.nbLevel = 0;
        playWord(p, "min");
      }
      sendText(p, cat::level(cat::Level::NoiseBlanker, f.nbLevel));
      break;
    case level_function::kNoiseReduction:
      if (refusedBeforeSending(p, cat::level(cat::Level::NoiseReduction, 0))) break;
      f.nrLevel += direction;
      if (f.nrLevel > model.noiseReductionLimit - 1) {
        f.nrLevel = model.noiseReductionLimit;
        playWord(p, "max");
      }
      if (f.nrLevel < 1) {
        f.nrLevel = 1;
        playWord(p, "min");
      }
      sendText(p, cat::level(cat::Level::NoiseReduction, f.nrLevel));
      break;
    case level_function::kContour:
      if (refusedBeforeSending(p, cat::contour(cat::Contour::Peak, 0))) break;
      f.contourFreq += direction > 0 ? 100 : -100;
      if (f.contourFreq > 3200) f.contourFreq = 3200;
      if (f.contourFreq < 100) f.contourFreq = 10;
      say(p, f.contourFreq == 3200, "max");
      say(p, f.contourFreq == 10, "min");
      sendText(p, cat::contour(f.contourState == contour_state::kPeak ? cat::Contour::Peak : cat::Contour::Dip, f.contourFreq));
      break;
    case level_function::kProcessor:
      if (refusedBeforeSending(p, cat::level(cat::Level::Processor, 0))) break;
      f.processorLevel += direction > 0 ? 10 : -10;
      if (f.processorLevel > model.processorLevelLimit - (model.processorLevelLimit == 250 ? 1 : 0)) {
        f.processorLevel = model.processorLevelLimit;
        playWord(p, "max");
      }
      if (f.processorLevel < 1) {
        f.processorLevel = 0;
        playWord(p, "min");
      }
      sendText(p, cat::level(cat::Level::Processor, f.processorLevel));
      break;
    default:
      break;
  }
}

void adjust(Panel& p, int direction) {
  switch (p.core.keyState) {
    case key_state::kIdle:
      tuneBy(p, direction * (p.mode.currentMode == mode_number::kCw ? 500 : 1000));
      break;
    case key_state::kBandSelect:
      if (direction > 0) {
        stepBandUp(p);
      } else {
        stepBandDown(p);
      }
      break;
    case key_state::kWidth:
      if (direction > 0) {
        stepWidthUp(p);
      } else {
        stepWidthDown(p);
      }
      break;
    case key_state::kPower:
      adjustPower(p, direction);
      break;
    case key_state::kRfGain:
      adjustRfGain(p, direction);
      break;
    case key_state::kAfGain:
      adjustAfGain(p, direction);
      break;
    case key_state::kFunctionLevel:
      adjustFunctionLevel(p, direction);
      break;
    case key_state::kKeyerSpeed:
      adjustKeyerSpeed(p, direction);
      break;
    case key_state::kMicGain:
      adjustMicGain(p, direction);
      break;
    default:
      break;
  }
}

}  // namespace

void levelUp(Panel& p) { adjust(p, 1); }
void levelDown(Panel& p) { adjust(p, -1); }

}  // namespace korvel
