// Test double for the window system: records every drawing, with the field it belongs to, and keeps
// the retained picture as (x, y) -> text; events come from a queue the test fills.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/window_system.h"

namespace korvel::testing {

struct DrawnField {
  int x = 0;
  int y = 0;
  std::string face;
  int points = 0;
  int weight = 0;
  std::string text;
  platform::FieldPart part;
};

class TextCanvas : public platform::WindowSystem {
 public:
  bool createWindow(int left, int top, int width, int height, const std::string& title) override;
  void closeWindow() override;
  void setFont(const std::string& face, int points, int weight) override;
  int drawText(int x, int y, const std::string& text, platform::FieldPart part) override;
  void startTimer(int periodMs) override;
  void stopTimer() override;
  // Returns the queued events; with none queued, one tick while the timer runs, else a close.
  std::vector<platform::Event> waitEvents() override;
  // A key-down in the queue.
  bool keyWaiting() override;

  // The text whose field starts at (x, y) in the retained picture ("" when none).
  std::string at(int x, int y) const;
  // Width in pixels the canvas gives a text in the current font (fixed pitch).
  int widthOf(const std::string& text) const;

  bool created = false;
  bool closed = false;
  int left = 0, top = 0, width = 0, height = 0;
  std::string title;
  std::string face;
  int points = 0;
  int weight = 0;
  bool timerRunning = false;
  int timerPeriodMs = 0;
  std::vector<DrawnField> fields;
  std::map<std::pair<int, int>, std::string> picture;
  std::deque<platform::Event> queue;
};

}  // namespace korvel::testing
