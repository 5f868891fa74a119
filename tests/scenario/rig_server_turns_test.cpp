// The rig server at a settled station: its clients' settings share the radio line's turns with the
// pass-through and the poll, the program follows them, and no client, however bad, holds up another.
#include <gtest/gtest.h>

#include <string>

#include "session.h"

namespace korvel {
namespace {

using testing::Commands;
using testing::Session;
using testing::Words;

constexpr int kRelayPort = 6;

// A station whose pass-through port and rig server both serve other programs.
struct ServerSession : testing::ServerSession {
  ServerSession() : testing::ServerSession({.config = testing::sampleConfig(5, kRelayPort, 1)}, kRelayPort) {}
};

TEST(RigServerTurns, AClientsSettingsGoOutInTheRelaysTurnsAndAreFollowed) {
  ServerSession s;
  const int client = s.network.connect();
  // A data mode, a question behind it, and a pass-through command waiting at the same time.
  s.ports.feed(kRelayPort, "FA;");
  EXPECT_EQ(s.exchange(client, "M PKTUSB 2400\nm\nf\n", 10), "RPRT 0\nPKTUSB\n2400\n7100000\n");
  EXPECT_EQ(s.ports.written(kRelayPort), "FA007100000;");
  const Commands sent = s.commands();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.front(), "MD0C;");  // the radio's own data mode; the program sends no mode after it
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "MD02;"), 0);
  EXPECT_EQ(s.canvas.at(50, 45), "DATA-U  ");
  EXPECT_TRUE(s.p.link.relayActive);
  // The operator's mode key takes the program back to a mode of its own.
  s.press('M');
  EXPECT_EQ(s.exchange(client, "m\n"), "CW\n600\n");
}

// A program that sets the frequency and then the mode (as WSJT-X does) leaves the radio on its
// frequency, though the poll has not read it back between the two.
TEST(RigServerTurns, AClientsFrequencyThenModeLeaveTheRadioWhereTheClientPutIt) {
  ServerSession s;
  const int client = s.network.connect();
  EXPECT_EQ(s.exchange(client, "F 14075000\nM CW 500\nf\n", 10), "RPRT 0\nRPRT 0\n14075000\n");
  Commands tuned;
  for (const std::string& c : s.commands()) {
    if (c.starts_with("FA0")) tuned.push_back(c);
  }
  ASSERT_FALSE(tuned.empty());
  EXPECT_EQ(tuned, Commands(tuned.size(), "FA014075000;"));
}

TEST(RigServerTurns, TheOperatorHearsAClientKeyAndReleaseTheTransmitter) {
  ServerSession s;
  const int client = s.network.connect();
  EXPECT_EQ(s.exchange(client, "T 1\nt\n"), "RPRT 0\n1\n");
  EXPECT_EQ(s.said(), (Words{"tx", "on"}));
  EXPECT_EQ(s.exchange(client, "T 0\nt\nT 0\n"), "RPRT 0\n0\nRPRT 0\n");
  EXPECT_EQ(s.said(), (Words{"tx", "off"}));  // said once: the second release changed nothing
}

// While Korvel speaks the station goes on: a client is answered from what Korvel knows at once, and
// its transmit key reaches the radio within a look or two of the sound device (5 ms each), long
// before the announcement ends. The announcement is the key's own, whole; "tx on" follows it.
TEST(RigServerTurns, SpeakingHoldsUpNoClient) {
  constexpr long long kWithinMs = 30;
  constexpr long long kPollEveryMs = 10;
  ServerSession s;
  const int client = s.network.connect();
  const int poller = s.network.connect();
  s.sound.defaultDurationMs = 250;  // the frequency announcement takes seconds
  long long askedAt = -1, answeredAt = -1, keyedAt = -1;
  long long polledAt = -1, longestPoll = 0, polls = 0;
  std::string heard;
  const std::size_t wordsBefore = s.sound.words.size();
  s.sound.whilePlaying = [&](long long now) {
    // Another program asks for the frequency every 10 ms all through the announcement.
    if (polledAt >= 0 && !s.network.take(poller).empty()) {
      longestPoll = std::max(longestPoll, now - polledAt);
      ++polls;
      polledAt = -1;
    }
    if (polledAt < 0 && now % kPollEveryMs == 0) {
      s.network.send(poller, "f\n");
      polledAt = now;
    }
    if (askedAt < 0 && s.sound.words.size() == wordsBefore + 2) {
      s.network.send(client, "f\nT 1\n");
      askedAt = now;
      return;
    }
    heard += s.network.take(client);
    if (answeredAt < 0 && heard.find("RPRT 0") != std::string::npos) answeredAt = now;
    if (keyedAt < 0 && s.radio->transmitting()) keyedAt = now;
  };
  s.press('F');
  const Words announcement = s.said();
  ASSERT_GE(announcement.size(), 4u);
  ASSERT_GE(askedAt, 0);
  EXPECT_EQ(heard, "7100000\nRPRT 0\n");
  EXPECT_GT(polls, 100);
  EXPECT_LE(longestPoll, kWithinMs);
  EXPECT_LE(answeredAt - askedAt, kWithinMs);
  EXPECT_LE(keyedAt - askedAt, kWithinMs);
  EXPECT_LT(keyedAt, s.sound.elapsedMs - 500);  // words were still to come
  EXPECT_EQ(std::count(announcement.begin(), announcement.end(), "tx"), 0);
  s.sound.whilePlaying = nullptr;
  EXPECT_EQ(s.exchange(client, "t\n", 1), "1\n");
  EXPECT_EQ(s.said(), (Words{"tx", "on"}));

  // A band change: the radio has been moved and the poll has not read it back while the band is
  // said, yet the client hears at once where Korvel has put it.
  s.press('B');
  s.network.take(poller);
  polledAt = -1;
  s.sound.whilePlaying = [&](long long now) {
    if (polledAt < 0) {
      s.network.send(poller, "f\n");
      polledAt = now;
    }
  };
  s.press('6');
  s.sound.whilePlaying = nullptr;
  EXPECT_EQ(s.network.take(poller), "14200000\n");
}

TEST(RigServerTurns, BadClientsHoldUpNoOne) {
  ServerSession s;
  const int silent = s.network.connect();
  const int deaf = s.network.connect();
  const int flood = s.network.connect();
  const int good = s.network.connect();
  s.network.send(silent, "F 1407");  // half a command, never finished
  s.network.stopReading(deaf);
  std::string lots;
  for (int i = 0; i < 100; ++i) lots += "\\dump_state\n";
  s.network.send(deaf, lots);
  std::string many;
  for (int i = 0; i < 500; ++i) many += "s\n";
  s.network.send(flood, many);
  for (int round = 0; round < 5; ++round) EXPECT_EQ(s.exchange(good, "f\n", 2), "7100000\n") << round;
  EXPECT_TRUE(s.network.closedByServer(deaf));   // it would never take its answers
  EXPECT_FALSE(s.network.closedByServer(flood)); // read as fast as it is answered, all of it
  s.tick(20);
  std::string answers = s.network.take(flood);
  EXPECT_EQ(std::count(answers.begin(), answers.end(), '\n'), 1000);
  s.network.hangUp(good);
  s.tick(2);
  EXPECT_EQ(s.exchange(silent, "4000\nf\n"), "RPRT 0\n14074000\n");
}

}  // namespace
}  // namespace korvel
