#include "state/band_record.h"

#include <array>

#include "state/text.h"

namespace korvel::band_record {

namespace {

constexpr std::size_t kFrequencyWidth = 9;
constexpr std::size_t kToneWidth = 3;

char at(std::string_view record, std::size_t position) {
  return position >= 1 && position <= record.size() ? record[position - 1] : ' ';
}

// A numeric field of exactly `width` characters: a longer text keeps its last characters (the
// low digits of a frequency), a shorter one is zero-filled on the left.
std::string fit(std::string_view text, std::size_t width) {
  if (text.size() >= width) return std::string(text.substr(text.size() - width));
  return std::string(width - text.size(), '0') + std::string(text);
}

// The records the program starts with: a sensible frequency in every band, no split, no tone.
constexpr std::array<const char*, 14> kDefaults = {
    "01A001900000B0019000009990",  // 160 m
    "01A003600000B0036000009990",  // 80 m
    "02A005400000B0054000009990",  // 60 m
    "01A007100000B0071000009990",  // 40 m
    "03A010100000B0100000009990",  // 30 m
    "02A014200000B0142000009991",  // 20 m
    "02A018100000B0181000009991",  // 17 m
    "02A021200000B0212000009991",  // 15 m
    "02A024890000B0248900009991",  // 12 m
    "02A028500000B0285000009991",  // 10 m
    "02A050150000B0501500009991",  // 6 m
    "05A145000000B1450000009990",  // 2 m
    "05A432000000B4320000009990",  // 70 cm
    "04A009670000B0096700009990",  // general coverage
};

}  // namespace

char kind(std::string_view record) { return at(record, 1); }
char modeDigit(std::string_view record) { return at(record, 2); }
std::string vfoAField(std::string_view record) { return mid(record, 3, 10); }
std::string vfoADigits(std::string_view record) { return mid(record, 4, 9); }
std::string vfoBField(std::string_view record) { return mid(record, 13, 10); }
std::string vfoBDigits(std::string_view record) { return mid(record, 14, 9); }
std::string toneCode(std::string_view record) { return mid(record, 23, 3); }
char preampDigit(std::string_view record) { return at(record, 26); }

void setModeDigit(std::string& record, char modeDigit) {
  if (record.size() == kLength) record[1] = modeDigit;
}

std::string make(char kind, char modeDigit, std::string_view vfoADigits, std::string_view vfoBDigits,
                 std::string_view toneCode, char preampDigit) {
  std::string record;
  record.reserve(kLength);
  record += kind;
  record += modeDigit;
  record += 'A';
  record += fit(vfoADigits, kFrequencyWidth);
  record += 'B';
  record += fit(vfoBDigits, kFrequencyWidth);
  record += fit(toneCode, kToneWidth);
  record += preampDigit;
  return record;
}

std::string defaultRecord(int band) {
  if (band < 1 || band > static_cast<int>(kDefaults.size())) return {};
  return kDefaults[static_cast<std::size_t>(band - 1)];
}

}  // namespace korvel::band_record
