// The window's fields as plain text: what the program draws into each named field is kept as that
// field's text, and the fields a listener reads (mode, frequency, meter, status) come out as one
// line, for a braille display or a console screen reader.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace korvel::platform {

// The parts of the line, in order: each shows the fields from `first` to `last` (the status row's
// fields stand together in Field, left to right).
struct LinePart {
  const char* name;
  Field first;
  Field last;
};

inline constexpr std::array<LinePart, 5> kLineParts{{
    {"mode", Field::Mode, Field::Mode},
    {"split", Field::SplitMark, Field::SplitMark},
    {"frequency", Field::Frequency, Field::Frequency},
    {"meter", Field::SMeter, Field::SMeter},  // the reading and the decibels over S9 after it
    {"status", Field::Preamp, Field::Tone},
}};
inline constexpr std::size_t kMeterField = 3;

class TextFields {
 public:
  // Records text drawn into a field: a new text takes the field's place whole, as a padded label
  // covers a longer one in the window; more text stands after what the field shows.
  void draw(FieldPart part, const std::string& text);
  // Each part of the line, blanks run together and trimmed, in the order of kLineParts.
  std::vector<std::string> fields() const;
  // The parts that hold text, in one line.
  static std::string line(const std::vector<std::string>& fields);
  void clear();

 private:
  // Per field, its text as drawn: the new text, then each piece added after it.
  std::array<std::vector<std::string>, kFieldCount> pieces_;
};

}  // namespace korvel::platform
