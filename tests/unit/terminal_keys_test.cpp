// The terminal's bytes as keys: characters, the xterm and Linux-console escape sequences, and
// sequences cut off or unknown.
#include <gtest/gtest.h>

#include <string>

#include "platform/key_codes.h"
#include "platform/terminal_keys.h"

namespace korvel {
namespace {

using terminal::decodeKey;
using terminal::kCloseRequest;

TEST(TerminalKeys, BytesDecodeToTheWindowsKeyCodes) {
  struct Case {
    std::string bytes;
    bool complete;
    int key;
    std::size_t length;
  } cases[] = {
      {"b", false, 'B', 1}, {"B", false, 'B', 1}, {"z", false, 'Z', 1}, {"6", false, '6', 1},
      {"0", false, vk::k0, 1}, {"\r", false, vk::kEnter, 1}, {"\n", false, vk::kEnter, 1},
      {" ", false, vk::kSpace, 1}, {".", false, vk::kPeriod, 1}, {"=", false, vk::kPlus, 1},
      {"-", false, vk::kMinus, 1}, {"\x03", false, kCloseRequest, 1}, {"\x04", false, kCloseRequest, 1},
      // xterm, application cursor mode, Linux console.
      {"\x1b[A", false, vk::kUp, 3}, {"\x1bOB", false, vk::kDown, 3}, {"\x1b[C", false, vk::kRight, 3},
      {"\x1b[D", false, vk::kLeft, 3}, {"\x1b[5~", false, vk::kPageUp, 4}, {"\x1b[6~", false, vk::kPageDown, 4},
      {"\x1b[2~", false, vk::kInsert, 4}, {"\x1bOP", false, vk::function(1), 3},
      {"\x1bOS", false, vk::function(4), 3}, {"\x1b[11~", false, vk::function(1), 5},
      {"\x1b[[A", false, vk::function(1), 4}, {"\x1b[[E", false, vk::function(5), 4},
      {"\x1b[15~", false, vk::function(5), 5}, {"\x1b[21~", false, vk::function(10), 5},
      {"\x1b[24~", false, vk::function(12), 5},
      // A key followed by the next: only the first is taken.
      {"\x1b[Ab", false, vk::kUp, 3}, {"bq", false, 'B', 1},
      // Cut off: wait for the rest, unless no more came; then a lone Escape is the Escape key.
      {"\x1b", false, 0, 0}, {"\x1b[", false, 0, 0}, {"\x1b[2", false, 0, 0}, {"\x1b[[", false, 0, 0},
      {"\x1b", true, 0x1B, 1}, {"\x1b[2", true, 0, 3}, {"\x1b" "b", false, 0x1B, 1},
      // Unknown sequences (Ctrl+Up, F13) and bytes that are no key are taken whole and give nothing.
      {"\x1b[1;5A", false, 0, 6}, {"\x1b[25~b", false, 0, 5}, {"\x1bOx", false, 0, 3},
      {"\x1b[12\x03", false, 0, 4}, {"\x1b[111111111111111111", false, 0, terminal::kLongestSequence},
      {"\xc3", false, 0, 1}, {"!", false, 0, 1}, {std::string(1, '\0'), false, 0, 1},
  };
  for (const auto& c : cases) {
    const auto decoded = decodeKey(c.bytes, c.complete);
    EXPECT_EQ(decoded.key, c.key) << testing::PrintToString(c.bytes);
    EXPECT_EQ(decoded.length, c.length) << testing::PrintToString(c.bytes);
  }
}

}  // namespace
}  // namespace korvel
