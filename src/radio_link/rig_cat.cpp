#include "radio_link/rig_cat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "state/radio_numbers.h"

namespace korvel::rig {

namespace {

constexpr std::uint64_t bit(int n) { return std::uint64_t{1} << n; }

using namespace mode_number;

// The radio's mode characters by Hamlib's names. The modes the program has no number of its own for
// are worked as the mode they are built on (data on USB is USB to the keys and the band table) and
// shown under the radio's own name.
constexpr std::array kModes = {
    ModeRow{"LSB", '1', kLsb, "", false, bit(3)},
    ModeRow{"USB", '2', kUsb, "", false, bit(2)},
    ModeRow{"CW", '3', kCw, "", false, bit(1)},
    ModeRow{"FM", '4', kFm, "", false, bit(5)},
    ModeRow{"AM", '5', kAm, "", false, bit(0)},
    ModeRow{"RTTY", '6', kLsb, "RTTY-L", false, bit(4)},
    ModeRow{"CWR", '7', kCw, "CW-R", false, bit(7)},
    ModeRow{"PKTLSB", '8', kLsb, "DATA-L", false, bit(10)},
    ModeRow{"RTTYR", '9', kUsb, "RTTY-U", false, bit(8)},
    ModeRow{"PKTFM", 'A', kFm, "DATA-FM", false, bit(12)},
    ModeRow{"FMN", 'B', kFmNarrow, "", false, bit(21)},
    ModeRow{"PKTUSB", 'C', kUsb, "DATA-U", false, bit(11)},
    ModeRow{"AMN", 'D', kAm, "AM-N", false, bit(29)},
    ModeRow{"C4FM", 'E', kC4fm, "", true, bit(33)},
};

// The radio's width steps, as Hamlib reads them: sideband (and data) widths, CW widths, in hertz.
constexpr std::array<long, 23> kSidebandWidths = {300,  400,  600,  850,  1100, 1200, 1500, 1650,
                                                  1800, 1950, 2100, 2200, 2300, 2400, 2500, 2600,
                                                  2700, 2800, 2900, 3000, 3200, 3500, 4000};
constexpr std::array<long, 18> kCwWidths = {50,  100, 150, 200,  250,  300,  350,  400,  450,
                                            500, 600, 800, 1200, 1400, 1700, 2000, 2400, 3000};
constexpr long kAmWidth = 9000;
constexpr long kNarrowAmWidth = 6000;
constexpr long kFmWidth = 16000;
constexpr long kNarrowFmWidth = 9000;

enum class Reading { whole, fraction, strength, swr };

struct LevelScale {
  LevelRow row;
  Reading reading;
};

using cat::Level;
constexpr std::array kLevels = {
    LevelScale{{"STRENGTH", "SM0", 0, false, {}, KeptLevel::none, bit(30)}, Reading::strength},
    LevelScale{{"RAWSTR", "SM0", 0, false, {}, KeptLevel::none, bit(26)}, Reading::whole},
    LevelScale{{"RFPOWER", "PC", 100, true, Level::TransmitPower, KeptLevel::power, bit(12)}, Reading::fraction},
    LevelScale{{"SWR", "RM6", 0, false, {}, KeptLevel::none, bit(28)}, Reading::swr},
    LevelScale{{"ALC", "RM4", 255, false, {}, KeptLevel::none, bit(29)}, Reading::fraction},
    LevelScale{{"RFPOWER_METER", "RM5", 255, false, {}, KeptLevel::none, bit(32)}, Reading::fraction},
    LevelScale{{"AF", "AG0", 255, true, Level::AfGain, KeptLevel::afGain, bit(3)}, Reading::fraction},
    LevelScale{{"RF", "RG0", 255, true, Level::RfGain, KeptLevel::rfGain, bit(4)}, Reading::fraction},
    LevelScale{{"SQL", "SQ0", 255, true, Level::Squelch, KeptLevel::squelch, bit(5)}, Reading::fraction},
    LevelScale{{"MICGAIN", "MG", 100, true, Level::MicGain, KeptLevel::micGain, bit(13)}, Reading::fraction},
    LevelScale{{"COMP", "PL", 100, true, Level::Processor, KeptLevel::none, bit(16)}, Reading::fraction},
    LevelScale{{"KEYSPD", "KS", 0, true, Level::KeyerSpeed, KeptLevel::keyerSpeed, bit(14)}, Reading::whole},
};

// Meter readings (0..255) and what they mean, as Hamlib calibrates the Yaesu S-meter and SWR meter.
using Calibration = std::array<std::pair<int, double>, 11>;
constexpr Calibration kStrength = {{{0, -54}, {26, -42}, {51, -30}, {81, -18}, {105, -9}, {130, 0},
                                    {157, 12}, {186, 25}, {203, 35}, {237, 50}, {255, 60}}};
constexpr std::array<std::pair<int, double>, 8> kSwr = {
    {{0, 1.0}, {26, 1.2}, {52, 1.5}, {89, 2.0}, {126, 3.0}, {173, 4.0}, {236, 5.0}, {255, 25.0}}};

template <std::size_t N>
double calibrated(const std::array<std::pair<int, double>, N>& table, int raw) {
  if (raw <= table.front().first) return table.front().second;
  for (std::size_t i = 1; i < N; ++i) {
    if (raw <= table[i].first) {
      const auto& [x0, y0] = table[i - 1];
      const auto& [x1, y1] = table[i];
      return y0 + (y1 - y0) * (raw - x0) / (x1 - x0);
    }
  }
  return table.back().second;
}

constexpr int kLevelDigits = 3;
constexpr int kFrequencyDigits = 9;
// The largest whole-number level a client may set (the keyer speed's two digits).
constexpr double kLargestLevelNumber = 99;

// The digits after letters in an answer ("PC050;" after "PC"), at most `count` of them.
std::optional<int> digitsAfter(const std::string& answer, std::string_view letters, int count) {
  const auto at = answer.find(letters);
  if (at == std::string::npos) return std::nullopt;
  int value = 0;
  int taken = 0;
  for (std::size_t i = at + letters.size(); i < answer.size() && taken < count; ++i, ++taken) {
    const char c = answer[i];
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
  }
  if (taken == 0) return std::nullopt;
  return value;
}

std::string fractionText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%f", value);
  return text;
}

}  // namespace

