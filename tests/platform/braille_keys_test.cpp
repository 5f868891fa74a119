// Keys typed on the braille display's keyboard are the keys an operator types on the computer's.
#include <gtest/gtest.h>

#include <brlapi.h>

#include "platform/brlapi_display.h"
#include "platform/key_codes.h"

namespace korvel::platform {
namespace {

// A computer braille table with a few characters: m (dots 1 3 4), b (1 2), 6 (dots 2 3 5 6 in
// some tables), "." (dots 2 5 6), and "M" sharing m's cell with dot 7 added, as 8-dot tables do.
DotsTable sampleTable() {
  std::array<std::uint8_t, 256> cells{};
  std::array<std::uint8_t, 32> defined{};
  const auto define = [&](unsigned char c, std::uint8_t dots) {
    cells[c] = dots;
    defined[c / 8] = static_cast<std::uint8_t>(defined[c / 8] | (1 << (c % 8)));
  };
  define('m', 0x0D);
  define('M', 0x4D);
  define('b', 0x03);
  define('6', 0x36);
  define('.', 0x32);
  cells['x'] = 0x2D;  // a cell given but not defined: no character
  return dotsTable(cells, defined);
}

TEST(BrailleKeysTest, TheDisplaysKeysAsKorvelsKeys) {
  const struct {
    std::uint64_t code;
    int key;
  } cases[] = {
      {BRLAPI_KEY_TYPE_SYM | 'm', 'M'},
      {BRLAPI_KEY_TYPE_SYM | 'B', 'B'},
      {BRLAPI_KEY_TYPE_SYM | '6', '6'},
      {BRLAPI_KEY_TYPE_SYM | '.', vk::kPeriod},
      {BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_UNICODE | 'f', 'F'},
      {BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_LINEFEED, vk::kEnter},
      {BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_UP, vk::kUp},
      {BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_FUNCTION, vk::function(1)},
      {BRLAPI_KEY_TYPE_SYM | (BRLAPI_KEY_SYM_FUNCTION + 11), vk::function(12)},
      {BRLAPI_KEY_TYPE_SYM | BRLAPI_KEY_SYM_UNICODE | 0x263A, 0},  // no key of Korvel's
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_LNUP, 0},                // BRLTTY's own navigation
      // Chords on the braille keyboard, through the operator's table.
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS | 0x0D, 'M'},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS | 0x4D, 'M'},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS | 0x03, 'B'},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS | 0x36, '6'},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS | 0x32, vk::kPeriod},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS | BRLAPI_DOTC, vk::kSpace},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS | 0x2D, 0},                 // no character
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS | BRLAPI_DOTC | 0x0D, 0},   // chorded with space: a command
  };
  const DotsTable table = sampleTable();
  for (const auto& c : cases) EXPECT_EQ(keyFromBraille(c.code, table), c.key) << std::hex << c.code;
}

}  // namespace
}  // namespace korvel::platform
