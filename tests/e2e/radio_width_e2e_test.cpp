// Radios of either frequency width end to end: korvel in a terminal against korvel-sim answering as
// an FTDX1200 and an FT-2000 (eight digits) and an FT-991A (nine): connected, a band key, the
// frequency and the meter spoken, and Q ending the run within two seconds with the memory saved.
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <string>

#include "e2e_support.h"
#include "needed_tools.h"

namespace korvel::e2e {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

long long millisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(RadioWidthEndToEnd, EightAndNineDigitRadiosFromConnectedToQuit) {
  KORVEL_NEED_TOOLS("tmux");
  struct Case {
    int model;
    const char* digits;
    const char* band6Command;
  };
  for (const Case& c : {Case{583, "8", "TX=FA14200000;"}, Case{251, "8", "TX=FA14200000;"},
                        Case{670, "9", "TX=FA014200000;"}}) {
    SCOPED_TRACE("model " + std::to_string(c.model));
    LiveStation st(c.model, "", {"--digits", c.digits});
    ASSERT_TRUE(st.simReady());
    const auto started = Clock::now();
    Terminal terminal(st.folder, std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy ") +
                                     KORVEL_EXE + " --transcript=transcript.txt; echo $? > exit.txt; sleep 600");
    ASSERT_TRUE(waitFor(st.folder / "transcript.txt", [](const std::string& s) { return has(s, "connected\n"); }, 60s))
        << terminal.screen();
    std::cout << "model " << c.model << ": connected " << millisecondsSince(started) << " ms after start\n";

    std::size_t heardSoFar = st.transcript().size();
    for (const auto& [key, heard] : {std::pair{"b", "band\n"}, std::pair{"6", "20\nmetres\n"},
                                     std::pair{"f", "1\n4\npoint\n2\nmhz\n"}, std::pair{"s", "s\n"}}) {
      terminal.type(key);
      ASSERT_TRUE(waitFor(st.folder / "transcript.txt",
                          [&](const std::string& s) { return s.find(heard, heardSoFar) != std::string::npos; }, 20s))
          << "after " << key << ":\n" << st.transcript().substr(heardSoFar);
      heardSoFar = st.transcript().size();
    }
    EXPECT_TRUE(has(st.debugLog(), c.band6Command)) << st.debugLog();
    EXPECT_FALSE(has(st.transcript(), "nc\n"));

    const auto quitPressed = Clock::now();
    terminal.type("q");
    ASSERT_TRUE(waitFor(st.folder / "exit.txt", [](const std::string& s) { return !s.empty(); }, 10s));
    const long long quitMs = millisecondsSince(quitPressed);
    std::cout << "model " << c.model << ": Q to the end of the run " << quitMs << " ms\n";
    EXPECT_LE(quitMs, 2000);
    EXPECT_EQ(readFile(st.folder / "exit.txt"), "0\n");
    EXPECT_TRUE(std::filesystem::exists(st.folder / "savmem.dat"));
  }
}

}  // namespace
}  // namespace korvel::e2e
