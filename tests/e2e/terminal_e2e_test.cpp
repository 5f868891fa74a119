// The terminal front end end to end: korvel with no display in a tmux terminal, against
// korvel-sim, typed at as an operator would over SSH.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "e2e_support.h"
#include "needed_tools.h"

namespace korvel::e2e {
namespace {

using namespace std::chrono_literals;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(TerminalFrontEnd, AnOperatorSessionWithoutADisplay) {
  KORVEL_NEED_TOOLS("tmux");
  LiveStation st(761);
  ASSERT_TRUE(st.simReady());
  // The terminal's mode before and after, and korvel's exit code, as the shell around it sees them.
  Terminal terminal(st.folder, std::string("stty -g > before.txt; env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "
                                           "SDL_AUDIODRIVER=dummy ") +
                                   KORVEL_EXE + " --transcript=transcript.txt; echo $? > exit.txt; "
                                   "stty -g > after.txt; sleep 600");
  ASSERT_TRUE(waitFor(st.folder / "transcript.txt", [](const std::string& s) { return has(s, "connected\n"); }, 60s))
      << terminal.screen();
  ASSERT_TRUE(waitFor(st.folder / "debug.dat",
                      [](const std::string& s) {
                        const auto end = s.find("TX=BI;");
                        return end != std::string::npos && s.find("RX=FA", end) != std::string::npos;
                      },
                      20s));

  std::size_t heardSoFar = st.transcript().size();
  for (const auto& [key, heard] : {std::pair{"b", "band\n40\nmetres\n"}, std::pair{"6", "20\nmetres\n"}}) {
    terminal.type(key);
    ASSERT_TRUE(waitFor(st.folder / "transcript.txt",
                        [&](const std::string& s) { return s.find(heard, heardSoFar) != std::string::npos; }, 20s))
        << "after " << key << ":\n" << st.transcript().substr(heardSoFar);
    heardSoFar = st.transcript().size();
  }
  EXPECT_TRUE(waitFor(st.folder / "debug.dat", [](const std::string& s) { return has(s, "TX=FA014200000;"); }, 10s));
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!has(terminal.screen(), "14.200000") && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_TRUE(has(terminal.screen(), "USB  14.200000")) << terminal.screen();

  terminal.type("q");
  ASSERT_TRUE(waitFor(st.folder / "exit.txt", [](const std::string& s) { return !s.empty(); }, 20s))
      << terminal.screen();
  EXPECT_EQ(readFile(st.folder / "exit.txt"), "0\n");
  EXPECT_TRUE(waitFor(st.folder / "after.txt", [](const std::string& s) { return !s.empty(); }, 5s));
  EXPECT_EQ(readFile(st.folder / "after.txt"), readFile(st.folder / "before.txt"));
  EXPECT_TRUE(has(st.debugLog(), "*Q ( 81 )"));
  EXPECT_TRUE(std::filesystem::exists(st.folder / "savmem.dat"));
}

TEST(TerminalFrontEnd, NeitherWindowNorTerminalEndsBeforeAnyRadioCommand) {
  LiveStation st(761);
  ASSERT_TRUE(st.simReady());
  // Its own session and no terminal on standard input: no controlling terminal at all.
  ASSERT_TRUE(st.korvel.start("/usr/bin/setsid",
                              {"sh", "-c", std::string("exec env -u SDL_VIDEODRIVER ") + KORVEL_EXE + " </dev/null"},
                              st.folder, {{"DISPLAY", ":1999"}, {"SDL_AUDIODRIVER", "dummy"}}, st.folder / "korvel.out"));
  EXPECT_EQ(st.korvel.wait(20s), 1);
  EXPECT_TRUE(has(readFile(st.folder / "korvel.out"), "cannot open a window")) << readFile(st.folder / "korvel.out");
  EXPECT_FALSE(has(st.debugLog(), "TX="));
}

}  // namespace
}  // namespace korvel::e2e
