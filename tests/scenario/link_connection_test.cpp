// The connection sequence on the first frequency reply: what goes over the wire for each radio
// model, what the program reads back, and what it falls back to when the radio stays silent.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "session.h"
#include "core/connection.h"

namespace korvel::testing {
namespace {


Commands concat(std::initializer_list<Commands> parts) {
  Commands out;
  for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

Commands firstOf(const Commands& all, std::size_t n) {
  return Commands(all.begin(), all.begin() + static_cast<long>(std::min(n, all.size())));
}

struct ModelCase {
  int simModel;
  int expectedModel;
  Commands offsetMenus;
  std::string tuneCommand;
  std::string processorQuery;  // empty: not asked
  std::string processorOn;     // the set command that switches the simulated processor on
};

void PrintTo(const ModelCase& c, std::ostream* out) { *out << "model " << c.simModel; }

class ConnectionByModel : public ::testing::TestWithParam<ModelCase> {};

TEST_P(ConnectionByModel, SendsTheModelsSequenceAndReadsTheRadioBack) {
  const ModelCase& c = GetParam();
  Session st({.model = c.simModel, .ready = Ready::kLink});
  // Put the radio somewhere other than the program's defaults, so that each read-back shows.
  st.radio->receive("GT03;AG0123;ML0001;ML1070;NR01;VX1;BI1;" + c.processorOn);
  st.panel.core.voxOn = 0;
  st.panel.core.breakIn = 0;

  st.tick(2);  // the "FA" query, then its reply starts the connection

  const Commands expected = concat({
      {"FA;", "ID;"},
      c.offsetMenus,
      {c.tuneCommand, "RA00;", "NB00;", "CO011200;", "CO000000;", "PC100;", "GT0;", "AG0;", "ML0;", "ML1;"},
      c.processorQuery.empty() ? Commands{} : Commands{c.processorQuery},
      {"NR0;", "AC000;", "NR0;", "VX;", "BI;"},
  });
  const Commands sent = st.sent();
  EXPECT_EQ(firstOf(sent, expected.size()), expected);

  const Panel& p = st.panel;
  EXPECT_EQ(p.link.connected, 1);
  EXPECT_EQ(p.radio.modelNumber(), c.expectedModel);
  EXPECT_EQ(p.core.agcStep, 3);
  EXPECT_EQ(p.level.afGain, 123);
  EXPECT_EQ(p.core.monitorOn, 1);
  EXPECT_EQ(p.core.monitorLevel, "070");
  EXPECT_EQ(p.fn.procState, c.processorQuery.empty() ? 0 : 1);
  EXPECT_EQ(p.fn.nrState, 1);
  EXPECT_EQ(p.core.voxOn, 1);
  EXPECT_EQ(p.core.breakIn, 1);

  const auto words = st.words();
  ASSERT_FALSE(words.empty());
  EXPECT_EQ(words.back(), "connected");
  // Nothing of the first reply is shown: it only said that a radio is there.
  EXPECT_EQ(st.canvas.at(285, 150), "");
  // The radio has been sent the start band's frequency, which keys take from here on.
  EXPECT_EQ(p.link.frequencyHz, 7100000);

  if (c.expectedModel == 840) return;  // the next reply ends the program instead
  st.tick(4);  // a meter query, then the next frequency query and its reply
  EXPECT_EQ(p.link.frequencyHz, 7100000);
  EXPECT_EQ(st.canvas.at(285, 150), "  7.100000" + std::string(13, ' '));
}

INSTANTIATE_TEST_SUITE_P(
    Models, ConnectionByModel,
    ::testing::Values(
        ModelCase{761, 761, {"EX0103170100;", "EX0103180500;"}, "FA007100000;", "PR0;", "PR01;"},
        ModelCase{570, 570, {"EX0800100;", "EX0810500;", "EX0820600;", "EX08307600;"}, "FA007100000;", "PR0;", "PR01;"},
        // Each radio's own menus: 081/082 on the FTDX5000, 087/088 on the FTDX1200, 0315/0316 on the
        // FTDX101, 076/077 on the FT-2000, 0904/0905 on the FT-891.
        ModelCase{362, 362, {"EX0810100;", "EX0820500;"}, "FA07100000;", "PR;", "PR1;"},
        ModelCase{583, 583, {"EX0870100;", "EX0880500;"}, "FA07100000;", "PR0;", "PR01;"},
        ModelCase{681, 681, {"EX0103150100;", "EX0103160500;"}, "FA007100000;", "PR0;", "PR01;"},
        ModelCase{251, 251, {"EX0760100;", "EX0770500;"}, "FA07100000;", "PR;", "PR1;"},
        ModelCase{310, 241, {"EX050001;"}, "FA07100000;", "", ""},
        ModelCase{650, 650, {"EX09040100;", "EX09050500;"}, "FA007100000;", "PR0;", "PR01;"},
        ModelCase{840, 840, {"EX0103160100;", "EX0103170500;", "EX010318600;", "EX01031907600;"}, "FA007100000;",
                  "PR0;", "PR01;"}),
    [](const auto& info) { return "Model" + std::to_string(info.param.simModel); });

TEST(Connection, SilentRadioLeavesTheDefaultsAndStillConnects) {
  Session st({.model = 0, .ready = Ready::kLink});
  Panel& p = st.panel;
  p.core.agcStep = 5;
  p.fn.procState = 1;
  p.fn.nrState = nr_state::kOn;
  p.core.voxOn = 1;
  p.core.breakIn = 1;

  st.tick();
  st.ports.feed(5, "FA007100000;");
  st.tick();

  const Commands expected{"FA;",      "ID;",      "FA007100000;", "RA00;", "NB00;",  "CO011200;", "CO000000;",
                          "PC100;",   "GT0;",     "AG0;",         "AG0080;", "ML0;", "ML1;",      "PR0;",
                          "NR1;",     "AC000;",   "NR0;",         "VX;",   "BI;"};
  EXPECT_EQ(firstOf(st.sent(), expected.size()), expected);
  EXPECT_EQ(p.radio.modelNumber(), 0);
  EXPECT_EQ(p.core.agcStep, 2);
  EXPECT_EQ(p.level.afGain, 80);
  EXPECT_EQ(p.fn.nrState, 9);
  EXPECT_EQ(p.fn.procState, 0);
  EXPECT_EQ(p.core.voxOn, 1);  // not asked successfully: left as it was
  EXPECT_EQ(p.core.breakIn, 1);
  EXPECT_EQ(p.link.connected, 1);
  const auto words = st.words();
  ASSERT_FALSE(words.empty());
  EXPECT_EQ(words.back(), "connected");
}

TEST(Connection, ModelWithoutProcessorKeepsItsProcessorState) {
  Session st({.model = 310, .ready = Ready::kLink});
  st.panel.fn.procState = 1;
  st.tick(2);
  EXPECT_EQ(st.panel.radio.modelNumber(), 241);
  EXPECT_EQ(st.panel.fn.procState, 1);
}

TEST(Connection, UnsupportedModelConnectsThenSaysFtxAndEnds) {
  Session st({.model = 840, .ready = Ready::kLink});
  st.tick(2);
  ASSERT_EQ(st.panel.link.connected, 1);
  EXPECT_EQ(st.panel.core.running, 1);
  st.words();
  st.tick(2);  // the next reply, whatever it says
  EXPECT_EQ(st.words(), std::vector<std::string>{"ftx"});
  EXPECT_EQ(st.panel.core.running, 0);
}

TEST(Connection, RepeaterRecordOffsetBecomesTheWorkingOffsetBeforeTheMenusGoOut) {
  Session st({.model = 570, .ready = Ready::kLink});
  Panel& p = st.panel;
  p.band.currentBand = 12;
  p.band.bandTable[12] = repeaterRecord("145500000", '1', '-', "0750");
  st.tick(2);
  EXPECT_EQ(p.config.repeaterOffsetMinus[12], 1);
  EXPECT_EQ(p.config.repeaterOffsetKhz[12], "750");
  const Commands sent = st.sent();
  EXPECT_NE(std::find(sent.begin(), sent.end(), "EX0820750;"), sent.end());
  EXPECT_NE(std::find(sent.begin(), sent.end(), "FA145500000;"), sent.end());
}

TEST(Connection, SeventyCentimetreRepeaterRecordKeepsAllFourOffsetDigits) {
  Session st({.model = 570, .ready = Ready::kLink});
  Panel& p = st.panel;
  p.band.currentBand = 13;
  p.band.bandTable[13] = repeaterRecord("433500000", '1', '+', "1600");
  st.tick(2);
  EXPECT_EQ(p.config.repeaterOffsetMinus[13], 0);
  EXPECT_EQ(p.config.repeaterOffsetKhz[13], "1600");
  const Commands sent = st.sent();
  EXPECT_NE(std::find(sent.begin(), sent.end(), "EX08301600;"), sent.end());
}

TEST(Connection, FmRecordToneIsTakenAndDcsRecognised) {
  struct Case {
    std::string tone;
    int active;
    int dcs;
  };
  for (const Case& c : {Case{"012", 1, 0}, Case{"523", 1, 1}, Case{"999", 0, 0}}) {
    Session st({.model = 761, .ready = Ready::kLink});
    Panel& p = st.panel;
    p.band.currentBand = 12;
    p.mode.currentMode = 5;
    p.band.bandTable[12] = plainRecord("145500000", '5', c.tone);
    st.tick(2);
    EXPECT_EQ(p.tone.toneText, c.tone) << c.tone;
    EXPECT_EQ(p.tone.toneActive, c.active) << c.tone;
    EXPECT_EQ(p.tone.toneIsDcs, c.dcs) << c.tone;
  }
}

TEST(Connection, PreampFlagIsTheInverseOfTheRecordSoTheToggleRestoresIt) {
  for (const char digit : {'0', '1'}) {
    Session st({.model = 0, .ready = Ready::kLink});
    st.panel.band.bandTable[4] = plainRecord("007100000", '1', "999", digit);
    connectRadio(st.panel);
    EXPECT_EQ(st.panel.fn.preampOn, digit == '0' ? 1 : 0);
  }
}

TEST(Connection, PassThroughPortIsSetUpLikeTheRadioPort) {
  Session st({.model = 761, .ready = Ready::kLink});
  st.ports.addPort(6);
  st.panel.config.passThroughPort = 6;
  ASSERT_FALSE(st.ports.isOpen(6));
  st.tick(2);
  EXPECT_TRUE(st.ports.isOpen(6));
  EXPECT_EQ(st.ports.baudOf(6), 38400);
  EXPECT_EQ(st.ports.stopBitsOf(6), 2);
}

TEST(Connection, TunerSettingChoosesTheTunerCommand) {
  for (const int tuner : {0, 1, 2, 3}) {
    Session st({.model = 0, .ready = Ready::kLink});
    st.panel.config.tunerState = tuner;
    connectRadio(st.panel);
    const Commands sent = st.sent();
    const std::string want = tuner == 0 || tuner == 2 ? "AC001;" : "AC000;";
    EXPECT_NE(std::find(sent.begin(), sent.end(), want), sent.end()) << tuner;
  }
}

}  // namespace
}  // namespace korvel::testing
