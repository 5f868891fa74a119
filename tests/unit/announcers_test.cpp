// The announcers: exact word sequences for frequency, mode, width, meters, power, band and keyer
// speed, the S-meter fields drawn at (750, 45), and the break-in and VOX toggles.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "state/panel.h"
#include "display/main_window.h"
#include "functions/toggles.h"
#include "speech/announcers.h"
#include "session.h"

namespace korvel {
namespace {

using testing::Words;

using Announcers = testing::SessionAt<testing::Ready::kNothing>;

// ---------------------------------------------------------------- frequency

TEST_F(Announcers, FrequencyDigitsStopAtTheLastNonZeroDigit) {
  struct Case {
    std::string text;
    Words want;
  } cases[] = {
      {" 14.074000", {"1", "4", "point", "0", "7", "4", "mhz"}},
      {"14.074000", {"1", "4", "point", "0", "7", "4", "mhz"}},  // start-up form, no blank
      {"  7.100000", {"7", "point", "1", "mhz"}},
      {"7.100000", {"7", "point", "1", "mhz"}},
      {" 14.000000", {"1", "4", "mhz"}},
      {"  1.850000", {"1", "point", "8", "5", "mhz"}},
      {"145.500000", {"1", "4", "5", "point", "5", "mhz"}},
      {" 14.074250", {"1", "4", "point", "0", "7", "4", "2", "5", "mhz"}},
      {"430.000001", {"4", "3", "0", "point", "0", "0", "0", "0", "0", "1", "mhz"}},
      {" 50.010000", {"5", "0", "point", "0", "1", "mhz"}},
      {"", {"nc"}},
  };
  for (const auto& c : cases) {
    p.link.frequencyText = c.text;
    speakFrequency(p);
    EXPECT_EQ(words(), c.want) << "'" << c.text << "'";
  }
}

TEST_F(Announcers, FrequencyPrefixesFollowVfoRepeaterAndTransmitFlags) {
  struct Case {
    int vfoB, repeater, txFrequency;
    Words prefix;
  } cases[] = {
      {0, 0, 0, {}},
      {1, 0, 0, {"vfob"}},
      {0, 1, 0, {"repeater"}},
      {0, 1, 1, {"repeater", "tx"}},
      {1, 1, 1, {"tx"}},
      {1, 1, 0, {}},
      {1, 0, 1, {}},  // the transmit frequency on VFO B without a shift: no prefix
      {0, 0, 1, {}},
  };
  p.link.frequencyText = "  7.100000";
  for (const auto& c : cases) {
    p.tone.vfoB = c.vfoB;
    p.tone.repeaterActive = static_cast<repeater_shift::RepeaterShift>(c.repeater);
    p.speech.announcingTxFrequency = c.txFrequency;
    speakFrequency(p);
    Words want = c.prefix;
    for (const char* w : {"7", "point", "1", "mhz"}) want.push_back(w);
    EXPECT_EQ(words(), want) << c.vfoB << c.repeater << c.txFrequency;
  }
}

TEST_F(Announcers, QuietSpeechSilencesFrequencyAndModeOnly) {
  p.tone.speechQuiet = 1;
  p.link.frequencyText = "";
  speakFrequency(p);
  p.link.frequencyText = " 14.074000";
  speakFrequency(p);
  speakMode(p);
  EXPECT_EQ(words(), Words{});
  p.band.currentBand = 6;
  speakBand(p);
  EXPECT_EQ(words(), (Words{"20", "metres"}));
}

// ---------------------------------------------------------------- mode and width

TEST_F(Announcers, ModeWords) {
  struct Case {
    int mode;
    Words want;
  } cases[] = {
      {1, {"lsb"}}, {2, {"usb"}}, {3, {"cw"}}, {4, {"am"}}, {5, {"fm", "nar"}},
      {6, {"c4fm"}}, {7, {"fm"}}, {0, {}}, {8, {}},
  };
  for (const auto& c : cases) {
    p.mode.currentMode = c.mode;
    speakMode(p);
    EXPECT_EQ(words(), c.want) << c.mode;
  }
}

TEST_F(Announcers, WidthInKilohertzForSideband) {
  struct Case {
    int mode, index;
    Words want;
  } cases[] = {
      {1, 9, {"bw", "1", "point", "8", "khz"}},
      {1, 10, {"bw", "1", "point", "9", "khz"}},
      {2, 11, {"bw", "2", "point", "1", "khz"}},
      {2, 14, {"bw", "2", "point", "4", "khz"}},
      {1, 19, {"bw", "2", "point", "9", "khz"}},
      {1, 20, {"bw", "3", "point", "0", "khz"}},
      {2, 21, {"bw", "3", "point", "1", "khz"}},
  };
  for (const auto& c : cases) {
    p.mode.currentMode = c.mode;
    p.mode.widthIndex = c.index;
    speakWidth(p);
    EXPECT_EQ(words(), c.want) << c.mode << "/" << c.index;
  }
}

TEST_F(Announcers, WidthInHertzForCwAndTheOtherModes) {
  struct Case {
    int mode, index;
    Words want;
  } cases[] = {
      {3, 1, {"bw", "5", "0", "hz"}},
      {3, 2, {"bw", "1", "0", "0", "hz"}},
      {3, 5, {"bw", "2", "5", "0", "hz"}},
      {3, 10, {"bw", "5", "0", "0", "hz"}},
      {3, 11, {"bw", "8", "0", "0", "hz"}},  // not 550
      {3, 12, {"bw", "1", "2", "0", "0", "hz"}},
      {3, 0, {"bw", "0", "0", "hz"}},
      {4, 14, {"bw", "7", "0", "0", "hz"}},
      {7, 20, {"bw", "10", "0", "0", "hz"}},  // q = 10 is one whole-number word
  };
  for (const auto& c : cases) {
    p.mode.currentMode = c.mode;
    p.mode.widthIndex = c.index;
    speakWidth(p);
    EXPECT_EQ(words(), c.want) << c.mode << "/" << c.index;
  }
}

// ---------------------------------------------------------------- S-meter

class AnnouncerSMeter : public Announcers {
 protected:
  void SetUp() override { setFont(p, "Ariel", 50, 700); }
  // The canvas gives 33 px per character at 50 points: the decibel figure starts after "S9".
  static constexpr int kAfterS9 = 750 + 2 * 33;
};

TEST_F(AnnouncerSMeter, BandsBelowS9SpeakOneDigitAndPrintPaddedText) {
  struct Case {
    int value;
    std::string digit;
  } cases[] = {
      {0, "0"},   {10, "0"},  {11, "1"},  {20, "1"},  {21, "2"},  {40, "2"},  {41, "3"},  {54, "3"},
      {55, "4"},  {68, "4"},  {69, "5"},  {82, "5"},  {83, "6"},  {96, "6"},  {97, "7"},  {108, "7"},
      {109, "8"}, {120, "8"},
  };
  for (const auto& c : cases) {
    canvas.fields.clear();
    p.core.sMeterValue = c.value;
    showSMeter(p);
    EXPECT_EQ(words(), (Words{"s", c.digit})) << c.value;
    ASSERT_EQ(canvas.fields.size(), 1u) << c.value;
    const auto& f = canvas.fields[0];
    EXPECT_EQ(f.x, 750);
    EXPECT_EQ(f.y, 45);
    const std::string want = "S" + c.digit + std::string(c.digit == "0" ? 12 : 11, ' ');
    EXPECT_EQ(f.text, want) << c.value;
    EXPECT_EQ(f.face, "Ariel") << "printed in the current font";
  }
}

TEST_F(AnnouncerSMeter, OverS9PrintsTheDecibelFigureInTheSmallFont) {
  struct Case {
    int value;
    std::string printed, word;
  } cases[] = {
      {132, "+5db", "5db"},   {143, "+5db", "5db"},   {144, "+10db", "10db"}, {153, "+10db", "10db"},
      {154, "+15db", "15db"}, {163, "+15db", "15db"}, {164, "+20db", "20db"}, {183, "+20db", "20db"},
      {184, "+30db", "30db"}, {206, "+30db", "30db"}, {207, "+40db", "40db"}, {247, "+40db", "40db"},
      {248, "+60db", "60db"}, {255, "+60db", "60db"},
  };
  for (const auto& c : cases) {
    canvas.fields.clear();
    setFont(p, "Ariel", 50, 700);
    p.core.sMeterValue = c.value;
    showSMeter(p);
    EXPECT_EQ(words(), (Words{"s", "9", c.word})) << c.value;
    ASSERT_EQ(canvas.fields.size(), 2u) << c.value;
    EXPECT_EQ(canvas.fields[0].text, "S9");
    EXPECT_EQ(canvas.fields[0].x, 750);
    const auto& db = canvas.fields[1];
    EXPECT_EQ(db.text, c.printed) << c.value;
    EXPECT_EQ(db.x, kAfterS9);
    EXPECT_EQ(db.y, 45);
    EXPECT_EQ(db.face, "ARIEL");
    EXPECT_EQ(db.points, 20);
    EXPECT_EQ(db.weight, 20);
    // The large font is back for the next field.
    EXPECT_EQ(p.display.fontFace, "ARIEL");
    EXPECT_EQ(p.display.fontPoints, 50);
    EXPECT_EQ(p.display.fontWeight, 700);
    EXPECT_EQ(canvas.points, 50);
  }
}

TEST_F(AnnouncerSMeter, S9WithoutDecibelsBlanksAnEarlierFigure) {
  for (const int value : {121, 131}) {
    canvas.fields.clear();
    p.core.sMeterValue = 200;
    showSMeter(p);
    EXPECT_EQ(canvas.at(kAfterS9, 45), "+30db");
    p.core.sMeterValue = value;
    showSMeter(p);
    words();
    EXPECT_EQ(canvas.at(750, 45), "S9");
    EXPECT_EQ(canvas.at(kAfterS9, 45), std::string(50, ' ')) << value;
    const auto& blanks = canvas.fields.back();
    EXPECT_EQ(blanks.text, std::string(50, ' '));
    EXPECT_EQ(blanks.points, 50) << "the blanks go out in the large font";
    EXPECT_EQ(p.display.fontFace, "ARIEL");
    EXPECT_EQ(p.display.fontPoints, 50);
  }
  p.core.sMeterValue = 121;
  showSMeter(p);
  EXPECT_EQ(words(), (Words{"s", "9"}));
}

TEST_F(AnnouncerSMeter, SilentUpdateWithTheWaveFolderPointingNowhere) {
  p.speech.waveFolder = "xx";
  p.core.sMeterValue = 97;
  showSMeter(p);
  EXPECT_EQ(words(), Words{});
  EXPECT_EQ(canvas.at(750, 45), "S7" + std::string(11, ' '));
}

// ---------------------------------------------------------------- SWR

TEST_F(Announcers, SwrTableEdgesInFullAndShortPhrases) {
  struct Case {
    std::string v;
    std::string whole, tenths;
  } cases[] = {
      {"000", "1", "0"}, {"049", "1", "0"}, {"050", "1", "0"}, {"085", "1", "5"}, {"119", "1", "9"},
      {"120", "2", "0"}, {"159", "2", "3"}, {"160", "3", "0"}, {"170", "3", "5"}, {"179", "3", "9"},
      {"180", "4", "0"}, {"182", "4", "1"}, {"199", "4", "8"}, {"200", "gt5", "0"}, {"230", "gt5", "0"},
      {"255", "gt5", "0"}, {"", "1", "0"},
  };
  p.core.txState = 1;
  for (const auto& c : cases) {
    p.core.swrText = c.v;
    p.config.swrAnnounce = 0;
    speakSwr(p);
    EXPECT_EQ(words(), (Words{"SWR", c.whole, "point", c.tenths, "21"})) << c.v;
    EXPECT_EQ(p.config.swrAnnounce, 0);
    p.config.swrAnnounce = 2;
    speakSwr(p);
    EXPECT_EQ(words(), (Words{c.whole, "point", c.tenths})) << c.v;
  }
}

TEST_F(Announcers, SwrAnnounceOneGivesOneFullPhraseThenShortOnes) {
  p.core.txState = 1;
  p.core.swrText = "085";
  p.config.swrAnnounce = 1;
  speakSwr(p);
  EXPECT_EQ(words(), (Words{"SWR", "1", "point", "5", "21"}));
  EXPECT_EQ(p.config.swrAnnounce, 2);
  speakSwr(p);
  EXPECT_EQ(words(), (Words{"1", "point", "5"}));
}

TEST_F(Announcers, SwrIsSilentWhileReceivingWithTheTunerOn) {
  p.core.swrText = "085";
  struct Case {
    int tuner, tx;
    bool speaks;
  } cases[] = {{0, 0, false}, {1, 0, true}, {2, 0, true}, {0, 1, true}};
  for (const auto& c : cases) {
    p.config.tunerState = c.tuner;
    p.core.txState = c.tx;
    p.config.swrAnnounce = 1;
    speakSwr(p);
    EXPECT_EQ(words().empty(), !c.speaks) << c.tuner << c.tx;
    EXPECT_EQ(p.config.swrAnnounce, c.speaks ? 2 : 1);
  }
}

// ---------------------------------------------------------------- ALC, power, band, keyer speed

TEST_F(Announcers, MeterPeakIntroducedOnceAndRestartsTheTickCount) {
  p.core.micMeterState = 1;
  p.core.meterPeak = 107;
  p.core.tickCount = 10;
  speakMeterPeak(p);
  EXPECT_EQ(words(), (Words{"alc", "1", "0", "7"}));
  EXPECT_EQ(p.core.micMeterState, 2);
  EXPECT_EQ(p.core.tickCount, 0);
  p.core.meterPeak = 0;
  p.core.tickCount = 12;
  speakMeterPeak(p);
  EXPECT_EQ(words(), (Words{"0"}));
  EXPECT_EQ(p.core.tickCount, 0);
}

TEST_F(Announcers, PowerDigitsThenWatts) {
  p.config.txPower = 5;
  speakPower(p);
  EXPECT_EQ(words(), (Words{"5", "watts"}));
  p.config.txPower = 100;
  speakPower(p);
  EXPECT_EQ(words(), (Words{"1", "0", "0", "watts"}));
}

TEST_F(Announcers, EveryBandName) {
  const char* names[] = {"160", "80", "60", "40", "30", "20", "17", "15", "12", "10", "6", "2", "70"};
  for (int band = 1; band <= 13; ++band) {
    p.band.currentBand = band;
    speakBand(p);
    EXPECT_EQ(words(), (Words{names[band - 1], "metres"})) << band;
  }
  p.band.currentBand = 14;
  speakBand(p);
  EXPECT_EQ(words(), (Words{"un"}));
  p.band.currentBand = 0;
  speakBand(p);
  EXPECT_EQ(words(), (Words{"metres"}));
  p.band.currentBand = 15;
  speakBand(p);
  EXPECT_EQ(words(), Words{});
}

TEST_F(Announcers, KeyerSpeedTensOnlyFromTen) {
  struct Case {
    int speed;
    Words want;
  } cases[] = {
      {8, {"8", "wpm"}}, {9, {"9", "wpm"}}, {10, {"1", "0", "wpm"}}, {25, {"2", "5", "wpm"}},
      {60, {"6", "0", "wpm"}},
  };
  for (const auto& c : cases) {
    p.level.keyerSpeed = c.speed;
    speakKeyerSpeed(p);
    EXPECT_EQ(words(), c.want) << c.speed;
  }
}

// ---------------------------------------------------------------- break-in and VOX

class AnnouncerToggles : public Announcers {
 protected:
  void SetUp() override {
    p.config.comPort = 5;
    ports.openPort(5, 38400);
    p.radio.usePort(5);
  }
};

TEST_F(AnnouncerToggles, BreakInSwitchesSendsAnnouncesAndShowsInCw) {
  p.mode.currentMode = 3;
  toggleBreakIn(p);
  EXPECT_EQ(p.core.breakIn, 1);
  EXPECT_EQ(words(), (Words{"bkin", "on"}));
  EXPECT_EQ(sent(), (Words{"BI1;"}));
  EXPECT_EQ(canvas.at(620, 250), "bin ");
  toggleBreakIn(p);
  EXPECT_EQ(p.core.breakIn, 0);
  EXPECT_EQ(words(), (Words{"bkin", "off"}));
  EXPECT_EQ(sent(), (Words{"BI0;"}));
  EXPECT_EQ(canvas.at(620, 250), std::string(5, ' '));
}

TEST_F(AnnouncerToggles, VoxSwitchesSendsAnnouncesAndShowsOutsideCw) {
  p.mode.currentMode = 2;
  toggleVox(p);
  EXPECT_EQ(p.core.voxOn, 1);
  EXPECT_EQ(words(), (Words{"vox", "on"}));
  EXPECT_EQ(sent(), (Words{"VX1;"}));
  EXPECT_EQ(canvas.at(620, 250), "vox");
  toggleVox(p);
  EXPECT_EQ(p.core.voxOn, 0);
  EXPECT_EQ(words(), (Words{"vox", "off"}));
  EXPECT_EQ(sent(), (Words{"VX0;"}));
  EXPECT_EQ(canvas.at(620, 250), std::string(5, ' '));
}

}  // namespace
}  // namespace korvel
