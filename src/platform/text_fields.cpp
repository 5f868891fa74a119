#include "platform/text_fields.h"

namespace korvel::platform {

namespace {

constexpr const char* kFieldGap = "  ";
// More pieces than any field is drawn in: text added beyond them is dropped, not kept without end.
constexpr std::size_t kPiecesPerField = 8;

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

std::chrono::milliseconds lineInterval(const std::vector<std::string>& shown, const std::vector<std::string>& now) {
  if (shown.size() != now.size()) return kFieldInterval;
  for (std::size_t i = 0; i < now.size(); ++i) {
    if (i != kMeterField && now[i] != shown[i]) return kFieldInterval;
  }
  return kMeterInterval;
}

void TextFields::draw(FieldPart part, const std::string& text) {
  const auto index = static_cast<std::size_t>(part.field);
  if (text.empty() || part.field == Field::Unnamed || index >= pieces_.size()) return;
  auto& pieces = pieces_[index];
  if (!part.more) pieces.clear();
  if (pieces.size() < kPiecesPerField) pieces.push_back(text);
}

std::vector<std::string> TextFields::fields() const {
  std::vector<std::string> out;
  for (const auto& linePart : kLineParts) {
    std::string joined;
    for (auto f = static_cast<std::size_t>(linePart.first); f <= static_cast<std::size_t>(linePart.last); ++f) {
      for (const auto& piece : pieces_[f]) joined += piece + ' ';
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

void TextFields::clear() {
  for (auto& pieces : pieces_) pieces.clear();
}

}  // namespace korvel::platform
