#include "platform/terminal_keys.h"

#include <array>

#include "platform/key_codes.h"

namespace korvel::terminal {

namespace {

// Keys the window also gives, whose codes the key-code header has no name for.
constexpr int kBackspace = 0x08;
constexpr int kTab = 0x09;
constexpr int kEscapeKey = 0x1B;
constexpr int kEnd = 0x23;
constexpr int kHome = 0x24;
constexpr int kDelete = 0x2E;

constexpr char kIntroducer = '[';  // ESC [ ... : a control sequence
constexpr char kShift3 = 'O';      // ESC O x: one key in application mode
constexpr char kFinalFirst = 0x40, kFinalLast = 0x7E;  // the byte that ends a control sequence
constexpr char kParameterFirst = 0x20;                  // parameters and intermediates lie below the final

struct KeyRow {
  std::string_view bytes;
  int key;
};

constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kDigits = "0123456789";

constexpr KeyRow kFixedRows[] = {
    {"\r", vk::kEnter}, {"\n", vk::kEnter}, {" ", vk::kSpace}, {".", vk::kPeriod},
    {"=", vk::kPlus},   {"+", vk::kPlus},   {"-", vk::kMinus}, {"\t", kTab},
    {"\x7f", kBackspace}, {"\b", kBackspace},
    {"\x03", kCloseRequest}, {"\x04", kCloseRequest},  // Ctrl+C, Ctrl+D (end of input)
    // Arrows, in normal and in application cursor mode.
    {"\x1b[A", vk::kUp}, {"\x1b[B", vk::kDown}, {"\x1b[C", vk::kRight}, {"\x1b[D", vk::kLeft},
    {"\x1bOA", vk::kUp}, {"\x1bOB", vk::kDown}, {"\x1bOC", vk::kRight}, {"\x1bOD", vk::kLeft},
    {"\x1b[5~", vk::kPageUp}, {"\x1b[6~", vk::kPageDown}, {"\x1b[2~", vk::kInsert}, {"\x1b[3~", kDelete},
    {"\x1b[H", kHome}, {"\x1bOH", kHome}, {"\x1b[1~", kHome}, {"\x1b[7~", kHome},
    {"\x1b[F", kEnd},  {"\x1bOF", kEnd},  {"\x1b[4~", kEnd},  {"\x1b[8~", kEnd},
    // F1..F4: xterm, then older xterm and rxvt; F1..F5 of the Linux console.
    {"\x1bOP", vk::function(1)}, {"\x1bOQ", vk::function(2)}, {"\x1bOR", vk::function(3)}, {"\x1bOS", vk::function(4)},
    {"\x1b[11~", vk::function(1)}, {"\x1b[12~", vk::function(2)}, {"\x1b[13~", vk::function(3)},
    {"\x1b[14~", vk::function(4)},
    {"\x1b[[A", vk::function(1)}, {"\x1b[[B", vk::function(2)}, {"\x1b[[C", vk::function(3)},
    {"\x1b[[D", vk::function(4)}, {"\x1b[[E", vk::function(5)},
    // F5..F12, the same on xterm and the Linux console.
    {"\x1b[15~", vk::function(5)}, {"\x1b[17~", vk::function(6)}, {"\x1b[18~", vk::function(7)},
    {"\x1b[19~", vk::function(8)}, {"\x1b[20~", vk::function(9)}, {"\x1b[21~", vk::function(10)},
    {"\x1b[23~", vk::function(11)}, {"\x1b[24~", vk::function(12)},
};

// The one table: every letter (either case gives the letter's code), every digit, the rows above.
constexpr auto kKeyTable = [] {
  std::array<KeyRow, kLetters.size() + kDigits.size() + std::size(kFixedRows)> rows{};
  std::size_t n = 0;
  for (std::size_t i = 0; i < kLetters.size(); ++i) {
    const char c = kLetters[i];
    rows[n++] = {kLetters.substr(i, 1), c >= 'a' ? vk::letter(static_cast<char>(c - 'a' + 'A')) : vk::letter(c)};
  }
  for (std::size_t i = 0; i < kDigits.size(); ++i) rows[n++] = {kDigits.substr(i, 1), vk::k0 + static_cast<int>(i)};
  for (const auto& row : kFixedRows) rows[n++] = row;
  return rows;
}();

// An escape sequence the table does not know: its bytes are taken together and give no key.
DecodedKey unknownSequence(std::string_view bytes, bool complete) {
  const auto wait = [&](std::size_t have) {
    return !complete && have < kLongestSequence ? DecodedKey{0, 0} : DecodedKey{0, have};
  };
  if (bytes.size() < 2) return complete ? DecodedKey{kEscapeKey, 1} : DecodedKey{0, 0};
  if (bytes[1] == kShift3) return bytes.size() >= 3 ? DecodedKey{0, 3} : wait(bytes.size());
  if (bytes[1] != kIntroducer) return {kEscapeKey, 1};  // Escape, then another key (or Alt and a key)
  const std::size_t last = std::min(bytes.size(), kLongestSequence);
  for (std::size_t i = 2; i < last; ++i) {
    const char c = bytes[i];
    if (c >= kFinalFirst && c <= kFinalLast) return {0, i + 1};
    if (c < kParameterFirst) return {0, i};  // broken off: the control byte starts the next key
  }
  return wait(last);
}

}  // namespace

DecodedKey decodeKey(std::string_view bytes, bool complete) {
  if (bytes.empty()) return {0, 0};
  const KeyRow* match = nullptr;
  bool mayGoOn = false;
  for (const auto& row : kKeyTable) {
    if (bytes.starts_with(row.bytes)) {
      if (match == nullptr || row.bytes.size() > match->bytes.size()) match = &row;
    } else if (row.bytes.starts_with(bytes)) {
      mayGoOn = true;
    }
  }
  if (match != nullptr) return {match->key, match->bytes.size()};
  if (mayGoOn && !complete) return {0, 0};
  if (bytes[0] == kEscape) return unknownSequence(bytes, complete);
  return {0, 1};
}

}  // namespace korvel::terminal
