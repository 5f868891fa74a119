// The terminal front end on a pipe: a key typed while speech plays is seen waiting without being
// taken, and is then delivered as usual.
#include "platform/terminal_window.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/key_codes.h"

namespace korvel::platform {
namespace {

TEST(TerminalWindowTest, AWaitingKeyIsSeenButLeftForTheEventWait) {
  int keys[2];
  ASSERT_EQ(pipe(keys), 0);
  const int nowhere = open("/dev/null", O_WRONLY);
  {
    TerminalWindowSystem window(keys[0], true, nowhere);
    EXPECT_FALSE(window.keyWaiting());
    ASSERT_EQ(write(keys[1], "b\x1b", 2), 2);
    EXPECT_TRUE(window.keyWaiting());
    EXPECT_TRUE(window.keyWaiting()) << "looking took the key";
    auto got = window.waitEvents();
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got[0].message, kKeyDownMessage);
    EXPECT_EQ(got[0].key, 'B');
    // A lone Escape is read but held while it may still start a sequence: it waits all the same.
    EXPECT_TRUE(window.keyWaiting());
    while (window.keyWaiting()) window.waitEvents();
    // The other end gone is a close request, not a key.
    close(keys[1]);
    EXPECT_FALSE(window.keyWaiting());
    got = window.waitEvents();
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back().message, kCloseMessage);
  }
  close(nowhere);
}

}  // namespace
}  // namespace korvel::platform
