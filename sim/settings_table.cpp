#include "settings_table.h"

#include <array>

#include "cat_text.h"

namespace korvel::sim {

namespace {

constexpr std::string_view kModeCharacters = "123456789ABCDE";

// Power-up values are those of a radio fresh from a reset: mid AGC, USB on VFO A, everything that
// switches off.
constexpr std::array kRules = {
    SettingRule{"AG0", 3, 255, "100"},   // AF gain
    SettingRule{"RG0", 3, 255, "255"},   // RF gain
    SettingRule{"PC", 3, 200, "100"},    // transmit power, watts
    SettingRule{"SQ0", 3, 255, "000"},   // squelch
    SettingRule{"ML0", 3, 1, "000"},     // monitor on/off
    SettingRule{"ML1", 3, 100, "050"},   // monitor level
    SettingRule{"MG", 3, 100, "050"},    // microphone gain
    SettingRule{"KS", 3, 60, "020"},     // keyer speed, words per minute
    SettingRule{"PL", 3, 255, "050"},    // speech processor level
    SettingRule{"PR0", 1, 1, "0"},       // speech processor (short form "PR" on some models)
    SettingRule{"PR1", 1, 1, "0"},       // parametric microphone equaliser
    SettingRule{"NL0", 3, 15, "005"},    // noise blanker level
    SettingRule{"RL0", 2, 15, "08"},     // noise reduction level
    SettingRule{"GT0", 1, 6, "2"},       // AGC: 1 fast, 2 mid, 3 slow
    SettingRule{"VX", 1, 1, "0"},        // VOX
    SettingRule{"BI", 1, 1, "0"},        // break-in
    SettingRule{"VS", 1, 1, "0"},        // VFO select
    SettingRule{"PA0", 1, 2, "0"},       // preamplifier
    SettingRule{"RA0", 1, 3, "0"},       // attenuator
    SettingRule{"NB0", 1, 1, "0"},       // noise blanker
    SettingRule{"NR0", 1, 1, "0"},       // noise reduction
    SettingRule{"BC0", 1, 1, "0"},       // auto notch
    SettingRule{"CT0", 1, 4, "0"},       // tone mode: 0 off, 2 CTCSS, 4 DCS
    SettingRule{"CN00", 3, 49, "000"},   // CTCSS tone number
    SettingRule{"CN01", 3, 199, "000"},  // DCS code number
    SettingRule{"CO00", 4, 9999, "0000"},  // contour and APF settings by sub-function
    SettingRule{"CO01", 4, 9999, "1200"},
    SettingRule{"CO02", 4, 9999, "0000"},
    SettingRule{"CO03", 4, 9999, "1200"},
    SettingRule{"OS0", 1, 2, "0"},       // repeater shift: 0 simplex, 1 plus, 2 minus
    SettingRule{"NA", 1, 1, "0"},        // narrow filter: "NA0" off, "NA1" on
    SettingRule{"LM0", 1, 5, "0"},       // voice message recording: 0 stop, 1..5 channel
    SettingRule{"PB0", 1, 5, "0"},       // voice message playback: 0 stop, 1..5 channel
    SettingRule{"TX", 1, 2, "0"},        // transmitter: 0 receive, 1 and 2 transmit
    SettingRule{"PS", 1, 1, "1"},        // power switch
    SettingRule{"AI", 1, 1, "0"},        // auto information (kept, never sent unasked)
    SettingRule{"MD0", 1, 0, "2", ValueKind::ModeCharacter},  // mode of VFO A
    SettingRule{"MD1", 1, 0, "1", ValueKind::ModeCharacter},  // mode of VFO B
};

}  // namespace

std::span<const SettingRule> settingRules() { return kRules; }

const SettingRule* findSetting(std::string_view command) {
  const SettingRule* best = nullptr;
  for (const SettingRule& rule : kRules) {
    if (startsWith(command, rule.prefix) && (best == nullptr || rule.prefix.size() > best->prefix.size())) {
      best = &rule;
    }
  }
  return best;
}

const SettingRule* settingByPrefix(std::string_view prefix) {
  for (const SettingRule& rule : kRules) {
    if (rule.prefix == prefix) return &rule;
  }
  return nullptr;
}

bool acceptsValue(const SettingRule& rule, std::string_view value) {
  if (value.size() != static_cast<std::size_t>(rule.width)) return false;
  if (rule.kind == ValueKind::ModeCharacter) return kModeCharacters.find(value.front()) != std::string_view::npos;
  int number = 0;
  for (const char c : value) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  return number <= rule.maxValue;
}

}  // namespace korvel::sim
