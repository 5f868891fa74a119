#include "functions/mode.h"
#include "session.h"

namespace korvel::testing {
namespace {

using FunctionsTest = SessionAt<Ready::kFunctions>;

class ModeTest : public FunctionsTest {
 protected:
  void inMode(int mode, int widthIndex) {
    p.mode.currentMode = mode;
    p.mode.widthIndex = widthIndex;
  }
};

TEST_F(ModeTest, WidthStepsRepeatTheLimitAndSayIt) {
  struct Case {
    int mode, index;
    bool up;
    Commands cmds;
    Words said;
  } cases[] = {
      {2, 21, true, {"SH0021;"}, {"max"}},
      {2, 20, true, {"SH0021;"}, {"max"}},
      {2, 9, false, {"SH0009;"}, {"min"}},
      {1, 14, true, {"SH0015;"}, {}},
      {3, 10, true, {"NA00;", "SH0011;"}, {}},
      {3, 11, false, {"NA01;", "SH0010;"}, {}},
      {3, 12, true, {"SH0012;"}, {"max"}},
      {3, 1, false, {"SH0001;"}, {"min"}},
      {3, 2, false, {"SH0001;"}, {"min"}},
  };
  for (const auto& c : cases) {
    inMode(c.mode, c.index);
    p.mode.widthQuiet = 1;  // a step always speaks a limit, whatever came before
    c.up ? stepWidthUp(p) : stepWidthDown(p);
    EXPECT_EQ(sent(), c.cmds) << c.mode << " " << c.index << (c.up ? " up" : " down");
    EXPECT_EQ(said(), c.said) << c.mode << " " << c.index;
    EXPECT_EQ(p.mode.widthQuiet, 0);
  }
  EXPECT_EQ(p.mode.ssbWidthIndex, 15);
  EXPECT_EQ(p.mode.cwWidthIndex, 1);
}

TEST_F(ModeTest, WidthCommandFollowsTheModelTable) {
  for (const auto& [model, want] : {std::pair{761, "SH0014;"}, {800, "SH0014;"}, {650, "SH0114;"}, {570, "SH014;"},
                                    {0, "SH014;"}}) {
    p.radio.setModelNumber(model);
    inMode(2, 14);
    sendWidth(p);
    EXPECT_EQ(sent(), (Commands{want})) << model;
  }
}

TEST_F(ModeTest, ModeKeyCyclesOnHfWithoutFm) {
  p.band.currentBand = 6;
  p.link.frequencyHz = 14200000;
  p.mode.currentMode = 1;
  std::vector<int> modes;
  for (int i = 0; i < 5; ++i) {
    cycleMode(p);
    modes.push_back(p.mode.currentMode);
  }
  EXPECT_EQ(modes, (std::vector<int>{2, 3, 4, 1, 2}));
  p.mode.currentMode = 4;
  p.mode.fmWide = 1;
  sent();
  cycleMode(p);
  EXPECT_EQ(sent().front(), "MD01;");
}

TEST_F(ModeTest, ModeKeyOnTwoMetresTakesTheFmWidth) {
  p.band.currentBand = 12;
  p.link.frequencyHz = 145000000;
  for (const auto& [wide, mode, command] : {std::tuple{1, 7, "MD04;"}, {0, 5, "MD0B;"}}) {
    p.mode.fmWide = wide;
    p.mode.currentMode = 4;
    cycleMode(p);
    EXPECT_EQ(p.mode.currentMode, mode);
    EXPECT_EQ(sent().front(), command);
  }
  // FM narrow while the wide setting is on (a recalled record) goes on to LSB, never to C4FM.
  p.mode.fmWide = 1;
  p.mode.currentMode = 5;
  cycleMode(p);
  EXPECT_EQ(p.mode.currentMode, 1);
}

// The narrow filter is switched in the radio's own form ("NA0;" alone would ask for it, and the
// answer would be left on the line): the simulated FTDX10 ends up narrow in CW at width 10 and wide
// above it, with nothing left unanswered; the FTDX9000, which has no such filter, is sent nothing.
TEST(NarrowFilter, FollowsTheCwWidthOnTheRadioAndIsLeftOutWhereThereIsNone) {
  for (const int model : {761, 101}) {
    Session s({.model = model, .ready = Ready::kFunctions});
    s.p.link.frequencyHz = 7030000;
    s.p.mode.currentMode = 3;
    s.p.mode.cwWidthIndex = 10;
    applyMode(s.p);
    const bool hasFilter = model == 761;
    EXPECT_EQ(s.radio->narrow(), hasFilter) << model;
    stepWidthUp(s.p);
    EXPECT_FALSE(s.radio->narrow()) << model;
    stepWidthDown(s.p);
    EXPECT_EQ(s.radio->narrow(), hasFilter) << model;
    if (!hasFilter) {
      for (const auto& command : s.sent()) EXPECT_NE(command.rfind("NA", 0), 0u) << command;
    }
    EXPECT_EQ(s.ports.portBytesWaiting(5), 0) << model << ": the radio answered something";
  }
}

TEST_F(ModeTest, FmSendsTheSquelchQueryButNoFrequencyOrWidth) {
  radio->setSetting("SQ0", "045");
  p.band.currentBand = 12;
  p.link.frequencyHz = 145000000;
  p.mode.currentMode = 5;
  record(12)[1] = '1';
  applyMode(p);
  EXPECT_EQ(sent(), (Commands{"MD0B;", "NA00;", "SQ0;"}));
  EXPECT_EQ(p.mode.squelchLevel, 45);
  EXPECT_EQ(record(12)[1], '1');
  EXPECT_EQ(canvas.at(50, 45), "FMN     ");
}

TEST_F(ModeTest, SsbResendsFrequencyAndWidthAndStoresTheMode) {
  p.band.currentBand = 6;
  p.link.frequencyHz = 14074000;
  p.mode.currentMode = 3;
  p.mode.cwWidthIndex = 5;
  applyMode(p);
  EXPECT_EQ(sent(), (Commands{"MD03;", "NA01;", "FA014074000;", "SH0005;"}));
  EXPECT_EQ(record(6)[1], '3');
  EXPECT_EQ(canvas.at(50, 45), "CW      ");
  EXPECT_TRUE(said().empty());
}

TEST_F(ModeTest, NoFrequencyResendBeforeTheRadioHasReported) {
  p.link.frequencyHz = 0;
  p.mode.currentMode = 1;
  applyMode(p);
  EXPECT_EQ(sent(), (Commands{"MD01;", "NA00;", "SH0014;"}));
}

TEST_F(ModeTest, RelayedModeShowsTheLabelButSendsNoModeCommand) {
  p.link.relayActive = 1;
  p.link.frequencyHz = 7100000;
  p.mode.currentMode = 2;
  const std::string before = record(4);
  applyMode(p);
  const auto cmds = sent();
  EXPECT_FALSE(has(cmds, "MD02;"));
  EXPECT_TRUE(has(cmds, "NA00;"));
  EXPECT_EQ(canvas.at(50, 45), "USB    ");
  EXPECT_EQ(record(4), before);
}

TEST_F(ModeTest, ModeChangeSwitchesShiftAndToneOff) {
  p.band.currentBand = 12;
  p.tone.repeaterActive = repeater_shift::kOn;
  p.tone.vfoB = 1;
  p.tone.toneActive = 1;
  p.tone.toneText = "012";
  p.link.frequencyHz = 145000000;
  p.mode.currentMode = 1;
  applyMode(p);
  const auto cmds = sent();
  ASSERT_GE(cmds.size(), 3u);
  EXPECT_EQ(Commands(cmds.begin(), cmds.begin() + 3), (Commands{"OS00;", "CT00;", "MD01;"}));
  EXPECT_EQ(p.tone.toneText, "999");
  EXPECT_EQ(p.tone.repeaterActive, 0);
}

TEST_F(ModeTest, DigitalVoiceOnlyOnTheModelsThatHaveIt) {
  p.radio.setModelNumber(761);
  p.mode.currentMode = 5;
  toggleDigitalMode(p);
  EXPECT_TRUE(sent().empty());
  EXPECT_EQ(p.mode.currentMode, 5);

  p.radio.setModelNumber(670);
  p.mode.currentMode = 3;
  toggleDigitalMode(p);
  EXPECT_TRUE(sent().empty());
}

TEST_F(ModeTest, DigitalVoiceRoundTripGivesTheToneBackInItsKind) {
  p.radio.setModelNumber(670);
  p.band.currentBand = 12;
  p.link.frequencyHz = 145000000;
  for (const auto& [tone, back] : {std::pair{"012", Commands{"CN00012;", "CT02;"}}, {"523", Commands{"CN01023;", "CT04;"}}}) {
    p.mode.currentMode = 5;
    p.tone.toneActive = 1;
    p.tone.toneText = tone;
    toggleDigitalMode(p);
    EXPECT_EQ(p.mode.currentMode, 6);
    auto cmds = sent();
    EXPECT_EQ(cmds.front(), "CT00;");
    EXPECT_TRUE(has(cmds, "MD0E;"));
    EXPECT_EQ(record(12)[1], '6');
    toggleDigitalMode(p);
    EXPECT_EQ(p.mode.currentMode, 5);
    cmds = sent();
    EXPECT_EQ(Commands(cmds.end() - 2, cmds.end()), back) << tone;
    EXPECT_EQ(p.tone.toneText, tone);
    EXPECT_EQ(p.tone.toneActive, 1);
    said();
  }
}

TEST_F(ModeTest, WideFmKeySwapsFmAndFmNarrow) {
  p.core.keyState = key_state::kExtended;
  p.mode.currentMode = 5;
  toggleWideFm(p);
  EXPECT_EQ(p.mode.currentMode, 7);
  EXPECT_EQ(p.mode.fmWide, 1);
  EXPECT_EQ(p.core.keyState, 0);
  EXPECT_EQ(sent().front(), "MD04;");
  toggleWideFm(p);
  EXPECT_EQ(p.mode.currentMode, 5);
  EXPECT_EQ(p.mode.fmWide, 0);
}

}  // namespace
}  // namespace korvel::testing
