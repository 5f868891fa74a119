// The keys the dispatcher carries out itself: voice messages, AGC, VFO swap, tune and tuner,
// monitor, mic gain, keyer speed, level key, split, zero-in, the frequency and status reports, and
// the tuning keys with the frequency resend.
#include <gtest/gtest.h>

#include "session.h"

namespace korvel {
namespace {

using testing::countOf;
using testing::has;
using testing::Session;
using testing::Words;
using testing::Commands;

Words beeps(Words before, Words after) {
  for (int i = 0; i < 10; ++i) before.push_back("beep");
  before.insert(before.end(), after.begin(), after.end());
  return before;
}

// --- the chain around the keys ----------------------------------------------------------------

TEST(Chain, WhileTheTuneCarrierIsOnOnlySAndTAreTaken) {
  Session s;
  s.type("T");
  ASSERT_EQ(s.p.core.tuneActive, 1);
  s.forget();
  for (const int key : {int('Q'), int('B'), int('X'), int('7'), vk::kUp, vk::kEnter, vk::function(12)}) {
    s.press(key);
    EXPECT_EQ(s.said(), Words{"ton"}) << key;
    EXPECT_TRUE(s.commands().empty()) << key;
  }
  EXPECT_EQ(s.p.core.running, 1);
  EXPECT_EQ(s.p.core.keyState, 0);
  s.press(vk::kShift);
  EXPECT_EQ(s.said(), Words{"noshift"});
  s.p.core.swrText = "030";
  s.type("S");
  EXPECT_EQ(s.said(), (Words{"SWR", "1", "point", "0", "21"}));
  s.type("T");
  EXPECT_EQ(s.p.core.tuneActive, 0);
}

TEST(Chain, FunctionKeysThatRunOnResendTheFrequency) {
  struct Case {
    int key;
    const char* command;
  } cases[] = {{vk::function(1), "PA01;"}, {vk::function(5), "BC01;"}, {vk::function(8), "VX1;"}};
  for (const auto& c : cases) {
    Session s;
    s.p.fn.preampOn = 0;
    s.p.fn.notchOn = 0;
    s.p.core.voxOn = 0;
    s.press(c.key);
    const Commands sent = s.commands();
    ASSERT_GE(sent.size(), 2u) << c.key;
    EXPECT_TRUE(has(sent, c.command)) << c.key;
    EXPECT_EQ(sent.back(), "FA007100000;") << c.key;
  }
}

TEST(Chain, ProcessorKeyOutsideSidebandIsNotAvailable) {
  Session s;
  s.selectMode(3);
  s.press(vk::function(7));
  EXPECT_EQ(s.said(), Words{"na"});
  EXPECT_TRUE(s.commands().empty());
}

// --- voice messages ---------------------------------------------------------------------------

TEST(VoiceMessages, SlotOutsideOneToFiveIsInvalid) {
  for (const char* keys : {"XR7", "XR0", "XP9", "XP0", "XR6"}) {
    Session s;
    s.type(keys);
    const Words words = s.said();
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words.back(), "invalid") << keys;
    EXPECT_TRUE(s.commands().empty()) << keys;
    EXPECT_EQ(s.p.core.keyState, 0) << keys;
  }
}

TEST(VoiceMessages, RecordingStopsAtTheNextKeyWhichIsThenHandled) {
  Session s;
  s.type("XR");
  EXPECT_EQ(s.said(), (Words{"extcm", "on", "record"}));
  EXPECT_EQ(s.p.core.keyState, 15);
  s.type("3");
  EXPECT_EQ(s.said(), (Words{"3", "start"}));
  EXPECT_EQ(s.commands(), Commands{"LM03;"});
  EXPECT_EQ(s.p.core.keyState, 16);
  s.type("B");
  EXPECT_EQ(s.commands(), Commands{"LM00;"});
  EXPECT_EQ(s.said(), (Words{"band", "40", "metres"}));
  EXPECT_EQ(s.p.core.keyState, 1);
}

TEST(VoiceMessages, RStopsTheRecordingAndNothingElse) {
  Session s;
  s.prepare("XR5");
  s.type("R");
  EXPECT_EQ(s.said(), Words{"stop"});
  EXPECT_EQ(s.commands(), Commands{"LM00;"});
  EXPECT_EQ(s.p.core.keyState, 0);
}

TEST(VoiceMessages, PlaySendsTheSlot) {
  Session s;
  s.type("XP2");
  EXPECT_EQ(s.said(), (Words{"extcm", "on", "play", "2"}));
  EXPECT_EQ(s.commands(), Commands{"PB02;"});
  EXPECT_EQ(s.p.core.keyState, 0);
}

// --- AGC, swap, FM width ----------------------------------------------------------------------

TEST(ExtendedKeys, AgcStepsThroughFastMidSlow) {
  Session s;
  s.p.core.agcStep = 1;
  s.prepare("X");
  const struct {
    const char* command;
    const char* word;
  } steps[] = {{"GT01;", "fast"}, {"GT02;", "mid"}, {"GT03;", "slow"}, {"GT01;", "fast"}};
  for (const auto& step : steps) {
    s.type("A");
    EXPECT_EQ(s.commands(), Commands{step.command});
    EXPECT_EQ(s.said(), (Words{"agc", step.word}));
  }
  EXPECT_EQ(s.radio->setting("GT0"), "1");
  EXPECT_EQ(s.p.core.agcStep, 2);
}

TEST(ExtendedKeys, SwapExchangesTheVfoFieldsOfTheRecord) {
  Session s;
  s.record(4) = "01A007100000B0035500009990";
  s.prepare("X");
  s.type("S");
  EXPECT_EQ(s.said(), Words{"swop"});
  EXPECT_EQ(s.commands(), Commands{"SV;"});
  EXPECT_EQ(s.record(4), "01A003550000B0071000009990");
  EXPECT_EQ(s.radio->swapCount(), 1);
  EXPECT_EQ(s.p.core.keyState, 0);
}

TEST(ExtendedKeys, SwapKeepsTheRecordOnRadiosThatSwapItThemselves) {
  Session s({.model = 681});
  s.record(4) = "01A007100000B0035500009990";
  s.type("XS");
  EXPECT_EQ(s.commands(), Commands{"SV;"});
  EXPECT_EQ(s.record(4), "01A007100000B0035500009990");
}

TEST(ExtendedKeys, NoSwapWithARepeaterShift) {
  Session s;
  ASSERT_NO_FATAL_FAILURE(onTwoMetres(s));
  s.type("V");
  ASSERT_EQ(s.p.tone.repeaterActive, 1);
  const std::string record = s.record(12);
  s.prepare("X");
  s.type("S");
  EXPECT_TRUE(s.said().empty());
  EXPECT_TRUE(s.commands().empty());
  EXPECT_EQ(s.record(12), record);
  EXPECT_EQ(s.p.core.keyState, 0);
}

TEST(ExtendedKeys, MSwitchesFmWidth) {
  Session s;
  ASSERT_NO_FATAL_FAILURE(onTwoMetres(s));
  s.type("XM");
  EXPECT_EQ(s.p.mode.currentMode, 7);
  EXPECT_EQ(s.p.mode.fmWide, 1);
  EXPECT_TRUE(has(s.commands(), "MD04;"));
  EXPECT_EQ(s.p.core.keyState, 0);
  s.type("XM");
  EXPECT_EQ(s.p.mode.currentMode, 5);
  EXPECT_TRUE(has(s.commands(), "MD0B;"));
}

// --- tune and tuner ---------------------------------------------------------------------------

TEST(Tune, TunerOnRunsTheTunerCycleAndEnds) {
  struct Case {
    int model;
    const char* start;
  } cases[] = {{761, "AC002;"}, {800, "AC003;"}};
  for (const auto& c : cases) {
    Session s({.model = c.model});
    s.prepare({vk::function(12)});  // tuner off
    s.p.core.tickCount = 7;
    s.type("T");
    EXPECT_EQ(s.said(), beeps({"tune", "on"}, {"ok", "tune", "off"})) << c.model;
    EXPECT_EQ(s.commands(), (Commands{"AC001;", c.start})) << c.model;
    EXPECT_EQ(s.p.core.tuneActive, 0);
    EXPECT_EQ(s.p.core.tickCount, 0);
    EXPECT_EQ(s.radio->tuneCount(), 1);
    EXPECT_FALSE(s.radio->transmitting());
    // The tuner is engaged now: the next tune only starts it.
    s.type("T");
    EXPECT_EQ(s.commands(), Commands{c.start}) << c.model;
  }
}

TEST(Tune, TunerBothTunesThenKeysTheCarrier) {
  Session s;
  s.prepare({vk::function(12), vk::function(12)});  // tuner off, then both
  s.type("T");
  EXPECT_EQ(s.said(), beeps({"tune", "on"}, {"ok"}));
  EXPECT_EQ(s.commands(), (Commands{"AC001;", "AC002;", "PC005;", "MD05;", "FA007100000;", "TX1;"}));
  EXPECT_EQ(s.p.core.tuneActive, 1);
  EXPECT_TRUE(s.radio->transmitting());
  s.type("T");
  const Words heard = s.heard();
  ASSERT_GE(heard.size(), 2u);
  EXPECT_EQ(Words(heard.begin(), heard.begin() + 2), (Words{"tune", "off"}));
  EXPECT_EQ(countOf(heard, "delay"), 5);
  const Commands off = s.commands();
  ASSERT_GE(off.size(), 3u);
  EXPECT_EQ(Commands(off.begin(), off.begin() + 3), (Commands{"TX0;", "PC100;", "MD01;"}));
  EXPECT_EQ(s.p.config.tunerState, 2);
  EXPECT_EQ(s.p.core.tuneActive, 0);
  EXPECT_FALSE(s.radio->transmitting());
}

TEST(Tune, TunerOffWaitsFivePausesBeforeRestoring) {
  Session s;
  ASSERT_EQ(s.p.config.tunerState, 1);
  s.prepare("T");
  s.type("T");
  const Words heard = s.heard();
  EXPECT_EQ(countOf(heard, "delay"), 5);
  EXPECT_EQ(s.p.config.tunerState, 1);
}

TEST(Tune, AboveSeventyThreeMegahertzTheTunerIsNotUsed) {
  for (const int tuner : {0, 2}) {
    Session s;
    ASSERT_NO_FATAL_FAILURE(onTwoMetres(s));
    s.p.config.tunerState = tuner;
    s.type("T");
    EXPECT_EQ(s.said(), (Words{"tune", "on", "atu", "na"})) << tuner;
    EXPECT_EQ(s.commands(), (Commands{"PC005;", "MD05;", "FA145000000;", "TX1;"})) << tuner;
    EXPECT_EQ(s.p.config.tunerState, 3);
    EXPECT_EQ(s.radio->tuneCount(), 0);
    s.type("T");
    EXPECT_EQ(s.commands().front(), "TX0;");
    EXPECT_EQ(s.p.config.tunerState, 0) << tuner;  // on, also when it was both before
  }
}

TEST(Tune, SeventyThreeMegahertzItselfStillUsesTheTuner) {
  struct Case {
    long long hz;
    bool tuner;
  } cases[] = {{73000000, true}, {73000001, false}};
  for (const auto& c : cases) {
    Session s;
    s.prepare({vk::function(12)});
    s.tuneTo(c.hz);
    s.type("T");
    EXPECT_EQ(has(s.said(), "atu"), !c.tuner) << c.hz;
    EXPECT_EQ(s.radio->tuneCount(), c.tuner ? 1 : 0) << c.hz;
  }
}

TEST(Tune, TunerSettingCycles) {
  struct Step {
    int from;
    const char* command;
    const char* word;
    int to;
  } steps[] = {{1, "AC001;", "on", 0}, {0, "AC001;", "both", 2}, {2, "AC000;", "off", 1}, {3, "AC000;", "off", 1}};
  Session s;
  for (const auto& step : steps) {
    s.p.config.tunerState = step.from;
    s.p.core.tunerEngaged = 1;
    s.press(vk::function(12));
    EXPECT_EQ(s.said(), (Words{"tuner", step.word})) << step.from;
    EXPECT_EQ(s.commands(), Commands{step.command}) << step.from;
    EXPECT_EQ(s.p.config.tunerState, step.to) << step.from;
    EXPECT_EQ(s.p.core.tunerEngaged, 0);
  }
}

// --- monitor, mic gain, keyer speed, level key ------------------------------------------------

TEST(Monitor, TogglesAndRunsOnToTheResend) {
  Session s;
  s.p.core.monitorOn = 0;
  s.p.core.monitorLevel = "070";
  s.press(vk::function(9));
  EXPECT_EQ(s.said(), (Words{"mon", "on"}));
  EXPECT_EQ(s.commands(), (Commands{"ML1070;", "ML0001;", "FA007100000;"}));
  EXPECT_EQ(s.radio->setting("ML0"), "001");
  s.press(vk::function(9));
  EXPECT_EQ(s.said(), (Words{"mon", "off"}));
  EXPECT_EQ(s.commands(), (Commands{"ML0000;", "FA007100000;"}));
  EXPECT_EQ(s.p.core.monitorOn, 0);
  // In an adjust state the key still switches the monitor; the state stays.
  s.prepare("P");
  s.press(vk::function(9));
  EXPECT_EQ(s.commands(), (Commands{"ML1070;", "ML0001;"}));
  EXPECT_EQ(s.p.core.keyState, 3);
}

TEST(MicGain, ReadMeterAndEnd) {
  Session s;
  s.radio->setSetting("MG", "040");
  s.press(vk::function(11));
  EXPECT_EQ(s.heard(), (Words{"micgain", "lev", "delay", "4", "0", "delay"}));
  EXPECT_EQ(s.commands(), Commands{"MG;"});
  EXPECT_EQ(s.p.core.keyState, 12);
  EXPECT_EQ(s.p.level.micGain, 40);
  EXPECT_EQ(s.p.core.micMeterState, 1);
  EXPECT_EQ(s.p.core.meterPeak, 0);
  // The poll cycle now reads the ALC meter.
  s.tick(4);
  const Commands polled = s.sent();
  EXPECT_TRUE(has(polled, "RM4;"));
  EXPECT_FALSE(has(polled, "SM0;"));
  s.forget();
  // Up and Down change the gain and leave the metering on.
  s.press(vk::kUp);
  EXPECT_EQ(s.commands(), Commands{"MG041;"});
  EXPECT_EQ(s.p.core.micMeterState, 1);
  // Any other key ends it with the gain spoken again.
  s.type("J");
  EXPECT_EQ(s.said(), (Words{"micgain", "lev", "4", "1", "off"}));
  EXPECT_EQ(s.p.core.micMeterState, 0);
  EXPECT_TRUE(s.commands().empty());  // J in the mic-gain state resends nothing
}

TEST(MicGain, F11WhileMeteringOnlyEndsIt) {
  Session s;
  s.radio->setSetting("MG", "055");
  s.prepare({vk::function(11)});
  s.press(vk::function(11));
  EXPECT_EQ(s.said(), (Words{"micgain", "lev", "5", "5", "off"}));
  EXPECT_TRUE(s.commands().empty());
  EXPECT_EQ(s.p.core.micMeterState, 0);
}

TEST(MicGain, AnswerWithoutItsLettersDoesNotCrash) {
  Session s;
  s.radio->setCommandBehaviour("MG", sim::CommandBehaviour::Refused);
  s.press(vk::function(11));
  EXPECT_EQ(s.p.level.micGain, 0);
  EXPECT_EQ(s.p.core.keyState, 12);
}

TEST(KeyerSpeed, OnReadsTheSpeedAndOffRestoresTheMode) {
  Session s;
  s.radio->setSetting("KS", "025");
  s.p.core.breakIn = 1;
  s.type("K");
  EXPECT_EQ(s.said(), (Words{"ks", "on", "2", "5", "wpm"}));
  Commands sent = s.commands();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.front(), "MD03;");
  EXPECT_TRUE(has(sent, "KS;"));
  EXPECT_EQ(sent.back(), "BI0;");
  EXPECT_EQ(s.p.core.keyState, 11);
  EXPECT_EQ(s.p.mode.currentMode, 3);
  EXPECT_EQ(s.p.level.keyerSpeed, 25);
  s.press(vk::kUp);
  EXPECT_EQ(s.commands(), Commands{"KS026;"});
  s.type("K");
  EXPECT_EQ(s.said(), (Words{"ks", "off", "2", "6", "wpm"}));
  sent = s.commands();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.front(), "MD01;");
  EXPECT_EQ(sent.back(), "BI1;");
  EXPECT_EQ(s.p.core.keyState, 0);
  EXPECT_EQ(s.p.mode.currentMode, 1);
}

