// What a rig-server client asks, in the radio's terms: the modes a radio offers by Hamlib's names,
// passbands and the radio's width steps, and the levels with Hamlib's scales. The CAT text and
// the reading of replies are the CAT module's.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "radio_link/cat.h"
#include "radio_link/radio_models.h"
#include "state/modes.h"

namespace korvel::rig {

using korvel::ModeRow;

// The modes this radio offers a client, by Hamlib's name; null for one it has not.
const ModeRow* offeredMode(const RadioModel& model, std::string_view name);
const ModeRow* offeredMode(const RadioModel& model, char radioCharacter);
std::uint64_t modeMask(const RadioModel& model);
// Hamlib's bits of a list of mode names (those the radio offers).
std::uint64_t modeMask(const RadioModel& model, std::initializer_list<const char*> names);

// The passband of a width step in a mode (fixed for AM and FM); the step nearest a passband, 0 for
// a mode without steps.
long passbandOf(const ModeRow& mode, int widthIndex);
int widthIndexFor(const ModeRow& mode, long hertz);

// The value the program keeps of a level it follows.
enum class KeptLevel { none, power, afGain, rfGain, micGain, keyerSpeed, squelch };

struct LevelRow {
  const char* name;       // Hamlib's name ("RFPOWER")
  cat::Reading reading;   // the radio's reading of it
  double fullScale;       // the radio's number for 1.0; 0 for a level Hamlib gives in whole numbers
  bool settable;
  cat::Level setting;     // the CAT module's level, for one that can be set
  KeptLevel kept;
  std::uint64_t hamlibBit;
};

const LevelRow* levelByName(std::string_view name);
std::uint64_t levelMask(bool settable);
// The level's value as Hamlib writes it ("0.500000", "-12"), from the radio's answer.
std::optional<std::string> levelOfAnswer(const RadioModel& model, const LevelRow& level, const std::string& answer);
// STRENGTH (dB over S9) of the radio's raw S-meter reading.
int strengthOfReading(int raw);
// The raw readings a radio's meter would show for a strength (dB over S9) and for an SWR.
int readingOfStrength(int decibelsOverS9);
int readingOfSwr(double swr);
// The CAT text that sets a level to a client's value, and the radio's number in it.
std::optional<std::string> levelCommand(const LevelRow& level, std::string_view value, int& radioNumber);

// A number as a client writes it ("14074000", "14074000.000000", "0.5"); empty on anything else.
std::optional<double> numberOf(std::string_view text);

}  // namespace korvel::rig
