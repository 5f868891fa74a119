#include <gtest/gtest.h>

#include <regex>

#include "core/startup.h"
#include "session.h"

namespace korvel {
namespace {

using testing::Ready;
using testing::Session;
using testing::Words;

TEST(StartUp, AnnouncesConfiguresAndTunesTheStartBand) {
  Session st{{.ready = Ready::kNothing}};
  ASSERT_TRUE(st.startUp());
  const Words words = st.words();
  ASSERT_GE(words.size(), 4u);
  EXPECT_EQ(Words(words.begin(), words.begin() + 4), (Words{"korvel", "3", "point", "6"}));

  // Band 4 from the start-up table: its frequency, VFO A, then the mode (LSB, narrow filter off).
  const auto sent = st.sent();
  ASSERT_GE(sent.size(), 3u);
  EXPECT_EQ(sent[0], "FA007100000;");
  EXPECT_EQ(sent[1], "VS0;");
  EXPECT_EQ(sent[2], "MD01;");
  // No frequency reply yet: the mode does not tune the radio to 0 Hz.
  for (const auto& c : sent) EXPECT_NE(c, "FA000000000;");
  EXPECT_EQ(st.panel.link.frequencyText, "7.100000");
  EXPECT_EQ(st.panel.mode.currentMode, 1);
  EXPECT_EQ(st.panel.core.running, 1);
  EXPECT_TRUE(st.canvas.timerRunning);
  EXPECT_EQ(st.canvas.timerPeriodMs, 50);
  EXPECT_EQ(st.ports.baudOf(5), 38400);
  EXPECT_EQ(st.ports.stopBitsOf(5), 2);

  EXPECT_EQ(st.canvas.title, "*** Korvel Front Panel v3.6a ***");
  EXPECT_EQ(st.canvas.left, 250);
  EXPECT_EQ(st.canvas.width, 950);
  EXPECT_EQ(st.canvas.at(280, 10), "*** Korvel V 3.6a ***");
  EXPECT_EQ(st.canvas.at(140, 380).rfind("b=Band  f=Freq", 0), 0u);
  EXPECT_EQ(st.canvas.at(140, 405).rfind("F1=Preamp F2=Attenuator", 0), 0u);
}

TEST(StartUp, DebugLogHasItsHeaderAndEveryCommand) {
  Session st{{.ready = Ready::kNothing}};
  ASSERT_TRUE(st.startUp());
  const std::string log = st.file("debug.dat");
  EXPECT_TRUE(std::regex_search(log, std::regex("^KORVEL 3\\.6a  \\d\\d-\\d\\d-\\d{4}   \\d\\d:\\d\\d:\\d\\d\r\n"))) << log;
  EXPECT_NE(log.find("\r\nComport= 5  Speed= 38400 Baud\r\nTX=FA007100000;\r\nTX=VS0;\r\nTX=MD01;\r\n"), std::string::npos)
      << log;
}

TEST(StartUp, MissingConfigurationSpeaksAndTouchesNoPort) {
  Session st({.ready = Ready::kNothing, .writeConfig = false});
  EXPECT_FALSE(st.startUp());
  EXPECT_EQ(st.words(), (Words{"korvel", "3", "point", "6", "cfgnf"}));
  EXPECT_EQ(st.ports.openCount(5), 0);
  EXPECT_TRUE(st.sent().empty());
  EXPECT_FALSE(std::filesystem::exists(st.folder / "debug.dat"));
  // The whole program returns 0 and closes its window.
  Session again({.ready = Ready::kNothing, .writeConfig = false});
  EXPECT_EQ(runProgram(again.panel), 0);
  EXPECT_TRUE(again.canvas.closed);
}

TEST(StartUp, PowerSwitchWakesTheRadioAndSwitchesItOffAfterTheSave) {
  std::string cfg = testing::sampleConfig();
  cfg.replace(cfg.find("OnOff =0"), 8, "OnOff =1");
  Session st({.config = cfg, .ready = Ready::kNothing});
  ASSERT_TRUE(st.startUp());
  auto sent = st.sent();
  ASSERT_GE(sent.size(), 3u);
  EXPECT_EQ(sent[0], "Power on;");
  EXPECT_EQ(sent[1], "PS1;");
  EXPECT_EQ(sent[2], "FA007100000;");
  Words delays;
  for (const auto& w : st.words()) {
    if (w == "delay") delays.push_back(w);
  }
  EXPECT_GE(delays.size(), 17u);

  shutDown(st.panel);
  sent = st.sent();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.back(), "PS0;");
  EXPECT_FALSE(st.ports.isOpen(5));
  EXPECT_FALSE(st.canvas.timerRunning);
  EXPECT_TRUE(st.canvas.closed);
  EXPECT_TRUE(std::filesystem::exists(st.folder / "savmem.dat"));
}

TEST(StartUp, CloseRequestEndsTheLoopAndShutsDownInOrder) {
  Session st{{.ready = Ready::kNothing}};
  st.canvas.queue.push_back({platform::kCloseMessage, 0});
  EXPECT_EQ(runProgram(st.panel), 0);
  EXPECT_EQ(st.panel.core.running, 0);
  EXPECT_TRUE(st.canvas.closed);
  EXPECT_FALSE(st.ports.isOpen(5));
  EXPECT_FALSE(st.panel.link.debugFile.is_open());
}

}  // namespace
}  // namespace korvel
