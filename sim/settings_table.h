// The simulated radio's plain settings: a command prefix and a fixed-width value, set with
// prefix + value and answered to the bare prefix with prefix + value + ";".
#pragma once

#include <span>
#include <string_view>

namespace korvel::sim {

enum class ValueKind {
  Digits,         // a zero-padded number no larger than maxValue
  ModeCharacter,  // one of the mode characters "1".."9", "A".."E"
};

struct SettingRule {
  std::string_view prefix;   // "AG0", "KS", "CN00"
  int width;                 // characters of the value
  int maxValue;              // largest number a Digits value may take
  std::string_view initial;  // the value at power-up
  ValueKind kind = ValueKind::Digits;
};

std::span<const SettingRule> settingRules();
// The setting whose prefix begins command (the longest one), or null.
const SettingRule* findSetting(std::string_view command);
// The setting whose prefix is exactly prefix, or null.
const SettingRule* settingByPrefix(std::string_view prefix);
// Whether value is a valid value for rule: exact width, right characters, in range.
bool acceptsValue(const SettingRule& rule, std::string_view value);

}  // namespace korvel::sim
