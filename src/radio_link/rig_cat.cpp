#include "radio_link/rig_cat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "state/radio_numbers.h"
#include "state/text.h"

namespace korvel::rig {

namespace {

constexpr std::uint64_t bit(int n) { return std::uint64_t{1} << n; }

using namespace mode_number;

// The radio's narrow AM, which the older radios lack.
constexpr char kNarrowAmCharacter = 'D';

bool offers(const RadioModel& model, const ModeRow& mode) {
  if (mode.digitalVoiceOnly && !model.hasDigitalVoice) return false;
  return mode.radioCharacter != kNarrowAmCharacter || model.hasNarrowAm;
}

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
using R = cat::Reading;
constexpr std::array kLevels = {
    LevelScale{{"STRENGTH", R::SMeter, 0, false, {}, KeptLevel::none, bit(30)}, Reading::strength},
    LevelScale{{"RAWSTR", R::SMeter, 0, false, {}, KeptLevel::none, bit(26)}, Reading::whole},
    LevelScale{{"RFPOWER", R::TransmitPower, 100, true, Level::TransmitPower, KeptLevel::power, bit(12)}, Reading::fraction},
    LevelScale{{"SWR", R::Swr, 0, false, {}, KeptLevel::none, bit(28)}, Reading::swr},
    LevelScale{{"ALC", R::MicMeter, 255, false, {}, KeptLevel::none, bit(29)}, Reading::fraction},
    LevelScale{{"RFPOWER_METER", R::PowerMeter, 255, false, {}, KeptLevel::none, bit(32)}, Reading::fraction},
    LevelScale{{"AF", R::AfGain, 255, true, Level::AfGain, KeptLevel::afGain, bit(3)}, Reading::fraction},
    LevelScale{{"RF", R::RfGain, 255, true, Level::RfGain, KeptLevel::rfGain, bit(4)}, Reading::fraction},
    LevelScale{{"SQL", R::Squelch, 255, true, Level::Squelch, KeptLevel::squelch, bit(5)}, Reading::fraction},
    LevelScale{{"MICGAIN", R::MicGain, 100, true, Level::MicGain, KeptLevel::micGain, bit(13)}, Reading::fraction},
    LevelScale{{"COMP", R::ProcessorLevel, 100, true, Level::Processor, KeptLevel::none, bit(16)}, Reading::fraction},
    LevelScale{{"KEYSPD", R::KeyerSpeed, 0, true, Level::KeyerSpeed, KeptLevel::keyerSpeed, bit(14)}, Reading::whole},
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

// The largest whole-number level a client may set (the keyer speed's two digits).
constexpr double kLargestLevelNumber = 99;

std::string fractionText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%f", value);
  return text;
}

}  // namespace

const ModeRow* offeredMode(const RadioModel& model, std::string_view name) {
  const ModeRow* mode = modeByHamlibName(name, true);
  return mode != nullptr && offers(model, *mode) ? mode : nullptr;
}

const ModeRow* offeredMode(const RadioModel& model, char radioCharacter) {
  const ModeRow* mode = modeByCharacter(radioCharacter, true);
  return mode != nullptr && offers(model, *mode) ? mode : nullptr;
}

std::uint64_t modeMask(const RadioModel& model) {
  std::uint64_t mask = 0;
  for (const ModeRow& row : modeTable()) {
    if (offers(model, row)) mask |= row.hamlibBit;
  }
  return mask;
}

std::uint64_t modeMask(const RadioModel& model, std::initializer_list<const char*> names) {
  std::uint64_t mask = 0;
  for (const char* name : names) {
    if (const ModeRow* row = offeredMode(model, name)) mask |= row->hamlibBit;
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
  if (mode.programMode == kAm) return mode.radioCharacter == kNarrowAmCharacter ? kNarrowAmWidth : kAmWidth;
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

namespace {

// The meter reading (0..255) a calibrated value is read from: the calibration run backwards.
template <std::size_t N>
int uncalibrated(const std::array<std::pair<int, double>, N>& table, double value) {
  if (value <= table.front().second) return table.front().first;
  for (std::size_t i = 1; i < N; ++i) {
    if (value <= table[i].second) {
      const auto& [x0, y0] = table[i - 1];
      const auto& [x1, y1] = table[i];
      return static_cast<int>(std::lround(x0 + (x1 - x0) * (value - y0) / (y1 - y0)));
    }
  }
  return table.back().first;
}

}  // namespace

int readingOfStrength(int decibelsOverS9) { return uncalibrated(kStrength, decibelsOverS9); }
int readingOfSwr(double swr) { return uncalibrated(kSwr, swr); }

std::optional<std::string> levelOfAnswer(const RadioModel& model, const LevelRow& level, const std::string& answer) {
  // Only digits are a reading: a torn or refused answer is no value at all.
  const auto text = cat::readingText(level.reading, model, answer);
  const std::string digits = text ? text->substr(0, text->find_first_not_of("0123456789")) : std::string();
  if (digits.empty()) return std::nullopt;
  const std::optional<long> raw = wholeValueOf(digits);
  for (const LevelScale& scale : kLevels) {
    if (&scale.row != &level) continue;
    switch (scale.reading) {
      case Reading::whole: return std::to_string(*raw);
      case Reading::strength: return std::to_string(strengthOfReading(static_cast<int>(*raw)));
      case Reading::swr: return fractionText(calibrated(kSwr, static_cast<int>(*raw)));
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
