// The SDL main window on SDL's dummy video driver and on a real X server (Xvfb, which has its own
// event wait): text drawn into the retained image is read back as pixels, key events pushed into
// SDL's queue come out as virtual-key codes, and the timer ticks.
#include "platform/sdl_window.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/key_codes.h"
#include "needed_tools.h"

using korvel::platform::Event;
using korvel::platform::SdlWindowSystem;
namespace platform = korvel::platform;
namespace vk = korvel::vk;

namespace {

using Clock = std::chrono::steady_clock;

// An Xvfb of this test program's own, started on first use and ended with the program.
class XServer {
 public:
  static const std::string& display() {
    static XServer server;
    return server.name_;
  }
  ~XServer() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }

 private:
  // Xvfb takes the first display number free and writes it to a pipe of ours: no X server started
  // beside this one (another test program, another build's tests) can take the same number.
  XServer() {
    if (!std::filesystem::exists("/usr/bin/Xvfb")) return;
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x800x24", "-nolisten", "tcp",
            static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (!number.empty() && number.find_first_not_of("0123456789") == std::string::npos) name_ = ":" + number;
  }
  pid_t pid_ = -1;
  std::string name_;
};

class SdlWindowTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (GetParam() == "x11") {
      KORVEL_NEED_TOOLS("Xvfb");
      ASSERT_FALSE(XServer::display().empty()) << "Xvfb did not start";
      setenv("DISPLAY", XServer::display().c_str(), 1);
    }
    setenv("SDL_VIDEODRIVER", GetParam().c_str(), 1);
    window = std::make_unique<SdlWindowSystem>();
    ASSERT_TRUE(window->createWindow(250, 100, 950, 500, "*** Korvel Front Panel v3.6a ***"));
  }
  void TearDown() override {
    window.reset();
    unsetenv("SDL_VIDEODRIVER");
  }

  static void pushKey(Uint32 type, SDL_Scancode scancode, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    e.key.keysym.mod = mod;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
  }
  // Everything but timer ticks, from waits until the close request or `count` events arrived.
  std::vector<Event> events(std::size_t count) {
    std::vector<Event> got;
    const auto until = Clock::now() + std::chrono::seconds(2);
    while (got.size() < count && Clock::now() < until) {
      for (const Event& e : window->waitEvents()) {
        if (e.message != platform::kTimerMessage) got.push_back(e);
      }
    }
    return got;
  }

  std::unique_ptr<SdlWindowSystem> window;
};

TEST_P(SdlWindowTest, TextLeavesInkWhereItWasDrawnAndNowhereElse) {
  EXPECT_FALSE(window->inkAt(0, 0, 950, 500)) << "a new window is white";
  window->setFont("Ariel", 50, 700);
  const int width = window->drawText(285, 150, "14.074000", {});
  // Nine characters of a 50 point face at 96 dots per inch: roughly 37 pixels each.
  EXPECT_GT(width, 250);
  EXPECT_LT(width, 420);
  EXPECT_TRUE(window->inkAt(285, 150, width, 80));
  EXPECT_TRUE(window->inkAt(285, 190, width, 20)) << "a 50 point face reaches well below its top";
  EXPECT_FALSE(window->inkAt(0, 0, 950, 150));
  EXPECT_FALSE(window->inkAt(0, 150, 285, 350));
  EXPECT_FALSE(window->inkAt(285 + width, 150, 950, 350));
  EXPECT_FALSE(window->inkAt(285, 240, width, 260));
}

TEST_P(SdlWindowTest, BlanksPrintedOverAFieldEraseIt) {
  window->setFont("Ariel", 50, 700);
  const int narrow = window->drawText(50, 300, "CW", {});
  window->drawText(50, 300, "        ", {});
  EXPECT_FALSE(window->inkAt(50, 300, narrow, 80)) << "blanks are drawn on an opaque background";

  const int wide = window->drawText(50, 45, "FMN     ", {});
  ASSERT_TRUE(window->inkAt(50 + narrow + 2, 45, 30, 80));
  window->drawText(50, 45, "CW      ", {});
  EXPECT_TRUE(window->inkAt(50, 45, narrow, 80));
  EXPECT_FALSE(window->inkAt(50 + narrow + 2, 45, wide - narrow - 2, 80)) << "a remnant of FMN is left";

  // Without the padding the longer value shows through: the check above can see a remnant.
  window->drawText(50, 45, "FMN", {});
  window->drawText(50, 45, "CW", {});
  EXPECT_TRUE(window->inkAt(50 + narrow + 2, 45, 40, 80));
}