const ModeRow* modeByName(std::string_view name, bool digitalVoice) {
  for (const ModeRow& row : kModes) {
    if (name == row.name && (digitalVoice || !row.digitalVoiceOnly)) return &row;
  }
  return nullptr;
}

const ModeRow* modeByCharacter(char radioCharacter, bool digitalVoice) {
  for (const ModeRow& row : kModes) {
    if (row.radioCharacter == radioCharacter && (digitalVoice || !row.digitalVoiceOnly)) return &row;
  }
  return nullptr;
}

const ModeRow* modeOfProgram(int programMode) {
  for (const ModeRow& row : kModes) {
    if (row.programMode == programMode && row.windowLabel[0] == '\0') return &row;
  }
  return nullptr;
}

std::uint64_t modeMask(bool digitalVoice) {
  std::uint64_t mask = 0;
  for (const ModeRow& row : kModes) {
    if (digitalVoice || !row.digitalVoiceOnly) mask |= row.hamlibBit;
  }
  return mask;
}

long passbandOf(const ModeRow& mode, int widthIndex) {
  const auto step = [widthIndex](const auto& widths) {
    const int i = std::clamp(widthIndex, 1, static_cast<int>(widths.size()));
    return widths[static_cast<std::size_t>(i) - 1];
  };
  if (isSsb(mode.programMode)) return step(kSidebandWidths);
  if (mode.programMode == kCw) return step(kCwWidths);
  if (mode.programMode == kAm) return mode.radioCharacter == 'D' ? kNarrowAmWidth : kAmWidth;
  return mode.programMode == kFmNarrow ? kNarrowFmWidth : kFmWidth;
}

