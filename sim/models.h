// What differs between the Yaesu models the simulator can be: one row per model number (the
// number the radio reports to "ID"). A number without a row gets the modern defaults.
#pragma once

#include <string_view>

namespace korvel::sim {

struct SimModel {
  int id = 0;                           // the "ID" number this row describes; 0 for the defaults
  int frequencyDigits = 9;              // digits in "FA"/"FB" and in the "IF" answer
  int menuDigits = 3;                   // digits of a menu number in "EX"
  bool shortProcessorForm = false;      // "PR" asks and "PR0"/"PR1" switch (else "PR0"/"PR1" ask)
  std::string_view widthPrefix = "SH0"; // what the filter width command and its answer begin with
};

// The row for a model number; the defaults row for a number without one.
const SimModel& simModel(int id);

}  // namespace korvel::sim
