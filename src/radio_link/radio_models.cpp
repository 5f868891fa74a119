#include "radio_link/radio_models.h"

#include "state/text.h"

namespace korvel {

namespace {

using F = OffsetForm;

// One row per model; a field a row does not name keeps the default of RadioModel.
// The FT-450's offset menu, shared by the FT-450D.
constexpr std::array<OffsetMenu, kMaxOffsetMenus> kFt450Offsets{{{"EX05000", 10, F::FirstOne}}};
// The FT-991 family's offset menus: three bands of three digits, 70 cm five wide.
constexpr std::array<OffsetMenu, kMaxOffsetMenus> kFt991Offsets{{{"EX0800", 10, F::FirstThree},
                                                                 {"EX0810", 11, F::FirstThree},
                                                                 {"EX0820", 12, F::FirstThree},
                                                                 {"EX083", 13, F::FiveWide}}};
constexpr std::array<OffsetMenu, kMaxOffsetMenus> kFtdx101Offsets{{{"EX0103150", 10}, {"EX0103160", 11}}};
// The FT-2000's 10 m and 6 m offset menus (076 and 077, four digits of kHz).
constexpr std::array<OffsetMenu, kMaxOffsetMenus> kFt2000Offsets{{{"EX0760", 10}, {"EX0770", 11}}};

// One row per number a Yaesu CAT radio reports to "ID"; a field a row does not name keeps the
// default of RadioModel. The older radios (FT-450 to FTDX3000) take eight frequency digits.
const RadioModel kModels[] = {
    {.number = 0, .topBand = 0},
    {.number = 101, .name = "FTDX9000D", .frequencyDigits = 8, .processorQuery = "PR", .processorOn = "PR1",
     .processorOff = "PR0", .hasNarrowFilter = false},
    {.number = 102, .name = "FTDX9000", .frequencyDigits = 8, .processorQuery = "PR", .processorOn = "PR1",
     .processorOff = "PR0", .hasNarrowFilter = false},
    {.number = 103, .name = "FTDX9000MP", .frequencyDigits = 8, .processorQuery = "PR", .processorOn = "PR1",
     .processorOff = "PR0", .hasNarrowFilter = false},
    {.number = 241, .name = "FT-450", .alias = 310, .frequencyDigits = 8, .processorQuery = "",
     .noiseReductionLimit = 11, .offsetMenus = kFt450Offsets},
    {.number = 244, .name = "FT-450D", .frequencyDigits = 8, .processorQuery = "", .noiseReductionLimit = 11,
     .offsetMenus = kFt450Offsets},
    {.number = 251, .name = "FT-2000", .frequencyDigits = 8, .processorQuery = "PR", .processorOn = "PR1",
     .processorOff = "PR0", .processorLevelLimit = 250, .hasNarrowAm = true, .offsetMenus = kFt2000Offsets},
    {.number = 252, .name = "FT-2000D", .frequencyDigits = 8, .processorQuery = "PR", .processorOn = "PR1",
     .processorOff = "PR0", .processorLevelLimit = 250, .hasNarrowAm = true, .offsetMenus = kFt2000Offsets},
    {.number = 362, .name = "FTDX5000", .frequencyDigits = 8, .processorQuery = "PR", .processorOn = "PR1",
     .processorOff = "PR0", .processorLevelLimit = 250, .offsetMenus = {{{"EX0810", 10}, {"EX0820", 11}}}},
    {.number = 460, .name = "FTDX3000", .frequencyDigits = 8, .processorQuery = "PR",
     .offsetMenus = {{{"EX0860", 10}, {"EX0870", 11}}}},
    {.number = 462, .name = "FTDX3000", .frequencyDigits = 8, .processorQuery = "PR",
     .offsetMenus = {{{"EX0860", 10}, {"EX0870", 11}}}},
    {.number = 570, .name = "FT-991", .hasDigitalVoice = true, .hasNarrowAm = true, .topBand = '7', .offsetMenus = kFt991Offsets},
    {.number = 583, .name = "FTDX1200", .frequencyDigits = 8,
     .offsetMenus = {{{"EX0870", 10}, {"EX0880", 11}}}},
    {.number = 650, .name = "FT-891", .menuNumberLength = 4, .widthPrefix = "SH01",
     .offsetMenus = {{{"EX09040", 10}, {"EX09050", 11}}}},
    {.number = 670, .name = "FT-991A", .hasDigitalVoice = true, .hasNarrowAm = true, .topBand = '7', .offsetMenus = kFt991Offsets},
    {.number = 681, .name = "FTDX101D", .menuNumberLength = 6, .widthPrefix = "SH00", .skipRecordSwap = true,
     .hasNarrowAm = true, .offsetMenus = kFtdx101Offsets},
    {.number = 682, .name = "FTDX101MP", .menuNumberLength = 6, .widthPrefix = "SH00", .skipRecordSwap = true,
     .hasNarrowAm = true, .offsetMenus = kFtdx101Offsets},
    {.number = 761, .name = "FTDX10", .menuNumberLength = 6, .widthPrefix = "SH00",
     .hasNarrowAm = true, .offsetMenus = {{{"EX0103170", 10}, {"EX0103180", 11}}}},
    {.number = 800, .name = "FT-710", .menuNumberLength = 6, .widthPrefix = "SH00", .tunerStartCommand = "AC003",
     .hasNarrowAm = true, .offsetMenus = {{{"EX0103180", 10}, {"EX0103190", 11}}}},
    {.number = 840, .name = "FTX-1", .menuNumberLength = 6, .skipRecordSwap = true, .unsupported = true, .topBand = '7',
     .offsetMenus = {{{"EX0103160", 10, F::FirstThree}, {"EX0103170", 11, F::FirstThree},
                      {"EX010318", 12, F::FirstThree}, {"EX010319", 13, F::FiveWide}}}},
    // Any radio Hamlib drives, spoken to in newcat through the Hamlib link; what the radio's own
    // menus would do is not offered.
    {.number = 999, .name = "HAMLIB", .hasNarrowAm = true, .topBand = '7'},
};

// The names of the Yaesu radios that answer "ID;" (the newcat command set), by their IDs as the
// radios' CAT references give them. The FTDX3000 has been seen reporting 460 as well as 462.

std::string offsetText(const std::string& khz, OffsetForm form) {
  switch (form) {
    case OffsetForm::FirstThree: return left(khz, 3);
    case OffsetForm::FirstOne: return left(khz, 1);
    case OffsetForm::FiveWide: return khz.size() == 4 ? "0" + khz : "00" + left(khz, 3);
    case OffsetForm::Whole: break;
  }
  return khz;
}

}  // namespace

const RadioModel& radioModel(int number) {
  for (const auto& m : kModels) {
    if (m.number == number) return m;
  }
  return kModels[0];
}

const char* radioName(int reported) {
  // The FT-950 is worked as an FT-450, but is named as itself.
  constexpr int kFt950 = 310;
  if (reported == kFt950) return "FT-950";
  return radioModel(reported).name;
}

int canonicalModelNumber(int reported) {
  for (const auto& m : kModels) {
    if (m.alias != 0 && m.alias == reported) return m.number;
  }
  return reported;
}

std::vector<std::string> offsetMenuCommands(int model, const std::array<std::string, 15>& offsetKhz) {
  std::vector<std::string> commands;
  for (const auto& menu : radioModel(model).offsetMenus) {
    if (*menu.prefix == '\0') break;
    commands.push_back(menu.prefix + offsetText(offsetKhz[static_cast<std::size_t>(menu.band)], menu.form));
  }
  return commands;
}

}  // namespace korvel
