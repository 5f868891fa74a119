// Keys typed on the braille display's keyboard are the keys an operator types on the computer's.
#include <gtest/gtest.h>

#include <brlapi.h>

#include "platform/brlapi_display.h"
#include "platform/key_codes.h"

namespace korvel::platform {
namespace {

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
  };
  for (const auto& c : cases) EXPECT_EQ(keyFromBraille(c.code), c.key) << std::hex << c.code;
}

}  // namespace
}  // namespace korvel::platform