TEST(KeyerSpeed, AnyOtherKeyLeavesAndIsThenHandled) {
  Session s;
  s.p.core.breakIn = 0;
  s.prepare("K");
  s.type("J");
  const Commands sent = s.commands();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.front(), "MD01;");
  EXPECT_FALSE(has(sent, "BI1;"));
  EXPECT_EQ(sent.back(), "FA007100000;");
  EXPECT_EQ(s.p.core.keyState, 0);
  EXPECT_EQ(s.p.mode.currentMode, 1);
}

TEST(KeyerSpeed, SpeedStaysWhenTheRadioDoesNotAnswer) {
  Session s;
  s.p.level.keyerSpeed = 22;
  s.radio->setAnswering(false);
  s.type("K");
  EXPECT_EQ(s.p.level.keyerSpeed, 22);
  EXPECT_EQ(s.said(), (Words{"ks", "on", "2", "2", "wpm"}));
}

TEST(LevelKey, NamesTheLastFunctionAndSelectsItsLevel) {
  struct Case {
    int function;
    Words words;
    int state;
  } cases[] = {
      {0, {"lev"}, 0},          {1, {"preamp", "lev"}, 10}, {2, {"nb", "lev"}, 10},
      {3, {"nr", "lev"}, 10},   {4, {"co", "lev"}, 10},     {5, {"spc", "lev"}, 10},
  };
  // The keys that switch each function on and so make it the last one.
  const int functionKeys[] = {0, vk::function(1), vk::function(3), vk::function(4), vk::function(6), vk::function(7)};
  for (const auto& c : cases) {
    Session s;
    if (c.function > 0) s.press(functionKeys[c.function]);
    s.forget();
    s.type("L");
    EXPECT_EQ(s.said(), c.words) << c.function;
    EXPECT_EQ(s.p.core.keyState, c.state) << c.function;
    EXPECT_TRUE(s.commands().empty());
  }
}

