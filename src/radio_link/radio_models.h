// What differs between the radio models the program knows, in one table of data rows: code asks the
// row (model.frequencyDigits, model.widthPrefix) rather than comparing model numbers.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace korvel {

// How a repeater-offset menu command carries a band's offset text after its prefix.
enum class OffsetForm {
  Whole,      // the offset text as configured
  FirstThree, // its first three characters
  FirstOne,   // its first character
  FiveWide,   // five digits: a four-digit 70 cm offset with one "0" before it, else "00" and three
};

struct OffsetMenu {
  const char* prefix = "";
  int band = 0;  // 10..13: whose offset the menu takes
  OffsetForm form = OffsetForm::Whole;
};

inline constexpr std::size_t kMaxOffsetMenus = 4;

// What radioName gives for an ID that names no Yaesu radio the program knows.
inline constexpr const char* kUnknownRadioName = "unknown Yaesu";

struct RadioModel {
  int number = 0;
  const char* name = kUnknownRadioName;
  int alias = 0;                      // another number the same radio reports to "ID"
  // Digits of a frequency on the wire, 8 for the older models; what the radio's own frequency
  // answers show wins over this.
  int frequencyDigits = 9;
  int menuNumberLength = 3;
  std::string widthPrefix = "SH0";
  std::string processorQuery = "PR0";  // empty: the processor is not asked (and not switched)
  std::string processorOn = "PR01";
  std::string processorOff = "PR00";
  int processorLevelLimit = 100;
  int noiseReductionLimit = 15;
  std::string tunerStartCommand = "AC002";
  bool skipRecordSwap = false;
  bool hasDigitalVoice = false;       // FM <-> C4FM switching
  bool hasNarrowAm = false;           // the radio's narrow AM mode ("MD0D")
  bool hasNarrowFilter = true;        // the main receiver's narrow filter ("NA0" + 0/1)
  bool unsupported = false;           // the program speaks "ftx" and ends
  // The highest band the radio works, as korvel.cfg's band count names it: '6' (HF and 6 m) or '7'
  // (up to 70 cm); 0 for a radio not in the table, where korvel.cfg's count holds.
  char topBand = '6';
  std::array<OffsetMenu, kMaxOffsetMenus> offsetMenus{};  // empty prefixes: no more menus
};

// The entry for a model number; unknown numbers get the defaults.
const RadioModel& radioModel(int number);
// The name of the radio that reports this number to "ID" ("FTDX10" for 761), as found radios are
// told to the operator; kUnknownRadioName for a number in no row.
const char* radioName(int reported);
// The number the program keeps for a number the radio reported (an alias becomes its row's number).
int canonicalModelNumber(int reported);
// The repeater offset menu commands this model needs, from the band 10..13 offset texts.
std::vector<std::string> offsetMenuCommands(int model, const std::array<std::string, 15>& offsetKhz);

}  // namespace korvel
