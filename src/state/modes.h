// The radio's modes in one table: the program's seven modes and the radio's others (data, reverse
// CW, RTTY), with every name each part of the program knows a mode by: the radio's mode character,
// the window's label, the words spoken, the memory report's and CHIRP's names, and Hamlib's.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace korvel {

struct ModeRow {
  const char* hamlibName;     // Hamlib's and the rig server's name ("PKTUSB")
  char radioCharacter;        // the radio's mode character ("MD0C")
  int programMode;            // the program's mode number; for the radio's other modes, the one it works them as
  bool own;                   // one of the program's own modes, which its keys select
  const char* windowLabel;    // the window's mode field
  std::array<const char*, 2> words;  // what is said of it (the program's own modes); null: no word
  const char* reportName;     // the memory report's name; "" for the radio's other modes
  const char* chirpName;      // CHIRP's name in the channel exchange; "" for the radio's other modes
  bool digitalVoiceOnly;      // only on radios with digital voice
  std::uint64_t hamlibBit;    // Hamlib's mode bit
};

std::span<const ModeRow> modeTable();
// The row of one of the program's own modes; null for a number that is none.
const ModeRow* modeOfProgram(int programMode);
// A mode by the radio's character or by Hamlib's name; digitalVoice: the radio has C4FM.
const ModeRow* modeByCharacter(char radioCharacter, bool digitalVoice);
const ModeRow* modeByHamlibName(std::string_view name, bool digitalVoice);
const ModeRow* modeByChirpName(std::string_view name);
const ModeRow* modeByHamlibBit(std::uint64_t bit);

}  // namespace korvel
