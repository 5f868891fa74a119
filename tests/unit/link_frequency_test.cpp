// Frequency replies after the connection, the band a frequency belongs to, and how frequency
// commands are formed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session.h"
#include "core/connection.h"
#include "functions/band_table.h"
#include "radio_link/cat.h"
#include "radio_link/transport.h"

namespace korvel::testing {
namespace {


struct Connected {
  Session st{{.model = 0, .ready = Ready::kLink, .connected = true}};
  Panel& p = st.panel;
  void reply(const std::string& text) {
    handleFrequencyReply(p, cat::frequencyReply(text));
  }
};

TEST(FrequencyReply, DisplayTextIsRightAlignedWithBlanksForLeadingZeros) {
  struct Case {
    const char* reply;
    long long hz;
    const char* text;
  };
  for (const Case& c : {Case{"FA014074000;", 14074000, " 14.074000"}, Case{"FA007100000;", 7100000, "  7.100000"},
                        Case{"FA145500000;", 145500000, "145.500000"}, Case{"FA000500000;", 500000, "   .500000"}}) {
    Connected s;
    s.reply(c.reply);
    EXPECT_EQ(s.p.link.frequencyHz, c.hz) << c.reply;
    EXPECT_EQ(s.p.link.frequencyText, c.text) << c.reply;
    EXPECT_EQ(s.st.canvas.at(285, 150), std::string(c.text) + std::string(13, ' ')) << c.reply;
  }
}

TEST(FrequencyReply, SplitAndRepeaterIndicatorsGoInFrontOfTheFrequency) {
  struct Case {
    int vfoB, repeater;
    std::vector<std::string> fields;  // drawn at y 150 from x 80 on, before the frequency
  };
  for (const Case& c : {Case{0, 0, {"    ", "    "}}, Case{1, 0, {"B   ", "    "}}, Case{0, 1, {"R   ", "    "}},
                        Case{1, 1, {"R   "}}}) {
    Connected s;
    s.p.tone.vfoB = c.vfoB;
    s.p.tone.repeaterActive = static_cast<repeater_shift::RepeaterShift>(c.repeater);
    s.st.canvas.fields.clear();
    s.reply(c.vfoB ? "FB014074000;" : "FA014074000;");
    std::vector<std::string> drawn;
    for (const auto& f : s.st.canvas.fields) {
      if (f.y == 150 && f.x < 285) drawn.push_back(f.text);
    }
    EXPECT_EQ(drawn, c.fields) << c.vfoB << c.repeater;
    ASSERT_FALSE(s.st.canvas.fields.empty());
    EXPECT_EQ(s.st.canvas.at(80, 150), c.fields.front());
  }
}

TEST(FrequencyReply, RemembersTheReplyPerVfo) {
  Connected s;
  s.reply("FA014074000;");
  s.reply("FB007100000;");
  EXPECT_EQ(s.p.link.vfoAText, "A014074000");
  EXPECT_EQ(s.p.link.vfoBText, "B007100000");
  ASSERT_TRUE(s.p.link.lastFrequencyReply);
  EXPECT_EQ(cat::frequencyReplyText(*s.p.link.lastFrequencyReply), "FB007100000");
}

TEST(FrequencyReply, TruncatedMergedOrGarbledRepliesAreIgnored) {
  for (const char* bad : {"FA01407400;", "FA0140740001;", "FA014074000", "FA;", "FA014074000SM0;", "FA01407a000;",
                          "FA -14074000;", "FA 14074000;"}) {
    Connected s;
    s.p.link.frequencyText = "  7.100000";
    s.reply(bad);
    EXPECT_EQ(s.p.link.frequencyHz, 7100000) << bad;
    EXPECT_EQ(s.p.link.frequencyText, "  7.100000") << bad;
    EXPECT_FALSE(s.p.link.lastFrequencyReply) << bad;
    EXPECT_EQ(s.st.canvas.at(285, 150), "") << bad;
  }
}

TEST(FrequencyReply, ReplyMovesTheBandAndSavesItsRecord) {
  Connected s;
  s.reply("FA014123000;");
  EXPECT_EQ(s.p.band.currentBand, 6);
  EXPECT_EQ(s.p.band.bandTable[6].size(), 26u);
  EXPECT_NE(s.p.band.bandTable[6].find("A014123000"), std::string::npos);
}

TEST(FrequencyReply, QuitCountdownEndsTheProgramAtTheSecondReplyAfterQuit) {
  Connected s;
  s.p.core.quitCountdown = 1;
  s.reply("FA014074000;");
  EXPECT_EQ(s.p.core.quitCountdown, 2);
  EXPECT_EQ(s.p.core.running, 1);
  s.reply("FA014074000;");
  EXPECT_EQ(s.p.core.quitCountdown, 0);
  EXPECT_EQ(s.p.core.running, 0);
  EXPECT_TRUE(std::filesystem::exists(s.st.folder / "savmem.dat"));
}

TEST(FrequencyReply, NoCountdownWithoutQuit) {
  Connected s;
  for (int i = 0; i < 5; ++i) s.reply("FA014074000;");
  EXPECT_EQ(s.p.core.quitCountdown, 0);
  EXPECT_EQ(s.p.core.running, 1);
}

TEST(FrequencyReply, AnnouncesOnceAfterAMemoryRecall) {
  for (const int preamp : {0, 1}) {
    Connected s;
    s.p.fn.preampOn = preamp;
    s.p.link.announceOnNextReply = 1;
    s.reply("FA014074000;");
    const auto words = s.st.words();
    ASSERT_GE(words.size(), 2u);
    EXPECT_EQ(words[words.size() - 2], "preamp");
    EXPECT_EQ(words.back(), preamp ? "on" : "off");
    EXPECT_EQ(s.p.link.announceOnNextReply, 0);
    s.reply("FA014074000;");
    EXPECT_TRUE(s.st.words().empty());
  }
}

TEST(FrequencyReply, QuietRecallLeavesOutThePreamp) {
  Connected s;
  s.p.tone.speechQuiet = 1;
  s.p.link.announceOnNextReply = 1;
  s.reply("FA014074000;");
  for (const auto& w : s.st.words()) EXPECT_NE(w, "preamp");
}

TEST(BandFromFrequency, MapsWholeMegahertzAndRefusesFmWhereItDoesNotBelong) {
  struct Case {
    const char* reply;
    int mode;
    int band;
    int allowed;
  };
  const std::vector<Case> cases{
      {"FA028500000", 7, 10, 1}, {"FA014200000", 7, 6, 0},  {"FA001840000", 1, 1, 1},  {"FA003573000", 1, 2, 1},
      {"FA005357000", 2, 3, 1},  {"FA007100000", 1, 4, 1},  {"FA010136000", 3, 5, 1},  {"FA018100000", 2, 7, 1},
      {"FA021200000", 2, 8, 1},  {"FA024940000", 2, 9, 1},  {"FA029600000", 5, 10, 1}, {"FA029600000", 6, 10, 0},
      {"FA050150000", 6, 11, 0}, {"FA054000000", 7, 11, 1}, {"FA145500000", 6, 12, 1}, {"FA148000000", 5, 12, 1},
      {"FA430000000", 6, 13, 1}, {"FA449999999", 7, 13, 1}, {"FA450000000", 1, 14, 1}, {"FA000500000", 4, 14, 1},
      {"FA060000000", 1, 14, 1}, {"FA014200000", 4, 6, 1},  {"FB007100000", 5, 4, 0},
  };
  for (const Case& c : cases) {
    Connected s;
    s.p.mode.currentMode = c.mode;
    const bool allowed = bandFromFrequency(s.p, cat::frequencyReply(std::string(c.reply) + ";")->hz);
    EXPECT_EQ(s.p.band.currentBand, c.band) << c.reply << " mode " << c.mode;
    EXPECT_EQ(allowed, c.allowed == 1) << c.reply << " mode " << c.mode;
  }
}

TEST(SendFrequency, PadsToNineDigits) {
  struct Case {
    long long hz;
    int vfoB;
    const char* sent;
  };
  for (const Case& c : {Case{14074000, 0, "FA014074000;"}, Case{7100000, 0, "FA007100000;"},
                        Case{145500000, 0, "FA145500000;"}, Case{14250000, 1, "FB014250000;"},
                        Case{500000, 0, "FA000500000;"}}) {
    Connected s;
    s.p.link.frequencyHz = c.hz;
    s.p.tone.vfoB = c.vfoB;
    sendFrequency(s.p);
    EXPECT_EQ(s.st.sent(), Commands{c.sent});
  }
}

TEST(SnapToKilohertz, UsbGoesUpEveryOtherModeDown) {
  struct Case {
    long long hz;
    int mode;
    long long after;
    const char* sent;
  };
  for (const Case& c : {Case{999000, 1, 998000, "FA000998000;"}, Case{14074500, 2, 14075000, "FA014075000;"},
                        Case{14074000, 2, 14075000, "FA014075000;"}, Case{14074500, 3, 14074000, "FA014074000;"},
                        Case{14074000, 3, 14073000, "FA014073000;"}, Case{7100999, 1, 7100000, "FA007100000;"}}) {
    Connected s;
    s.p.link.frequencyHz = c.hz;
    s.p.mode.currentMode = c.mode;
    snapToKilohertz(s.p);
    EXPECT_EQ(s.p.link.frequencyHz, c.after) << c.hz << " mode " << c.mode;
    EXPECT_EQ(s.st.sent(), Commands{c.sent}) << c.hz << " mode " << c.mode;
  }
}

}  // namespace
}  // namespace korvel::testing
