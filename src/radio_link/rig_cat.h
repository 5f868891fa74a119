// What a rig-server client asks, in the radio's CAT terms: the modes by Hamlib's names and the
// radio's mode characters, passbands and the radio's width steps, the levels, and the CAT text of
// every setting a client may make. The one place the server's requests become CAT text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "radio_link/cat.h"

namespace korvel::rig {

struct ModeRow {
  const char* name;         // Hamlib's name ("PKTUSB")
  char radioCharacter;      // the radio's "MD0<c>" character
  int programMode;          // the program's own mode number, or the one it works this mode as
  const char* windowLabel;  // the window's label for a mode the program has no number for; "" otherwise
  bool digitalVoiceOnly;    // only on radios with digital voice
  std::uint64_t hamlibBit;
};

const ModeRow* modeByName(std::string_view name, bool digitalVoice);
const ModeRow* modeByCharacter(char radioCharacter, bool digitalVoice);
// The row of the program's own mode number (LSB, USB, CW, AM, FMN, C4FM, FM).
const ModeRow* modeOfProgram(int programMode);
std::uint64_t modeMask(bool digitalVoice);

// The passband of a width step in a mode (fixed for AM and FM); the step nearest a passband, 0 for
// a mode without steps.
long passbandOf(const ModeRow& mode, int widthIndex);
int widthIndexFor(const ModeRow& mode, long hertz);

// CAT text of the settings (without ";").
std::string frequencyCommand(char vfo, long long hertz);  // vfo 'A' or 'B'
std::string modeCommand(bool subVfo, const ModeRow& mode);
std::string transmitCommand(bool on);
std::string splitCommand(bool on);
std::string vfoCommand(bool vfoB);
// The query of a VFO's frequency, and the hertz of its answer.
std::string frequencyQuery(char vfo);
std::optional<long long> frequencyOfAnswer(const std::string& answer);
std::string subModeQuery();
std::optional<char> modeOfAnswer(const std::string& answer);

// The value the program keeps of a level it follows.
enum class KeptLevel { none, power, afGain, rfGain, micGain, keyerSpeed, squelch };

struct LevelRow {
  const char* name;       // Hamlib's name ("RFPOWER")
  const char* letters;    // the query, and the letters its answer begins with ("PC", "RM6")
  double fullScale;       // the radio's number for 1.0; 0 for a level Hamlib gives in whole numbers
  bool settable;
  cat::Level setting;     // the CAT module's level, for one that can be set
  KeptLevel kept;
  std::uint64_t hamlibBit;
};

const LevelRow* levelByName(std::string_view name);
std::uint64_t levelMask(bool settable);
// The level's value as Hamlib writes it ("0.500000", "-12"), from the radio's answer.
std::optional<std::string> levelOfAnswer(const LevelRow& level, const std::string& answer);
// STRENGTH (dB over S9) of the radio's raw S-meter reading.
int strengthOfReading(int raw);
// The CAT text that sets a level to a client's value, and the radio's number in it.
std::optional<std::string> levelCommand(const LevelRow& level, std::string_view value, int& radioNumber);

// A number as a client writes it ("14074000", "14074000.000000", "0.5"); empty on anything else.
std::optional<double> numberOf(std::string_view text);

}  // namespace korvel::rig
