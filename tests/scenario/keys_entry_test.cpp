// Multi-key entries: typed frequencies, band selection, repeater offsets, tone digits, menu access
// and the channel key sequences, as the operator types them.
#include <gtest/gtest.h>

#include "session.h"

namespace korvel {
namespace {

using testing::countOf;
using testing::has;
using testing::Session;
using testing::Words;
using testing::Commands;

// The frequency commands among the commands sent.
Commands frequencyCommands(const Commands& sent) {
  Commands out;
  for (const auto& c : sent) {
    if (c.rfind("FA", 0) == 0 || c.rfind("FB", 0) == 0) out.push_back(c);
  }
  return out;
}

// --- frequency entry --------------------------------------------------------------------------

TEST(FrequencyEntry, EachKeyIsSpokenAndEnterTunes) {
  Session s;
  s.type("E");
  EXPECT_EQ(s.said(), Words{"EF"});
  EXPECT_EQ(s.commands(), Commands{"FA007100000;"});  // E runs on to the frequency resend
  s.type("1");
  EXPECT_EQ(s.said(), Words{"1"});
  s.type("4");
  EXPECT_EQ(s.said(), Words{"4"});
  s.type(".");
  EXPECT_EQ(s.said(), Words{"point"});
  s.type("2");
  EXPECT_EQ(s.said(), Words{"2"});
  EXPECT_TRUE(s.commands().empty());
  s.type("\n");
  const Words done = s.said();
  ASSERT_FALSE(done.empty());
  EXPECT_EQ(done.back(), "ok");
  const Commands sent = s.commands();
  EXPECT_TRUE(has(sent, "FA014200000;"));
  EXPECT_TRUE(has(sent, "MD02;"));  // the 20 m record's mode
  EXPECT_EQ(s.p.band.currentBand, 6);
  EXPECT_EQ(s.p.mode.currentMode, 2);
  EXPECT_EQ(s.p.core.freqEntryActive, 0);
  EXPECT_EQ(s.radio->frequencyA(), 14200000);
}

// A key straight after the entry's words, before the poll has read the radio back, works from the
// entered frequency: the mode key does not send the radio back where the entry left.
TEST(FrequencyEntry, AKeyRightAfterTheEntryWorksFromTheEnteredFrequency) {
  Session s;
  s.type("E14.074\n");
  s.forget();
  s.type("M");
  EXPECT_EQ(s.said(), Words{"cw"});
  for (const auto& c : frequencyCommands(s.commands())) EXPECT_EQ(c, "FA014074000;");
  EXPECT_EQ(s.radio->frequencyA(), 14074000);
}

TEST(FrequencyEntry, DigitsAfterThePointAreTheNextDecimalPlaces) {
  struct Case {
    const char* keys;
    const char* command;
    int band;
  } cases[] = {
      {"7\n", "FA007000000;", 4},       {"14.2\n", "FA014200000;", 6},   {"145.6\n", "FA145600000;", 12},
      {"3.65\n", "FA003650000;", 2},    {"28\n", "FA028000000;", 10},    {"432.1\n", "FA432100000;", 13},
      {"1.83\n", "FA001830000;", 1},    {"7.05\n", "FA007050000;", 4},   {"21.0745\n", "FA021074500;", 8},
      {"50.1\n", "FA050100000;", 11},   {"9.67\n", "FA009670000;", 14},
  };
  for (const auto& c : cases) {
    Session s;
    s.prepare("E");
    s.type(c.keys);
    const Commands tuned = frequencyCommands(s.commands());
    ASSERT_FALSE(tuned.empty()) << c.keys;
    EXPECT_EQ(tuned.back(), c.command) << c.keys;
    EXPECT_EQ(s.p.band.currentBand, c.band) << c.keys;
    const Words words = s.said();
    ASSERT_FALSE(words.empty()) << c.keys;
    EXPECT_EQ(words.back(), "ok") << c.keys;
  }
}

TEST(FrequencyEntry, KeypadDigitsAndPointWorkAsTheMainRow) {
  Session s;
  s.type("E");
  for (const int key : {vk::kNumpad0 + 1, vk::kNumpad0 + 4, vk::kDecimal, vk::kNumpad0 + 2}) s.press(key);
  EXPECT_EQ(s.said(), (Words{"EF", "1", "4", "point", "2"}));
  s.forget();
  s.type("\n");
  EXPECT_EQ(frequencyCommands(s.commands()).back(), "FA014200000;");
}

// A leading zero is part of how the operator writes the megahertz, not a megahertz digit of its
// own: 07.1 is 7.1 MHz, not 71 MHz.
TEST(FrequencyEntry, LeadingZerosDoNotMoveThePoint) {
  struct Case {
    const char* keys;
    const char* command;
  } cases[] = {
      {"07.1\n", "FA007100000;"},
      {"007\n", "FA007000000;"},
      {"014.2\n", "FA014200000;"},
      {"0145.5\n", "FA145500000;"},
  };
  for (const auto& c : cases) {
    Session s;
    s.prepare("E");
    s.type(c.keys);
    const Commands tuned = frequencyCommands(s.commands());
    ASSERT_FALSE(tuned.empty()) << c.keys;
    EXPECT_EQ(tuned.back(), c.command) << c.keys;
  }
}

TEST(FrequencyEntry, PointAboveTheTopBandIsRefusedAndTheEntryStaysOpen) {
  Session s;
  s.prepare("E440");
  s.type(".");
  EXPECT_EQ(s.said(), Words{"invalid"});
  EXPECT_TRUE(s.commands().empty());
  EXPECT_EQ(s.p.core.freqEntryActive, 1);
  EXPECT_EQ(s.p.band.currentBand, 4);
  EXPECT_EQ(s.p.core.pointEntered, 0);
  // A zero megahertz part is refused the same way.
  s.prepare("E0");
  s.type(".");
  EXPECT_EQ(s.said(), Words{"invalid"});
  EXPECT_EQ(s.p.core.freqEntryActive, 1);
}

TEST(FrequencyEntry, BadEntriesSayInvalidAndLeaveTheRadioAlone) {
  // Too many characters for the command, four megahertz digits, no digits at all, zero hertz,
  // whole megahertz above 439.
  for (const char* keys : {"2.1234567\n", "1234\n", "\n", "0\n", "00\n", "440\n", "999\n"}) {
    Session s;
    s.prepare("E");
    s.type(keys);
    const Words words = s.said();
    ASSERT_FALSE(words.empty()) << keys;
    EXPECT_EQ(words.back(), "invalid") << keys;
    EXPECT_TRUE(s.commands().empty()) << keys;  // neither a frequency nor another band's mode
    EXPECT_EQ(s.p.mode.currentMode, 1) << keys;
    EXPECT_EQ(s.p.core.freqEntryActive, 0) << keys;
    EXPECT_EQ(s.p.core.mhzDigits, 0) << keys;
    EXPECT_EQ(s.radio->frequencyA(), 7100000) << keys;
    EXPECT_EQ(s.radio->mode(), '1') << keys;
  }
}

TEST(FrequencyEntry, EnterWithoutAnOpenEntryDoesNothing) {
  Session s;
  s.prepare("E7\n");
  s.type("\n");
  EXPECT_TRUE(s.said().empty());
  EXPECT_TRUE(s.commands().empty());
  EXPECT_EQ(s.p.core.entryNumber, 7);  // kept until the next E
}

TEST(FrequencyEntry, PointOutsideAnEntryOrASecondPointIsRefused) {
  Session s;
  // Never an entry since start-up.
  s.type(".");
  EXPECT_EQ(s.said(), Words{"invalid"});
  EXPECT_EQ(s.p.band.currentBand, 4);
  // After a finished entry the typed number is still there; a stray point must not use it.
  s.type("E14.2\n");
  s.poll();
  s.type(".");
  EXPECT_EQ(s.said(), Words{"invalid"});
  EXPECT_EQ(s.p.band.currentBand, 6);
  // A second point in one entry would look the band up from all the digits typed so far.
  s.prepare("E14.2");
  s.type(".");
  EXPECT_EQ(s.said(), Words{"invalid"});
  s.type("\n");
  EXPECT_EQ(frequencyCommands(s.commands()).back(), "FA014200000;");
  EXPECT_EQ(s.p.band.currentBand, 6);
}

TEST(FrequencyEntry, FmBelowTwentyFiveMegahertzBecomesAm) {
  Session s;
  s.record(14)[1] = '5';  // general coverage last left in FM narrow
  s.prepare("E16");
  s.type("\n");
  const Commands sent = s.commands();
  const auto fm = std::find(sent.begin(), sent.end(), "MD0B;");
  const auto am = std::find(sent.begin(), sent.end(), "MD05;");
  ASSERT_NE(fm, sent.end());
  ASSERT_NE(am, sent.end());
  EXPECT_LT(fm, am);
  EXPECT_EQ(s.p.mode.currentMode, 4);
  EXPECT_EQ(frequencyCommands(sent).back(), "FA016000000;");
}

TEST(FrequencyEntry, SplitFlagOfTheRecordOnlyForASplitRecord) {
  struct Case {
    char kind;
    int vfoB;
    const char* command;
  } cases[] = {{'0', 0, "FA014200000;"}, {'1', 1, "FB014200000;"}, {'5', 0, "FA014200000;"}};
  for (const auto& c : cases) {
    Session s;
    s.record(6)[0] = c.kind;
    s.prepare("E14.2");
    s.type("\n");
    EXPECT_EQ(s.p.tone.vfoB, c.vfoB) << c.kind;
    EXPECT_EQ(frequencyCommands(s.commands()).back(), c.command) << c.kind;
  }
}

TEST(FrequencyEntry, PreampFollowsTheRecord) {
  struct Case {
    const char* keys;
    char preamp;
    const char* command;
    const char* word;
  } cases[] = {{"14.2\n", '1', "PA01;", "on"}, {"14.2\n", '0', "PA00;", "off"}};
  for (const auto& c : cases) {
    Session s;
    s.record(6)[25] = c.preamp;
    s.type("E");
    s.type(c.keys);
    EXPECT_EQ(s.p.fn.preampOn, c.preamp == '1' ? 1 : 0);
    const Commands sent = s.commands();
    EXPECT_TRUE(has(sent, c.command)) << c.preamp;
    const Words words = s.said();
    ASSERT_GE(words.size(), 3u);
    EXPECT_EQ(Words(words.end() - 3, words.end()), (Words{"preamp", c.word, "ok"}));
  }
}

// --- band selection ---------------------------------------------------------------------------

TEST(BandSelect, DigitPicksTheBandAndZeroIsTenMetres) {
  struct Case {
    char digit;
    int band;
    const char* command;
    Words words;
  } cases[] = {
      {'0', 10, "FA028500000;", {"10", "metres"}},
      {'1', 1, "FA001900000;", {"160", "metres"}},
      {'5', 5, "FA010100000;", {"30", "metres"}},
      {'9', 9, "FA024890000;", {"12", "metres"}},
  };
  for (const auto& c : cases) {
    Session s;
    s.prepare("V");  // split
    s.type("B");
    EXPECT_EQ(s.said(), (Words{"band", "40", "metres"}));
    EXPECT_EQ(s.p.core.keyState, 1);
    s.forget();
    s.type(std::string(1, c.digit));
    EXPECT_EQ(s.p.band.currentBand, c.band) << c.digit;
    EXPECT_EQ(s.p.core.keyState, 0) << c.digit;
    EXPECT_EQ(s.p.tone.vfoB, 0) << c.digit;
    EXPECT_TRUE(has(s.commands(), c.command)) << c.digit;
    const Words words = s.said();
    ASSERT_GE(words.size(), 2u);
    EXPECT_EQ(Words(words.begin(), words.begin() + 2), c.words) << c.digit;
  }
}

TEST(BandSelect, LetterBandsFollowTheCoverage) {
  struct Case {
    const char* coverage;
    char key;
    int band;  // 0: refused
  } cases[] = {
      {"1", 'X', 0},  {"6", 'X', 11}, {"6", 'T', 0},  {"2", 'T', 12}, {"7", 'T', 12},
      {"2", 'S', 0},  {"7", 'S', 13}, {"1", 'U', 14}, {"7", 'X', 11},
  };
  for (const auto& c : cases) {
    Session s({.model = 761, .bandCoverage = c.coverage});
    s.prepare("B");
    s.type(std::string(1, c.key));
    const std::string label = std::string(c.coverage) + c.key;
    EXPECT_EQ(s.p.core.keyState, 0) << label;
    if (c.band == 0) {
      EXPECT_EQ(s.said(), (Words{"band", "na"})) << label;
      EXPECT_TRUE(s.commands().empty()) << label;
      EXPECT_EQ(s.p.band.currentBand, 4) << label;
    } else {
      EXPECT_EQ(s.p.band.currentBand, c.band) << label;
      EXPECT_EQ(s.p.tone.toneText, "999") << label;
      const Commands sent = s.commands();
      EXPECT_FALSE(frequencyCommands(sent).empty()) << label;
    }
  }
}

TEST(BandSelect, GeneralCoverageSaysBandFirst) {
  Session s;
  s.prepare("B");
  s.type("U");
  const Words words = s.said();
  ASSERT_GE(words.size(), 2u);
  EXPECT_EQ(words[0], "band");
  EXPECT_TRUE(has(words, "un"));
  EXPECT_EQ(s.p.band.currentBand, 14);
  EXPECT_TRUE(has(s.commands(), "FA009670000;"));
}

// --- repeater offsets -------------------------------------------------------------------------

// The station moved to `band` by the band keys, with the poll cycle caught up.
void goToBand(Session& s, const char* keys) {
  s.type(keys);
  s.poll();
}

TEST(RepeaterOffset, OnlyFromTenMetresUp) {
  Session s;
  s.prepare("X");
  s.type("O");
  EXPECT_TRUE(s.said().empty());
  EXPECT_EQ(s.p.core.keyState, 0);
  // General coverage has no offset at all.
  goToBand(s, "BU");
  s.prepare("X");
  s.type("O");
  EXPECT_EQ(s.said(), Words{"na"});
  EXPECT_EQ(s.p.core.keyState, 0);
}

TEST(RepeaterOffset, EnterAnnouncesTheOffsetInUse) {
  struct Case {
    const char* band;
    Words words;
  } cases[] = {
      {"B0", {"10", "metres", "std", "minus", "1", "0", "0", "khz"}},
      {"BX", {"6", "metres", "std", "minus", "5", "0", "0", "khz"}},
      {"BT", {"2", "metres", "std", "minus", "6", "0", "0", "khz"}},
      {"BS", {"70", "metres", "std", "minus", "7", "6", "0", "0", "khz"}},
  };
  for (const auto& c : cases) {
    Session s;
    goToBand(s, c.band);
    s.type("XO");
    EXPECT_EQ(s.said(), (Words{"extcm", "on", "eofs"})) << c.band;
    EXPECT_EQ(s.p.core.keyState, 5);
    s.type("\n");
    EXPECT_EQ(s.said(), c.words) << c.band;
    EXPECT_EQ(s.p.core.keyState, 0);
    EXPECT_TRUE(s.commands().empty());
  }
}

TEST(RepeaterOffset, TenMetresSpeaksItsConfiguredOffset) {
  Session s;
  s.p.config.repeaterOffsetMinus[10] = 0;
  s.p.config.repeaterOffsetKhz[10] = "200";
  goToBand(s, "B0");
  s.prepare("XO");
  s.type("\n");
  EXPECT_EQ(s.said(), (Words{"10", "metres", "std", "plus", "2", "0", "0", "khz"}));
}

TEST(RepeaterOffset, TypedOffsetIsStoredInBothCopies) {
  struct Case {
    const char* band;
    int index;
    const char* keys;
    Words words;
    int minus;
    const char* khz;
  } cases[] = {
      {"BX", 11, "-525\n", {"6", "metres", "ofs", "minus", "5", "2", "5", "khz"}, 1, "525"},
      {"BT", 12, "=600\n", {"2", "metres", "ofs", "plus", "6", "0", "0", "khz"}, 0, "600"},
      {"BS", 13, "=5000\n", {"70", "metres", "ofs", "plus", "5", "0", "0", "0", "khz"}, 0, "5000"},
      {"BS", 13, "-160\n", {"70", "metres", "ofs", "minus", "1", "6", "0", "khz"}, 1, "160"},
  };
  for (const auto& c : cases) {
    Session s;
    goToBand(s, c.band);
    s.prepare("XO");
    s.type(std::string(1, c.keys[0]));
    EXPECT_EQ(s.said(), Words{c.minus == 1 ? "minus" : "plus"}) << c.keys;
    EXPECT_EQ(s.p.core.keyState, 6);
    s.type(c.keys + 1);
    Words words = s.said();
    // The digits are spoken as they are typed; the announcement follows Enter.
    const std::size_t typed = std::string(c.keys).size() - 2;
    ASSERT_GE(words.size(), typed);
    EXPECT_EQ(Words(words.begin() + static_cast<long>(typed), words.end()), c.words) << c.keys;
    const auto i = static_cast<std::size_t>(c.index);
    EXPECT_EQ(s.p.config.repeaterOffsetMinus[i], c.minus) << c.keys;
    EXPECT_EQ(s.p.config.repeaterOffsetKhz[i], c.khz) << c.keys;
    EXPECT_EQ(s.p.config.configuredOffsetMinus[i], c.minus) << c.keys;
    EXPECT_EQ(s.p.config.configuredOffsetKhz[i], c.khz) << c.keys;
    EXPECT_EQ(s.p.core.keyState, 0);
  }
}

TEST(RepeaterOffset, WrongLengthIsInvalidAndKeepsTheOffset) {
  struct Case {
    const char* band;
    int index;
    const char* keys;
  } cases[] = {
      {"BX", 11, "-12\n"}, {"BX", 11, "-1234\n"}, {"BT", 12, "=1234\n"}, {"BS", 13, "-12345\n"}, {"BT", 12, "-\n"},
  };
  for (const auto& c : cases) {
    Session s;
    goToBand(s, c.band);
    const auto i = static_cast<std::size_t>(c.index);
    const std::string before = s.p.config.repeaterOffsetKhz[i];
    s.type("XO");
    s.type(c.keys);
    const Words words = s.said();
    ASSERT_GE(words.size(), 2u);
    EXPECT_EQ(Words(words.end() - 2, words.end()), (Words{"ofs", "invalid"})) << c.keys;
    EXPECT_EQ(s.p.config.repeaterOffsetKhz[i], before) << c.keys;
    EXPECT_EQ(s.p.config.configuredOffsetKhz[i], before) << c.keys;
    EXPECT_EQ(s.p.core.keyState, 0);
  }
}

TEST(RepeaterOffset, TenMetresTakesNoTypedOffset) {
  Session s;
  goToBand(s, "B0");
  s.prepare("XO");
  s.type("-");
  EXPECT_TRUE(s.said().empty());
  EXPECT_EQ(s.p.core.keyState, 0);
}

// --- tone digits ------------------------------------------------------------------------------

TEST(ToneEntry, DigitsMakeAThreeCharacterCode) {
  struct Case {
    const char* digits;
    const char* text;
  } cases[] = {{"12", "012"}, {"08", "008"}, {"523", "523"}, {"49", "049"}, {"603", "603"}};
  for (const auto& c : cases) {
    Session s;
    ASSERT_NO_FATAL_FAILURE(onTwoMetres(s));
    s.type("I");
    EXPECT_EQ(s.said(), Words{"ecd"});
    EXPECT_EQ(s.p.tone.toneActive, 1);
    s.type(c.digits);
    EXPECT_EQ(s.p.tone.toneText, c.text) << c.digits;
    Words spoken;
    for (const char* d = c.digits; *d; ++d) spoken.emplace_back(1, *d);
    EXPECT_EQ(s.said(), spoken) << c.digits;
    EXPECT_TRUE(s.commands().empty()) << c.digits;
  }
}

TEST(ToneEntry, EnterSetsTheTypedTone) {
  Session s;
  ASSERT_NO_FATAL_FAILURE(onTwoMetres(s));
  s.prepare("I12");
  s.type("\n");
  EXPECT_EQ(s.said(), (Words{"ctcss", "on"}));
  EXPECT_EQ(s.commands(), (Commands{"CN00012;", "CT02;"}));
  EXPECT_EQ(s.p.tone.toneText, "012");
  // I again switches it off.
  s.type("I");
  EXPECT_EQ(s.said(), (Words{"ctcss", "off"}));
  EXPECT_EQ(s.commands(), Commands{"CT00;"});
  EXPECT_EQ(s.p.tone.toneText, "999");
  EXPECT_EQ(s.p.tone.toneActive, 0);
}

TEST(ToneEntry, SingleDigitIsTheToneOfThatNumber) {
  Session s;
  ASSERT_NO_FATAL_FAILURE(onTwoMetres(s));
  s.prepare("I8");
  s.type("\n");
  EXPECT_EQ(s.commands(), (Commands{"CN00008;", "CT02;"}));
  EXPECT_EQ(s.p.tone.toneActive, 1);
}

TEST(ToneEntry, PromptFollowsTheDcsSettingAndOtherModesAreRefused) {
  Session s;
  s.type("I");
  EXPECT_EQ(s.said(), (Words{"wrong", "mode"}));
  EXPECT_EQ(s.p.tone.toneActive, 0);
  ASSERT_NO_FATAL_FAILURE(onTwoMetres(s));
  s.p.config.dcsAllowed = 0;
  s.type("I");
  EXPECT_EQ(s.said(), Words{"ec"});
}

TEST(ToneEntry, AnOpenEntryWithNoToneEndsAtAnyOtherKey) {
  Session s;
  s.p.tone.toneActive = 1;
  s.p.tone.toneText = "999";
  s.type("5");
  EXPECT_EQ(s.p.tone.toneActive, 1);
  s.p.tone.toneText = "999";
  s.type("J");
  EXPECT_EQ(s.p.tone.toneActive, 0);
}

TEST(ToneEntry, MenuKeyIsIgnoredWhileATone) {
  Session s;
  ASSERT_NO_FATAL_FAILURE(onTwoMetres(s));
  s.prepare("I");
  s.type("N");
  EXPECT_TRUE(s.said().empty());
  EXPECT_NE(s.p.core.keyState, 8);
}

// --- menu access ------------------------------------------------------------------------------

TEST(MenuAccess, ReadSpeaksTheValueByModel) {
  struct Case {
    int model;
    const char* number;
    const char* value;
    Words words;
  } cases[] = {
      {761, "010317", "+05", {"plus", "0", "5"}},
      {650, "0103", "1.5", {"1", "point", "5"}},
      {570, "012", "-3", {"minus", "3"}},
      {800, "040102", "250", {"2", "5", "0"}},
  };
  for (const auto& c : cases) {
    Session s({.model = c.model});
    s.radio->setMenuValue(c.number, c.value);
    s.type("N");
    EXPECT_EQ(s.said(), Words{"mn"});
    s.type(c.number);
    s.type("\n");
    Words words = s.said();
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words.back(), "mp") << c.model;
    EXPECT_EQ(s.p.core.keyState, 9);
    // A reply still waiting from the poll cycle must not be read as the menu value.
    s.tick();
    s.type("\n");
    EXPECT_EQ(s.said(), c.words) << c.model;
    EXPECT_EQ(s.commands(), Commands{"EX" + std::string(c.number) + ";"}) << c.model;
    EXPECT_EQ(s.p.core.keyState, 0);
    EXPECT_EQ(s.p.core.pollPaused, 0);
  }
}

TEST(MenuAccess, NumberOfTheWrongLengthIsInvalid) {
  struct Case {
    int model;
    const char* number;
  } cases[] = {{570, "01"}, {570, "0123"}, {761, "010"}, {761, "0103171"}, {650, "010"}, {650, "010317"}};
  for (const auto& c : cases) {
    Session s({.model = c.model});
    s.type("N");
    s.prepare(c.number);
    s.type("\n");
    EXPECT_EQ(s.said(), Words{"invalid"}) << c.model << " " << c.number;
    EXPECT_EQ(s.p.core.keyState, 0);
    EXPECT_TRUE(s.commands().empty());
  }
}

TEST(MenuAccess, TypedValueIsSetWithItsSign) {
  Session s;
  s.prepare("N010317\n");
  s.type("=");
  EXPECT_EQ(s.said(), Words{"plus"});
  s.type("5");
  EXPECT_EQ(s.said(), Words{"5"});
  s.type("\n");
  EXPECT_EQ(s.said(), Words{"ok"});
  EXPECT_EQ(s.commands(), Commands{"EX010317+5;"});
  EXPECT_EQ(s.radio->menuValue("010317"), "+5");
  EXPECT_EQ(s.p.core.keyState, 0);
  s.type("N012345\n-3\n");
  EXPECT_EQ(s.radio->menuValue("012345"), "-3");
  s.type("N012345\n7\n");
  EXPECT_EQ(s.radio->menuValue("012345"), "7");
}

// --- channel sequences ------------------------------------------------------------------------

TEST(ChannelKeys, StoreWithBankAndSlot) {
  Session s;
  s.type("C");
  EXPECT_EQ(s.said(), Words{"sch"});
  s.type("B");
  EXPECT_EQ(s.said(), Words{"bank"});
  EXPECT_EQ(s.p.memory.bankEntry, -1);
  s.type("3");
  EXPECT_EQ(s.said(), (Words{"3", "channel"}));
  s.type("5");
  EXPECT_EQ(s.p.memory.channelOp, 0);
  EXPECT_NE(s.p.memory.memorySlots[35].substr(0, 1), "9");
}

TEST(ChannelKeys, AnyOtherKeyCancelsAndIsThenHandled) {
  Session s;
  s.prepare("GB3");
  s.type("J");
  EXPECT_EQ(s.p.memory.channelOp, 0);
  EXPECT_EQ(s.p.memory.bankEntry, 0);
  EXPECT_EQ(s.commands(), Commands{"FA007100000;"});
  // With the operation gone a digit recalls nothing.
  s.type("4");
  EXPECT_TRUE(s.said().empty());
  EXPECT_TRUE(s.commands().empty());
  EXPECT_EQ(s.p.memory.lastBank, 99);
  // The cancelling key does its own work.
  s.prepare("C");
  s.type("P");
  EXPECT_EQ(s.p.memory.channelOp, 0);
  const Words words = s.said();
  ASSERT_FALSE(words.empty());
  EXPECT_EQ(words[0], "Power");
  EXPECT_EQ(s.p.core.keyState, 3);
}

TEST(ChannelKeys, StepWithoutABankSaysSo) {
  Session s;
  s.type("U");
  EXPECT_EQ(s.said(), Words{"ncs"});
  EXPECT_TRUE(s.commands().empty());
}

TEST(ChannelKeys, StepMemoryIsForgottenByKeysOtherThanSAndF) {
  Session s;
  s.p.memory.lastBank = 3;
  s.p.tone.speechQuiet = 1;
  s.p.core.tickCount = 5;
  s.type("S");
  EXPECT_EQ(s.p.memory.lastBank, 3);
  EXPECT_EQ(s.p.tone.speechQuiet, 0);
  s.type("F");
  EXPECT_EQ(s.p.memory.lastBank, 3);
  s.type("J");
  EXPECT_EQ(s.p.memory.lastBank, 99);
}

}  // namespace
}  // namespace korvel
