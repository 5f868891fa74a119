// What differs between the Yaesu models the simulator can be: one row per model number (the
// number the radio reports to "ID"). A number without a row gets the modern defaults.
#pragma once

#include <string_view>

namespace korvel::sim {

// The two frequency widths of the radios: the older generation (FT-950, FTDX3000, ...) answers and
// takes eight digits, the newer nine.
inline constexpr int kOlderFrequencyDigits = 8;
inline constexpr int kNewerFrequencyDigits = 9;

struct SimModel {
  int id = 0;                           // the "ID" number this row describes; 0 for the defaults
  int frequencyDigits = kNewerFrequencyDigits;  // digits in "FA"/"FB" and in the "IF" answer
  int menuDigits = 3;                   // digits of a menu number in "EX"
  bool shortProcessorForm = false;      // "PR" asks and "PR0"/"PR1" switch (else "PR0"/"PR1" ask)
  std::string_view widthPrefix = "SH0"; // what the filter width command and its answer begin with
  // Command families the radio does not have ("BA ZI"): every command of one is answered "?;".
  std::string_view unknownFamilies = "";
};

// The row for a model number; the defaults row for a number without one.
const SimModel& simModel(int id);
// Whether the model's radio has the command family (its two letters).
bool knowsFamily(const SimModel& model, std::string_view letters);

}  // namespace korvel::sim
