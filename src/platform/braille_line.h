// What the braille display shows: the window's fields as one line, the frequency first so that it
// stays on a short display, rewritten at the terminal line's pace; and each announcement's text for
// a few seconds after it has been spoken, then the fields again.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/text_fields.h"

namespace korvel::platform {

// How long an announcement's text stays on the display.
inline constexpr auto kAnnouncementShown = std::chrono::seconds(4);

class BrailleLine {
 public:
  using Clock = std::chrono::steady_clock;

  void draw(FieldPart part, const std::string& text) { fields_.draw(part, text); }
  void clear();
  // The announcement just spoken, to be shown from now for kAnnouncementShown.
  void announce(const std::string& text, Clock::time_point now);
  // The line to write now: when it differs from the one written and the pace allows it. Only the
  // part in the display's window shows: from the panning offset, `width` cells (0: all of it).
  std::optional<std::string> due(Clock::time_point now);
  // The display's width in cells, and its panning keys: the part of the line now in the window,
  // when that moved.
  void setWidth(std::size_t cells) { width_ = cells; }
  std::optional<std::string> panRight();
  std::optional<std::string> panLeft();
  // The fields in the display's order (frequency, mode, split or repeater mark, S-meter, status row).
  static std::string fieldsLine(const std::vector<std::string>& fields);

 private:
  std::string window() const;

  TextFields fields_;
  std::vector<std::string> shownFields_;
  std::string written_;
  bool writtenIsAnnouncement_ = false;
  Clock::time_point lastWritten_{};
  std::size_t width_ = 0;
  std::size_t offset_ = 0;  // the first character of the line in the display's window
  std::string announcement_;
  Clock::time_point announcementUntil_{};
};

}  // namespace korvel::platform