TEST_P(SdlWindowTest, AnUnchangedFieldIsSkippedButOneDrawnOverIsRestored) {
  window->setFont("Ariel", 50, 700);
  const int width = window->drawText(50, 45, "CW", {});
  // The same text again reports the same width (the caller's position moves the same way).
  EXPECT_EQ(window->drawText(50, 45, "CW", {}), width);
  EXPECT_TRUE(window->inkAt(50, 45, width, 80));
  // A field drawn over part of it, then the same text again at the same place: it must come back.
  window->drawText(60, 45, "          ", {});
  ASSERT_FALSE(window->inkAt(60, 45, width - 10, 60));
  window->drawText(50, 45, "CW", {});
  EXPECT_TRUE(window->inkAt(60, 45, width - 10, 60));
  // The same text in another font is drawn anew.
  window->setFont("Ariel", 20, 20);
  EXPECT_LT(window->drawText(50, 45, "CW", {}), width);
}

TEST_P(SdlWindowTest, DefaultFontEmptyTextAndHighBytes) {
  EXPECT_EQ(window->drawText(140, 380, "", {}), 0);
  EXPECT_FALSE(window->inkAt(0, 0, 950, 500));
  const int width = window->drawText(140, 380, "B band, F frequency", {});
  // The default face is small, about a window's system font.
  EXPECT_GT(width, 60);
  EXPECT_LT(width, 250);
  EXPECT_TRUE(window->inkAt(140, 380, width, 20));
  EXPECT_FALSE(window->inkAt(140, 400, width, 100)) << "the default font is not a large one";
  // Bytes of 128 and above are Latin-1 characters; a NUL does not end the text.
  EXPECT_GT(window->drawText(140, 405, std::string("25\xB0") + '\0' + "C \xFF\x80", {}), 0);
  EXPECT_TRUE(window->inkAt(140, 405, 20, 20));
}

TEST_P(SdlWindowTest, ArielIsTheNearestMatchOfArial) {
  window->setFont("Arial", 20, 20);
  const std::string arial = window->fontFile();
  window->setFont("Ariel", 20, 20);
  EXPECT_EQ(window->fontFile(), arial);
  window->setFont("ARIEL", 20, 20);
  EXPECT_EQ(window->fontFile(), arial);
  EXPECT_NE(arial.find("LiberationSans"), std::string::npos) << arial;
  window->setFont("Ariel", 50, 700);
  EXPECT_NE(window->fontFile().find("Bold"), std::string::npos) << window->fontFile();
}

TEST_P(SdlWindowTest, TimerDeliversOneTickAfterALongBlockingCall) {
  window->startTimer(50);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // a long announcement
  std::vector<Event> got = window->waitEvents();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, platform::kTimerMessage);
  EXPECT_EQ(got[0].key, 1);

  // The next period counts from that tick: no second tick is owed.
  const auto start = Clock::now();
  got = window->waitEvents();
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(40));
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, platform::kTimerMessage);

  // Over a steady half second the ticks keep their pace.
  int ticks = 0;
  const auto until = Clock::now() + std::chrono::milliseconds(500);
  while (Clock::now() < until) {
    for (const Event& e : window->waitEvents()) ticks += e.message == platform::kTimerMessage;
  }
  EXPECT_GE(ticks, 6);
  EXPECT_LE(ticks, 11);
  window->stopTimer();
}

