// The radio goes away and comes back, end to end: korvel in a terminal against korvel-sim, the
// simulator stopped (its link removed) and started again on the same link.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <iostream>

#include "e2e_support.h"
#include "needed_tools.h"

namespace korvel::e2e {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// From the radio's return to "connected": up to a second to find the port and hear the radio, then
// the connection sequence's nine CAT pauses (1.8 s); "connected" is the first word said.
constexpr auto kConnectedAgainWithin = 5s;


// Waits until the transcript holds `words` after its first `from` bytes.
bool heard(const LiveStation& st, std::size_t from, const std::string& words, std::chrono::milliseconds timeout) {
  return waitFor(st.folder / "transcript.txt",
                 [&](const std::string& s) { return s.size() > from && s.find(words, from) != std::string::npos; },
                 timeout);
}

TEST(RadioLostEndToEnd, NcWithinThreeSecondsKeysRefusedAndConnectedAgainOnReturn) {
  KORVEL_NEED_TOOLS("tmux");
  LiveStation st(761);
  ASSERT_TRUE(st.simReady());
  Terminal terminal(st.folder, std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy ") +
                                   KORVEL_EXE + " --transcript=transcript.txt; sleep 600");
  ASSERT_TRUE(heard(st, 0, "connected\n", 60s)) << terminal.screen();

  std::size_t from = st.transcript().size();
  const auto lost = Clock::now();
  ASSERT_EQ(st.sim.stop(SIGTERM, 5s), 0);
  ASSERT_TRUE(heard(st, from, "nc\n", 5s)) << st.transcript().substr(from);
  EXPECT_LE(Clock::now() - lost, 3s) << "nc comes within three seconds of the loss";

  from = st.transcript().size();
  terminal.type("b");
  terminal.type("6");
  ASSERT_TRUE(heard(st, from, "nc\nnc\n", 10s)) << st.transcript().substr(from);
  EXPECT_FALSE(has(st.transcript().substr(from), "band")) << "B 6 is refused while the radio is gone";

  from = st.transcript().size();
  const std::size_t logFrom = st.debugLog().size();
  ASSERT_TRUE(st.startSim()) << readFile(st.folder / "sim.out");
  const auto back = Clock::now();
  // The lost port is looked for again every second; then the frequency query is answered.
  ASSERT_TRUE(waitFor(st.folder / "debug.dat",
                      [&](const std::string& s) { return s.find("RX=", logFrom) != std::string::npos; }, 10s));
  EXPECT_LE(Clock::now() - back, 2s) << "the radio is heard again within two seconds of its return";
  ASSERT_TRUE(heard(st, from, "connected\n", 15s)) << st.transcript().substr(from) << terminal.screen();
  const auto connectedAfter = Clock::now() - back;
  std::cout << "connected again " << std::chrono::duration_cast<std::chrono::milliseconds>(connectedAfter).count()
            << " ms after the radio's return\n";
  EXPECT_LE(connectedAfter, kConnectedAgainWithin) << st.transcript().substr(from);
  // Polling again: frequency queries answered after the connection sequence.
  EXPECT_TRUE(waitFor(st.folder / "debug.dat",
                      [&](const std::string& s) {
                        const auto end = s.find("TX=BI;", logFrom);
                        return end != std::string::npos && s.find("RX=FA", end) != std::string::npos &&
                               s.find("TX=SM0;", end) != std::string::npos;
                      },
                      10s))
      << st.debugLog().substr(logFrom);
}

}  // namespace
}  // namespace korvel::e2e
