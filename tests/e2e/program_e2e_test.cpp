#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>

#include "e2e_support.h"
#include "station.h"

namespace korvel::e2e {
namespace {

using namespace std::chrono_literals;


std::vector<std::string> txLines(const std::string& log) {
  std::vector<std::string> out;
  for (const auto& l : lines(log)) {
    if (l.rfind("TX=", 0) == 0) out.push_back(l.substr(3));
  }
  return out;
}

TEST(EndToEnd, StartsConnectsPollsAndShutsDownInOrder) {
  LiveStation st(761);
  ASSERT_TRUE(st.simReady()) << readFile(st.folder / "sim.out");
  ASSERT_TRUE(st.startKorvel());
  // The first poll reply starts the connection; its words end with "connected".
  ASSERT_TRUE(waitFor(st.folder / "transcript.txt", [](const std::string& s) { return has(s, "connected\n"); }, 60s))
      << st.transcript() << readFile(st.folder / "korvel.out");
  // Then the steady poll: FA and SM0 alternate.
  ASSERT_TRUE(waitFor(st.folder / "debug.dat",
                      [](const std::string& s) {
                        const auto after = s.find("TX=PC100;");
                        return after != std::string::npos && s.find("TX=SM0;", after) != std::string::npos &&
                               s.find("RX=FA007100000;", after) != std::string::npos;
                      },
                      20s))
      << st.debugLog();
  EXPECT_EQ(st.korvel.stop(SIGTERM, 10s), 0) << readFile(st.folder / "korvel.out");

  const auto words = lines(st.transcript());
  ASSERT_GE(words.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(words.begin(), words.begin() + 4),
            (std::vector<std::string>{"korvel", "3", "point", "6"}));
  const auto connected = std::find(words.begin(), words.end(), "connected");
  ASSERT_NE(connected, words.end());
  // The start band's frequency and mode are spoken before "connected".
  EXPECT_NE(std::find(words.begin(), connected, "lsb"), connected);

  const std::string log = st.debugLog();
  const auto logLines = lines(log);
  ASSERT_GE(logLines.size(), 2u);
  EXPECT_EQ(logLines[0].rfind("KORVEL 3.6a  ", 0), 0u);
  EXPECT_EQ(logLines[1], "Comport= 5  Speed= 38400 Baud");
  const auto tx = txLines(log);
  ASSERT_GE(tx.size(), 6u);
  EXPECT_EQ(tx[0], "FA007100000;");
  EXPECT_EQ(tx[1], "VS0;");
  EXPECT_EQ(tx[2], "MD01;");
  // The connection sequence, in order, with the model's offset menus.
  const std::vector<std::string> sequence{"ID;",          "EX0103170100;", "EX0103180500;", "FA007100000;",
                                          "RA00;",        "NB00;",         "CO011200;",     "CO000000;",
                                          "PC100;",       "GT0;",          "AG0;",          "ML0;",
                                          "ML1;",         "PR0;",          "NR0;",          "AC000;",
                                          "NR0;",         "VX;",           "BI;"};
  auto at = std::find(tx.begin(), tx.end(), "ID;");
  ASSERT_NE(at, tx.end());
  for (const auto& command : sequence) {
    at = std::find(at, tx.end(), command);
    ASSERT_NE(at, tx.end()) << "missing or out of order: " << command << "\n" << log;
  }
  EXPECT_TRUE(std::filesystem::exists(st.folder / "savmem.dat"));
  EXPECT_TRUE(std::filesystem::exists(st.folder / "memory.txt"));
}

TEST(EndToEnd, OlderModelsGetEightDigitFrequencies) {
  LiveStation st(362);
  ASSERT_TRUE(st.simReady());
  ASSERT_TRUE(st.startKorvel());
  ASSERT_TRUE(waitFor(st.folder / "transcript.txt", [](const std::string& s) { return has(s, "connected\n"); }, 60s))
      << st.transcript();
  ASSERT_TRUE(waitFor(st.folder / "debug.dat",
                      [](const std::string& s) { return has(s, "TX=EX0810100;") && has(s, "RX=FA007100000;"); }, 20s))
      << st.debugLog();
  EXPECT_EQ(st.korvel.stop(SIGTERM, 10s), 0);
  // Until the radio has said who it is, the start band goes out in the common nine-digit form;
  // from the identification on, every frequency command has eight digits.
  const std::string log = st.debugLog();
  const auto identified = log.find("TX=ID;");
  ASSERT_NE(identified, std::string::npos);
  EXPECT_NE(log.find("TX=FA07100000;", identified), std::string::npos) << log;
  EXPECT_EQ(log.find("TX=FA007100000;", identified), std::string::npos) << log;
}

TEST(EndToEnd, MissingConfigurationSpeaksAndExits) {
  LiveStation st(761);
  std::filesystem::remove(st.folder / "korvel.cfg");
  ASSERT_TRUE(st.startKorvel());
  EXPECT_EQ(st.korvel.wait(30s), 0);
  EXPECT_EQ(lines(st.transcript()), (std::vector<std::string>{"korvel", "3", "point", "6", "cfgnf"}));
  EXPECT_FALSE(std::filesystem::exists(st.folder / "debug.dat"));
}

}  // namespace
}  // namespace korvel::e2e
