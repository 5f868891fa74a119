// Main window operations: creation, the text position, printing, fonts and the timer.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace korvel {
struct Panel;

inline constexpr int kWindowLeft = 250;
inline constexpr int kWindowTop = 100;
inline constexpr int kWindowWidth = 950;
inline constexpr int kWindowHeight = 500;
inline constexpr int kTimerPeriodMs = 50;

struct FontChoice {
  const char* face;
  int points;
  int weight;
};

bool createMainWindow(Panel& p);
void closeMainWindow(Panel& p);
// Sets the text position; text printed there is in no field until a field is shown
// (display/window_fields.h places the fields).
void moveTo(Panel& p, int x, int y);
// Joins the pieces and draws them at the text position, in the field shown there (its new text
// when nothing of it is drawn yet, else more of it); a trailing "\n" (and a "\r" before it) is
// dropped first, an empty result draws nothing, and the position moves past the drawn text.
void printText(Panel& p, std::initializer_list<std::string_view> pieces);
void printText(Panel& p, std::string_view text);
void setFont(Panel& p, std::string_view face, int points, int weight);
void setFont(Panel& p, const FontChoice& font);
std::string spaces(int n);
void startTimer(Panel& p);
void stopTimer(Panel& p);

}  // namespace korvel