int widthIndexFor(const ModeRow& mode, long hertz) {
  const auto index = [hertz](const auto& widths) {
    const auto it = std::lower_bound(widths.begin(), widths.end(), hertz);
    return static_cast<int>(it == widths.end() ? widths.size() : (it - widths.begin()) + 1);
  };
  if (isSsb(mode.programMode)) return index(kSidebandWidths);
  if (mode.programMode == kCw) return index(kCwWidths);
  return 0;
}

std::string frequencyCommand(char vfo, long long hertz) { return cat::tune(vfo == 'B' ? Vfo::B : Vfo::A, hertz); }

// The program's own modes as the CAT module writes them; the others, and VFO B's, by the radio's character.
std::string modeCommand(bool subVfo, const ModeRow& mode) {
  if (!subVfo && mode.windowLabel[0] == '\0') return cat::mode(mode.programMode);
  return std::string("MD") + (subVfo ? '1' : '0') + mode.radioCharacter;
}

std::string transmitCommand(bool on) { return cat::set(cat::Switch::Transmit, on); }
// Transmitting on VFO B, as the program's own split key does.
std::string splitCommand(bool on) { return cat::split(on); }
std::string vfoCommand(bool vfoB) { return vfoB ? "VS1" : cat::vfoSelectA(); }
std::string frequencyQuery(char vfo) { return std::string("F") + vfo; }
std::string subModeQuery() { return "MD1"; }

std::optional<long long> frequencyOfAnswer(const std::string& answer) {
  for (const char* letters : {"FA", "FB"}) {
    const auto at = answer.find(letters);
    if (at == std::string::npos) continue;
    long long hertz = 0;
    int digits = 0;
    for (std::size_t i = at + 2; i < answer.size() && answer[i] >= '0' && answer[i] <= '9'; ++i, ++digits) {
      if (digits < kFrequencyDigits) hertz = hertz * 10 + (answer[i] - '0');
    }
    if (digits >= kFrequencyDigits - 1) return hertz;
  }
  return std::nullopt;
}

std::optional<char> modeOfAnswer(const std::string& answer) {
  const auto at = answer.find("MD");
  if (at == std::string::npos || at + 3 >= answer.size()) return std::nullopt;
  return answer[at + 3];
}

const LevelRow* levelByName(std::string_view name) {
  for (const LevelScale& level : kLevels) {
    if (name == level.row.name) return &level.row;
  }
  return nullptr;
}

std::uint64_t levelMask(bool settable) {
  std::uint64_t mask = 0;
  for (const LevelScale& level : kLevels) {
    if (!settable || level.row.settable) mask |= level.row.hamlibBit;
  }
  return mask;
}

int strengthOfReading(int raw) { return static_cast<int>(std::lround(calibrated(kStrength, raw))); }

std::optional<std::string> levelOfAnswer(const LevelRow& level, const std::string& answer) {
  const auto raw = digitsAfter(answer, level.letters, kLevelDigits);
  if (!raw) return std::nullopt;
  for (const LevelScale& scale : kLevels) {
    if (&scale.row != &level) continue;
    switch (scale.reading) {
      case Reading::whole: return std::to_string(*raw);
      case Reading::strength: return std::to_string(strengthOfReading(*raw));
      case Reading::swr: return fractionText(calibrated(kSwr, *raw));
      case Reading::fraction: return fractionText(std::min(1.0, *raw / level.fullScale));
    }
  }
  return std::nullopt;
}

std::optional<std::string> levelCommand(const LevelRow& level, std::string_view value, int& radioNumber) {
  const auto number = numberOf(value);
  if (!number || !level.settable) return std::nullopt;
  const double top = level.fullScale > 0 ? level.fullScale : kLargestLevelNumber;
  const double scaled = level.fullScale > 0 ? *number * level.fullScale : *number;
  radioNumber = static_cast<int>(std::lround(std::clamp(scaled, 0.0, top)));
  return cat::level(level.setting, radioNumber);
}

std::optional<double> numberOf(std::string_view text) {
  if (text.empty() || text.size() > 32) return std::nullopt;
  const std::string copy(text);
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace korvel::rig
