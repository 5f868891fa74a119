// The Win32 window (under Wine on an X server) and the waveOut word player.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/key_codes.h"
#include "platform/win32_sound.h"
#include "platform/win32_window.h"

namespace korvel::platform {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

int count(const std::vector<Event>& events, int message) {
  return static_cast<int>(std::count_if(events.begin(), events.end(), [&](const Event& e) { return e.message == message; }));
}

TEST(Win32Window, LayoutTextTimerAndCloseBox) {
  Win32WindowSystem w;
  const std::string caption = "*** Korvel Front Panel v3.6a ***";
  ASSERT_TRUE(w.createWindow(250, 100, 950, 500, caption));
  RECT outer{};
  GetWindowRect(w.handle(), &outer);
  EXPECT_EQ(outer.left, 250);
  EXPECT_EQ(outer.top, 100);
  EXPECT_EQ(outer.right - outer.left, 950);
  EXPECT_EQ(outer.bottom - outer.top, 500);
  char title[64] = {};
  GetWindowTextA(w.handle(), title, sizeof title);
  EXPECT_EQ(title, caption);
  const auto style = static_cast<DWORD>(GetWindowLongA(w.handle(), GWL_STYLE));
  for (const DWORD bit : {DWORD{WS_POPUP}, DWORD{WS_VISIBLE}, DWORD{WS_CAPTION}, DWORD{WS_SYSMENU}, DWORD{WS_MINIMIZEBOX}, DWORD{WS_MAXIMIZEBOX}}) {
    EXPECT_EQ(style & bit, bit);
  }

  // The large fields' font: "Ariel" becomes a real face, 50 points at the display's resolution.
  w.setFont("Ariel", 50, 700);
  const int width = w.drawText(50, 45, "FMN     ", {});
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(w.fontHeight(), -MulDiv(50, GetDeviceCaps(screen, LOGPIXELSY), 72));
  ReleaseDC(nullptr, screen);
  EXPECT_NE(w.faceInUse(), "System");
  EXPECT_GT(width, 100);
  EXPECT_TRUE(w.inkAt(50, 45, width, 60));
  // Blanks over a field erase it: the background is opaque white.
  w.drawText(50, 45, std::string(12, ' '), {});
  EXPECT_FALSE(w.inkAt(50, 45, width, 60));

  // However long the program was away, one tick waits; then about 20 a second.
  w.startTimer(50);
  Sleep(400);
  EXPECT_EQ(count(w.waitEvents(), kTimerMessage), 1);
  int ticks = 0;
  for (const auto end = Clock::now() + 1s; Clock::now() < end;) ticks += count(w.waitEvents(), kTimerMessage);
  EXPECT_GE(ticks, 16);
  EXPECT_LE(ticks, 22);
  w.stopTimer();

  // The close box asks; the window stays until the program closes it.
  SendMessageA(w.handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(count(w.waitEvents(), kCloseMessage), 1);
  EXPECT_TRUE(IsWindow(w.handle()));
  w.closeWindow();
}

TEST(Win32Window, KeypadKeysAreDigitsWhateverNumLock) {
  constexpr LPARAM kExtended = 1 << 24;
  const struct {
    WPARAM key;
    LPARAM flags;
    int expected;
  } cases[] = {
      {VK_HOME, 0, vk::kNumpad0 + 7}, {VK_HOME, kExtended, VK_HOME}, {VK_INSERT, 0, vk::kNumpad0},
      {VK_DELETE, 0, vk::kDecimal},   {VK_NUMPAD5, 0, vk::kNumpad0 + 5}, {'B', 0, vk::letter('B')},
      {VK_RETURN, kExtended, vk::kEnter}, {VK_F10, 0, vk::function(10)},
  };
  for (const auto& c : cases) EXPECT_EQ(virtualKeyFor(c.key, c.flags), c.expected) << c.key;
}

void writeWave(const std::filesystem::path& file, int milliseconds) {
  const std::uint32_t rate = 22050, bytes = rate * 2 * static_cast<std::uint32_t>(milliseconds) / 1000;
  auto le = [](std::ofstream& out, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) out.put(static_cast<char>((v >> (8 * i)) & 0xff));
  };
  std::ofstream out(file, std::ios::binary);
  out << "RIFF";
  le(out, 36 + bytes, 4);
  out << "WAVEfmt ";
  le(out, 16, 4), le(out, 1, 2), le(out, 1, 2), le(out, rate, 4), le(out, rate * 2, 4), le(out, 2, 2), le(out, 16, 2);
  out << "data";
  le(out, bytes, 4);
  out << std::string(bytes, '\0');
}

TEST(Win32Sound, WordsTakeTheirLengthAndBrokenFilesPlayNothing) {
  const auto folder = std::filesystem::temp_directory_path() / "korvel-sound-test";
  std::filesystem::create_directories(folder);
  writeWave(folder / "delay.wav", 300);
  const std::string whole = [&] {
    std::ifstream in(folder / "delay.wav", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  const struct {
    const char* name;
    std::string bytes;
  } broken[] = {{"empty.wav", ""}, {"text.wav", "not a wave file"}, {"header.wav", whole.substr(0, 30)},
                {"nofmt.wav", "RIFF\x04\0\0\0WAVEdata\x10\0\0\0" + std::string(16, '\0')}};
  Win32SoundOutput sound;
  for (const auto& b : broken) {
    std::ofstream(folder / b.name, std::ios::binary) << b.bytes;
    EXPECT_FALSE(sound.play(folder / b.name)) << b.name;
  }
  EXPECT_FALSE(sound.play(folder / "missing.wav"));

  // Two words back to back: the pair lasts their length, less the hand-over of the last.
  auto start = Clock::now();
  EXPECT_TRUE(sound.play(folder / "delay.wav"));
  EXPECT_TRUE(sound.play(folder / "delay.wav"));
  const auto pair = Clock::now() - start;
  EXPECT_GE(pair, 540ms);
  EXPECT_LE(pair, 750ms);
  // A background word returns at once and the next word cuts it.
  start = Clock::now();
  EXPECT_TRUE(sound.playAsync(folder / "delay.wav"));
  EXPECT_LT(Clock::now() - start, 100ms);
  EXPECT_TRUE(sound.play(folder / "delay.wav"));
  EXPECT_LE(Clock::now() - start, 450ms);
  std::filesystem::remove_all(folder);
}

// Speech at the operator's pace: a faster word is shorter, and a key waiting in the window's queue
// cuts a word without being taken from it.
TEST(Win32Sound, FasterWordsAndWordsThatGiveWayToAKey) {
  const auto folder = std::filesystem::temp_directory_path() / "korvel-pace-test";
  std::filesystem::create_directories(folder);
  writeWave(folder / "word.wav", 1200);
  Win32SoundOutput sound;
  auto start = Clock::now();
  EXPECT_TRUE(sound.play(folder / "word.wav", {.speedPercent = 200}));
  const auto fast = Clock::now() - start;
  EXPECT_GE(fast, 480ms);
  EXPECT_LE(fast, 750ms);

  Win32WindowSystem w;
  ASSERT_TRUE(w.createWindow(0, 0, 400, 300, "pace"));
  EXPECT_FALSE(w.keyWaiting());
  start = Clock::now();
  const std::jthread typist([&, window = w.handle()] {
    Sleep(200);
    PostMessageA(window, WM_KEYDOWN, 'B', 0);
  });
  EXPECT_TRUE(sound.play(folder / "word.wav", {.giveWay = [&] { return w.keyWaiting(); }}));
  const auto cut = Clock::now() - start;
  EXPECT_GE(cut, 150ms);
  EXPECT_LE(cut, 450ms) << "the word played on after the key";
  EXPECT_TRUE(w.keyWaiting()) << "looking took the key";
  std::vector<Event> got;
  for (const auto end = Clock::now() + 1s; count(got, kKeyDownMessage) == 0 && Clock::now() < end;) got = w.waitEvents();
  ASSERT_EQ(count(got, kKeyDownMessage), 1);
  EXPECT_FALSE(w.keyWaiting());
  w.closeWindow();
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace korvel::platform
