#include "models.h"

#include <array>

namespace korvel::sim {

namespace {

constexpr SimModel kDefaults{};

constexpr int kOlder = kOlderFrequencyDigits;

// A row with unknown families answers "?;" to them as that radio does (its CAT reference, as
// Hamlib's Yaesu backend lists it, among the families the simulator has); the others take them all.

constexpr std::array kModels = {
    SimModel{.id = 101, .frequencyDigits = kOlder, .shortProcessorForm = true,  // FTDX9000D
             .unknownFamilies = "BA NA ST ZI"},
    SimModel{.id = 102, .frequencyDigits = kOlder, .shortProcessorForm = true,  // FTDX9000 Contest
             .unknownFamilies = "BA NA ST ZI"},
    SimModel{.id = 103, .frequencyDigits = kOlder, .shortProcessorForm = true,  // FTDX9000MP
             .unknownFamilies = "BA NA ST ZI"},
    SimModel{.id = 241, .frequencyDigits = kOlder, .shortProcessorForm = true},  // FT-450
    SimModel{.id = 244, .frequencyDigits = kOlder, .unknownFamilies = "AB BA PR RF ZI"},  // FT-450D
    SimModel{.id = 251, .frequencyDigits = kOlder, .shortProcessorForm = true},  // FT-2000
    SimModel{.id = 252, .frequencyDigits = kOlder, .shortProcessorForm = true,  // FT-2000D
             .unknownFamilies = "BA ST ZI"},
    SimModel{.id = 310, .frequencyDigits = kOlder, .shortProcessorForm = true},  // FT-950
    SimModel{.id = 362, .frequencyDigits = kOlder, .shortProcessorForm = true},  // FTDX5000
    SimModel{.id = 462, .frequencyDigits = kOlder, .shortProcessorForm = true},  // FTDX3000
    SimModel{.id = 570},                                                         // FT-991
    SimModel{.id = 583, .frequencyDigits = kOlder, .unknownFamilies = "ST ZI"},  // FTDX1200
    SimModel{.id = 650, .menuDigits = 4, .widthPrefix = "SH01"},                 // FT-891
    SimModel{.id = 670},                                                         // FT-991A
    SimModel{.id = 681, .menuDigits = 6, .widthPrefix = "SH00"},                 // FTDX101D
    SimModel{.id = 682, .menuDigits = 6, .widthPrefix = "SH00"},                 // FTDX101MP
    SimModel{.id = 761, .menuDigits = 6, .widthPrefix = "SH00"},                 // FTDX10
    SimModel{.id = 800, .menuDigits = 6, .widthPrefix = "SH00"},                 // FT-710
    SimModel{.id = 840, .menuDigits = 6},                                        // FTX-1
};

}  // namespace

bool knowsFamily(const SimModel& model, std::string_view letters) {
  constexpr std::size_t kFamilyLength = 2;
  const std::string_view unknown = model.unknownFamilies;
  for (std::size_t at = unknown.find(letters); at != std::string_view::npos; at = unknown.find(letters, at + 1)) {
    // Whole families only, at their places in the list: "B " straddles "AB BA" and is none of them.
    if (letters.size() == kFamilyLength && at % (kFamilyLength + 1) == 0) return false;
  }
  return true;
}

const SimModel& simModel(int id) {
  for (const SimModel& model : kModels) {
    if (model.id == id) return model;
  }
  return kDefaults;
}

}  // namespace korvel::sim
