// PLACEHOLDER: empty bodies until this family is written.
#include "functions/band_record.h"
#include "core/panel.h"

namespace korvel::band_record {

char kind(std::string_view) { return ' '; }
char modeDigit(std::string_view) { return ' '; }
std::string vfoAField(std::string_view) { return {}; }
std::string vfoADigits(std::string_view) { return {}; }
std::string vfoBField(std::string_view) { return {}; }
std::string vfoBDigits(std::string_view) { return {}; }
std::string toneCode(std::string_view) { return {}; }
char preampDigit(std::string_view) { return ' '; }
std::string make(char, char, std::string_view, std::string_view, std::string_view, char) { return {}; }
std::string defaultRecord(int) { return {}; }

}  // namespace korvel::band_record
