// The numbers that carry meaning across the program: mode numbers, the band numbers with a
// meaning of their own, the functions whose level the level key adjusts, and tests on them.
#pragma once

#include <string_view>

namespace korvel {

// The program's mode numbers (also the mode digit of band and channel records).
namespace mode_number {
inline constexpr int kLsb = 1;
inline constexpr int kUsb = 2;
inline constexpr int kCw = 3;
inline constexpr int kAm = 4;
inline constexpr int kFmNarrow = 5;
inline constexpr int kC4fm = 6;
inline constexpr int kFm = 7;
inline constexpr int kFirst = kLsb;
inline constexpr int kLast = kFm;
}  // namespace mode_number

constexpr bool isModeNumber(int mode) { return mode >= mode_number::kFirst && mode <= mode_number::kLast; }
constexpr bool isSsb(int mode) { return mode == mode_number::kLsb || mode == mode_number::kUsb; }
// Analogue FM, narrow or wide: the modes with a tone.
constexpr bool isFm(int mode) { return mode == mode_number::kFmNarrow || mode == mode_number::kFm; }
// FM narrow, C4FM and FM wide: the repeater modes.
constexpr bool isFmFamily(int mode) { return mode >= mode_number::kFmNarrow && mode <= mode_number::kFm; }

// Band numbers 1..14; those from 10 up are the bands with repeaters and the top bands.
namespace band_number {
inline constexpr int kFirst = 1;
inline constexpr int k10m = 10;
inline constexpr int k6m = 11;
inline constexpr int k2m = 12;
inline constexpr int k70cm = 13;
inline constexpr int kGeneralCoverage = 14;
inline constexpr int kLast = kGeneralCoverage;
// Only ever a request: asking for it recalls the general-coverage band.
inline constexpr int kGeneralCoverageRequest = 15;
inline constexpr int kDefault = 4;
}  // namespace band_number

constexpr bool isBandNumber(int band) { return band >= band_number::kFirst && band <= band_number::kLast; }
// The bands from 10 m to 70 cm, which carry a repeater shift.
constexpr bool isRepeaterBand(int band) { return band >= band_number::k10m && band <= band_number::k70cm; }
// The VHF/UHF bands from 6 m to 70 cm, whose repeater offsets come from the configuration.
constexpr bool isConfiguredOffsetBand(int band) { return band >= band_number::k6m && band <= band_number::k70cm; }

// Tone codes: "000".."049" are CTCSS tone numbers, 500 and above DCS code numbers ("5nn", "6nn").
inline constexpr long kLowestDcsNumber = 500;
constexpr bool isDcsNumber(long code) { return code >= kLowestDcsNumber; }
constexpr bool isDcsCode(std::string_view code) { return !code.empty() && code[0] > '4'; }
// The tone text, and a record's tone field, when no tone is set.
inline constexpr const char* kNoTone = "999";

// The receiver or transmitter function whose level the level key adjusts (lastFunction).
namespace level_function {
inline constexpr int kNone = 0;
inline constexpr int kPreamp = 1;
inline constexpr int kNoiseBlanker = 2;
inline constexpr int kNoiseReduction = 3;
inline constexpr int kContour = 4;
inline constexpr int kProcessor = 5;
}  // namespace level_function

}  // namespace korvel
