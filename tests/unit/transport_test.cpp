#include <gtest/gtest.h>

#include "radio_link/debug_log.h"
#include "radio_link/transport.h"
#include "station.h"

namespace korvel {
namespace {

using testing::Station;
using testing::StationOptions;
using Commands = std::vector<std::string>;

// A station whose port is open and whose radio answers nothing, with the debug log running.
struct Line {
  Station st{StationOptions{.model = 0}};
  Line() {
    st.panel.config.comPort = 5;
    st.panel.config.baudRate = 38400;
    st.panel.config.debugLog = 1;
    openDebugLog(st.panel);
    setUpPort(st.panel, 5);
  }
  void send(const std::string& command) { sendText(st.panel, command); }
};

TEST(Transport, SplitTurnsEveryFaIntoFbAndRemembersOnlyTuningCommands) {
  Line line;
  auto& p = line.st.panel;
  p.tone.vfoB = 1;
  line.send("FA");
  EXPECT_EQ(p.radio.lastSent(), "FB;");
  EXPECT_TRUE(p.radio.lastFrequencyCommand().empty()) << "a bare query is never remembered";
  line.send("FA014250000");
  EXPECT_EQ(p.radio.lastSent(), "FB014250000;");
  EXPECT_EQ(p.radio.lastFrequencyCommand(), "FB014250000;");
  p.tone.vfoB = 0;
  line.send("FA");
  EXPECT_EQ(p.radio.lastFrequencyCommand(), "FB014250000;");
  line.send("MD02");
  EXPECT_EQ(line.st.sent(), (Commands{"FB;", "FB014250000;", "FA;", "MD02;"}));
}

TEST(Transport, OlderModelsGetEightDigitsAndTheRestNine) {
  struct Case {
    int model;
    std::string command, wire;
  } cases[] = {
      {241, "FA014074000", "FA14074000;"}, {241, "FB007100000", "FB07100000;"}, {362, "FA145000000", "FA45000000;"},
      {462, "FA007100000", "FA07100000;"}, {761, "FA014074000", "FA014074000;"}, {0, "FB007100000", "FB007100000;"},
      {241, "FA", "FA;"},                  {241, "MD01", "MD01;"},
  };
  for (const auto& c : cases) {
    Line line;
    line.st.panel.radio.setModelNumber(c.model);
    line.send(c.command);
    EXPECT_EQ(line.st.sent(), Commands{c.wire}) << c.model << " " << c.command;
    if (c.command.size() > 2 && c.command[0] == 'F') {
      EXPECT_EQ(line.st.panel.radio.lastFrequencyCommand(), c.command + ";") << "the uncut form is remembered";
    }
  }
}

TEST(Transport, QueryWaitsOnePauseWordBeforeReading) {
  Station st;  // a simulated 761 that answers
  st.panel.config.comPort = 5;
  setUpPort(st.panel, 5);
  EXPECT_EQ(queryRadio(st.panel, "ID"), "ID0761;");
  EXPECT_EQ(st.words(), std::vector<std::string>{"delay"});
}

TEST(Transport, PortSetUpIsTwoStopBitsAtTheConfiguredSpeed) {
  Line line;
  EXPECT_TRUE(line.st.ports.isOpen(5));
  EXPECT_EQ(line.st.ports.baudOf(5), 38400);
  EXPECT_EQ(line.st.ports.stopBitsOf(5), 2);
  // Set up again: closed and opened anew, not left half open.
  setUpPort(line.st.panel, 5);
  EXPECT_EQ(line.st.ports.openCount(5), 2);
}

TEST(DebugLog, KeyLinesKeepTheirOldForms) {
  struct Case {
    int key;
    std::string line;
  } cases[] = {
      {13, "*C/R"},        {190, "*."},         {110, "*."},         {97, "*a (1)"},     {96, "*` (0)"},
      {105, "*i (9)"},     {66, "*B ( 66 )"},   {54, "*6 ( 54 )"},   {112, "*p ( 112 )"}, {32, "*  ( 32 )"},
      {187, std::string("*") + char(187) + " ( 187 )"},
  };
  for (const auto& c : cases) EXPECT_EQ(keyLine(c.key), c.line) << c.key;
}

TEST(DebugLog, UnwritableLogIsSkippedSilently) {
  Line line;
  auto& p = line.st.panel;
  closeDebugLog(p);
  std::filesystem::remove(line.st.folder / "debug.dat");
  std::filesystem::create_directory(line.st.folder / "debug.dat");  // cannot be opened as a file
  openDebugLog(p);
  EXPECT_NO_THROW(line.send("FA"));
  EXPECT_EQ(line.st.sent(), Commands{"FA;"});
}

}  // namespace
}  // namespace korvel
