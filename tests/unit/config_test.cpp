#include <gtest/gtest.h>

#include <sstream>

#include "core/config.h"
#include "station.h"

namespace korvel {
namespace {

using testing::Station;
using testing::StationOptions;

void readLines(Panel& p, const std::string& text) {
  std::istringstream in(text);
  readConfiguration(p, in);
}

std::string withLine(int number, const std::string& line) {
  std::istringstream in(testing::sampleConfig());
  std::string out, current;
  for (int i = 1; std::getline(in, current); ++i) out += (i == number ? line : current.substr(0, current.size() - 1)) + "\r\n";
  return out;
}

TEST(Configuration, SampleFilePutsEveryValueInItsPlace) {
  Station st(StationOptions{.writeConfig = false});
  readLines(st.panel, testing::sampleConfig(5, 6, 1, "7", 38400, 100));
  const auto& c = st.panel.config;
  EXPECT_EQ(c.comPort, 5);
  EXPECT_EQ(c.baudRate, 38400);
  EXPECT_EQ(c.txPower, 100);
  EXPECT_EQ(c.maxPower, 100);
  EXPECT_EQ(c.swrAnnounce, 0);
  EXPECT_EQ(c.tunerState, 1);
  EXPECT_EQ(c.bandCoverage, "7");
  EXPECT_EQ(c.radioPowerSwitch, 0);
  EXPECT_EQ(c.dcsAllowed, 1);
  EXPECT_EQ(c.repeaterOffsetMinus[10], 1);
  EXPECT_EQ(c.repeaterOffsetKhz[10], "100");
  EXPECT_EQ(c.repeaterOffsetKhz[11], "500");
  EXPECT_EQ(c.repeaterOffsetKhz[12], "600");
  EXPECT_EQ(c.repeaterOffsetKhz[13], "7600");
  for (int band = 11; band <= 13; ++band) {
    EXPECT_EQ(c.repeaterOffsetMinus[band], 1);
    EXPECT_EQ(c.configuredOffsetMinus[band], 1);
    EXPECT_EQ(c.configuredOffsetKhz[band], c.repeaterOffsetKhz[band]);
  }
  EXPECT_EQ(c.passThroughPort, 6);
  EXPECT_EQ(c.debugLog, 1);
}

TEST(Configuration, ThePortLineCountsItsLength) {
  struct Case {
    std::string line;
    int port;
  } cases[] = {{"COM=12", 12}, {"COM=5", 5}, {"COM =5", 0}, {"COM 55 ", 0}, {"", 0}, {"PORT=7", 0}, {"COM12", 2}};
  for (const auto& c : cases) {
    Station st(StationOptions{.writeConfig = false});
    readLines(st.panel, withLine(1, c.line));
    EXPECT_EQ(st.panel.config.comPort, c.port) << '"' << c.line << '"';
  }
}

TEST(Configuration, PowerTakesDigitsByLineLengthAndNeverGoesBelowFive) {
  struct Case {
    std::string line;
    int watts;
  } cases[] = {{"Power=3", 5}, {"Power=7", 7}, {"Power=50", 50}, {"Power=100", 100},
               {"Power=1000", 5}, {"Pwr=100", 5}, {"", 5}, {"Power=200", 200}};
  for (const auto& c : cases) {
    Station st(StationOptions{.writeConfig = false});
    readLines(st.panel, withLine(3, c.line));
    EXPECT_EQ(st.panel.config.txPower, c.watts) << c.line;
    EXPECT_EQ(st.panel.config.maxPower, c.watts) << c.line;
  }
}

TEST(Configuration, OffsetsAndPassThroughPort) {
  Station st(StationOptions{.writeConfig = false});
  std::string text = withLine(9, "10m = +100");
  text = text.substr(0, text.find("6m")) + "6m = +600\r\n2m = -600\r\n70cm: +500\r\nRelay= 12\r\nDebug=0\r\n";
  readLines(st.panel, text);
  const auto& c = st.panel.config;
  EXPECT_EQ(c.repeaterOffsetMinus[10], 0);
  EXPECT_EQ(c.repeaterOffsetMinus[11], 0);
  EXPECT_EQ(c.repeaterOffsetKhz[11], "600");
  EXPECT_EQ(c.repeaterOffsetMinus[13], 0);
  EXPECT_EQ(c.repeaterOffsetKhz[13], "500");  // a three-digit 70 cm offset
  EXPECT_EQ(c.passThroughPort, 12);
  EXPECT_EQ(c.debugLog, 0);
}

TEST(Configuration, ShortOrMissingLinesGiveZeroesNotGarbage) {
  Station st(StationOptions{.writeConfig = false});
  readLines(st.panel, "COM=3\n");  // one line, lone LF
  const auto& c = st.panel.config;
  EXPECT_EQ(c.comPort, 3);
  EXPECT_EQ(c.baudRate, 0);
  EXPECT_EQ(c.txPower, 5);
  EXPECT_EQ(c.bandCoverage, "");
  for (int band = 10; band <= 13; ++band) EXPECT_EQ(c.repeaterOffsetKhz[band], "0") << band;
  EXPECT_EQ(c.passThroughPort, 0);

  Station cr(StationOptions{.writeConfig = false});
  readLines(cr.panel, "COM=4\rSpeed=9600\rPower=50\r");  // lone CR line ends
  EXPECT_EQ(cr.panel.config.comPort, 4);
  EXPECT_EQ(cr.panel.config.baudRate, 9600);
  EXPECT_EQ(cr.panel.config.txPower, 50);
}

TEST(Configuration, MissingFileIsReported) {
  Station st(StationOptions{.writeConfig = false});
  EXPECT_FALSE(readConfiguration(st.panel));
}

}  // namespace
}  // namespace korvel
