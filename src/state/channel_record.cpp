#include "state/channel_record.h"

#include "state/text.h"

namespace korvel::channel_record {

namespace {

char at(std::string_view record, std::size_t position) {
  return position >= 1 && position <= record.size() ? record[position - 1] : ' ';
}

}  // namespace

char kind(std::string_view record) { return at(record, 1); }
bool isOccupied(std::string_view record) { return left(record, 1) != std::string(1, kEmptyKind); }
char modeDigit(std::string_view record) { return at(record, 2); }
int mode(std::string_view record) { return modeDigit(record) - '0'; }
std::string bandDigits(std::string_view record) { return mid(record, 3, 2); }
int band(std::string_view record) { return (at(record, 3) - '0') * 10 + (at(record, 4) - '0'); }
std::string vfoAField(std::string_view record) { return mid(record, 5, 10); }
std::string vfoADigits(std::string_view record) { return mid(record, 6, 9); }
std::string vfoBDigits(std::string_view record) { return mid(record, 16, 9); }
char shiftSign(std::string_view record) { return at(record, 16); }
std::string shiftDigits(std::string_view record) { return mid(record, 17, 8); }
std::string shiftOffsetKhz(std::string_view record, bool seventyCentimetres) {
  return seventyCentimetres ? mid(record, 21, 4) : mid(record, 22, 3);
}
std::string toneCode(std::string_view record) { return mid(record, 25, 3); }
char preampDigit(std::string_view record) { return at(record, 28); }
std::string asBandRecord(std::string_view record) { return left(record, 2) + mid(record, 5); }

}  // namespace korvel::channel_record
