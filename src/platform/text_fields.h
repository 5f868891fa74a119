// The window's fields as plain text: what the program draws into each named field is kept as that
// field's text, and the fields a listener reads (mode, frequency, meter, status) come out as one
// line, for a braille display or a console screen reader.
#pragma once

#include <array>
#include <chrono>
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

// The pace a reader's line is rewritten at: the S-meter is drawn at every meter poll, and a line
// that changes faster than a finger can read it is no use.
inline constexpr auto kMeterInterval = std::chrono::milliseconds(1000);
// Any other field: shown at once, but never two lines closer together than this.
inline constexpr auto kFieldInterval = std::chrono::milliseconds(250);
// How long after the last line a change may be shown: the meter alone waits longer.
std::chrono::milliseconds lineInterval(const std::vector<std::string>& shown, const std::vector<std::string>& now);

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
