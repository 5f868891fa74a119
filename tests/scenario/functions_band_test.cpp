#include "state/band_record.h"
#include "functions/band_table.h"
#include "session.h"

namespace korvel::testing {
namespace {

using FunctionsTest = SessionAt<Ready::kFunctions>;

TEST(BandRecord, StartRecordsAreWholeAndReadBack) {
  for (int band = 1; band <= 14; ++band) EXPECT_EQ(band_record::defaultRecord(band).size(), 26u) << band;
  EXPECT_EQ(band_record::defaultRecord(0), "");
  EXPECT_EQ(band_record::defaultRecord(15), "");
  const std::string r = band_record::defaultRecord(5);
  EXPECT_EQ(band_record::modeDigit(r), '3');
  EXPECT_EQ(band_record::vfoAField(r), "A010100000");
  EXPECT_EQ(band_record::vfoBDigits(r), "010000000");  // 30 m's VFO B differs and is kept as it is
  EXPECT_EQ(band_record::toneCode(r), "999");
  EXPECT_EQ(band_record::preampDigit(band_record::defaultRecord(6)), '1');
  EXPECT_EQ(band_record::kind(""), ' ');
}

TEST(BandRecord, MakeAlwaysGivesTwentySixCharacters) {
  EXPECT_EQ(band_record::make('0', '2', "014200000", "014200000", "999", '1'), "02A014200000B0142000009991");
  EXPECT_EQ(band_record::make('5', '5', "145500000", "-00000600", "012", '0'), "55A145500000B-000006000120");
  // Short fields are zero-filled on the left, long ones keep their low digits.
  EXPECT_EQ(band_record::make('1', '3', "7100000", "1014200000", "", '0'), "13A007100000B0142000000000");
}

class BandStepping : public FunctionsTest {
 protected:
  std::vector<int> walk(const std::string& coverage, int from, int steps, bool up) {
    p.config.bandCoverage = coverage;
    p.band.currentBand = from;
    std::vector<int> bands;
    for (int i = 0; i < steps; ++i) {
      up ? stepBandUp(p) : stepBandDown(p);
      bands.push_back(p.band.currentBand);
    }
    return bands;
  }
};

TEST_F(BandStepping, EachCoverageWrapsAtItsTopBand) {
  struct Case {
    std::string coverage;
    int from;
    bool up;
    std::vector<int> want;
  } cases[] = {
      {"1", 8, true, {9, 10, 1, 2}},
      {"1", 2, false, {1, 10, 9}},
      {"6", 10, true, {11, 1}},
      {"6", 1, false, {11, 10}},
      {"2", 11, true, {12, 1}},
      {"2", 1, false, {12, 11}},
      {"7", 12, true, {13, 1, 2}},
      {"7", 1, false, {13, 12}},
      {"7", 14, true, {1}},
      {"1", 14, false, {10}},
      {"7", 14, false, {13}},
      // Anything else is an HF-only radio: band 0 is never asked for.
      {"", 1, false, {10, 9}},
      {"9", 10, true, {1}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(walk(c.coverage, c.from, static_cast<int>(c.want.size()), c.up), c.want)
        << "coverage '" << c.coverage << "' from " << c.from << (c.up ? " up" : " down");
  }
}

TEST_F(BandStepping, HfOnlyTopBandUpSavesTenAndRecallsOneSixtyMetres) {
  p.config.bandCoverage = "1";
  p.band.currentBand = 10;
  p.mode.currentMode = 2;
  reported(28400000);
  stepBandUp(p);
  EXPECT_EQ(p.band.currentBand, 1);
  EXPECT_EQ(record(10), "02A028400000B0285000009990");
  const auto cmds = sent();
  EXPECT_TRUE(has(cmds, "FA001900000;"));
  for (const auto& c : cmds) EXPECT_EQ(c.find("FA05"), std::string::npos) << c;
  const auto said = Session::said();
  EXPECT_TRUE(has(said, "160") && has(said, "metres"));
}

TEST_F(BandStepping, UpFromSeventyCentimetresSaysGeneralCoverageThenRecallsBandOne) {
  p.band.currentBand = 13;
  stepBandUp(p);
  const auto said = Session::said();
  ASSERT_GE(said.size(), 4u);
  EXPECT_EQ(Words(said.begin(), said.begin() + 2), (Words{"band", "un"}));
  EXPECT_TRUE(has(said, "160"));
  EXPECT_EQ(p.band.currentBand, 1);
}

TEST_F(FunctionsTest, BandSixRecallSendsModeWidthFrequencyAndPreamp) {
  reported(7100000);
  p.band.currentBand = 6;
  recallBand(p);
  EXPECT_EQ(sent(), (Commands{"MD02;", "NA00;", "FA007100000;", "SH0014;", "FA014200000;", "PA01;"}));
  EXPECT_EQ(said(), (Words{"20", "metres", "preamp", "on"}));
  EXPECT_EQ(p.link.frequencyText, "14.200000");
  EXPECT_EQ(p.link.frequencyHz, 14200000);
  EXPECT_EQ(p.band.bandRecallText, "A014200000");
  EXPECT_EQ(p.mode.widthQuiet, 1);
}

TEST_F(FunctionsTest, RepeaterRecordOnTwoMetresSwitchesTheShiftOnWithoutATone) {
  p.config.repeaterOffsetMinus[12] = 1;
  record(12) = "55A145500000B-000006009990";
  p.band.currentBand = 12;
  recallBand(p);
  EXPECT_EQ(sent(), (Commands{"MD0B;", "NA00;", "SQ0;", "FA145500000;", "OS02;", "PA00;"}));
  EXPECT_EQ(said(), (Words{"repeater", "on", "2", "metres", "preamp", "off"}));
  EXPECT_EQ(p.tone.repeaterActive, 1);
  EXPECT_EQ(p.tone.toneActive, 0);
  EXPECT_EQ(p.link.frequencyText, "145.500000");
}

TEST_F(FunctionsTest, SplitRecallSendsFt2AndTheFrequencyToVfoB) {
  p.tone.vfoB = 1;
  p.band.currentBand = 6;
  recallBand(p);
  const auto cmds = sent();
  ASSERT_FALSE(cmds.empty());
  EXPECT_EQ(cmds.front(), "FT2;");
  EXPECT_TRUE(has(cmds, "FB014200000;"));
}

TEST_F(FunctionsTest, StoredToneComesBackOnlyInFm) {
  struct Case {
    char mode;
    std::string tone;
    Commands toneCommands;
    Words toneWords;
  } cases[] = {
      {'5', "012", {"CN00012;", "CT02;"}, {"ctcss", "0", "1", "2"}},
      {'7', "523", {"CN01023;", "CT04;"}, {"dcs", "5", "2", "3"}},
      {'5', "603", {"CN01103;", "CT04;"}, {"dcs", "6", "0", "3"}},
      {'5', "000", {}, {}},
      {'7', "999", {}, {}},
      {'1', "012", {}, {}},
  };
  for (const auto& c : cases) {
    record(12) = band_record::make('0', c.mode, "145000000", "145000000", c.tone, '1');
    p.band.currentBand = 12;
    recallBand(p);
    Commands tones;
    for (const auto& cmd : sent()) {
      if (cmd.rfind("CN", 0) == 0 || cmd.rfind("CT", 0) == 0) tones.push_back(cmd);
    }
    Words toneWords;
    for (const auto& w : said()) {
      if (w == "metres") toneWords.clear();
      else if (w == "preamp") break;
      else toneWords.push_back(w);
    }
    EXPECT_EQ(tones, c.toneCommands) << c.mode << " " << c.tone;
    EXPECT_EQ(toneWords, c.toneWords) << c.mode << " " << c.tone;
    if (!c.toneCommands.empty()) {
      EXPECT_EQ(p.tone.toneActive, 1) << c.tone;
      EXPECT_EQ(p.tone.toneIsDcs, c.tone[0] > '4' ? 1 : 0) << c.tone;
    }
    // Each recall starts by switching the last one's tone off.
    p.tone.toneActive = 0;
  }
}

TEST_F(FunctionsTest, DamagedRecordIsRecalledAsTheStartRecord) {
  record(6) = "02AXXX";
  p.band.currentBand = 6;
  recallBand(p);
  EXPECT_TRUE(has(sent(), "FA014200000;"));
}

TEST_F(FunctionsTest, SaveKeepsTheOtherVfoAndCompletesTheRecord) {
  p.band.currentBand = 6;
  p.mode.currentMode = 3;
  p.fn.preampOn = 0;
  reported(14025000);
  saveBandState(p);
  EXPECT_EQ(record(6), "03A014025000B0142000009990");

  p.tone.vfoB = 1;
  reported(14030000, 'B');
  saveBandState(p);
  EXPECT_EQ(record(6), "13A014025000B0140300009990");
}

TEST_F(FunctionsTest, SaveWithTheShiftOnWritesSignAndOffset) {
  p.band.currentBand = 12;
  p.mode.currentMode = 5;
  p.tone.repeaterActive = repeater_shift::kOn;
  p.config.repeaterOffsetMinus[12] = 1;
  p.config.repeaterOffsetKhz[12] = "600";
  reported(145650000);
  saveBandState(p);
  EXPECT_EQ(record(12), "55A145650000B-000006009990");

  // An offset text of an unusual length still gives a whole record.
  p.config.repeaterOffsetKhz[12] = "12345";
  saveBandState(p);
  EXPECT_EQ(record(12).size(), 26u);
  EXPECT_EQ(band_record::vfoBDigits(record(12)), "-00012345");

  // With the shift off again the VFO-B field becomes a frequency, not the old shift.
  p.tone.repeaterActive = repeater_shift::kOff;
  saveBandState(p);
  EXPECT_EQ(record(12), "05A145650000B1456500009990");
}

TEST_F(FunctionsTest, SaveStoresNothingFromABadReplyWhileRelayingOrInFmOnHf) {
  const std::string before = record(6);
  p.band.currentBand = 6;
  p.link.lastFrequencyReply.reset();  // no whole reply yet
  saveBandState(p);
  EXPECT_EQ(record(6), before);
  EXPECT_EQ(p.band.currentBand, 6);
  reported(14100000);
  p.link.relayActive = 1;
  saveBandState(p);
  EXPECT_EQ(record(6), before);
  p.link.relayActive = 0;
  p.mode.currentMode = 5;
  saveBandState(p);
  EXPECT_EQ(record(6), before);
}

TEST_F(FunctionsTest, JumpsFollowTheTopBand) {
  struct Case {
    std::string coverage;
    int target;
    int band;  // 0: refused
  } cases[] = {
      {"1", 11, 0}, {"6", 11, 11}, {"6", 12, 0}, {"2", 12, 12}, {"2", 13, 0},
      {"7", 13, 13}, {"1", 15, 14}, {"7", 15, 14}, {"x", 11, 0},
  };
  for (const auto& c : cases) {
    p.config.bandCoverage = c.coverage;
    p.band.currentBand = 4;
    p.core.keyState = key_state::kBandSelect;
    jumpToBand(p, c.target);
    const auto said = Session::said();
    const auto cmds = sent();
    EXPECT_EQ(p.core.keyState, 0);
    if (c.band == 0) {
      EXPECT_EQ(said, (Words{"band", "na"})) << c.coverage << " " << c.target;
      EXPECT_TRUE(cmds.empty()) << c.coverage << " " << c.target;
      EXPECT_EQ(p.band.currentBand, 4);
    } else {
      EXPECT_EQ(p.band.currentBand, c.band) << c.coverage << " " << c.target;
      EXPECT_FALSE(cmds.empty());
      if (c.target == 15) {
        EXPECT_EQ(Words(said.begin(), said.begin() + 2), (Words{"band", "un"}));
      }
    }
  }
}

TEST_F(FunctionsTest, TypedMegahertzPicksTheBand) {
  const std::pair<long, int> cases[] = {{1, 1},   {3, 2},    {7, 4},    {10, 5},   {14, 6},  {29, 10}, {50, 11},
                                        {54, 11}, {144, 12}, {148, 12}, {430, 13}, {439, 13}, {440, 14}, {2, 14}};
  for (const auto& [mhz, band] : cases) {
    bandFromMegahertz(p, mhz);
    EXPECT_EQ(p.band.currentBand, band) << mhz;
  }
  p.tone.toneActive = 1;
  p.tone.toneText = "012";
  p.tone.vfoB = 1;
  bandFromMegahertz(p, 15);
  EXPECT_EQ(sent(), (Commands{"CT00;"}));
  EXPECT_EQ(p.tone.toneText, "999");
  EXPECT_EQ(p.tone.vfoB, 0);
}

TEST_F(FunctionsTest, ModeDigitIsStoredUnlessRelaying) {
  p.band.currentBand = 6;
  p.mode.currentMode = 3;
  storeModeInBand(p);
  EXPECT_EQ(record(6), "03A014200000B0142000009991");
  p.link.relayActive = 1;
  p.mode.currentMode = 1;
  storeModeInBand(p);
  EXPECT_EQ(record(6), "03A014200000B0142000009991");
}

}  // namespace
}  // namespace korvel::testing
