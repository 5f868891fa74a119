#include "platform/text_fields.h"

#include <algorithm>

namespace korvel::platform {

namespace {

constexpr int kDotsPerInch = 96;
constexpr int kPointsPerInch = 72;
constexpr int kDefaultCharWidth = 8;  // the window's default font, before any font is chosen
constexpr const char* kFieldGap = "  ";

bool onFieldRow(int y) {
  return std::any_of(kFieldPlaces.begin(), kFieldPlaces.end(), [y](const FieldPlace& f) { return f.y == y; });
}

std::string squeezed(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const bool blank = c == ' ' || static_cast<unsigned char>(c) < 0x20 || c == '\x7f';
    if (blank) {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += c;
    }
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace

int TextFields::charWidth(int points, char c) {
  const int width = points > 0 ? std::max(2, (points * kDotsPerInch / kPointsPerInch + 1) / 2) : kDefaultCharWidth;
  return c == ' ' ? width / 2 : width;
}

int TextFields::widthOf(int points, const std::string& text) {
  int width = 0;
  for (const char c : text) width += charWidth(points, c);
  return width;
}

int TextFields::draw(int x, int y, int points, const std::string& text) {
  const int drawn = widthOf(points, text);
  if (text.empty() || !onFieldRow(y)) return drawn;
  auto& row = rows_[y];
  const int end = x + drawn;
  // Cut what the new text covers out of the runs it overlaps: a character survives only when it
  // lies wholly left or wholly right of the new text.
  std::map<int, Run> kept;
  for (auto& [start, run] : row) {
    if (start + widthOf(run.points, run.text) <= x || start >= end) {
      kept.emplace(start, std::move(run));
      continue;
    }
    std::string left;
    int at = start;
    std::size_t i = 0;
    for (; i < run.text.size() && at + charWidth(run.points, run.text[i]) <= x; ++i) {
      left += run.text[i];
      at += charWidth(run.points, run.text[i]);
    }
    if (!left.empty()) kept.emplace(start, Run{run.points, left});
    for (; i < run.text.size() && at < end; ++i) at += charWidth(run.points, run.text[i]);
    if (i < run.text.size()) kept.emplace(at, Run{run.points, run.text.substr(i)});
  }
  kept[x] = Run{points, text};
  row = std::move(kept);
  return drawn;
}

std::vector<std::string> TextFields::fields() const {
  std::vector<std::string> out;
  for (const auto& place : kFieldPlaces) {
    std::string joined;
    if (const auto row = rows_.find(place.y); row != rows_.end()) {
      for (const auto& [start, run] : row->second) {
        if (start >= place.xFrom && start < place.xTo) joined += run.text + ' ';
      }
    }
    out.push_back(squeezed(joined));
  }
  return out;
}

std::string TextFields::line(const std::vector<std::string>& fields) {
  std::string out;
  for (const auto& field : fields) {
    if (field.empty()) continue;
    if (!out.empty()) out += kFieldGap;
    out += field;
  }
  return out;
}

}  // namespace korvel::platform
