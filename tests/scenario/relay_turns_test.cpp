// The relay and the poll taking turns on the radio line at a settled station: every command of the
// other program relayed in order with exactly its own answer, the poll and the keys going on, and
// no client, however bad, leaving the relay stuck or the program's state torn.
#include <gtest/gtest.h>

#include <string>

#include "core/dispatcher.h"
#include "session.h"
#include "state/band_record.h"
#include "state/text.h"

namespace korvel {
namespace {

using testing::Commands;
using testing::Session;

constexpr int kRelayPort = 6;
constexpr int kRadioPort = 5;

struct RelaySession : Session {
  // The pass-through port exists before start-up, so that the connection opens it.
  RelaySession()
      : Session({.config = testing::sampleConfig(kRadioPort, kRelayPort, 1), .ready = testing::Ready::kNothing}) {
    ports.addPort(kRelayPort);
    EXPECT_TRUE(settle());
  }
  void client(const std::string& bytes) { ports.feed(kRelayPort, bytes); }
  // The program woken between ticks by input on a watched port.
  void input() { handleEvent(p, {platform::kPortInputMessage, 0}); }
  const std::string& answers() const { return ports.written(kRelayPort); }
  int count(const Commands& commands, const std::string& command) const {
    return static_cast<int>(std::count(commands.begin(), commands.end(), command));
  }
};

TEST(RelayTurns, EveryCommandRelayedInOrderWithOnlyItsOwnAnswerWhileThePollGoesOn) {
  RelaySession s;
  s.client("ID;FA;MD0;FA014074000;FA;AI1;AI;");
  s.tick(20);
  EXPECT_EQ(s.answers(), "ID0761;FA007100000;MD01;FA014074000;AI0;");
  const Commands sent = s.sent();
  Commands relayed;
  for (const auto& c : sent) {
    if (c == "ID;" || c == "MD0;" || c == "FA014074000;" || c.rfind("AI", 0) == 0) relayed.push_back(c);
  }
  EXPECT_EQ(relayed, (Commands{"ID;", "MD0;", "FA014074000;"}));  // auto-information never reaches the radio
  EXPECT_GE(s.count(sent, "SM0;"), 3);                           // the poll kept its turns
  EXPECT_EQ(s.p.link.frequencyHz, 14074000);                     // and the program followed
  EXPECT_EQ(s.p.radio.lastFrequencyCommand(), "FA014074000;");
}

TEST(RelayTurns, BadClientsLeaveNeitherTheRelayStuckNorTheProgramTorn) {
  const std::string probe = "ID0761;";
  std::string flood, floodAnswers;
  for (int i = 0; i < 80; ++i) flood += "MD0;";
  for (int i = 0; i < 79; ++i) floodAnswers += "MD01;";
  struct Case {
    const char* name;
    std::string bytes;
    std::string heard;  // everything the client hears back, the two probes included
  } const cases[] = {
      {"garbage", std::string("\x01\xff\x7f;", 4), "?;" + probe + probe},
      {"255 bytes without a terminator", std::string(255, 'x'), probe + probe},
      {"frequency setting that is not digits", "FA01x074000;", "?;" + probe + probe},
      {"auto-information on", "AI1;", probe + probe},
      {"half a command, then the client reopens", "FA0140", "?;" + probe},  // joined to the first probe
      {"flood: the command cut off by the full buffer is lost whole", flood, floodAnswers + probe + probe},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RelaySession s;
    s.client(c.bytes);
    s.input();  // woken at once by the bytes, as the real front ends are
    s.tick(6);
    EXPECT_LE(s.p.link.relayBuffer.size(), kStoredTextCap);
    for (int i = 0; i < 2; ++i) {
      s.client("ID;");
      s.tick(200);
    }
    EXPECT_EQ(s.answers(), c.heard);
    EXPECT_EQ(s.p.radio.lastFrequencyCommand(), "FA007100000;");
    EXPECT_GE(s.count(s.sent(), "FA;"), 20);  // the poll went on throughout
    s.type("B6");                               // and the keys work as ever
    EXPECT_EQ(s.p.radio.lastFrequencyCommand(), "FA014200000;");
  }
}

// From here the test plays a radio that answers late: the answers are fed by hand.
TEST(RelayTurns, AKeyWhileAnAnswerIsAwaitedFirstHandsItToTheClient) {
  RelaySession s;
  s.ports.setRadio(nullptr);
  s.tick(8);
  s.client("FA;");
  for (int i = 0; i < 8 && !s.p.radio.turns.relayAwaiting; ++i) s.tick();
  ASSERT_TRUE(s.p.radio.turns.relayAwaiting);
  // The radio answers the poll's frequency query, still open, and then the client's.
  s.ports.feed(kRadioPort, "FA007100000;FA007100000;");
  s.forget();
  s.type("B6");
  EXPECT_EQ(s.answers(), "FA007100000;");
  EXPECT_EQ(s.sent().front(), "MD02;");  // the band change went out after the answer was taken
  s.tick(2);
  // The relayed answer came from before the band change: the 20 m record keeps its frequency.
  EXPECT_EQ(band_record::vfoADigits(s.p.band.bandTable[6]), "014200000");
}

TEST(RelayTurns, ALatePollReplyIsThePollsAndNotTheClients) {
  RelaySession s;
  s.ports.setRadio(nullptr);
  for (int i = 0; i < 8 && !(s.p.core.replyPending == 1 && s.p.core.pollPhase == poll_phase::kFrequency); ++i) s.tick();
  ASSERT_EQ(s.sent().back(), "SM0;");
  s.client("FT;");
  s.tick();  // the poll's reply is not in: the client's command goes out all the same
  EXPECT_EQ(s.sent(), Commands{"FT;"});
  s.ports.feed(kRadioPort, "SM0120;FT0;");
  s.tick();  // each answer by its own letters: the other to the client at once
  EXPECT_EQ(s.answers(), "FT0;");
  s.tick(2);  // the meter's to the poll, at its next reply tick
  EXPECT_EQ(s.p.core.sMeterValue, 120);
}

// Woken by port input between ticks, the relay does not wait for the timer, but only while the line
// is free: a poll query out, or a poll kept waiting by the relay, comes first.
TEST(RelayTurns, BetweenTicksTheRelayAnswersAtOnceAndThePollKeepsItsTurns) {
  RelaySession s;
  for (int i = 0; i < 8 && s.p.core.replyPending == 0; ++i) s.tick();  // the poll's query is out
  s.forget();
  s.client("FT;");
  s.input();
  EXPECT_TRUE(s.sent().empty()) << "the line is the poll's until its reply is read";
  s.tick();
  EXPECT_EQ(s.sent(), Commands{"FT;"});
  EXPECT_EQ(s.answers(), "FT0;");

  s.client("ID;MD0;FB;");
  s.input();  // a free line: all three in one wake-up, with no tick
  EXPECT_EQ(s.answers(), "FT0;ID0761;MD01;FB007100000;");

  // A slow radio: a tick comes while the relay holds the line, so the poll is owed its query. The
  // answer's arrival hands it back and sends the query at once; the next command waits its turn.
  s.ports.setRadio(nullptr);
  s.client("FA;");
  s.input();
  ASSERT_TRUE(s.p.radio.turns.relayAwaiting);
  s.tick();
  s.forget();
  s.client("FT;");
  s.ports.feed(kRadioPort, "FA007100000;");
  s.input();
  EXPECT_EQ(s.answers(), "FT0;ID0761;MD01;FB007100000;FA007100000;");
  const Commands sent = s.sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_TRUE(sent[0] == "FA;" || sent[0] == "SM0;") << sent[0];
  EXPECT_EQ(s.p.core.replyPending, 1);
}

}  // namespace
}  // namespace korvel
