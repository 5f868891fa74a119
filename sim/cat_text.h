// Small text helpers shared by the simulator's command handlers.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace korvel::sim {

// What the radio sends back to a command it does not take.
inline constexpr std::string_view kUnknown = "?;";

inline std::string unknown() { return std::string(kUnknown); }

inline bool startsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

inline bool allDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
}

inline std::string zeroPadded(long long n, int width) {
  std::string digits = std::to_string(n < 0 ? 0 : n);
  if (digits.size() < static_cast<std::size_t>(width)) digits.insert(0, width - digits.size(), '0');
  return digits;
}

inline long long digitsValue(std::string_view digits) {
  long long n = 0;
  for (const char c : digits) n = n * 10 + (c - '0');
  return n;
}

}  // namespace korvel::sim
