#include "display/main_window.h"

#include <string>

#include "state/panel.h"

namespace korvel {

namespace {

// Longest font face name the window keeps.
constexpr std::size_t kFaceNameCap = 31;

}  // namespace

bool createMainWindow(Panel& p) {
  p.display = {};
  const bool made = p.window.createWindow(kWindowLeft, kWindowTop, kWindowWidth, kWindowHeight, core::kWindowTitle);
  p.display.windowOpen = made;
  return made;
}

void closeMainWindow(Panel& p) {
  p.window.closeWindow();
  p.display.windowOpen = false;
}

void moveTo(Panel& p, int x, int y) {
  p.display.x = x;
  p.display.y = y;
  p.display.field = platform::Field::Unnamed;
  p.display.fieldBegun = false;
}

void printText(Panel& p, std::string_view text) {
  // Every caller ends its pieces with "\r\n"; the window never breaks lines, so the ending goes.
  if (!text.empty() && text.back() == '\n') {
    text.remove_suffix(1);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  }
  if (text.empty()) return;
  const platform::FieldPart part{p.display.field, p.display.fieldBegun};
  const int width = p.window.drawText(p.display.x, p.display.y, std::string(text), part);
  p.display.fieldBegun = true;
  if (width > 0) p.display.x += width;
}

void printText(Panel& p, std::initializer_list<std::string_view> pieces) {
  std::string joined;
  for (const auto piece : pieces) joined += piece;
  printText(p, std::string_view(joined));
}

void setFont(Panel& p, std::string_view face, int points, int weight) {
  p.display.fontFace = std::string(face.substr(0, kFaceNameCap));
  p.display.fontPoints = points;
  p.display.fontWeight = weight;
  p.window.setFont(p.display.fontFace, points, weight);
}

void setFont(Panel& p, const FontChoice& font) { setFont(p, font.face, font.points, font.weight); }

std::string spaces(int n) { return std::string(n > 0 ? static_cast<std::size_t>(n) : 0, ' '); }

void startTimer(Panel& p) { p.window.startTimer(kTimerPeriodMs); }

void stopTimer(Panel& p) { p.window.stopTimer(); }

}  // namespace korvel