// --- split and repeater shift -----------------------------------------------------------------

TEST(Split, OnAndOffOnHf) {
  Session s;
  s.type("J");  // the last frequency command is now the working frequency
  s.forget();
  s.type("V");
  EXPECT_EQ(s.said(), Words{"split"});
  EXPECT_EQ(s.commands(), (Commands{"FT3;", "FB007100000;"}));
  EXPECT_EQ(s.p.tone.vfoB, 1);
  EXPECT_EQ(s.record(4).substr(12, 10), "B007100000");
  s.type("V");
  EXPECT_EQ(s.said(), (Words{"split", "off"}));
  EXPECT_EQ(s.commands(), (Commands{"FT2;", "FA007100000;"}));
  EXPECT_EQ(s.p.tone.vfoB, 0);
}

TEST(Split, FmOnTwoMetresTogglesTheRepeaterShiftWithItsStandardDirection) {
  Session s;
  ASSERT_NO_FATAL_FAILURE(onTwoMetres(s));
  s.p.config.repeaterOffsetMinus[12] = 0;  // the working direction is put back first
  s.type("V");
  EXPECT_EQ(s.said(), (Words{"repeater", "on"}));
  EXPECT_EQ(s.commands(), Commands{"OS02;"});
  EXPECT_EQ(s.p.tone.repeaterActive, 1);
  EXPECT_EQ(s.p.tone.vfoB, 0);
  s.type("V");
  EXPECT_EQ(s.said(), (Words{"repeater", "off"}));
  EXPECT_EQ(s.commands(), Commands{"OS00;"});
  EXPECT_EQ(s.p.tone.repeaterActive, 0);
}

