#include <gtest/gtest.h>

#include "platform/key_codes.h"
#include "session.h"

namespace korvel {
namespace {

using testing::Ready;
using testing::Session;
using testing::Words;
using testing::Commands;

TEST(Keys, BandSixFromTheOverview) {
  Session st;
  st.press('B');
  EXPECT_EQ(st.words(), (Words{"band", "40", "metres"}));
  EXPECT_EQ(st.panel.core.keyState, 1);
  st.press('6');
  EXPECT_EQ(st.radioCommands(),
            (Commands{"MD02;", "NA00;", "FA007100000;", "SH0014;", "FA014200000;", "PA01;"}));
  EXPECT_EQ(st.words(), (Words{"20", "metres", "preamp", "on"}));
  EXPECT_EQ(st.panel.band.currentBand, 6);
  EXPECT_EQ(st.panel.core.keyState, 0);
  // The next two ticks ask the radio and show its answer.
  st.tick(4);
  EXPECT_EQ(st.panel.link.frequencyHz, 14200000);
  EXPECT_EQ(st.canvas.at(285, 150).substr(0, 10), " 14.200000");
}

TEST(Keys, BeforeTheRadioAnswersEveryKeyButShiftAndQSaysNoRadio) {
  Session st({.model = 0, .ready = Ready::kStartedUp});
  for (int key : {int('B'), int('6'), int('M'), vk::kUp, vk::function(1), vk::kEnter}) {
    st.press(key);
    EXPECT_EQ(st.words(), Words{"nc"}) << key;
  }
  EXPECT_TRUE(st.radioCommands().empty());
  st.press(vk::kShift);
  EXPECT_EQ(st.words(), Words{"noshift"});
  st.press('Q');
  EXPECT_EQ(st.words(), Words{"quit"});
  EXPECT_EQ(st.panel.core.running, 0);
}

TEST(Keys, AutoRepeatIsIgnoredUntilTheKeyIsReleased) {
  Session st;
  st.keyDown('X');
  st.keyDown('X');
  st.keyDown('X');
  EXPECT_EQ(st.words(), (Words{"extcm", "on"}));
  st.keyUp('X');
  st.press('X');
  EXPECT_EQ(st.words(), (Words{"extcm", "off"}));
  EXPECT_EQ(st.panel.core.keyState, 0);
}

TEST(Keys, ExtendedStateIsCancelledByOtherKeys) {
  Session st;
  st.press('X');
  st.words();
  st.press('W');
  EXPECT_TRUE(st.words().empty());
  EXPECT_EQ(st.panel.core.keyState, 0);
  EXPECT_TRUE(st.radioCommands().empty());
}

TEST(Keys, LettersWithoutACommandResendTheFrequency) {
  Session st;
  st.press('J');
  EXPECT_EQ(st.radioCommands(), Commands{"FA007100000;"});
  st.press(vk::function(10));
  EXPECT_EQ(st.radioCommands(), Commands{"FA007100000;"});
  // Ctrl, Insert and the Windows key do nothing at all.
  for (int key : {vk::kControl, vk::kInsert, vk::kLeftWindows}) st.press(key);
  EXPECT_TRUE(st.radioCommands().empty());
}

TEST(Keys, KeypadAndMainRowDoTheSame) {
  Session st;
  st.press('B');
  st.press(vk::kNumpad0 + 5);
  EXPECT_EQ(st.panel.band.currentBand, 5);
  EXPECT_EQ(st.panel.mode.currentMode, 3);
  st.forget();
  // Keypad plus tunes up a megahertz like the "=" key.
  st.tick(4);
  const long long before = st.panel.link.frequencyHz;
  st.sent();
  st.press(vk::kAdd);
  EXPECT_EQ(st.panel.link.frequencyHz, before + 1000000);
  st.press(vk::kPlus);
  EXPECT_EQ(st.panel.link.frequencyHz, before + 2000000);
  const std::string log = st.file("debug.dat");
  EXPECT_NE(log.find("*e (5)\r\n"), std::string::npos);  // keypad 5 logged in its own form
  EXPECT_NE(log.find("*B ( 66 )\r\n"), std::string::npos);
  EXPECT_NE(log.find(std::string("*") + char(0xBB) + " ( 187 )\r\n"), std::string::npos);
}

TEST(Keys, TuningStepsAndTheResendForm) {
  Session st;
  struct Step {
    int key;
    long long hz;
    std::string sent;
  } steps[] = {
      {vk::kUp, 7101000, "FA007101000;"},      {vk::kDown, 7100000, "FA007100000;"},
      {vk::kPageUp, 7110000, "FA007110000;"},  {vk::kPageDown, 7100000, "FA007100000;"},
      {vk::kRight, 7100100, "FA007100100;"},   {vk::kLeft, 7100000, "FA007100000;"},
      {vk::kPlus, 8100000, "FA008100000;"},    {vk::kMinus, 7100000, "FA007100000;"},
  };
  for (const auto& s : steps) {
    st.press(s.key);
    EXPECT_EQ(st.panel.link.frequencyHz, s.hz) << s.key;
    EXPECT_EQ(st.radioCommands(), Commands{s.sent}) << s.key;
  }
}

TEST(Keys, SquelchKeysInFmClampWithWords) {
  Session st;
  st.panel.mode.currentMode = 7;
  st.panel.mode.squelchLevel = 8;
  st.press(vk::kRight);
  EXPECT_EQ(st.radioCommands(), Commands{"SQ0009;"});
  for (int i = 0; i < 40; ++i) st.press(vk::kRight);
  EXPECT_EQ(st.panel.mode.squelchLevel, 255);
  const Words top = st.words();
  ASSERT_FALSE(top.empty());
  EXPECT_EQ(top.back(), "max");
  st.sent();
  st.press(vk::kLeft);
  st.press(vk::kLeft);
  EXPECT_EQ(st.radioCommands(), (Commands{"SQ0245;", "SQ0230;"}));
  for (int i = 0; i < 45; ++i) st.press(vk::kLeft);
  EXPECT_EQ(st.panel.mode.squelchLevel, 0);
  const Words last = st.words();
  ASSERT_FALSE(last.empty());
  EXPECT_EQ(last.back(), "0");
}

TEST(Keys, TuneCarrierLocksEveryKeyButSAndT) {
  Session st;
  st.press('T');  // the tuner is off in the sample configuration: a 5 W AM carrier at once
  EXPECT_EQ(st.words(), (Words{"tune", "on"}));
  EXPECT_EQ(st.radioCommands(), (Commands{"PC005;", "MD05;", "FA007100000;", "TX1;"}));
  st.press(vk::kSpace);
  EXPECT_EQ(st.words(), Words{"ton"});
  EXPECT_TRUE(st.radioCommands().empty());
  st.press('T');
  const Words off = st.words();
  ASSERT_GE(off.size(), 2u);
  EXPECT_EQ(Words(off.begin(), off.begin() + 2), (Words{"tune", "off"}));
  const Commands restore = st.radioCommands();
  ASSERT_GE(restore.size(), 3u);
  EXPECT_EQ(restore[0], "TX0;");
  EXPECT_EQ(restore[1], "PC100;");
  EXPECT_EQ(restore[2], "MD01;");
  EXPECT_EQ(st.panel.core.tuneActive, 0);
}

TEST(Keys, TransmitTwiceRestoresTheSwrSetting) {
  Session st;
  st.panel.config.swrAnnounce = 1;
  st.press(vk::kSpace);
  EXPECT_EQ(st.words(), (Words{"tx", "on"}));
  EXPECT_EQ(st.radioCommands(), Commands{"TX1;"});
  st.press(vk::kSpace);
  EXPECT_EQ(st.words(), (Words{"tx", "off"}));
  EXPECT_EQ(st.radioCommands(), Commands{"TX0;"});
  EXPECT_EQ(st.panel.config.swrAnnounce, 1);
}

TEST(Keys, QuitAfterContactWaitsForTwoFrequencyReplies) {
  Session st;
  st.press('Q');
  EXPECT_EQ(st.words(), Words{"quit"});
  EXPECT_EQ(st.radioCommands(), Commands{"TX0;"});
  EXPECT_EQ(st.panel.core.running, 1);
  for (int i = 0; i < 12 && st.panel.core.running == 1; ++i) st.tick();
  EXPECT_EQ(st.panel.core.running, 0);
  EXPECT_TRUE(std::filesystem::exists(st.folder / "savmem.dat"));
}

TEST(Keys, ModeKeyCyclesAndWidthKeySpeaksTheWidth) {
  Session st;
  st.press('M');
  EXPECT_EQ(st.words(), Words{"usb"});
  st.press('W');
  EXPECT_EQ(st.words(), (Words{"bw", "2", "point", "4", "khz"}));
  EXPECT_EQ(st.panel.core.keyState, 2);
  st.sent();
  st.press(vk::kUp);
  EXPECT_EQ(st.radioCommands(), (Commands{"SH0015;", "FA007100000;"}));
}

TEST(Keys, PowerKeyAnnouncesAndAdjusts) {
  Session st;
  st.press('P');
  EXPECT_EQ(st.words(), (Words{"Power", "1", "0", "0", "watts"}));
  st.press(vk::kUp);
  EXPECT_EQ(st.words(), Words{"max"});
  EXPECT_EQ(st.radioCommands(), Commands{"PC100;"});
  st.press(vk::kDown);
  EXPECT_EQ(st.radioCommands(), Commands{"PC090;"});
}

}  // namespace
}  // namespace korvel
