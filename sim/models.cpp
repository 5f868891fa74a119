#include "models.h"

#include <array>

namespace korvel::sim {

namespace {

constexpr SimModel kDefaults{};

constexpr std::array kModels = {
    SimModel{.id = 241, .frequencyDigits = 8, .shortProcessorForm = true},  // FT-450
    SimModel{.id = 251, .shortProcessorForm = true},                        // FT-2000
    SimModel{.id = 310, .frequencyDigits = 8, .shortProcessorForm = true},  // FT-950
    SimModel{.id = 362, .frequencyDigits = 8, .shortProcessorForm = true},  // FTDX5000
    SimModel{.id = 462, .frequencyDigits = 8, .shortProcessorForm = true},  // FTDX3000
    SimModel{.id = 570},                                                    // FT-991
    SimModel{.id = 650, .menuDigits = 4, .widthPrefix = "SH01"},            // FT-891
    SimModel{.id = 670},                                                    // FT-991A
    SimModel{.id = 681, .menuDigits = 6, .widthPrefix = "SH00"},            // FTDX101D
    SimModel{.id = 682, .menuDigits = 6, .widthPrefix = "SH00"},            // FTDX101MP
    SimModel{.id = 761, .menuDigits = 6, .widthPrefix = "SH00"},            // FTDX10
    SimModel{.id = 800, .menuDigits = 6, .widthPrefix = "SH00"},            // FT-710
    SimModel{.id = 840, .menuDigits = 6},                                   // FTX-1
};

}  // namespace

const SimModel& simModel(int id) {
  for (const SimModel& model : kModels) {
    if (model.id == id) return model;
  }
  return kDefaults;
}

}  // namespace korvel::sim