TEST(Split, GeneralCoverageRefuses) {
  Session s;
  s.type("BU");
  s.poll();
  s.type("V");
  EXPECT_EQ(s.said(), (Words{"split", "invalid"}));
  EXPECT_TRUE(s.commands().empty());
  EXPECT_EQ(s.p.tone.vfoB, 0);
}

TEST(Split, SidebandOnTenMetresIsPlainSplit) {
  Session s;
  s.type("B0");
  s.poll();
  s.type("V");
  EXPECT_EQ(s.said(), Words{"split"});
  EXPECT_EQ(s.p.tone.vfoB, 1);
  EXPECT_EQ(s.p.tone.repeaterActive, 0);
}

TEST(Split, MegahertzStepRenewsAnActiveShift) {
  Session s;
  ASSERT_NO_FATAL_FAILURE(onTwoMetres(s));
  s.prepare("V");
  s.type("=");
  EXPECT_EQ(s.commands(), (Commands{"OS02;", "FA146000000;"}));
  EXPECT_EQ(s.p.tone.repeaterActive, 1);
  s.type("-");
  EXPECT_EQ(s.commands(), (Commands{"OS02;", "FA145000000;"}));
  EXPECT_EQ(s.p.tone.repeaterActive, 1);
  // Without a shift the step is only a step.
  s.prepare("V");
  s.type("=");
  EXPECT_EQ(s.commands(), Commands{"FA146000000;"});
}

