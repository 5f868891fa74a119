// State of the radio functions: band table, mode and filter width, receiver and transmitter
// toggles, tones and repeater shift, and the levels the up and down keys adjust.
#pragma once

#include <array>
#include <string>

#include "state/radio_numbers.h"

namespace korvel::functions {

struct BandState {
  std::array<std::string, 15> bandTable{};  // entries 1..14, 26-character records
  int currentBand = band_number::kDefault;
  std::string bandRecallText;
};

struct ModeState {
  int currentMode = mode_number::kLsb;
  int savedMode = 0;
  bool fmWide = false;
  int widthIndex = 14;
  int ssbWidthIndex = 14;
  int cwWidthIndex = 11;
  bool widthQuiet = true;
  std::string savedTone;
  int squelchLevel = 8;
  std::array<std::string, 8> modeCommandTable{};  // entries 1..7
};

struct FunctionState {
  bool preampOn = false;
  int preampLevel = 0;
  bool attOn = false;
  bool nbOn = false;
  int nbLevel = 0;
  int nrState = 0;  // 0 off, 1 on, anything else: not read from the radio
  int nrLevel = 1;
  bool notchOn = false;
  int contourState = 0;
  int contourFreq = 1200;
  bool procState = false;
  int processorLevel = 0;
  int lastFunction = level_function::kNone;
};

struct ToneState {
  std::string toneText = "999";
  bool toneActive = false;
  bool toneIsDcs = false;
  bool toneEntryQuiet = false;
  bool speechQuiet = false;
  int repeaterActive = 0;
  bool vfoB = false;
};

struct LevelState {
  int rfGain = 250;
  int afGain = 50;
  int micGain = 0;
  int keyerSpeed = 15;
};

}  // namespace korvel::functions
