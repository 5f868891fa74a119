// Named accessors for the 28-character memory channel record, as savmem.dat lays it out: kind digit
// ("9" empty), mode digit, two band digits, "A", nine-digit VFO A, "B", nine-digit VFO B (or the
// shift: sign and eight offset digits), tone code, preamp digit.
#pragma once

#include <string>
#include <string_view>

namespace korvel::channel_record {

inline constexpr std::size_t kLength = 28;
inline constexpr char kEmptyKind = '9';

char kind(std::string_view record);               // position 1
bool isOccupied(std::string_view record);         // kind is not "9"
char modeDigit(std::string_view record);          // position 2
int mode(std::string_view record);                // position 2 as a number
std::string bandDigits(std::string_view record);  // positions 3-4
int band(std::string_view record);                // positions 3-4 as a number
std::string vfoAField(std::string_view record);   // positions 5-14: "A" + nine digits
std::string vfoADigits(std::string_view record);  // positions 6-14
std::string vfoBDigits(std::string_view record);  // positions 16-24 (kind 5: sign + offset)
char shiftSign(std::string_view record);          // position 16
std::string shiftDigits(std::string_view record); // positions 17-24: the offset's eight digits
// The offset as the band's configuration keeps it: four digits on 70 cm, else three.
std::string shiftOffsetKhz(std::string_view record, bool seventyCentimetres);
std::string toneCode(std::string_view record);    // positions 25-27
char preampDigit(std::string_view record);        // position 28
// The band record a channel record holds: the record without its band digits.
std::string asBandRecord(std::string_view record);

}  // namespace korvel::channel_record
