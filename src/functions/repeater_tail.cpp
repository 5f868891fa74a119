#include "functions/repeater_tail.h"

#include "state/panel.h"
#include "state/text.h"
#include "state/radio_numbers.h"

namespace korvel {

std::string appendRepeaterTail(Panel& p, const std::string& text) {
  std::string out = left(text, 13);
  const int band = p.band.currentBand;
  if (!isRepeaterBand(band)) return out;
  const auto index = static_cast<std::size_t>(band);
  const std::string& offset = p.config.repeaterOffsetKhz[index];
  out += p.config.repeaterOffsetMinus[index] == 1 ? "-" : "+";
  // Eight characters: "00000" and three offset digits, or on 70 cm "0000" and four.
  out += band == band_number::k70cm && offset.size() == 4 ? "0000" : "00000";
  out += offset;
  return out;
}

}  // namespace korvel
