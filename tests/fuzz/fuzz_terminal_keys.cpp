// Arbitrary bytes as terminal input, and as text drawn into a field. Decoding must always move on
// (a key is at least one byte once no more bytes are coming), give only known kinds of answer,
// and the text line must never carry a control byte to the terminal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/terminal_keys.h"
#include "platform/text_fields.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string_view rest = bytes;
  while (!rest.empty()) {
    auto decoded = korvel::terminal::decodeKey(rest, false);
    if (decoded.length == 0) decoded = korvel::terminal::decodeKey(rest, true);
    check(decoded.length >= 1 && decoded.length <= rest.size());
    check(decoded.length <= korvel::terminal::kLongestSequence);
    check(decoded.key == korvel::terminal::kCloseRequest || (decoded.key >= 0 && decoded.key <= 0xFF));
    rest.remove_prefix(decoded.length);
  }

  using korvel::platform::Field;
  korvel::platform::TextFields fields;
  const std::size_t half = size / 2;
  fields.draw({Field::Frequency}, std::string(bytes.substr(0, half)));
  // Any field, a name out of range too, as its new text or more of it.
  const auto field = static_cast<Field>(size % (korvel::platform::kFieldCount + 2));
  fields.draw({field, size % 3 == 0}, std::string(bytes.substr(half)));
  for (const unsigned char c : korvel::platform::TextFields::line(fields.fields())) check(c >= 0x20 && c != 0x7F);
  return 0;
}
