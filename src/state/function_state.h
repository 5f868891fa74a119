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
  int fmWide = 0;
  int widthIndex = 14;
  int ssbWidthIndex = 14;
  int cwWidthIndex = 11;
  int widthQuiet = 1;
  std::string savedTone;
  int squelchLevel = 8;
  std::array<std::string, 8> modeCommandTable{};  // entries 1..7
  // The radio's own character of a mode another program set that the program has no number for
  // (data, RTTY, CW reverse): currentMode is then the mode it is built on. 0 otherwise.
  char radioModeCharacter = 0;
};

struct FunctionState {
  int preampOn = 0;
  int preampLevel = 0;
  int attOn = 0;
  int nbOn = 0;
  int nbLevel = 0;
  int nrState = 0;  // 0 off, 1 on, anything else: not read from the radio
  int nrLevel = 1;
  int notchOn = 0;
  int contourState = 0;
  int contourFreq = 1200;
  int procState = 0;
  int processorLevel = 0;
  int lastFunction = level_function::kNone;
};

struct ToneState {
  std::string toneText = "999";
  int toneActive = 0;
  int toneIsDcs = 0;
  int toneEntryQuiet = 0;
  int speechQuiet = 0;
  int repeaterActive = 0;
  int vfoB = 0;
};

struct LevelState {
  int rfGain = 250;
  int afGain = 50;
  int micGain = 0;
  int keyerSpeed = 15;
};

}  // namespace korvel::functions
