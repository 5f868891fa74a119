#include "settings_table.h"

#include <array>

namespace korvel::sim {

namespace {

constexpr std::string_view kModeCharacters = "123456789ABCDE";

// Power-up values are those of a radio fresh from a reset: mid AGC, USB on VFO A, everything that
// switches off.
constexpr std::array kSpecs = {
    SettingSpec{"AG0", 3, 255, "100"},   // AF gain
    SettingSpec{"RG0", 3, 255, "255"},   // RF gain
    SettingSpec{"PC", 3, 200, "100"},    // transmit power, watts
    SettingSpec{"SQ0", 3, 255, "000"},   // squelch
    SettingSpec{"ML0", 3, 1, "000"},     // monitor on/off
    SettingSpec{"ML1", 3, 100, "050"},   // monitor level
    SettingSpec{"MG", 3, 100, "050"},    // microphone gain
    SettingSpec{"KS", 3, 60, "020"},     // keyer speed, words per minute
    SettingSpec{"PL", 3, 255, "050"},    // speech processor level
    SettingSpec{"PR0", 1, 1, "0"},       // speech processor (short form "PR" on some models)
    SettingSpec{"PR1", 1, 1, "0"},       // parametric microphone equaliser
    SettingSpec{"NL0", 3, 15, "005"},    // noise blanker level
    SettingSpec{"RL0", 2, 15, "08"},     // noise reduction level
    SettingSpec{"GT0", 1, 6, "2"},       // AGC: 1 fast, 2 mid, 3 slow
    SettingSpec{"VX", 1, 1, "0"},        // VOX
    SettingSpec{"BI", 1, 1, "0"},        // break-in
    SettingSpec{"VS", 1, 1, "0"},        // VFO select
    SettingSpec{"PA0", 1, 2, "0"},       // preamplifier
    SettingSpec{"RA0", 1, 3, "0"},       // attenuator
    SettingSpec{"NB0", 1, 1, "0"},       // noise blanker
    SettingSpec{"NR0", 1, 1, "0"},       // noise reduction
    SettingSpec{"BC0", 1, 1, "0"},       // auto notch
    SettingSpec{"CT0", 1, 4, "0"},       // tone mode: 0 off, 2 CTCSS, 4 DCS
    SettingSpec{"CN00", 3, 49, "000"},   // CTCSS tone number
    SettingSpec{"CN01", 3, 199, "000"},  // DCS code number
    SettingSpec{"CO00", 4, 9999, "0000"},  // contour and APF settings by sub-function
    SettingSpec{"CO01", 4, 9999, "1200"},
    SettingSpec{"CO02", 4, 9999, "0000"},
    SettingSpec{"CO03", 4, 9999, "1200"},
    SettingSpec{"OS0", 1, 2, "0"},       // repeater shift: 0 simplex, 1 plus, 2 minus
    SettingSpec{"NA", 1, 1, "0"},        // narrow filter: "NA0" off, "NA1" on
    SettingSpec{"LM0", 1, 5, "0"},       // voice message recording: 0 stop, 1..5 channel
    SettingSpec{"PB0", 1, 5, "0"},       // voice message playback: 0 stop, 1..5 channel
    SettingSpec{"TX", 1, 2, "0"},        // transmitter: 0 receive, 1 and 2 transmit
    SettingSpec{"PS", 1, 1, "1"},        // power switch
    SettingSpec{"MD0", 1, 0, "2", ValueKind::ModeCharacter},  // mode of VFO A
    SettingSpec{"MD1", 1, 0, "1", ValueKind::ModeCharacter},  // mode of VFO B
};

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::span<const SettingSpec> settingSpecs() { return kSpecs; }

const SettingSpec* findSetting(std::string_view command) {
  const SettingSpec* best = nullptr;
  for (const SettingSpec& spec : kSpecs) {
    if (startsWith(command, spec.prefix) && (best == nullptr || spec.prefix.size() > best->prefix.size())) {
      best = &spec;
    }
  }
  return best;
}

const SettingSpec* settingByPrefix(std::string_view prefix) {
  for (const SettingSpec& spec : kSpecs) {
    if (spec.prefix == prefix) return &spec;
  }
  return nullptr;
}

bool acceptsValue(const SettingSpec& spec, std::string_view value) {
  if (value.size() != static_cast<std::size_t>(spec.width)) return false;
  if (spec.kind == ValueKind::ModeCharacter) return kModeCharacters.find(value.front()) != std::string_view::npos;
  int number = 0;
  for (const char c : value) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  return number <= spec.maxValue;
}

}  // namespace korvel::sim