// --- zero-in ----------------------------------------------------------------------------------

TEST(ZeroIn, CwZeroesInOtherModesSnapToAKilohertz) {
  struct Case {
    int mode;
    long long hz;
    const char* command;
    long long after;
  } cases[] = {
      {3, 7100250, "ZI;", 7100250},          {2, 7100250, "FA007101000;", 7101000},
      {2, 7100000, "FA007101000;", 7101000}, {1, 7100250, "FA007100000;", 7100000},
      {1, 7100000, "FA007099000;", 7099000}, {4, 14074999, "FA014074000;", 14074000},
  };
  for (const auto& c : cases) {
    Session s;
    s.tuneTo(c.hz);
    s.selectMode(c.mode);
    s.type("Z");
    EXPECT_EQ(s.said(), (Words{"0", "ok"})) << c.mode << " " << c.hz;
    EXPECT_EQ(s.commands(), Commands{c.command}) << c.mode << " " << c.hz;
    EXPECT_EQ(s.p.link.frequencyHz, c.after) << c.mode << " " << c.hz;
    EXPECT_EQ(s.radio->zeroInCount(), c.mode == 3 ? 1 : 0);
  }
}

// --- frequency announcement -------------------------------------------------------------------

TEST(FrequencyKey, NothingInTheTwoTicksAfterATypedFrequencyButAtAnyPointOfTheCycleOtherwise) {
  Session s;
  s.prepare("E14.2\n");
  s.type("F");
  EXPECT_TRUE(s.said().empty()) << "the poll has not read the new frequency yet";
  s.tick(1);
  s.type("F");
  EXPECT_TRUE(s.said().empty());
  s.tick(1);
  s.type("F");
  EXPECT_FALSE(s.said().empty());
  // The count's own wrap to 0 is no reason to wait: F answers on every tick of the cycle.
  for (int tick = 0; tick < 21; ++tick) {
    s.tick(1);
    s.type("F");
    EXPECT_FALSE(s.said().empty()) << "tick count " << s.p.core.tickCount;
  }
}

