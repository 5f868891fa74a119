// Radios of either frequency width, known or not, and radios whose answers cannot be read: keys
// work from the first moment, the operator is told once, and Q always ends the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "radio_link/debug_log.h"
#include "session.h"

namespace korvel::testing {
namespace {

// Timer ticks of 50 ms in the two seconds Q may take.
constexpr int kQuitTicks = 40;

bool contains(const Commands& commands, const std::string& command) {
  return std::find(commands.begin(), commands.end(), command) != commands.end();
}

// Ticks until the run ends; the number of ticks it took, or kQuitTicks + 1 when it did not end.
// A radio that answers every query with `answer` keeps answering meanwhile.
int ticksToQuit(Session& s, const std::string& answer = {}) {
  s.press('Q');
  for (int n = 1; n <= kQuitTicks; ++n) {
    if (!answer.empty()) s.ports.feed(5, answer);
    s.tick();
    if (!s.p.core.running) return n;
  }
  return kQuitTicks + 1;
}

TEST(RadioWidth, EveryWidthAndIdWorksFromTheFirstKeyToQuit) {
  struct Case {
    int model, digits;
    const char* band6Command;
  };
  // 999 is in no row: the width it answers with is all the program goes by.
  for (const Case& c : {Case{583, 0, "FA14200000;"}, Case{251, 0, "FA14200000;"}, Case{244, 0, "FA14200000;"},
                        Case{101, 0, "FA14200000;"}, Case{670, 0, "FA014200000;"}, Case{999, 8, "FA14200000;"},
                        Case{999, 9, "FA014200000;"}, Case{761, 8, "FA14200000;"}}) {
    Session s({.model = c.model, .digits = c.digits});
    s.p.core.running = true;
    EXPECT_EQ(s.p.link.frequencyHz, 7100000) << c.model;
    s.type("B6");
    EXPECT_TRUE(contains(s.commands(), c.band6Command)) << c.model;
    s.poll();
    s.type("F");
    const Words words = s.said();
    const Words frequency{"1", "4", "point", "2", "mhz"};
    EXPECT_NE(std::search(words.begin(), words.end(), frequency.begin(), frequency.end()), words.end()) << c.model;
    EXPECT_LE(ticksToQuit(s), kQuitTicks) << c.model;
    EXPECT_TRUE(s.exists("savmem.dat")) << c.model;
  }
}

TEST(RadioAnswers, UnreadableAnswersAreToldOnceAndQuitStillEnds) {
  for (const std::string& answer : {std::string("?;"), std::string("\x01\xfe" "FA0x;ZZ", 9), std::string("FA1;")}) {
    Session s({.model = 761});
    s.p.core.running = true;
    s.p.config.debugLog = true;
    openDebugLog(s.p);
    s.ports.setRadio(nullptr);  // from here on the radio answers every query the same way
    for (int i = 0; i < 60; ++i) {
      s.ports.feed(5, answer);
      s.tick();
    }
    const Words words = s.said();
    EXPECT_EQ(std::count(words.begin(), words.end(), "noread"), 1) << answer;
    EXPECT_EQ(std::count(words.begin(), words.end(), "nc"), 0) << answer;
    EXPECT_NE(s.read("debug.dat").find("Radio answers cannot be read"), std::string::npos) << answer;
    // Keys still reach the radio, which the program counts as there.
    s.type("B6");
    EXPECT_TRUE(contains(s.commands(), "FA014200000;")) << answer;
    EXPECT_LE(ticksToQuit(s, answer), kQuitTicks) << answer;
  }
}

}  // namespace
}  // namespace korvel::testing
