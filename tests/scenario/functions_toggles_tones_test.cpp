#include "core/extended_keys.h"
#include "core/monitor_keys.h"
#include "core/transmit_keys.h"
#include "functions/levels.h"
#include "functions/toggles.h"
#include "functions/tones.h"
#include "session.h"
#include "radio_link/transport.h"

namespace korvel::testing {
namespace {

using FunctionsTest = SessionAt<Ready::kFunctions>;

TEST_F(FunctionsTest, AttenuatorIsNotOfferedAboveSixMetres) {
  for (const int band : {12, 13, 14}) {
    p.band.currentBand = band;
    toggleAttenuator(p);
    EXPECT_EQ(said(), (Words{"at", "na"})) << band;
    EXPECT_TRUE(sent().empty()) << band;
  }
  p.band.currentBand = 11;
  toggleAttenuator(p);
  toggleAttenuator(p);
  EXPECT_EQ(said(), (Words{"at", "on", "at", "off"}));
  EXPECT_EQ(sent(), (Commands{"RA01;", "RA00;"}));
}

// A radio known not to take a function (a model behind Hamlib without it) has its key say the
// function's word and "na", and nothing is sent; the functions it has work as before.
TEST_F(FunctionsTest, AFunctionTheRadioIsKnownNotToTakeIsNotAvailable) {
  ports.refusedSettings = {"NB0", "RA0", "BC0", "VX", "NR0", "PC", "CO"};
  const struct {
    void (*key)(Panel&);
    Words words;
  } refused[] = {{toggleNoiseBlanker, {"nb", "na"}}, {toggleAttenuator, {"at", "na"}}, {toggleNotch, {"notch", "na"}},
                 {toggleVox, {"vox", "na"}},          {toggleNoiseReduction, {"nr", "na"}}, {cycleContour, {"co", "na"}}};
  for (const auto& r : refused) {
    r.key(p);
    EXPECT_EQ(said(), r.words);
    EXPECT_TRUE(sent().empty()) << r.words.front();
  }
  p.core.keyState = key_state::kPower;  // the power key's level
  levelUp(p);
  EXPECT_EQ(said(), Words{"na"});
  EXPECT_TRUE(sent().empty());
  toggleBreakIn(p);
  EXPECT_EQ(said(), (Words{"bkin", "on"}));
  EXPECT_EQ(sent(), Commands{"BI1;"});

  // The monitor, AGC, tuner, split, repeater shift and tones alike.
  ports.refusedSettings = {"ML0", "GT0", "AC00", "FT", "OS0", "CN00"};
  const struct {
    void (*key)(Panel&);
    Words words;
  } more[] = {{monitorKey, {"mon", "na"}}, {agcKey, {"agc", "na"}}, {tunerSettingKey, {"tuner", "na"}},
              {splitOn, {"split", "na"}},  {toggleRepeaterShift, {"repeater", "na"}}};
  p.band.currentBand = band_number::k2m;
  for (const auto& r : more) {
    r.key(p);
    EXPECT_EQ(said(), r.words);
    EXPECT_TRUE(sent().empty()) << r.words.front();
  }
  p.tone.toneText = "12";
  validateToneEntry(p);
  EXPECT_EQ(said(), (Words{"ctcss", "na"}));
  EXPECT_TRUE(sent().empty());
}

TEST_F(FunctionsTest, NoiseReductionNotReadFromTheRadioIsSwitchedOffSilently) {
  p.fn.nrState = nr_state::kUnknown;
  toggleNoiseReduction(p);
  EXPECT_EQ(sent(), (Commands{"NR00;"}));
  EXPECT_TRUE(said().empty());
  EXPECT_EQ(p.fn.nrState, 0);

  radio->setSetting("RL0", "07");
  toggleNoiseReduction(p);
  EXPECT_EQ(sent(), (Commands{"NR01;", "RL0;"}));
  EXPECT_EQ(said(), (Words{"nr", "on"}));
  EXPECT_EQ(p.fn.nrLevel, 7);
  EXPECT_EQ(p.fn.lastFunction, 3);
}

TEST_F(FunctionsTest, ProcessorCommandsComeFromTheModelTable) {
  struct Case {
    int model;
    Commands cmds;
  } cases[] = {
      {362, {"PR1;", "PL;", "PR0;"}},
      {251, {"PR1;", "PL;", "PR0;"}},
      {761, {"PR01;", "PL;", "PR00;"}},
      {241, {}},
  };
  for (const auto& c : cases) {
    p.radio.setModelNumber(c.model);
    p.mode.currentMode = 2;
    p.fn.procState = 0;
    toggleProcessor(p);
    toggleProcessor(p);
    EXPECT_EQ(sent(), c.cmds) << c.model;
    EXPECT_EQ(said(), c.cmds.empty() ? Words{} : (Words{"spc", "on", "spc", "off"})) << c.model;
  }
  p.radio.setModelNumber(761);
  p.mode.currentMode = 3;
  toggleProcessor(p);
  EXPECT_EQ(said(), (Words{"na"}));
  EXPECT_TRUE(sent().empty());
}

TEST_F(FunctionsTest, SwitchingOnMakesTheFunctionTheLevelTargetAndReadsItsLevel) {
  radio->setSetting("NL0", "009");
  toggleNoiseBlanker(p);
  EXPECT_EQ(sent(), (Commands{"NB01;", "NL0;"}));
  EXPECT_EQ(p.fn.nbLevel, 9);
  EXPECT_EQ(p.fn.lastFunction, 2);

  p.fn.preampLevel = 2;
  togglePreamp(p);
  EXPECT_EQ(p.fn.lastFunction, 1);
  togglePreamp(p);
  EXPECT_EQ(sent(), (Commands{"PA02;", "PA00;"}));
  EXPECT_EQ(p.fn.lastFunction, 0);
  EXPECT_EQ(p.fn.preampLevel, 0);

  // A level query nobody answers leaves the level as it was.
  radio->setAnswering(false);
  p.fn.nbOn = 0;
  p.fn.nbLevel = 4;
  toggleNoiseBlanker(p);
  EXPECT_EQ(p.fn.nbLevel, 4);
}

TEST_F(FunctionsTest, ContourCyclesDipPeakOff) {
  p.core.keyState = key_state::kFunctionLevel;
  cycleContour(p);
  cycleContour(p);
  cycleContour(p);
  EXPECT_EQ(sent(), (Commands{"CO011200;", "CO031200;", "CO001200;"}));
  EXPECT_EQ(said(), (Words{"cod", "cop", "co", "off"}));
  EXPECT_EQ(p.fn.lastFunction, 0);
  EXPECT_EQ(p.core.keyState, 0);
  toggleNotch(p);
  EXPECT_EQ(sent(), (Commands{"BC01;"}));
}

TEST_F(FunctionsTest, TypedToneCodesAreCheckedBeforeAnythingIsSent) {
  struct Case {
    std::string typed;
    int dcsAllowed;
    Commands cmds;  // empty: refused
    Words said;
  } cases[] = {
      {"012", 1, {"CN00012;", "CT02;"}, {"ctcss", "on"}},
      {"049", 1, {"CN00049;", "CT02;"}, {"ctcss", "on"}},
      {"12", 1, {"CN00012;", "CT02;"}, {"ctcss", "on"}},
      {"523", 1, {"EX0860;", "CN01023;", "CT04;"}, {"dcs", "on"}},
      {"603", 1, {"EX0860;", "CN01103;", "CT04;"}, {"dcs", "on"}},
      {"50", 1, {}, {"invalid"}},
      {"499", 1, {}, {"invalid"}},
      {"604", 1, {}, {"invalid"}},
      {"0123", 1, {}, {"invalid"}},
      {"", 1, {}, {"invalid"}},
      {"512", 0, {}, {"invalid"}},
  };
  for (const auto& c : cases) {
    p.config.dcsAllowed = c.dcsAllowed;
    p.tone.toneActive = 1;
    p.tone.toneText = c.typed;
    validateToneEntry(p);
    EXPECT_EQ(sent(), c.cmds) << c.typed;
    EXPECT_EQ(said(), c.said) << c.typed;
    EXPECT_EQ(p.tone.toneEntryQuiet, 0) << c.typed;
    if (c.cmds.empty()) {
      EXPECT_EQ(p.tone.toneText, "999") << c.typed;
      EXPECT_EQ(p.tone.toneActive, 0) << c.typed;
    } else {
      EXPECT_EQ(p.tone.toneIsDcs, c.typed[0] >= '5' ? 1 : 0) << c.typed;
    }
  }
}

TEST_F(FunctionsTest, ToneAppliedOutsideTheEntryReadsItsDigitsUnlessQuiet) {
  p.tone.toneText = "023";
  applyTone(p);
  EXPECT_EQ(said(), (Words{"ctcss", "0", "2", "3"}));
  p.tone.speechQuiet = 1;
  applyTone(p);
  EXPECT_TRUE(said().empty());
  EXPECT_EQ(sent(), (Commands{"CN00023;", "CT02;", "CN00023;", "CT02;"}));
}

TEST_F(FunctionsTest, RepeaterShiftTakesTheBandsDirection) {
  struct Case {
    int band, minus;
    Commands cmds;
  } cases[] = {
      {10, 0, {"OS02;"}}, {11, 0, {"OS01;"}}, {12, 1, {"OS02;"}}, {13, 0, {"OS01;"}}, {6, 1, {}},
  };
  for (const auto& c : cases) {
    p.band.currentBand = c.band;
    p.config.repeaterOffsetMinus[static_cast<std::size_t>(c.band)] = c.minus;
    p.tone.repeaterActive = repeater_shift::kOff;
    toggleRepeaterShift(p);
    EXPECT_EQ(sent(), c.cmds) << c.band;
    EXPECT_EQ(said(), c.cmds.empty() ? Words{} : (Words{"repeater", "on"})) << c.band;
  }

  p.band.currentBand = 12;
  p.tone.repeaterActive = repeater_shift::kOff;
  p.tone.toneActive = 1;
  p.tone.toneIsDcs = 1;
  toggleRepeaterShift(p);
  EXPECT_EQ(sent(), (Commands{"OS02;", "CT04;"}));

  p.tone.vfoB = 1;
  toggleRepeaterShift(p);
  EXPECT_EQ(sent(), (Commands{"OS00;"}));
  EXPECT_EQ(said(), (Words{"repeater", "on", "repeater", "off"}));
  EXPECT_EQ(p.tone.vfoB, 0);
  EXPECT_EQ(p.tone.repeaterActive, 0);

  // The connection sequence's silent switch-off.
  p.tone.repeaterActive = repeater_shift::kSwitchOffQuietly;
  toggleRepeaterShift(p);
  EXPECT_EQ(sent(), (Commands{"OS00;"}));
  EXPECT_TRUE(said().empty());
}

TEST_F(FunctionsTest, RepeaterDefaultsComeFromTheConfiguredCopy) {
  auto& c = p.config;
  for (const int band : {10, 11, 12, 13}) {
    const auto i = static_cast<std::size_t>(band);
    c.configuredOffsetMinus[i] = 1;
    c.configuredOffsetKhz[i] = "600";
    c.repeaterOffsetMinus[i] = 0;
    c.repeaterOffsetKhz[i] = "100";
    p.band.currentBand = band;
    restoreRepeaterDefaults(p);
  }
  EXPECT_EQ(c.repeaterOffsetMinus[10], 0);
  EXPECT_EQ(c.repeaterOffsetKhz[10], "100");
  EXPECT_EQ(c.repeaterOffsetMinus[11], 1);
  EXPECT_EQ(c.repeaterOffsetKhz[11], "600");
  EXPECT_EQ(c.repeaterOffsetKhz[12], "600");
  EXPECT_EQ(c.repeaterOffsetMinus[13], 1);
  EXPECT_EQ(c.repeaterOffsetKhz[13], "100");
}

TEST_F(FunctionsTest, SplitPutsTheReceiveFrequencyOnVfoBAndBack) {
  p.band.currentBand = 6;
  sendText(p, "FA014250000");
  sent();
  splitOn(p);
  EXPECT_EQ(sent(), (Commands{"FT3;", "FB014250000;"}));
  EXPECT_EQ(record(6), "02A014200000B0142500009991");
  EXPECT_EQ(p.band.bandRecallText, "A014250000");

  sendText(p, "FB014255000");
  sent();
  splitOff(p);
  EXPECT_EQ(sent(), (Commands{"FT2;", "FA014250000;"}));
  EXPECT_EQ(said(), (Words{"split", "split", "off"}));
  EXPECT_EQ(p.tone.vfoB, 0);
  EXPECT_EQ(record(6).size(), 26u);

  // While another program's commands are relayed the record stays as it is; with no frequency
  // command sent yet the working frequency is used.
  p.link.relayActive = 1;
  p.radio.clear();
  p.link.frequencyHz = 14074000;
  splitOn(p);
  EXPECT_EQ(sent(), (Commands{"FT3;", "FB014074000;"}));
  EXPECT_EQ(record(6), "02A014200000B0142500009991");
}

}  // namespace
}  // namespace korvel::testing