TEST(FrequencyKey, FrequencyModeAndTone) {
  struct Case {
    int toneActive;
    const char* tone;
    Words tail;
  } cases[] = {
      {0, "999", {}},
      {1, "012", {"ctcss", "0", "1", "2"}},
      {1, "523", {"dcs", "5", "2", "3"}},
      {1, "603", {"dcs", "6", "0", "3"}},
      {1, "049", {"ctcss", "0", "4", "9"}},
  };
  for (const auto& c : cases) {
    Session s;
    s.p.core.tickCount = 5;
    s.p.tone.toneActive = c.toneActive;
    s.p.tone.toneText = c.tone;
    s.type("F");
    Words expected{"7", "point", "1", "mhz", "lsb"};
    expected.insert(expected.end(), c.tail.begin(), c.tail.end());
    EXPECT_EQ(s.said(), expected) << c.tone;
    EXPECT_TRUE(s.commands().empty());
  }
}

TEST(FrequencyKey, ExtendedWithAShiftSpeaksTheTransmitFrequency) {
  struct Case {
    const char* band;
    int index;
    int minus;
    Words digits;
  } cases[] = {
      {"BT", 12, 1, {"1", "4", "4", "point", "4", "mhz"}},  // 145.0 - 0.6
      {"BT", 12, 0, {"1", "4", "5", "point", "6", "mhz"}},  // 145.0 + 0.6
      {"BS", 13, 1, {"4", "2", "4", "point", "4", "mhz"}},  // 432.0 - 7.6
      {"BX", 11, 1, {"4", "9", "point", "6", "5", "mhz"}},  // 50.15 - 0.5
      {"B0", 10, 1, {"2", "8", "point", "4", "mhz"}},       // 28.5 - 0.1
      {"B0", 10, 0, {"2", "8", "point", "5", "mhz"}},       // a plus offset on 10 m is not applied
  };
  for (const auto& c : cases) {
    Session s;
    s.type(c.band);
    s.poll();
    const auto i = static_cast<std::size_t>(c.index);
    s.p.config.repeaterOffsetMinus[i] = c.minus;
    s.p.config.configuredOffsetMinus[i] = c.minus;
    s.p.tone.repeaterActive = repeater_shift::kOn;
    s.p.core.tickCount = 5;
    const std::string shown = s.p.link.frequencyText;
    s.prepare("X");
    s.type("F");
    Words words = s.said();
    ASSERT_GE(words.size(), 2u + c.digits.size()) << c.band << c.minus;
    EXPECT_EQ(Words(words.begin(), words.begin() + 2), (Words{"repeater", "tx"})) << c.band << c.minus;
    EXPECT_EQ(Words(words.begin() + 2, words.begin() + 2 + static_cast<long>(c.digits.size())), c.digits)
        << c.band << c.minus;
    EXPECT_EQ(s.p.core.keyState, 0);
    EXPECT_EQ(s.p.speech.announcingTxFrequency, 0);
    EXPECT_EQ(s.p.link.frequencyText, shown);
  }
}

