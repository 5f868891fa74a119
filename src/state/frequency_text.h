// Every text form of a frequency the program shows, speaks or writes, in one place: from the nine
// digits of a record or reply ("014074000") or from hertz.
#pragma once

#include <string>
#include <string_view>

namespace korvel {

inline constexpr std::size_t kFrequencyDigitCount = 9;

// The window's form: the MHz right-aligned in three places with blanks for leading zeros, ".", the
// six digits below the MHz ("014074000" -> " 14.074000", "007100000" -> "  7.100000").
std::string windowFrequencyText(std::string_view digits);
// The form kept in frequencyText after a recall or at start: at most two leading zeros dropped
// ("014200000" -> "14.200000", "009670000" -> "9.670000", "145000000" -> "145.000000").
std::string recordFrequencyText(std::string_view digits);
// From hertz, as the announcers read it: digits with the point before the last six, no leading
// zeros before the one MHz digit (7100000 -> "7.100000", 500000 -> "0.500000").
std::string hertzFrequencyText(long long hz);
// The memory report's short form: MHz without leading zeros, the first digit after the point, then
// further digits only while something other than zeros follows ("014074000" -> "14.074").
std::string megahertzText(std::string_view digits);

}  // namespace korvel
