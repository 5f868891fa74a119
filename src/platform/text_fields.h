// The window's fields as plain text: the drawing the program does at fixed positions is kept as
// characters per row, and the fields a listener reads (mode, frequency, meter, status) come out as
// one line, for a braille display or a console screen reader.
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

namespace korvel::platform {

// Where each field of the window is drawn: its row and the columns it starts in. Each field takes
// the text drawn at a start x in [xFrom, xTo) on its row.
struct FieldPlace {
  const char* name;
  int y;
  int xFrom;
  int xTo;
};

inline constexpr int kRowEnd = 1 << 20;
inline constexpr std::array<FieldPlace, 5> kFieldPlaces{{
    {"mode", 45, 0, 750},
    {"split", 150, 0, 285},  // "B" in split, "R" with the repeater shift
    {"frequency", 150, 285, kRowEnd},
    {"meter", 45, 750, kRowEnd},  // S-meter reading and the decibels over S9 after it
    {"status", 250, 0, kRowEnd},
}};
inline constexpr std::size_t kMeterField = 3;

class TextFields {
 public:
  // Records text drawn with its top-left corner at (x, y) in a font of the given size; the text
  // covers what it overlaps of earlier text on the row. Returns the width it takes in pixels.
  int draw(int x, int y, int points, const std::string& text);
  // Each field's text, blanks run together and trimmed, in the order of kFieldPlaces.
  std::vector<std::string> fields() const;
  // The fields that hold text, in one line.
  static std::string line(const std::vector<std::string>& fields);
  void clear() { rows_.clear(); }

  // Width of a character at a size: half the pixel height, a blank half that, as in the
  // window's proportional face (where eight blanks are narrower than three digits).
  static int charWidth(int points, char c);

 private:
  struct Run {
    int points;
    std::string text;
  };
  static int widthOf(int points, const std::string& text);
  // Per row, the runs of text by start x; runs never overlap.
  std::map<int, std::map<int, Run>> rows_;
};

}  // namespace korvel::platform