TEST(FrequencyKey, ExtendedWithSplitSpeaksVfoA) {
  Session s;
  s.record(4) = "01A007050000B0071000009990";
  s.prepare("V");  // split
  s.p.core.tickCount = 5;
  s.prepare("X");
  s.type("F");
  EXPECT_EQ(s.said(), (Words{"vfoa", "7", "point", "0", "5", "mhz", "lsb"}));
  EXPECT_EQ(s.p.tone.vfoB, 1);
  EXPECT_EQ(s.p.core.keyState, 0);
}

// --- status report ----------------------------------------------------------------------------

TEST(StatusReport, SaysWhatIsOnInItsOrder) {
  struct Case {
    const char* name;
    void (*set)(Panel&);
    Words words;
  } cases[] = {
      {"nothing", [](Panel& p) { p.config.tunerState = 1; }, {"options", "tuner", "is", "off"}},
      {"receiver",
       [](Panel& p) {
         p.fn.preampOn = p.fn.attOn = p.fn.nbOn = p.fn.notchOn = true;
         p.fn.nrState = nr_state::kOn;
         p.fn.contourState = contour_state::kDip;
         p.config.tunerState = 0;
       },
       {"options", "preamp", "on", "at", "on", "nb", "on", "nr", "on", "notch", "on", "cod", "tuner", "is", "on"}},
      {"peak contour and processor in SSB",
       [](Panel& p) {
         p.fn.contourState = contour_state::kPeak;
         p.fn.procState = 1;
         p.mode.currentMode = 2;
         p.core.breakIn = 1;
         p.config.tunerState = 2;
       },
       {"options", "cop", "spc", "on", "tuner", "is", "both"}},
      {"break-in in CW",
       [](Panel& p) {
         p.fn.procState = 1;
         p.mode.currentMode = 3;
         p.core.breakIn = 1;
         p.core.voxOn = 1;
         p.core.monitorOn = 1;
         p.config.tunerState = 3;
       },
       {"options", "bkin", "on", "vox", "on", "mon", "on", "tuner", "is"}},
      {"dcs tone",
       [](Panel& p) {
         p.tone.toneText = "523";
         p.config.tunerState = 1;
       },
       {"options", "dcs", "5", "2", "3", "tuner", "is", "off"}},
      {"ctcss tone",
       [](Panel& p) {
         p.tone.toneText = "012";
         p.config.tunerState = 1;
       },
       {"options", "ctcss", "0", "1", "2", "tuner", "is", "off"}},
  };
  for (const auto& c : cases) {
    Session s;
    s.p.fn.preampOn = 0;
    s.p.core.monitorOn = 0;
    s.p.core.breakIn = 0;
    s.p.core.voxOn = 0;
    s.p.fn.procState = 0;
    s.p.fn.nrState = nr_state::kOff;
    c.set(s.p);
    s.type("O");
    EXPECT_EQ(s.said(), c.words) << c.name;
    EXPECT_TRUE(s.commands().empty()) << c.name;
  }
}

