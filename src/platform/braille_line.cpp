#include "platform/braille_line.h"

#include <array>
#include <string_view>

namespace korvel::platform {

namespace {

// The parts of the line by name, in the order a braille reader meets them.
constexpr std::array<std::string_view, kLineParts.size()> kBrailleOrder = {"frequency", "mode", "split", "meter",
                                                                           "status"};

}  // namespace

void BrailleLine::clear() {
  fields_.clear();
  shownFields_.clear();
  written_.clear();
  writtenIsAnnouncement_ = false;
  announcement_.clear();
}

void BrailleLine::announce(const std::string& text, Clock::time_point now) {
  announcement_ = text;
  announcementUntil_ = now + kAnnouncementShown;
}

std::string BrailleLine::fieldsLine(const std::vector<std::string>& fields) {
  std::vector<std::string> ordered;
  for (const std::string_view name : kBrailleOrder) {
    for (std::size_t i = 0; i < kLineParts.size() && i < fields.size(); ++i) {
      if (name == kLineParts[i].name) ordered.push_back(fields[i]);
    }
  }
  return TextFields::line(ordered);
}

std::optional<std::string> BrailleLine::due(Clock::time_point now) {
  if (!announcement_.empty() && now >= announcementUntil_) announcement_.clear();
  const bool announcing = !announcement_.empty();
  const auto current = fields_.fields();
  std::string line;
  std::chrono::milliseconds interval = kFieldInterval;
  if (announcing) {
    line = announcement_;
  } else {
    line = fieldsLine(current);
    // Back from an announcement the fields come at once; otherwise as the terminal's line would.
    if (!writtenIsAnnouncement_) interval = lineInterval(shownFields_, current);
  }
  if (line == written_ && announcing == writtenIsAnnouncement_) return std::nullopt;
  if (now - lastWritten_ < interval) return std::nullopt;
  // An announcement starts at its beginning; the fields keep the place the reader panned to.
  if (announcing != writtenIsAnnouncement_) offset_ = 0;
  written_ = line;
  writtenIsAnnouncement_ = announcing;
  lastWritten_ = now;
  if (!announcing) shownFields_ = current;
  if (offset_ >= written_.size()) offset_ = 0;
  return window();
}

std::string BrailleLine::window() const {
  return width_ == 0 ? written_.substr(offset_) : written_.substr(offset_, width_);
}

std::optional<std::string> BrailleLine::panRight() {
  if (width_ == 0 || offset_ + width_ >= written_.size()) return std::nullopt;
  offset_ += width_;
  return window();
}

std::optional<std::string> BrailleLine::panLeft() {
  if (width_ == 0 || offset_ == 0) return std::nullopt;
  offset_ = offset_ > width_ ? offset_ - width_ : 0;
  return window();
}

}  // namespace korvel::platform
