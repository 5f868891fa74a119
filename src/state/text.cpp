#include "state/text.h"

#include <cctype>

namespace korvel {

std::string mid(std::string_view s, long pos, long len) {
  if (len <= 0 || pos < 1) {
    if (pos < 1 && len > 0) {
      // Positions before the first character do not exist; keep the part that does.
      len += pos - 1;
      pos = 1;
      if (len <= 0) return {};
    } else {
      return {};
    }
  }
  const auto start = static_cast<std::size_t>(pos - 1);
  if (start >= s.size()) return {};
  return std::string(s.substr(start, static_cast<std::size_t>(len)));
}

std::string mid(std::string_view s, long pos) {
  return mid(s, pos, static_cast<long>(s.size()) + 1);
}

std::string left(std::string_view s, long len) { return mid(s, 1, len); }

std::string right(std::string_view s, long len) {
  if (len <= 0) return {};
  const auto n = static_cast<long>(s.size());
  if (len >= n) return std::string(s);
  return std::string(s.substr(static_cast<std::size_t>(n - len)));
}

double valueOf(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && text[i] == '-') {
    negative = true;
    ++i;
  }
  double value = 0;
  bool anyDigit = false;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
    value = value * 10 + (text[i] - '0');
    anyDigit = true;
    ++i;
  }
  if (i + 1 < text.size() && text[i] == '.' && std::isdigit(static_cast<unsigned char>(text[i + 1]))) {
    double scale = 0.1;
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
      value += (text[i] - '0') * scale;
      scale /= 10;
      anyDigit = true;
      ++i;
    }
  }
  if (!anyDigit) return 0;
  return negative ? -value : value;
}

long wholeValueOf(std::string_view text) {
  const double v = valueOf(text);
  if (v > 2e9) return 2000000000L;
  if (v < -2e9) return -2000000000L;
  return static_cast<long>(v);
}

std::string numberText(long long n) {
  if (n < 0) return std::to_string(n);
  return " " + std::to_string(n);
}

std::string zeroPad(long long n, int width) {
  const bool negative = n < 0;
  std::string digits = std::to_string(negative ? -n : n);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
  return negative ? "-" + digits : digits;
}

long findText(std::string_view s, std::string_view needle) {
  if (needle.empty()) return 0;
  const auto at = s.find(needle);
  return at == std::string_view::npos ? 0 : static_cast<long>(at) + 1;
}

bool isDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const unsigned char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool isDigits(std::string_view text, std::size_t length) { return text.size() == length && isDigits(text); }

std::optional<std::string> replyField(std::string_view reply, std::string_view letters, long length, long skip) {
  const long at = findText(reply, letters);
  if (at == 0) return std::nullopt;
  const long from = at + static_cast<long>(letters.size()) + skip;
  return length < 0 ? mid(reply, from) : mid(reply, from, length);
}

std::string capStored(std::string text) {
  if (text.size() > kStoredTextCap) text.resize(kStoredTextCap);
  return text;
}

}  // namespace korvel
