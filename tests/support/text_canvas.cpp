#include "text_canvas.h"

#include <algorithm>

namespace korvel::testing {

bool TextCanvas::createWindow(int l, int t, int w, int h, const std::string& caption) {
  created = true;
  left = l;
  top = t;
  width = w;
  height = h;
  title = caption;
  return true;
}

void TextCanvas::closeWindow() { closed = true; }

void TextCanvas::setFont(const std::string& f, int p, int w) {
  face = f;
  points = p;
  weight = w;
}

int TextCanvas::widthOf(const std::string& text) const {
  // Half the pixel height per character: 50 points -> 33 px, 20 points -> 13 px, default 8 px.
  const int perChar = points > 0 ? (points * 96 / 72 + 1) / 2 : 8;
  return perChar * static_cast<int>(text.size());
}

int TextCanvas::drawText(int x, int y, const std::string& text, platform::FieldPart part) {
  fields.push_back({x, y, face, points, weight, text, part});
  picture[{x, y}] = text;
  return widthOf(text);
}

void TextCanvas::startTimer(int periodMs) {
  timerRunning = true;
  timerPeriodMs = periodMs;
}

void TextCanvas::stopTimer() { timerRunning = false; }

std::vector<platform::Event> TextCanvas::waitEvents() {
  std::vector<platform::Event> out(queue.begin(), queue.end());
  queue.clear();
  if (out.empty()) {
    out.push_back(timerRunning ? platform::Event{platform::kTimerMessage, 1}
                               : platform::Event{platform::kCloseMessage, 0});
  }
  return out;
}

std::string TextCanvas::at(int x, int y) const {
  const auto it = picture.find({x, y});
  return it == picture.end() ? std::string() : it->second;
}

bool TextCanvas::keyWaiting() {
  return std::any_of(queue.begin(), queue.end(), [](const platform::Event& e) { return e.message == platform::kKeyDownMessage; });
}

}  // namespace korvel::testing
