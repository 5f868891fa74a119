// A radio through Hamlib on Windows (Hamlib's dummy radio, model 1): its replies come from Hamlib's
// own thread and must end the window's wait as a serial port's bytes do, and only while there is
// something to read: a wait that kept ending for replies already read would keep the program awake.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/win32_window.h"
#include "radio_link/hamlib_radio.h"

namespace korvel::radio_link {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kDummyModel = 1;
constexpr int kPort = 5;
constexpr int kBaud = 38400;
// The window's tick: long enough that a wait ended before it was ended by the radio.
constexpr int kTickMs = 2000;
constexpr auto kReplyWithin = 1s;

// The first events the window's wait gives, and how long it took.
struct Wake {
  std::vector<platform::Event> events;
  Clock::duration after{};
};

Wake waitOnce(platform::Win32WindowSystem& window) {
  Wake wake;
  const auto start = Clock::now();
  while (wake.events.empty() && Clock::now() - start < 2 * std::chrono::milliseconds(kTickMs)) {
    wake.events = window.waitEvents();
  }
  wake.after = Clock::now() - start;
  return wake;
}

bool endedByInput(const Wake& wake) {
  return !wake.events.empty() && wake.events.front().message == platform::kPortInputMessage;
}

// The dummy radio open, and a window whose wait watches its port.
class Win32HamlibRadio : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(radio.openPort(kPort, kBaud), 1);
    ASSERT_TRUE(window.createWindow(0, 0, 300, 200, "hamlib"));
    window.startTimer(kTickMs);
    window.watchInput({radio.inputHandle(kPort)});
  }
  HamlibRadio radio{{kDummyModel, "", 0}};
  platform::Win32WindowSystem window;
};

TEST_F(Win32HamlibRadio, AReplyWakesTheWindowsWaitUntilAllOfItIsRead) {

  // A setting is taken without a word; the question after it is answered.
  const std::string written = "FA014074000;FA;";
  ASSERT_EQ(radio.writePort(kPort, written.data(), static_cast<int>(written.size())), static_cast<int>(written.size()));
  Wake wake = waitOnce(window);
  ASSERT_TRUE(endedByInput(wake)) << "the reply did not end the wait";
  EXPECT_LT(wake.after, kReplyWithin);

  // Read in two pieces: while part of the reply is left the wait still ends at once.
  char buffer[64];
  const int first = radio.readPort(kPort, buffer, 4);
  std::string reply(buffer, static_cast<std::size_t>(first));
  wake = waitOnce(window);
  EXPECT_TRUE(endedByInput(wake)) << "the rest of the reply did not end the wait";
  EXPECT_LT(wake.after, kReplyWithin);
  reply.append(buffer, static_cast<std::size_t>(radio.readPort(kPort, buffer, sizeof buffer)));
  EXPECT_EQ(reply, "FA014074000;");

  // All read: only the tick ends the wait.
  wake = waitOnce(window);
  EXPECT_FALSE(endedByInput(wake)) << "the wait ended for a reply already read";
}

TEST_F(Win32HamlibRadio, AReplyLeftWhenThePortClosedDoesNotWakeItOpenedAgain) {
  ASSERT_EQ(radio.writePort(kPort, "MD0;", 4), 4);
  ASSERT_TRUE(endedByInput(waitOnce(window)));

  radio.closePort(kPort);
  ASSERT_EQ(radio.openPort(kPort, kBaud), 1);
  window.watchInput({radio.inputHandle(kPort)});
  EXPECT_EQ(radio.portBytesWaiting(kPort), 0);
  EXPECT_FALSE(endedByInput(waitOnce(window))) << "the old reply woke the port opened again";
}

}  // namespace
}  // namespace korvel::radio_link