TEST_P(SdlWindowTest, KeysBecomeVirtualKeyCodes) {
  struct Case {
    SDL_Scancode scancode;
    int vk;
  };
  const std::vector<Case> table = {
      {SDL_SCANCODE_A, 'A'},           {SDL_SCANCODE_B, 'B'},         {SDL_SCANCODE_Z, 'Z'},
      {SDL_SCANCODE_0, '0'},           {SDL_SCANCODE_1, '1'},         {SDL_SCANCODE_9, '9'},
      {SDL_SCANCODE_KP_0, 0x60},       {SDL_SCANCODE_KP_1, 0x61},     {SDL_SCANCODE_KP_9, 0x69},
      {SDL_SCANCODE_KP_PLUS, 0x6B},    {SDL_SCANCODE_KP_MINUS, 0x6D}, {SDL_SCANCODE_KP_PERIOD, 0x6E},
      {SDL_SCANCODE_KP_ENTER, 0x0D},   {SDL_SCANCODE_RETURN, 0x0D},   {SDL_SCANCODE_SPACE, 0x20},
      {SDL_SCANCODE_F1, 0x70},         {SDL_SCANCODE_F10, 0x79},      {SDL_SCANCODE_F12, 0x7B},
      {SDL_SCANCODE_LEFT, 0x25},       {SDL_SCANCODE_UP, 0x26},       {SDL_SCANCODE_RIGHT, 0x27},
      {SDL_SCANCODE_DOWN, 0x28},       {SDL_SCANCODE_PAGEUP, 0x21},   {SDL_SCANCODE_PAGEDOWN, 0x22},
      {SDL_SCANCODE_LSHIFT, 0x10},     {SDL_SCANCODE_RSHIFT, 0x10},   {SDL_SCANCODE_LCTRL, 0x11},
      {SDL_SCANCODE_RCTRL, 0x11},      {SDL_SCANCODE_INSERT, 0x2D},   {SDL_SCANCODE_LGUI, 0x5B},
      {SDL_SCANCODE_EQUALS, vk::kPlus}, {SDL_SCANCODE_MINUS, vk::kMinus}, {SDL_SCANCODE_PERIOD, vk::kPeriod},
  };
  window->startTimer(50);
  for (const Case& c : table) {
    SCOPED_TRACE(SDL_GetScancodeName(c.scancode));
    pushKey(SDL_KEYDOWN, c.scancode);
    pushKey(SDL_KEYDOWN, c.scancode, KMOD_NONE, 1);  // auto-repeat while held
    pushKey(SDL_KEYUP, c.scancode);
    const std::vector<Event> got = events(3);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].message, platform::kKeyDownMessage);
    EXPECT_EQ(got[1].message, platform::kKeyDownMessage);
    EXPECT_EQ(got[2].message, platform::kKeyUpMessage);
    for (const Event& e : got) EXPECT_EQ(e.key, c.vk);
  }
}

TEST_P(SdlWindowTest, NumLockAltAndClosing) {
  window->startTimer(50);
  // NumLock is no command, and keys with Alt belong to the window manager.
  pushKey(SDL_KEYDOWN, SDL_SCANCODE_NUMLOCKCLEAR);
  pushKey(SDL_KEYDOWN, SDL_SCANCODE_LALT, KMOD_LALT);
  pushKey(SDL_KEYDOWN, SDL_SCANCODE_B, KMOD_LALT);
  EXPECT_FALSE(window->keyWaiting()) << "no key the dispatcher would get is waiting";
  pushKey(SDL_KEYDOWN, SDL_SCANCODE_KP_7, KMOD_NUM);
  // Looking for a waiting key leaves it in the queue, as many times as speech asks.
  EXPECT_TRUE(window->keyWaiting());
  EXPECT_TRUE(window->keyWaiting());
  std::vector<Event> got = events(1);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, platform::kKeyDownMessage);
  EXPECT_EQ(got[0].key, 0x67) << "keypad 7 is a digit whatever NumLock says";
  EXPECT_FALSE(window->keyWaiting());

  pushKey(SDL_KEYDOWN, SDL_SCANCODE_F4, KMOD_LALT);
  got = events(1);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, platform::kCloseMessage);

  // The close box: a window close and a quit, heard as one close request.
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  SDL_PushEvent(&close);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  got = events(1);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, platform::kCloseMessage);
  EXPECT_EQ(events(2).size(), 0u) << "nothing more followed";
}

TEST_P(SdlWindowTest, InterruptAndTerminateAreCloseRequests) {
  window->startTimer(50);
  for (int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal);
    std::raise(signal);
    const std::vector<Event> got = events(1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].message, platform::kCloseMessage);
  }
}

INSTANTIATE_TEST_SUITE_P(VideoDrivers, SdlWindowTest, ::testing::Values("dummy", "x11"),
                         [](const auto& info) { return info.param; });

TEST(SdlWindowWithoutWindowTest, WaitingWithoutAWindowEndsTheLoop) {
  SdlWindowSystem window;
  const std::vector<Event> got = window.waitEvents();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, platform::kCloseMessage);
}

}  // namespace
