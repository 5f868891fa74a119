#include "state/modes.h"

#include "state/radio_numbers.h"

namespace korvel {

namespace {

constexpr std::uint64_t bit(int n) { return std::uint64_t{1} << n; }

using namespace mode_number;

// The window's labels of the program's own modes are blank-padded so that each one covers whatever
// longer label it replaces. The radio takes its FM modes out of numeric order: program mode 4 is
// "MD05" (AM) and mode 7 is "MD04" (FM). The radio's other modes are worked as the mode they are
// built on (data on USB is USB to the keys and the band table) and shown under the radio's own name.
constexpr std::array kModes = {
    ModeRow{"LSB", '1', kLsb, true, "LSB    ", {"lsb.wav", nullptr}, "LSB", "LSB", false, bit(3)},
    ModeRow{"USB", '2', kUsb, true, "USB    ", {"usb.wav", nullptr}, "USB", "USB", false, bit(2)},
    ModeRow{"CW", '3', kCw, true, "CW      ", {"cw.wav", nullptr}, "CW", "CW", false, bit(1)},
    ModeRow{"FM", '4', kFm, true, "FM      ", {"fm.wav", nullptr}, "FMW", "FM", false, bit(5)},
    ModeRow{"AM", '5', kAm, true, "AM     ", {"am.wav", nullptr}, "AM", "AM", false, bit(0)},
    ModeRow{"RTTY", '6', kLsb, false, "RTTY-L", {}, "", "", false, bit(4)},
    ModeRow{"CWR", '7', kCw, false, "CW-R", {}, "", "", false, bit(7)},
    ModeRow{"PKTLSB", '8', kLsb, false, "DATA-L", {}, "", "", false, bit(10)},
    ModeRow{"RTTYR", '9', kUsb, false, "RTTY-U", {}, "", "", false, bit(8)},
    ModeRow{"PKTFM", 'A', kFm, false, "DATA-FM", {}, "", "", false, bit(12)},
    ModeRow{"FMN", 'B', kFmNarrow, true, "FMN     ", {"fm.wav", "nar.wav"}, "FMN", "NFM", false, bit(21)},
    ModeRow{"PKTUSB", 'C', kUsb, false, "DATA-U", {}, "", "", false, bit(11)},
    ModeRow{"AMN", 'D', kAm, false, "AM-N", {}, "", "", false, bit(29)},
    ModeRow{"C4FM", 'E', kC4fm, true, "C4FM  ", {"c4fm.wav", nullptr}, "C4FM", "DN", true, bit(33)},
};

template <typename Matches>
const ModeRow* find(Matches matches) {
  for (const ModeRow& row : kModes) {
    if (matches(row)) return &row;
  }
  return nullptr;
}

}  // namespace

std::span<const ModeRow> modeTable() { return kModes; }

const ModeRow* modeOfProgram(int programMode) {
  return find([programMode](const ModeRow& row) { return row.own && row.programMode == programMode; });
}

const ModeRow* modeByCharacter(char radioCharacter, bool digitalVoice) {
  return find([&](const ModeRow& row) {
    return row.radioCharacter == radioCharacter && (digitalVoice || !row.digitalVoiceOnly);
  });
}

const ModeRow* modeByHamlibName(std::string_view name, bool digitalVoice) {
  return find([&](const ModeRow& row) { return name == row.hamlibName && (digitalVoice || !row.digitalVoiceOnly); });
}

const ModeRow* modeByChirpName(std::string_view name) {
  return find([name](const ModeRow& row) { return row.own && name == row.chirpName; });
}

const ModeRow* modeByHamlibBit(std::uint64_t bit) {
  return find([bit](const ModeRow& row) { return row.hamlibBit == bit; });
}

}  // namespace korvel
