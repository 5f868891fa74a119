// Whatever arrives on the radio line or the pass-through line (noise, cut-off replies, several
// replies at once, a full 255-byte read) the poll cycle and the connection sequence carry on and
// the band table keeps its 26-character records.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "session.h"
#include "core/poll_cycle.h"
#include "state/text.h"

namespace korvel::testing {
namespace {

void expectSoundState(const Panel& p, const std::string& context) {
  for (int band = 1; band <= 14; ++band) {
    EXPECT_EQ(p.band.bandTable[static_cast<std::size_t>(band)].size(), 26u) << "band " << band << " after " << context;
  }
  EXPECT_LE(p.link.relayBuffer.size(), kStoredTextCap) << context;
  EXPECT_GE(p.link.frequencyHz, 0) << context;
  EXPECT_LE(p.link.frequencyHz, 999999999) << context;
}

const std::vector<std::string> kNastyReplies{
    "",
    ";",
    "FA",
    "FA;",
    "FA0140",
    "FA014074000",
    "FA014074000;FA007100000;",
    "FB014074000;SM0123;RM6010;RM4050;ID0761;",
    "FA99999999999999999999;",
    "FA-00000001;",
    "FA         ;",
    "FA0000000000",
    "SM",
    "SM0",
    "SM0-99;",
    "RM6",
    "RM4;",
    "RM6999999999;",
    "ID",
    "ID0840",
    "ID9999;",
    "IDFA014074000;",
    "GT0;AG0;ML0;ML1;PR0;NR0;VX;BI;",
    "NR099999999999999999999999;",
    "AG0-50;VX9;BI-1;",
    std::string(255, ';'),
    std::string(255, 'F'),
    "FA" + std::string(253, '9'),
    std::string("FA0\0\0\0\0\0\0\0\0;", 12),
    std::string("\xff\xfe\x80\x00 FA", 7),
};

TEST(LinkRobustness, NastyRepliesThroughThePollBeforeAndAfterConnection) {
  for (const int model : {0, 241, 362, 761}) {
    Session st({.model = 0, .ready = Ready::kLink});
    for (const int connected : {0, 1}) {
      for (const auto& reply : kNastyReplies) {
        for (const int phase : {0, 1}) {
          st.panel.link.connected = connected;
          st.panel.radio.setModelNumber(model);
          st.panel.core.running = 1;
          st.panel.core.pollPhase = static_cast<poll_phase::PollPhase>(phase);
          st.tick();
          st.ports.feed(5, reply);
          st.tick();
          expectSoundState(st.panel, "model " + std::to_string(model) + " reply '" + reply + "'");
        }
      }
    }
  }
}

TEST(LinkRobustness, ConnectionSequenceAnsweredWithNoise) {
  // The radio answers the first frequency query and then every read-back with the same noise.
  Session st({.model = 0, .ready = Ready::kLink});
  for (const auto& noise : kNastyReplies) {
    st.panel.link.connected = 0;
    st.panel.radio.setModelNumber(0);
    st.panel.core.pollPhase = poll_phase::kFrequency;
    st.panel.core.replyPending = 0;
    st.tick();  // the frequency query
    st.ports.feed(5, "FA007100000;" + noise + noise);
    st.tick();
    // Only an "ID0840" in the same read keeps the sequence from running: that radio is refused.
    if (noise.find("ID0840") == std::string::npos) {
      EXPECT_EQ(st.panel.link.connected, 1) << noise;
    }
    expectSoundState(st.panel, "connection noise '" + noise + "'");
    st.ports.feed(5, noise);
    st.tick(4);
    expectSoundState(st.panel, "after connection noise '" + noise + "'");
  }
}

TEST(LinkRobustness, RandomBytesOnBothLines) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(0, 300);
  const std::string alphabet = "FABSMRIDGTLPNVXC0123456789;- ";
  std::uniform_int_distribution<std::size_t> letter(0, alphabet.size() - 1);

  Session st({.model = 0, .ready = Ready::kLink});
  st.ports.addPort(6);
  st.panel.config.passThroughPort = 6;
  setUpPort(st.panel, 6);
  for (int round = 0; round < 400; ++round) {
    std::string radio, relay;
    const int n = length(random);
    for (int i = 0; i < n; ++i) {
      // Half the rounds in the radio's own alphabet, so that replies are often nearly right.
      radio += round % 2 ? static_cast<char>(byte(random)) : alphabet[letter(random)];
      relay += alphabet[letter(random)];
    }
    st.ports.feed(5, radio);
    st.ports.feed(6, relay);
    st.panel.core.running = 1;
    st.tick(2);
    expectSoundState(st.panel, "random round " + std::to_string(round));
  }
}

}  // namespace
}  // namespace korvel::testing
