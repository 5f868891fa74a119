// Named accessors for the 26-character band record:
// kind digit, mode digit, "A", nine-digit VFO A, "B", nine-digit VFO B (or shift), tone code, preamp.
#pragma once

#include <string>
#include <string_view>

namespace korvel::band_record {

inline constexpr std::size_t kLength = 26;

char kind(std::string_view record);            // position 1: "0" split off, "1" split, "5" repeater
char modeDigit(std::string_view record);       // position 2
std::string vfoAField(std::string_view record);  // positions 3-12: "A" + nine digits
std::string vfoADigits(std::string_view record);  // positions 4-12
std::string vfoBField(std::string_view record);  // positions 13-22: "B" + nine digits (or shift)
std::string vfoBDigits(std::string_view record);  // positions 14-22
std::string toneCode(std::string_view record);   // positions 23-25
char preampDigit(std::string_view record);     // position 26
// Puts a new mode digit into position 2 of a whole record.
void setModeDigit(std::string& record, char modeDigit);
// The record as built from its parts; each part is cut or padded to its width.
std::string make(char kind, char modeDigit, std::string_view vfoADigits, std::string_view vfoBDigits,
                 std::string_view toneCode, char preampDigit);
// The start-up record of band n (1..14); empty for any other n.
std::string defaultRecord(int band);

}  // namespace korvel::band_record
