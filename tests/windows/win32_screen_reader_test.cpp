// The screen reader's path on Windows: with a screen reader running, Korvel's window answers UI
// Automation's question for its provider and each message goes out as a notification event. Wine
// has no notification events: there the path says so (and --speech=system goes on to SAPI).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32_screen_reader.h"
#include "platform/win32_window.h"

namespace korvel::platform {
namespace {

constexpr LPARAM kUiaRootObjectId = -25;

// The "a screen reader runs" flag for the length of a test, as NVDA, JAWS and Narrator set it.
class ScreenReaderFlag {
 public:
  explicit ScreenReaderFlag(BOOL on) {
    SystemParametersInfoA(SPI_GETSCREENREADER, 0, &old_, 0);
    SystemParametersInfoA(SPI_SETSCREENREADER, on, nullptr, 0);
  }
  ~ScreenReaderFlag() { SystemParametersInfoA(SPI_SETSCREENREADER, old_, nullptr, 0); }

 private:
  BOOL old_ = FALSE;
};

TEST(Win32ScreenReader, NoScreenReaderNoNotifications) {
  ScreenReaderFlag flag(FALSE);
  Win32WindowSystem window;
  std::string why;
  EXPECT_EQ(ScreenReaderOutput::connect(window, why), nullptr);
  EXPECT_EQ(why, "no screen reader runs");
}

TEST(Win32ScreenReader, TheWindowAnswersUiAutomationAndMessagesAreNotifications) {
  ScreenReaderFlag flag(TRUE);
  Win32WindowSystem window;
  ASSERT_TRUE(window.createWindow(100, 100, 400, 200, "Korvel"));
  std::string why;
  auto reader = ScreenReaderOutput::connect(window, why);
  if (reader == nullptr) {
    EXPECT_EQ(why, "this Windows has no UI Automation notifications");
    GTEST_SKIP() << why;
  }
  EXPECT_NE(SendMessageA(window.handle(), WM_GETOBJECT, 0, kUiaRootObjectId), 0);
  EXPECT_TRUE(reader->speak("7.1 megahertz L S B", {}));
  EXPECT_TRUE(reader->speakAsync("help"));
  reader.reset();
  window.closeWindow();
}

}  // namespace
}  // namespace korvel::platform
