#include "state/frequency_text.h"

#include "state/text.h"

namespace korvel {

namespace {

constexpr long kMegahertzDigits = 3;
constexpr long kBelowMegahertzDigits = 6;

std::string withoutLeadingZeros(std::string_view text) {
  const auto first = text.find_first_not_of('0');
  return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

}  // namespace

std::string windowFrequencyText(std::string_view digits) {
  std::string text = left(digits, kMegahertzDigits) + "." + right(digits, kBelowMegahertzDigits);
  std::size_t zeros = 0;
  while (zeros < text.size() && text[zeros] == '0') ++zeros;
  return std::string(zeros, ' ') + text.substr(zeros);
}

std::string recordFrequencyText(std::string_view digits) {
  std::string text = left(digits, kMegahertzDigits) + "." + right(digits, kBelowMegahertzDigits);
  for (int i = 0; i < 2 && !text.empty() && text[0] == '0'; ++i) text.erase(0, 1);
  return text;
}

std::string hertzFrequencyText(long long hz) {
  const std::string digits = zeroPad(hz < 0 ? 0 : hz, static_cast<int>(kBelowMegahertzDigits) + 1);
  std::string mhz = left(digits, static_cast<long>(digits.size()) - kBelowMegahertzDigits);
  while (mhz.size() > 1 && mhz[0] == '0') mhz.erase(0, 1);
  return mhz + "." + right(digits, kBelowMegahertzDigits);
}

std::string megahertzText(std::string_view digits) {
  std::string whole = withoutLeadingZeros(mid(digits, 1, kMegahertzDigits));
  std::string out = whole.empty() ? "0" : whole;
  out += '.';
  out += mid(digits, kMegahertzDigits + 1, 1);
  // Each further digit only while something other than zeros follows from it on.
  for (long pos = kMegahertzDigits + 2; pos <= static_cast<long>(kFrequencyDigitCount); ++pos) {
    const std::string rest = mid(digits, pos, static_cast<long>(kFrequencyDigitCount) + 1 - pos);
    if (withoutLeadingZeros(rest).empty()) break;
    out += mid(digits, pos, 1);
  }
  return out;
}

}  // namespace korvel
