// The rig server left running safely: a client that keys the transmitter and goes away, or keeps it
// keyed too long, does not leave it on; a web page cannot reach the radio; a program that opened a
// connection and forgot it never shuts the door on the next one.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>

#include <algorithm>
#include <string>

#include "radio_link/rig_server.h"
#include "session.h"

namespace korvel {
namespace {

using testing::Commands;
using testing::Session;
using testing::Words;

struct ServerSession : testing::ServerSession {
  explicit ServerSession(int model = 761) : testing::ServerSession({.model = model}) {}
  int count(const Commands& commands, const std::string& command) const {
    return static_cast<int>(std::count(commands.begin(), commands.end(), command));
  }
};

TEST(RigServerSafety, AClientThatKeysAndGoesLeavesNoTransmitterOn) {
  for (const bool closes : {true, false}) {  // closes its connection, or is killed (the peer is gone)
    ServerSession s;
    const int client = s.network.connect();
    const int other = s.network.connect();
    EXPECT_EQ(s.exchange(client, "T 1\n"), "RPRT 0\n");
    EXPECT_EQ(s.said(), (Words{"tx", "on"}));
    EXPECT_EQ(s.commands(), (Commands{"TX1;", "ID;"}));  // answered once the radio had taken it
    if (closes) {
      s.exchange(client, "q\n", 0);
    } else {
      s.network.hangUp(client);
    }
    s.tick();
    EXPECT_EQ(s.commands(), Commands{"TX0;"}) << closes;
    EXPECT_EQ(s.said(), (Words{"tx", "off"}));
    EXPECT_EQ(s.exchange(other, "t\n"), "0\n");
    EXPECT_EQ(s.radio->setting("TX"), "0");
  }
}

// Killed between its "T 1" reaching the radio and the radio's answer behind it: the radio was keyed
// all the same, and is released.
TEST(RigServerSafety, AClientGoneBeforeTheRadioAnsweredLeavesNoTransmitterOn) {
  ServerSession s;
  s.ports.setRadio(nullptr);  // the test answers for the radio
  const int client = s.network.connect();
  s.network.send(client, "T 1\n");
  s.tick(2);
  EXPECT_EQ(s.commands(), (Commands{"TX1;", "ID;"}));
  s.network.hangUp(client);
  s.tick();
  s.ports.feed(5, "ID0761;");
  s.tick(2);
  const Commands sent = s.commands();
  EXPECT_EQ(s.count(sent, "TX0;"), 1) << "the radio keyed by a client gone is released";
  EXPECT_EQ(s.said(), (Words{"tx", "on", "tx", "off"}));
}

TEST(RigServerSafety, AClientsTransmissionEndsAtTheLimitTheOperatorsDoesNot) {
  ServerSession s;
  s.p.server.txLimitSeconds = 2;
  const int client = s.network.connect();
  EXPECT_EQ(s.exchange(client, "T 1\n", 1), "RPRT 0\n");
  s.forget();
  s.tick(30);  // 1.5 s: still keyed
  EXPECT_EQ(s.count(s.commands(), "TX0;"), 0);
  s.tick(12);
  EXPECT_EQ(s.commands(), Commands{"TX0;"});
  EXPECT_EQ(s.said(), (Words{"txlimit", "tx", "off"}));
  EXPECT_EQ(s.exchange(client, "t\n"), "0\n");
  // The same client keys again: its own release ends it, nothing more is said.
  EXPECT_EQ(s.exchange(client, "T 1\nT 0\n"), "RPRT 0\nRPRT 0\n");
  s.forget();
  s.tick(60);
  EXPECT_TRUE(s.said().empty());
  // The operator's own transmit key has no limit, and no client to go.
  s.press('T');
  s.forget();
  s.tick(60);
  EXPECT_EQ(s.count(s.commands(), "TX0;"), 0);
  EXPECT_EQ(s.radio->setting("TX"), "1");
}

// A setting is answered once the radio has taken it; one it refuses is answered with rigctld's
// "rejected", and nothing of it is followed.
TEST(RigServerSafety, ASettingIsAnsweredAsTheRadioTookIt) {
  ServerSession s;
  const int client = s.network.connect();
  EXPECT_EQ(s.exchange(client, "L KEYSPD 30\nl KEYSPD\n"), "RPRT 0\n30\n");
  EXPECT_EQ(s.exchange(client, "L KEYSPD 80\nl KEYSPD\n"), "RPRT -9\n30\n");  // beyond the radio's 60
  EXPECT_EQ(s.p.level.keyerSpeed, 30);
  const std::string log = s.file("debug.dat");
  EXPECT_NE(log.find("TX=KS080;\r\nTX=ID;\r\nRX=?;\r\nREFUSED=?;"), std::string::npos) << log;
}

// Reads right after a setting give what was just set, and a client in VFO mode gets its answers
// and nothing more.
TEST(RigServerSafety, ReadsRightAfterASetGiveTheNewValue) {
  ServerSession s;
  const int client = s.network.connect();
  EXPECT_EQ(s.exchange(client, "F 14074000\n\\get_vfo_info VFOA\n", 1), "RPRT 0\n14074000\nLSB\n2400\n0\n0\n");
  EXPECT_EQ(s.exchange(client, "X PKTUSB 3000\nx\n"), "RPRT 0\nPKTUSB\n3000\n");
  EXPECT_EQ(s.exchange(client, "X CW 0\nx\n"), "RPRT 0\nCW\n600\n");  // no passband asked: the mode's own
  EXPECT_EQ(s.exchange(client, "\\set_vfo_opt 1\nt VFOA\nf VFOA\nF VFOB 7050000\nf VFOB\n+t VFOA\n"),
            "RPRT 0\n0\n14074000\nRPRT 0\n7050000\nget_ptt: VFOA\nPTT: 0\nRPRT 0\n");
  EXPECT_EQ(s.exchange(client, "\\set_vfo_opt 0\nt\n"), "RPRT 0\n0\n");
}

// \dump_state tells a client the bands and modes of the radio itself: korvel.cfg's count (here up
// to 70 cm) does not give an FTDX10 the 2 m and 70 cm an FT-991A has, nor an FT-891 narrow AM.
TEST(RigServerSafety, DumpStateOffersTheRadiosOwnBandsAndModes) {
  constexpr std::uint64_t kC4fm = std::uint64_t{1} << 33;
  constexpr std::uint64_t kNarrowAm = std::uint64_t{1} << 29;
  for (const int model : {761, 670, 650}) {
    ServerSession s(model);
    const int client = s.network.connect();
    s.network.send(client, "\\dump_state\n");
    s.tick(2);
    const std::string state = s.network.take(client);
    const bool vhf = model == 670;
    EXPECT_EQ(state.find("144000000 148000000 ") != std::string::npos, vhf) << model;
    EXPECT_EQ(state.find("430000000 450000000 ") != std::string::npos, vhf) << model;
    EXPECT_NE(state.find("50000000 54000000 "), std::string::npos) << model;
    // The receive range's line: low, high, then the modes.
    std::istringstream lines(state);
    std::string version, hamlibModel, itu, low, high, modes;
    lines >> version >> hamlibModel >> itu >> low >> high >> modes;
    const std::uint64_t mask = std::stoull(modes, nullptr, 16);
    EXPECT_EQ((mask & kC4fm) != 0, model == 670) << model;
    EXPECT_EQ((mask & kNarrowAm) != 0, model != 650) << model;
    // A mode the radio has not is refused, and nothing reaches the radio.
    s.forget();
    EXPECT_EQ(s.exchange(client, model == 650 ? "M AMN 0\n" : "M C4FM 0\n"), model == 670 ? "RPRT 0\n" : "RPRT -1\n") << model;
    EXPECT_EQ(s.commands().empty(), model != 670) << model;
  }
}

TEST(RigServerSafety, AWebPagesRequestIsClosedUnreadAndRunsNothing) {
  for (const char* request : {"POST / HTTP/1.1\r\nHost: 127.0.0.1:4532\r\nContent-Type: text/plain\r\n\r\nT 1\nF 14250000\n",
                              "Host: 127.0.0.1:4532\r\n\r\nT 1\n", "GET /?T%201 HTTP/1.0\n"}) {
    ServerSession s;
    const int page = s.network.connect();
    EXPECT_EQ(s.exchange(page, request), "") << request;
    EXPECT_TRUE(s.network.closedByServer(page));
    EXPECT_TRUE(s.commands().empty()) << request;
    EXPECT_TRUE(s.said().empty());
    EXPECT_NE(s.file("debug.dat").find("RIG: a web browser's request closed unread: "), std::string::npos);
    // A program's own lines are served as ever.
    const int program = s.network.connect();
    EXPECT_EQ(s.exchange(program, "f\n"), "7100000\n");
  }
}

TEST(RigServerSafety, WhenEveryPlaceIsTakenTheLongestSilentConnectionMakesRoom) {
  ServerSession s;
  std::vector<int> idle;
  for (std::size_t i = 0; i < kMaxRigClients; ++i) {
    idle.push_back(s.network.connect());
    s.tick();
  }
  // The first but one is the latest to speak: the first one is the longest silent.
  EXPECT_EQ(s.exchange(idle[1], "f\n", 1), "7100000\n");
  const int late = s.network.connect();
  EXPECT_EQ(s.exchange(late, "f\n"), "7100000\n");
  EXPECT_TRUE(s.network.closedByServer(idle[0]));
  EXPECT_FALSE(s.network.closedByServer(idle[1]));
  EXPECT_EQ(s.exchange(idle[1], "f\n"), "7100000\n");
}

}  // namespace
}  // namespace korvel
