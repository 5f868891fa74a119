// The up and down keys on each adjustment target: steps, limits with "max" and "min", and the
// command that carries the whole value to the radio.
#include <gtest/gtest.h>

#include "session.h"

namespace korvel {
namespace {

using testing::has;
using testing::Session;
using testing::Words;
using testing::Commands;

struct Row {
  const char* name;
  int model;
  int keyState;
  void (*set)(Panel&);
  int key;
  const char* command;
  Words words;
};

// The key that selects each adjustment target (the key state it leaves).
int selectingKey(int keyState) {
  switch (keyState) {
    case 3: return 'P';
    case 4: return 'R';
    case 7: return 'A';
    case 10: return 'L';
    case 11: return 'K';
    default: return vk::function(11);
  }
}

void runRows(const std::vector<Row>& rows) {
  for (const auto& row : rows) {
    Session s({.model = row.model});
    row.set(s.p);  // before the key, which names the function it reads; after it, as it may ask the radio
    s.press(selectingKey(row.keyState));
    row.set(s.p);
    s.forget();
    s.press(row.key);
    EXPECT_EQ(s.commands(), Commands{row.command}) << row.name;
    EXPECT_EQ(s.said(), row.words) << row.name;
    EXPECT_EQ(s.p.core.keyState, row.keyState) << row.name;
  }
}

constexpr int kUp = vk::kUp;
constexpr int kDown = vk::kDown;

TEST(Levels, Power) {
  runRows({
      {"5 up skips 15", 761, 3, [](Panel& p) { p.config.txPower = 5; p.config.maxPower = 100; }, kUp, "PC010;", {}},
      {"10 down floors at 5", 761, 3, [](Panel& p) { p.config.txPower = 10; p.config.maxPower = 100; }, kDown,
       "PC005;", {"min"}},
      {"5 down stays", 761, 3, [](Panel& p) { p.config.txPower = 5; p.config.maxPower = 100; }, kDown, "PC005;",
       {"min"}},
      {"100 up of 100", 761, 3, [](Panel& p) { p.config.txPower = 100; p.config.maxPower = 100; }, kUp, "PC100;",
       {"max"}},
      {"90 up of 100", 761, 3, [](Panel& p) { p.config.txPower = 90; p.config.maxPower = 100; }, kUp, "PC100;",
       {"max"}},
      {"100 down", 761, 3, [](Panel& p) { p.config.txPower = 100; p.config.maxPower = 100; }, kDown, "PC090;", {}},
      {"above a low configured power up to 100", 761, 3,
       [](Panel& p) { p.config.txPower = 50; p.config.maxPower = 50; }, kUp, "PC060;", {}},
      {"100 up of 50", 761, 3, [](Panel& p) { p.config.txPower = 100; p.config.maxPower = 50; }, kUp, "PC100;",
       {"max"}},
      {"190 up of 200", 761, 3, [](Panel& p) { p.config.txPower = 190; p.config.maxPower = 200; }, kUp, "PC200;",
       {"max"}},
      {"200 up of 200", 761, 3, [](Panel& p) { p.config.txPower = 200; p.config.maxPower = 200; }, kUp, "PC200;",
       {"max"}},
      {"100 up of 200", 761, 3, [](Panel& p) { p.config.txPower = 100; p.config.maxPower = 200; }, kUp, "PC110;",
       {}},
  });
}

TEST(Levels, RfAndAfGain) {
  runRows({
      {"rf 250 up", 761, 4, [](Panel& p) { p.level.rfGain = 250; }, kUp, "RG0255;", {"max"}},
      {"rf 255 up", 761, 4, [](Panel& p) { p.level.rfGain = 255; }, kUp, "RG0255;", {"max"}},
      {"rf 250 down", 761, 4, [](Panel& p) { p.level.rfGain = 250; }, kDown, "RG0230;", {}},
      {"rf 30 down", 761, 4, [](Panel& p) { p.level.rfGain = 30; }, kDown, "RG0000;", {"min"}},
      {"rf 0 down", 761, 4, [](Panel& p) { p.level.rfGain = 0; }, kDown, "RG0000;", {"min"}},
      {"rf 0 up", 761, 4, [](Panel& p) { p.level.rfGain = 0; }, kUp, "RG0020;", {}},
      {"af 250 up", 761, 7, [](Panel& p) { p.level.afGain = 250; }, kUp, "AG0250;", {"max"}},
      {"af 240 up", 761, 7, [](Panel& p) { p.level.afGain = 240; }, kUp, "AG0250;", {"max"}},
      {"af 50 up", 761, 7, [](Panel& p) { p.level.afGain = 50; }, kUp, "AG0060;", {}},
      {"af 5 down", 761, 7, [](Panel& p) { p.level.afGain = 5; }, kDown, "AG0000;", {}},
      {"af 0 down", 761, 7, [](Panel& p) { p.level.afGain = 0; }, kDown, "AG0000;", {}},
  });
}

TEST(Levels, KeyerSpeedAndMicGain) {
  runRows({
      {"keyer 60 up", 761, 11, [](Panel& p) { p.level.keyerSpeed = 60; }, kUp, "KS060;", {"max"}},
      {"keyer 59 up", 761, 11, [](Panel& p) { p.level.keyerSpeed = 59; }, kUp, "KS060;", {"max"}},
      {"keyer 15 up", 761, 11, [](Panel& p) { p.level.keyerSpeed = 15; }, kUp, "KS016;", {}},
      {"keyer 5 down", 761, 11, [](Panel& p) { p.level.keyerSpeed = 5; }, kDown, "KS004;", {"min"}},
      {"keyer 4 down", 761, 11, [](Panel& p) { p.level.keyerSpeed = 4; }, kDown, "KS004;", {"min"}},
      {"mic 100 up", 761, 12, [](Panel& p) { p.level.micGain = 100; }, kUp, "MG100;", {"max"}},
      {"mic 99 up", 761, 12, [](Panel& p) { p.level.micGain = 99; }, kUp, "MG100;", {}},
      {"mic 50 up", 761, 12, [](Panel& p) { p.level.micGain = 50; }, kUp, "MG051;", {}},
      {"mic 0 down", 761, 12, [](Panel& p) { p.level.micGain = 0; }, kDown, "MG000;", {"min"}},
      {"mic 1 down", 761, 12, [](Panel& p) { p.level.micGain = 1; }, kDown, "MG000;", {}},
  });
}

TEST(Levels, PreampAndNoiseBlanker) {
  runRows({
      {"preamp up", 761, 10, [](Panel& p) { p.fn.lastFunction = 1; p.fn.preampOn = 1; }, kUp, "PA02;",
       {"max", "preamp", "on"}},
      {"preamp down", 761, 10, [](Panel& p) { p.fn.lastFunction = 1; p.fn.preampOn = 1; }, kDown, "PA01;",
       {"min", "preamp", "on"}},
      {"nb 10 up", 761, 10, [](Panel& p) { p.fn.lastFunction = 2; p.fn.nbLevel = 10; }, kUp, "NL0010;", {"max"}},
      {"nb 9 up", 761, 10, [](Panel& p) { p.fn.lastFunction = 2; p.fn.nbLevel = 9; }, kUp, "NL0010;", {}},
      {"nb 5 up", 761, 10, [](Panel& p) { p.fn.lastFunction = 2; p.fn.nbLevel = 5; }, kUp, "NL0006;", {}},
      {"nb 1 down", 761, 10, [](Panel& p) { p.fn.lastFunction = 2; p.fn.nbLevel = 1; }, kDown, "NL0000;",
       {"min"}},
      {"nb 0 down", 761, 10, [](Panel& p) { p.fn.lastFunction = 2; p.fn.nbLevel = 0; }, kDown, "NL0000;",
       {"min"}},
  });
}

TEST(Levels, NoiseReductionByModel) {
  runRows({
      {"nr 15 up", 761, 10, [](Panel& p) { p.fn.lastFunction = 3; p.fn.nrLevel = 15; }, kUp, "RL015;", {"max"}},
      {"nr 14 up", 761, 10, [](Panel& p) { p.fn.lastFunction = 3; p.fn.nrLevel = 14; }, kUp, "RL015;", {"max"}},
      {"nr 10 up", 761, 10, [](Panel& p) { p.fn.lastFunction = 3; p.fn.nrLevel = 10; }, kUp, "RL011;", {}},
      {"nr 1 down", 761, 10, [](Panel& p) { p.fn.lastFunction = 3; p.fn.nrLevel = 1; }, kDown, "RL001;", {"min"}},
      {"nr 2 down", 761, 10, [](Panel& p) { p.fn.lastFunction = 3; p.fn.nrLevel = 2; }, kDown, "RL001;", {}},
      {"nr 10 up on 241", 241, 10, [](Panel& p) { p.fn.lastFunction = 3; p.fn.nrLevel = 10; }, kUp, "RL011;",
       {"max"}},
      {"nr 11 up on 241", 241, 10, [](Panel& p) { p.fn.lastFunction = 3; p.fn.nrLevel = 11; }, kUp, "RL011;",
       {"max"}},
      {"nr 9 up on 241", 241, 10, [](Panel& p) { p.fn.lastFunction = 3; p.fn.nrLevel = 9; }, kUp, "RL010;", {}},
  });
}

TEST(Levels, Contour) {
  runRows({
      {"100 down in dip", 761, 10,
       [](Panel& p) { p.fn.lastFunction = 4; p.fn.contourState = contour_state::kDip; p.fn.contourFreq = 100; }, kDown,
       "CO010010;", {"min"}},
      {"100 down in peak", 761, 10,
       [](Panel& p) { p.fn.lastFunction = 4; p.fn.contourState = contour_state::kPeak; p.fn.contourFreq = 100; }, kDown,
       "CO030010;", {"min"}},
      {"10 up", 761, 10, [](Panel& p) { p.fn.lastFunction = 4; p.fn.contourState = contour_state::kDip; p.fn.contourFreq = 10; },
       kUp, "CO010110;", {}},
      {"1200 down", 761, 10,
       [](Panel& p) { p.fn.lastFunction = 4; p.fn.contourState = contour_state::kPeak; p.fn.contourFreq = 1200; }, kDown,
       "CO031100;", {}},
      {"3100 up", 761, 10,
       [](Panel& p) { p.fn.lastFunction = 4; p.fn.contourState = contour_state::kDip; p.fn.contourFreq = 3100; }, kUp,
       "CO013200;", {"max"}},
      {"3200 up", 761, 10,
       [](Panel& p) { p.fn.lastFunction = 4; p.fn.contourState = contour_state::kDip; p.fn.contourFreq = 3200; }, kUp,
       "CO013200;", {"max"}},
  });
}

TEST(Levels, ProcessorByModel) {
  runRows({
      {"100 up", 761, 10, [](Panel& p) { p.fn.lastFunction = 5; p.fn.processorLevel = 100; }, kUp, "PL100;",
       {"max"}},
      {"90 up", 761, 10, [](Panel& p) { p.fn.lastFunction = 5; p.fn.processorLevel = 90; }, kUp, "PL100;", {}},
      {"10 down", 761, 10, [](Panel& p) { p.fn.lastFunction = 5; p.fn.processorLevel = 10; }, kDown, "PL000;",
       {"min"}},
      {"5 down", 761, 10, [](Panel& p) { p.fn.lastFunction = 5; p.fn.processorLevel = 5; }, kDown, "PL000;",
       {"min"}},
      {"250 up on 362", 362, 10, [](Panel& p) { p.fn.lastFunction = 5; p.fn.processorLevel = 250; }, kUp,
       "PL250;", {"max"}},
      {"240 up on 362", 362, 10, [](Panel& p) { p.fn.lastFunction = 5; p.fn.processorLevel = 240; }, kUp,
       "PL250;", {"max"}},
      {"230 up on 251", 251, 10, [](Panel& p) { p.fn.lastFunction = 5; p.fn.processorLevel = 230; }, kUp,
       "PL240;", {}},
      {"100 up on 251", 251, 10, [](Panel& p) { p.fn.lastFunction = 5; p.fn.processorLevel = 100; }, kUp,
       "PL110;", {}},
  });
}

// --- the selecting keys and the targets they leave --------------------------------------------

TEST(LevelTargets, RfKeyFromTheStartValue) {
  Session s;
  ASSERT_EQ(s.p.level.rfGain, 250);
  s.type("R");
  EXPECT_EQ(s.said(), Words{"rf"});
  EXPECT_TRUE(s.commands().empty());
  EXPECT_EQ(s.p.core.keyState, 4);
  s.press(vk::kUp);
  EXPECT_EQ(s.said(), Words{"max"});
  EXPECT_EQ(s.commands(), Commands{"RG0255;"});
}

TEST(LevelTargets, AfKeySelectsTheAfGain) {
  Session s;
  s.p.level.afGain = 120;
  s.type("A");
  EXPECT_EQ(s.said(), Words{"af"});
  EXPECT_EQ(s.p.core.keyState, 7);
  s.press(vk::kDown);
  EXPECT_EQ(s.commands(), Commands{"AG0110;"});
  EXPECT_EQ(s.radio->setting("AG0"), "110");
}

TEST(LevelTargets, WidthTargetLeavesTheNoiseReductionAlone) {
  Session s;
  s.press(vk::function(4));
  s.p.fn.nrLevel = 5;
  s.prepare("W");
  s.press(vk::kUp);
  const Commands sent = s.commands();
  EXPECT_EQ(sent, (Commands{"SH0015;", "FA007100000;"}));
  EXPECT_EQ(s.p.fn.nrLevel, 5);
}

TEST(LevelTargets, FunctionLevelOnlyInItsState) {
  Session s;
  s.press(vk::function(4));
  s.p.fn.nrLevel = 5;
  s.forget();
  s.press(vk::kUp);
  EXPECT_EQ(s.commands(), Commands{"FA007101000;"});
  EXPECT_EQ(s.p.fn.nrLevel, 5);
  s.prepare("L");
  s.press(vk::kUp);
  EXPECT_EQ(s.commands(), Commands{"RL006;"});
}

TEST(LevelTargets, BandTargetStepsBands) {
  Session s;
  s.prepare("B");
  s.press(vk::kUp);
  EXPECT_EQ(s.p.band.currentBand, 5);
  EXPECT_TRUE(has(s.commands(), "FA010100000;"));
  EXPECT_EQ(s.p.core.keyState, 1);
  s.press(vk::kDown);
  EXPECT_EQ(s.p.band.currentBand, 4);
}

TEST(LevelTargets, EntryStatesHaveNoTarget) {
  struct Case {
    const char* keys;
    int state;
  } cases[] = {{"N", 8}, {"N010317\n", 9}, {"XR", 15}, {"XP", 17}};
  for (const auto& c : cases) {
    for (const int key : {vk::kUp, vk::kDown}) {
      Session s;
      s.type(c.keys);
      ASSERT_EQ(s.p.core.keyState, c.state) << c.keys;
      s.forget();
      s.press(key);
      EXPECT_TRUE(s.commands().empty()) << c.keys;
      EXPECT_TRUE(s.said().empty()) << c.keys;
      EXPECT_EQ(s.p.core.keyState, c.state) << c.keys;
      EXPECT_EQ(s.p.link.frequencyHz, 7100000) << c.keys;
    }
  }
}

}  // namespace
}  // namespace korvel
