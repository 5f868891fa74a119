// The Win32 serial layer over Wine COM ports that lead to korvel-sim's pseudo-terminals (with-sim
// starts them: COM7, COM12 and COM8, whose radio it takes away and brings back when asked).
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "radio_link/cat_link.h"
#include "platform/clock.h"
#include "platform/win32_serial.h"
#include "platform/win32_window.h"
#include "radio_link/radio_search.h"
#include "state/panel.h"
#include "temp_folder.h"
#include "text_canvas.h"
#include "word_recorder.h"

namespace korvel::platform {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A query and its reply up to ";", read as the radio link reads: bytes waiting, then a read of them.
std::string ask(Win32SerialPorts& ports, int n, const std::string& query) {
  if (ports.writePort(n, query.data(), static_cast<int>(query.size())) != static_cast<int>(query.size())) return "";
  std::string reply;
  for (const auto end = Clock::now() + 2s; Clock::now() < end && reply.find(';') == std::string::npos;) {
    char buffer[256];
    const int waiting = std::min(ports.portBytesWaiting(n), static_cast<int>(sizeof buffer));
    if (waiting == 0) {
      Sleep(10);
      continue;
    }
    const int got = ports.readPort(n, buffer, waiting);
    EXPECT_EQ(got, waiting) << "a read takes exactly what was said to be waiting";
    reply.append(buffer, static_cast<std::size_t>(std::max(0, got)));
  }
  return reply;
}

bool waitForFile(const std::string& name) {
  for (const auto end = Clock::now() + 10s; Clock::now() < end; Sleep(50)) {
    if (std::filesystem::exists(name)) return true;
  }
  return false;
}

bool simsThere() { return std::getenv("KORVEL_SIM_PORTS") != nullptr; }

TEST(Win32Serial, PortsBelowAndAboveTenOpenWithTheLineSettingsAndAnswer) {
  if (!simsThere()) GTEST_SKIP() << "run through with-sim";
  for (const auto& [n, device] : {std::pair{7, "COM7"}, std::pair{12, "\\\\.\\COM12"}}) {
    SCOPED_TRACE(device);
    EXPECT_EQ(Win32SerialPorts::deviceName(n), device);
    Win32SerialPorts ports;
    ASSERT_EQ(ports.openPort(n, 38400), 1);
    ports.setPortReadTimeouts(n, -1);
    EXPECT_EQ(ports.setPortFrame(n, 8, 0, 2), 0);
    EXPECT_EQ(ports.setPortFrame(n, 9, 0, 2), 1) << "nine data bits are refused";
    char byte = 0;
    const auto start = Clock::now();
    EXPECT_EQ(ports.readPort(n, &byte, 1), 0);
    EXPECT_LT(Clock::now() - start, 200ms) << "an immediate read does not wait";
    const std::string reply = ask(ports, n, "FA;");
    EXPECT_EQ(reply.substr(0, 2), "FA") << reply;
    EXPECT_EQ(reply.back(), ';');
  }
}

// The relay is woken by its ports between ticks: the window's wait ends when a watched port has
// input, long before the tick.
TEST(Win32Serial, AWatchedPortEndsTheWindowsWaitWithItsInput) {
  if (!simsThere()) GTEST_SKIP() << "run through with-sim";
  Win32SerialPorts ports;
  ASSERT_EQ(ports.openPort(7, 38400), 1);
  ports.setPortReadTimeouts(7, -1);
  EXPECT_EQ(ports.inputHandle(8), kNoInputHandle) << "a port never opened is not watched";
  Win32WindowSystem window;
  ASSERT_TRUE(window.createWindow(0, 0, 300, 200, "watch"));
  window.startTimer(2000);
  window.watchInput({ports.inputHandle(7)});
  ASSERT_EQ(ports.writePort(7, "FA;", 3), 3);
  const auto start = Clock::now();
  std::vector<Event> events;
  while (events.empty() && Clock::now() - start < 1s) events = window.waitEvents();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front().message, kPortInputMessage);
  EXPECT_LT(Clock::now() - start, 1s);
  EXPECT_GT(ports.portBytesWaiting(7), 0);
}

