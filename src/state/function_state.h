// State of the radio functions: band table, mode and filter width, receiver and transmitter
// toggles, tones and repeater shift, and the levels the up and down keys adjust.
#pragma once

#include <array>
#include <string>

#include "state/radio_numbers.h"

namespace korvel::repeater_shift {

// The repeater shift. kSwitchOffQuietly: a band set up from a record that is not a repeater record,
// where the radio may still have a shift on; the next toggle switches it off without a word.
enum RepeaterShift : int { kOff = 0, kOn = 1, kSwitchOffQuietly = 2 };

}  // namespace korvel::repeater_shift

namespace korvel::nr_state {

// Noise reduction as the program knows it; unknown until the radio has reported 0 or 1.
enum NrState : int { kOff = 0, kOn = 1, kUnknown = 9 };

}  // namespace korvel::nr_state

namespace korvel::contour_state {

enum ContourState : int { kOff = 0, kDip = 1, kPeak = 2 };

}  // namespace korvel::contour_state

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
  // The radio's own character of a mode another program set that the program has no number for
  // (data, RTTY, CW reverse): currentMode is then the mode it is built on. 0 otherwise.
  char radioModeCharacter = 0;
};

struct FunctionState {
  bool preampOn = false;
  int preampLevel = 0;
  bool attOn = false;
  bool nbOn = false;
  int nbLevel = 0;
  nr_state::NrState nrState = nr_state::kOff;
  int nrLevel = 1;
  bool notchOn = false;
  contour_state::ContourState contourState = contour_state::kOff;
  int contourFreq = 1200;
  bool procState = false;
  int processorLevel = 0;
  int lastFunction = level_function::kNone;
};

struct ToneState {
  std::string toneText = kNoTone;
  bool toneActive = false;
  bool toneIsDcs = false;
  bool toneEntryQuiet = false;
  bool speechQuiet = false;
  repeater_shift::RepeaterShift repeaterActive = repeater_shift::kOff;
  bool vfoB = false;
};

struct LevelState {
  int rfGain = 250;
  int afGain = 50;
  int micGain = 0;
  int keyerSpeed = 15;
};

}  // namespace korvel::functions