// --- tuning keys and the resend ---------------------------------------------------------------

TEST(TuningKeys, PageStepsOnTheVhfBands) {
  struct Case {
    int band;
    int mode;
    long long up;
    long long down;
  } cases[] = {
      {12, 7, 12500, 10000}, {12, 5, 12500, 12500}, {13, 4, 12500, 10000}, {13, 6, 12500, 10000},
      {12, 3, 10000, 10000}, {14, 5, 10000, 10000}, {11, 5, 10000, 10000}, {4, 1, 10000, 10000},
  };
  for (const auto& c : cases) {
    Session s;
    const long long start = 145500000;
    s.p.band.currentBand = c.band;
    s.p.mode.currentMode = c.mode;
    s.p.link.frequencyHz = start;
    s.press(vk::kPageUp);
    EXPECT_EQ(s.p.link.frequencyHz, start + c.up) << c.band << "/" << c.mode;
    EXPECT_EQ(s.commands(), Commands{"FA" + std::to_string(start + c.up) + ";"}) << c.band << "/" << c.mode;
    s.press(vk::kPageDown);
    EXPECT_EQ(s.p.link.frequencyHz, start + c.up - c.down) << c.band << "/" << c.mode;
  }
}

TEST(TuningKeys, UpAndDownStepAKilohertzOrHalfOneInCw) {
  struct Case {
    int mode;
    long long step;
  } cases[] = {{1, 1000}, {2, 1000}, {3, 500}, {4, 1000}};
  for (const auto& c : cases) {
    Session s;
    s.selectMode(c.mode);
    s.press(vk::kUp);
    EXPECT_EQ(s.p.link.frequencyHz, 7100000 + c.step) << c.mode;
    s.press(vk::kDown);
    s.press(vk::kDown);
    EXPECT_EQ(s.p.link.frequencyHz, 7100000 - c.step) << c.mode;
  }
}

TEST(TuningKeys, RightAndLeftStepTenHertzInCw) {
  Session s;
  s.selectMode(3);
  s.press(vk::kRight);
  EXPECT_EQ(s.commands(), Commands{"FA007100010;"});
  s.press(vk::kLeft);
  s.press(vk::kLeft);
  EXPECT_EQ(s.commands(), (Commands{"FA007100000;", "FA007099990;"}));
}

TEST(TuningKeys, OnlyInTheIdleAndWidthStates) {
  Session s;
  s.prepare("P");
  s.press(vk::kPageUp);
  EXPECT_TRUE(s.commands().empty());
  EXPECT_EQ(s.p.link.frequencyHz, 7100000);
  s.prepare("W");
  s.press(vk::kPageUp);
  EXPECT_EQ(s.commands(), Commands{"FA007110000;"});
}

TEST(TuningKeys, ResendFormsAndNeverANegativeFrequency) {
  struct Case {
    long long hz;
    const char* command;
  } cases[] = {
      {7100000, "FA007100000;"},   {9999999, "FA009999999;"},   {10000000, "FA010000000;"},
      {99999999, "FA099999999;"},  {100000000, "FA100000000;"}, {439999999, "FA439999999;"},
      {1000, "FA000001000;"},
  };
  for (const auto& c : cases) {
    Session s;
    s.p.link.frequencyHz = c.hz;
    s.type("J");
    EXPECT_EQ(s.commands(), Commands{c.command}) << c.hz;
  }
  Session s;
  // A step that would reach or pass 0 Hz is not taken: the radio stays where it is, and the
  // panel does not mistake itself for one that has lost its radio.
  for (int key : {vk::kDown, vk::kPageDown, vk::kMinus, vk::kLeft}) {
    s.p.link.frequencyHz = 50;
    s.press(key);
    const Commands sent = s.commands();
    ASSERT_EQ(sent.size(), 1u) << key;
    EXPECT_EQ(sent[0], "FA000000050;") << key;
    EXPECT_EQ(s.p.link.frequencyHz, 50) << key;
  }
  s.press('J');
  EXPECT_NE(s.said(), std::vector<std::string>{"nc"});
}

}  // namespace
}  // namespace korvel