TEST(Win32Serial, MissingAndUnopenedPortsReturnZero) {
  Win32SerialPorts ports;
  char buffer[8];
  EXPECT_EQ(ports.openPort(33, 38400), 0);  // no such device
  EXPECT_EQ(ports.openPort(0, 38400), 0);
  EXPECT_EQ(ports.openPort(257, 38400), 0);
  for (const int n : {0, 6, 33, 257}) {
    EXPECT_EQ(ports.portBytesWaiting(n), 0);
    EXPECT_EQ(ports.readPort(n, buffer, 8), 0);
    EXPECT_EQ(ports.writePort(n, "FA;", 3), 0);
    EXPECT_EQ(ports.setPortFrame(n, 8, 0, 2), 0);
  }
}

TEST(Win32Serial, APortWhoseDeviceVanishesComesBackByItself) {
  if (!simsThere()) GTEST_SKIP() << "run through with-sim";
  Win32SerialPorts ports;
  ASSERT_EQ(ports.openPort(8, 38400), 1);
  ports.setPortReadTimeouts(8, -1);
  ports.setPortFrame(8, 8, 0, 2);
  ASSERT_EQ(ask(ports, 8, "FA;").substr(0, 2), "FA");

  std::ofstream("drop-com8").put('\n');
  ASSERT_TRUE(waitForFile("com8-dropped"));
  // Every call on the lost port returns 0; none blocks or throws.
  char buffer[64];
  for (const auto end = Clock::now() + 1500ms; Clock::now() < end; Sleep(20)) {
    ports.writePort(8, "FA;", 3);
    EXPECT_EQ(ports.readPort(8, buffer, sizeof buffer), 0);
  }
  EXPECT_FALSE(ports.isOpen(8));
  EXPECT_EQ(ports.portBytesWaiting(8), 0);

  std::ofstream("restore-com8").put('\n');
  ASSERT_TRUE(waitForFile("com8-back"));
  std::string reply;
  for (const auto end = Clock::now() + 6s; Clock::now() < end && reply.substr(0, 2) != "FA"; Sleep(100)) {
    reply = ask(ports, 8, "FA;");
  }
  EXPECT_EQ(reply.substr(0, 2), "FA") << "the port was not opened again with its settings";
  EXPECT_TRUE(ports.isOpen(8));
}

// The search for a radio over the comm API: ports that are not there are passed over without a
// word, and the first that answers "ID;" is the radio; Windows ports are the station's by number.
TEST(Win32Serial, TheSearchPassesMissingPortsQuietlyAndFindsTheRadio) {
  if (!simsThere()) GTEST_SKIP() << "run through with-sim";
  Win32SerialPorts ports;
  const auto names = ports.deviceNames();
  ASSERT_EQ(names.size(), 64u);
  EXPECT_EQ(names.front() + " " + names.back(), "COM1 COM64");
  std::string why = "?";
  EXPECT_EQ(ports.openNamedPort(200, "COM3", 4800, why), 0);
  EXPECT_EQ(why, "");
  testing::WordRecorder sound;
  testing::TextCanvas canvas;
  testing::TempFolder folder{"korvel-search"};
  platform::SteadyClock clock;
  radio_link::CatLink link(ports, clock);
  Panel panel(ports, link, sound, canvas, folder.path());
  std::vector<DeviceOutcome> outcomes;
  const auto found = searchForRadio(panel, {"COM3", "\\\\.\\COM12"}, {4800, 38400},
                                    [&](const DeviceReport& report) { outcomes.push_back(report.outcome); });
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->id, 761);
  EXPECT_EQ(found->baud, 4800);
  EXPECT_EQ(outcomes, (std::vector<DeviceOutcome>{DeviceOutcome::Absent, DeviceOutcome::Answered}));
  EXPECT_EQ(ports.assignPort(5, found->device, why), 12);
}

}  // namespace
}  // namespace korvel::platform
