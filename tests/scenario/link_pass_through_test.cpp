// The pass-through relay: another program's commands reach the radio one at a time, the radio's
// answers go back, and no stream of bytes can leave the relay stuck.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "session.h"
#include "radio_link/debug_log.h"
#include "radio_link/pass_through.h"

namespace korvel::testing {
namespace {


constexpr int kRelayPort = 6;

// A connected station with no radio: the test plays the radio on port 5 and the other program on
// port 6. Each relay starts on a query tick and runs until its exchange is over (a setting waits
// out its answer); the poll's query that follows is not counted, and a reply tick ends the turn.
struct RelayStation {
  Session st{{.model = 0, .ready = Ready::kLink, .connected = true}};
  Panel& p = st.panel;
  RelayStation() {
    st.ports.addPort(kRelayPort);
    p.config.passThroughPort = kRelayPort;
    setUpPort(p, kRelayPort);
  }
  // The other program sends bytes; the radio will have `answer` waiting when the relay reads.
  Commands relay(const std::string& bytes, const std::string& answer = "") {
    st.ports.feed(kRelayPort, bytes);
    if (!answer.empty()) st.ports.feed(5, answer);
    st.tick();  // query tick: the relay runs first, then the poll sends its own query
    Commands sent = st.sent();
    while (p.radio.turns.relayAwaiting) {
      st.tick();
      for (auto& command : st.sent()) sent.push_back(std::move(command));
    }
    if (!sent.empty()) sent.pop_back();  // the poll's own query
    st.tick();  // reply tick
    st.sent();
    return sent;
  }
};

TEST(PassThrough, CommandSplitOverTwoReadsIsSentOnceComplete) {
  RelayStation r;
  EXPECT_TRUE(r.relay("I").empty());
  EXPECT_EQ(r.p.link.relayBuffer, "I");
  EXPECT_EQ(r.p.link.relayActive, 0);
  EXPECT_EQ(r.relay("D;", "ID0761;"), Commands{"ID;"});
  EXPECT_EQ(r.p.link.relayActive, 1);
  EXPECT_TRUE(r.p.link.relayBuffer.empty());
}

TEST(PassThrough, EveryCommandOfABurstIsForwardedInTurn) {
  RelayStation r;
  r.st.ports.feed(kRelayPort, "ID;PS;");
  r.st.ports.feed(5, "ID0761;");
  r.st.tick(2 + kAnswerWaitTicks);
  // The second goes out once the poll has had its turn: its query, and the tick that looks for its
  // answer (here never coming; coming late, its letters would keep it from the second command).
  const Commands sent = r.st.sent();
  ASSERT_GE(sent.size(), 3u);
  EXPECT_EQ(Commands(sent.begin(), sent.begin() + 3), (Commands{"ID;", "FA;", "PS;"}));
  EXPECT_EQ(r.st.ports.written(kRelayPort), "ID0761;");
  EXPECT_TRUE(r.p.link.relayBuffer.empty());
}

TEST(PassThrough, RadioAnswerGoesBackUnchanged) {
  RelayStation r;
  r.relay("ID;", "ID0761;");
  EXPECT_EQ(r.st.ports.written(kRelayPort), "ID0761;");
}

TEST(PassThrough, SettingGetsNothingBack) {
  RelayStation r;
  EXPECT_EQ(r.relay("PC050;"), Commands{"PC050;"});
  EXPECT_EQ(r.st.ports.written(kRelayPort), "");
  EXPECT_TRUE(r.p.link.relayBuffer.empty());
}

TEST(PassThrough, ModeCommandIsFollowedWithoutAModeCommandOfOurOwn) {
  struct Case {
    const char* command;
    int mode;  // the program's own number for the radio's mode
  };
  for (const Case& c : {Case{"MD02;", 2}, Case{"MD03;", 3}, Case{"MD04;", 7}, Case{"MD05;", 4}, Case{"MD0B;", 5}}) {
    RelayStation r;
    r.p.mode.currentMode = 1;
    const Commands sent = r.relay(c.command);
    const auto modeCommands = std::count_if(sent.begin(), sent.end(), [](const std::string& s) {
      return s.rfind("MD0", 0) == 0;
    });
    EXPECT_EQ(modeCommands, 1) << c.command;
    EXPECT_EQ(sent.front(), c.command);
    EXPECT_EQ(r.p.mode.currentMode, c.mode) << c.command;
    EXPECT_EQ(r.st.ports.written(kRelayPort), "") << c.command;
  }
}

TEST(PassThrough, ModeTheProgramHasNoNumberForLeavesItsModeAlone) {
  RelayStation r;
  r.p.mode.currentMode = 2;
  EXPECT_EQ(r.relay("MD0C;"), Commands{"MD0C;"});
  EXPECT_EQ(r.p.mode.currentMode, 2);
}

TEST(PassThrough, ModeQueryIsRelayedAndAnswered) {
  RelayStation r;
  EXPECT_EQ(r.relay("MD0;", "MD02;"), Commands{"MD0;"});
  EXPECT_EQ(r.st.ports.written(kRelayPort), "MD02;");
  EXPECT_EQ(r.p.mode.currentMode, 1);
}

TEST(PassThrough, FrequencyAnswerAlsoUpdatesTheProgram) {
  RelayStation r;
  EXPECT_EQ(r.relay("FA;", "FA014074000;"), Commands{"FA;"});
  EXPECT_EQ(r.st.ports.written(kRelayPort), "FA014074000;");
  EXPECT_EQ(r.p.link.frequencyHz, 14074000);
}

TEST(PassThrough, FrequencySettingFollowsSplitAndIsRemembered) {
  RelayStation r;
  r.p.tone.vfoB = 1;
  EXPECT_EQ(r.relay("FA014250000;"), Commands{"FB014250000;"});
  EXPECT_EQ(r.p.radio.lastFrequencyCommand(), "FB014250000;");
}

TEST(PassThrough, FullBufferWithoutTerminatorIsDropped) {
  RelayStation r;
  EXPECT_TRUE(r.relay(std::string(254, 'x')).empty());
  EXPECT_TRUE(r.p.link.relayBuffer.empty());
  EXPECT_EQ(r.relay("ID;", "ID0761;"), Commands{"ID;"});
}

TEST(PassThrough, OverlongRunIsDroppedUpToItsTerminatorAndTheNextCommandSurvives) {
  RelayStation r;
  EXPECT_TRUE(r.relay(std::string(200, 'x')).empty());
  EXPECT_EQ(r.p.link.relayBuffer.size(), 200u);
  EXPECT_EQ(r.relay(std::string(100, 'x') + ";ID;", "ID0761;"), Commands{"ID;"});
}

TEST(PassThrough, LongCommandJustUnderTheLimitStillGoesThrough) {
  RelayStation r;
  const std::string longCommand = "EX" + std::string(251, '0');  // 253 characters, ";" at 254
  EXPECT_EQ(r.relay(longCommand + ";"), Commands{longCommand + ";"});
}

TEST(PassThrough, DebugLogShowsBothDirections) {
  RelayStation r;
  r.p.config.debugLog = 1;
  openDebugLog(r.p);
  r.relay("ID;PS;", "ID0761;");
  const std::string log = r.st.file("debug.dat");
  EXPECT_NE(log.find("***VRX1=ID;PS;\r\nTX=ID;\r\n"), std::string::npos);
  EXPECT_NE(log.find("***VTX1=ID0761;\r\n"), std::string::npos);
}

TEST(PassThrough, NoRelayWithoutAPassThroughPort) {
  RelayStation r;
  r.p.config.passThroughPort = 0;
  EXPECT_TRUE(r.relay("ID;").empty());
}

}  // namespace
}  // namespace korvel::testing
