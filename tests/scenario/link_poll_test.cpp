// The poll cycle: the query/reply alternation, the meter queries, late and merged replies, the
// widening of eight-digit replies, the model from a stray "ID" reply and the tick counter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/poll_cycle.h"
#include "session.h"
#include "radio_link/cat.h"
#include "radio_link/debug_log.h"

namespace korvel::testing {
namespace {


// A connected station with no radio on the line: the test plays the radio by feeding replies.
struct PollStation {
  Session st{{.model = 0, .ready = Ready::kLink, .connected = true}};
  Panel& p = st.panel;
  // A query tick, then the given reply arrives and the reply tick reads it.
  void answer(const std::string& reply) {
    st.tick();
    st.ports.feed(5, reply);
    st.tick();
  }
};

TEST(PollCycle, AlternatesFrequencyAndMeterQueriesOneTickApart) {
  PollStation s;
  s.st.tick(8);
  EXPECT_EQ(s.st.sent(), (Commands{"FA;", "SM0;", "FA;", "SM0;"}));
}

TEST(PollCycle, MeterQueryFollowsTransmitTuneAndMicMetering) {
  struct Case {
    int tune, tx, mic;
    const char* query;
  };
  for (const Case& c : {Case{0, 0, 0, "SM0;"}, Case{1, 0, 0, "RM6;"}, Case{0, 1, 0, "RM6;"}, Case{0, 0, 1, "RM4;"},
                        Case{0, 3, 1, "RM4;"}, Case{1, 0, 1, "RM4;"}}) {
    PollStation s;
    s.p.core.pollPhase = poll_phase::kMeter;
    s.p.core.tuneActive = c.tune;
    s.p.core.txState = c.tx;
    s.p.core.micMeterState = c.mic;
    s.st.tick();
    EXPECT_EQ(s.st.sent(), Commands{c.query}) << c.tune << c.tx << c.mic;
    EXPECT_EQ(s.p.core.pollPhase, 0);
    EXPECT_EQ(s.p.core.replyPending, 1);
  }
}

TEST(PollCycle, PausedTicksDoNothingNotEvenCount) {
  PollStation s;
  s.p.core.tickCount = 7;
  s.p.core.pollPaused = 1;
  s.st.tick(5);
  EXPECT_EQ(s.p.core.tickCount, 7);
  EXPECT_TRUE(s.st.sent().empty());
  EXPECT_EQ(s.p.core.replyPending, 0);
}

TEST(PollCycle, TickCountRunsZeroToTwenty) {
  PollStation s;
  s.p.core.tickCount = 19;
  s.st.tick();
  EXPECT_EQ(s.p.core.tickCount, 20);
  s.st.tick();
  EXPECT_EQ(s.p.core.tickCount, 0);
}

TEST(PollCycle, MissingReplyIsNotAskedForAgain) {
  PollStation s;
  s.st.tick(2);
  EXPECT_EQ(s.st.sent(), Commands{"FA;"});
  s.st.tick();
  EXPECT_EQ(s.st.sent(), Commands{"SM0;"});
}

TEST(PollCycle, LateFrequencyAndMeterReadingTogetherAreBothHandled) {
  PollStation s;
  s.p.core.pollPhase = poll_phase::kMeter;
  s.answer("");  // the meter's answer is late
  s.answer("FA014074000;SM0012;");
  EXPECT_EQ(s.p.link.frequencyHz, 14074000);
  EXPECT_EQ(s.p.core.sMeterValue, 12);
  EXPECT_EQ(s.p.speech.waveFolder, "wave/");
}

// A radio whose answers come late and in pairs (a meter answer, then the frequency answer, in one
// read) or cut by the end of a read: every frequency answer is taken by its own letters, whichever
// read it comes in, and no "noread" is said.
TEST(PollCycle, LateMergedAndCutAnswersAreEachTaken) {
  PollStation s;
  const struct {
    const char* reply;
    long long hertz;
  } reads[] = {
      {"", 7100000},                     // the frequency answer is late: nothing yet
      {"SM0111;FA007100010;", 7100010},  // the meter query's read brings it, behind the meter answer
      {"FA0071", 7100010},               // cut by the end of the read
      {"00020;SM0100;", 7100020},        // its rest, and the meter answer
      {"SM0090;", 7100020},              // a late meter answer alone
      {"FA007100030;", 7100030},
  };
  for (const auto& read : reads) {
    s.answer(read.reply);
    EXPECT_EQ(s.p.link.frequencyHz, read.hertz) << read.reply;
  }
  for (int round = 0; round < 10; ++round) s.answer(round % 2 ? "FA007100030;SM0100;" : "SM0100;");
  for (const auto& word : s.st.words()) EXPECT_NE(word, "noread");
}

TEST(PollCycle, SMeterUpdateIsSilentAndRestoresTheWordFolder) {
  PollStation s;
  s.p.core.pollPhase = poll_phase::kMeter;
  s.answer("SM0140;");
  EXPECT_EQ(s.p.core.sMeterValue, 140);
  EXPECT_TRUE(s.st.words().empty());
  EXPECT_EQ(s.p.speech.waveFolder, "wave/");
}

TEST(PollCycle, EightDigitModelsAreWidenedBeforeTheHandlerAndTheLog) {
  for (const int model : {362, 462, 241}) {
    PollStation s;
    s.p.radio.setModelNumber(model);
    s.p.config.debugLog = 1;
    openDebugLog(s.p);
    s.answer("FA14200000;");
    ASSERT_TRUE(s.p.link.lastFrequencyReply) << model;
    EXPECT_EQ(cat::frequencyReplyText(*s.p.link.lastFrequencyReply), "FA014200000") << model;
    EXPECT_EQ(s.p.link.frequencyHz, 14200000) << model;
    EXPECT_NE(s.st.file("debug.dat").find("RX=FA014200000;\r\n"), std::string::npos) << model;
  }
}

TEST(PollCycle, NineDigitModelsAreNotWidened) {
  PollStation s;
  s.p.radio.setModelNumber(761);
  s.answer("FA014200000;");
  EXPECT_EQ(s.p.link.frequencyHz, 14200000);
}

TEST(PollCycle, StrayIdReplyIdentifiesTheRadioWhileUnknown) {
  struct Case {
    int before;
    const char* reply;
    int after;
  };
  for (const Case& c : {Case{0, "ID0761;", 761}, Case{0, "ID0310;", 241}, Case{0, "XXID0650;", 650},
                        Case{761, "ID0650;", 761}, Case{0, "IDxx", 0}}) {
    PollStation s;
    s.p.radio.setModelNumber(c.before);
    s.answer(c.reply);
    EXPECT_EQ(s.p.radio.modelNumber(), c.after) << c.reply;
  }
}

TEST(PollCycle, SwrPeakIsHeldOnceTheCarrierHasSettled) {
  PollStation s;
  auto& core = s.p.core;
  core.txState = 1;
  core.txSettleTicks = 1;
  core.swrText = "050";
  s.p.core.pollPhase = poll_phase::kMeter;
  s.answer("RM6010;");  // still settling: taken as it is
  EXPECT_EQ(core.swrText, "010");
  EXPECT_EQ(core.txSettleTicks, 0);
  s.p.core.pollPhase = poll_phase::kMeter;
  s.answer("RM6030;");
  EXPECT_EQ(core.swrText, "030");
  s.p.core.pollPhase = poll_phase::kMeter;
  s.answer("RM6020;");  // lower: the peak stays
  EXPECT_EQ(core.swrText, "030");
}

TEST(PollCycle, SwrIsSpokenOnlyWhenAskedForOrReceiving) {
  // The words of the SWR routine itself belong to the announcer; here only whether it runs.
  struct Case {
    int announce, tx;
    bool spoken;
  };
  for (const Case& c : {Case{0, 1, false}, Case{1, 1, true}, Case{0, 0, true}}) {
    PollStation s;
    s.p.config.swrAnnounce = c.announce;
    s.p.core.txState = c.tx;
    s.p.core.tuneActive = c.tx == 0;  // the radio is asked for its SWR while tuning too
    s.p.core.pollPhase = poll_phase::kMeter;
    s.st.words();
    s.answer("RM6010;");
    EXPECT_EQ(!s.st.words().empty(), c.spoken) << c.announce << c.tx;
  }
}

TEST(PollCycle, TransmitStateTwentyEndsWithTheSwrReading) {
  PollStation s;
  s.p.core.txState = 20;
  s.p.core.pollPhase = poll_phase::kMeter;
  s.answer("RM6010;");
  EXPECT_EQ(s.p.core.txState, 0);
}

TEST(PollCycle, MicLevelPeakIsKeptWhileMetering) {
  PollStation s;
  auto& core = s.p.core;
  core.micMeterState = 1;
  core.meterPeak = 40;
  core.tickCount = 0;
  s.answer("RM4030;");
  EXPECT_EQ(core.meterPeak, 40);
  s.answer("RM4090;");
  EXPECT_EQ(core.meterPeak, 90);

  core.micMeterState = 0;
  s.answer("RM4120;");
  EXPECT_EQ(core.meterPeak, 90);  // not metering: ignored
}

TEST(PollCycle, NothingHappensWithoutARadio) {
  PollStation s;
  s.p.link.connected = 0;
  s.p.link.frequencyHz = 0;
  s.st.tick(20);
  EXPECT_EQ(s.p.link.frequencyHz, 0);
  EXPECT_EQ(s.p.link.connected, 0);
}

}  // namespace
}  // namespace korvel::testing
