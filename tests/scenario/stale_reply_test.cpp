// A key that changes band between the poll's frequency query and the tick that reads its answer:
// the answer tells of the band just left and must not be stored into any band record.
#include <gtest/gtest.h>

#include <string>

#include "session.h"

namespace korvel {
namespace {

using testing::Session;

// Ticks until the poll has just sent "FA;" (the simulated radio has answered it at once).
void untilFrequencyAsked(Session& s) {
  for (int i = 0; i < 8; ++i) {
    s.tick();
    if (s.p.core.replyPending == 1 && s.p.core.pollPhase == poll_phase::kMeter) return;
  }
  FAIL() << "the poll never asked for the frequency";
}

TEST(StaleFrequencyReply, BandChangeBetweenQueryAndAnswerLeavesTheOldBandsRecord) {
  struct Case {
    const char* name;
    const char* before;  // keys typed (and polled) before the race
    const char* keys;    // keys typed between the query and its answer
    long long frequency; // where the radio is afterwards
  };
  for (const Case& c : {Case{"band key", "", "B6", 14200000},
                        Case{"typed frequency", "", "E14.2\n", 14200000},
                        Case{"memory recall", "B6", "G35", 14200000}}) {
    SCOPED_TRACE(c.name);
    Session s;
    if (*c.before != '\0') {
      s.type(c.before);
      s.poll();
      s.type("C35");  // store the 20 m state, then go back to 40 m
      s.type("B4");
      s.poll();
    }
    const std::string band4 = s.record(4);
    ASSERT_NO_FATAL_FAILURE(untilFrequencyAsked(s));
    s.type(c.keys);
    s.tick(6);  // the stale answer, then a fresh query and its answer
    EXPECT_EQ(s.record(4), band4);
    EXPECT_EQ(s.p.link.frequencyHz, c.frequency);
    EXPECT_EQ(s.p.band.currentBand, 6);
    // Back on 40 m the record still recalls LSB with the preamp off.
    s.forget();
    s.type("B4");
    const auto sent = s.commands();
    EXPECT_TRUE(testing::has(sent, "MD01;")) << ::testing::PrintToString(sent);
    EXPECT_TRUE(testing::has(sent, "PA00;")) << ::testing::PrintToString(sent);
  }
}

TEST(StaleFrequencyReply, ABandLeftAgainBeforeTheRadioReportedItLeavesBothRecords) {
  Session s;
  const std::string band4 = s.record(4);
  const std::string band6 = s.record(6);
  s.type("B6B4");  // faster than the poll: no frequency answer between the two
  EXPECT_EQ(s.record(4), band4);
  EXPECT_EQ(s.record(6), band6);
  s.poll();
  EXPECT_EQ(s.p.link.frequencyHz, 7100000);
  s.forget();
  s.type("B6");
  EXPECT_TRUE(testing::has(s.commands(), "MD02;"));
}

}  // namespace
}  // namespace korvel
