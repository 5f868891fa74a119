#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include "e2e_support.h"
#include "needed_tools.h"

namespace korvel::e2e {
namespace {

using namespace std::chrono_literals;

TEST(WindowKeys, AnOperatorSessionThroughTheRealWindow) {
  KORVEL_NEED_TOOLS("Xvfb", "xdotool");
  VirtualDisplay display;
  ASSERT_TRUE(display.ready());
  LiveStation st(761);
  ASSERT_TRUE(st.simReady());
  ASSERT_TRUE(st.startKorvel({{"SDL_VIDEODRIVER", "x11"}, {"DISPLAY", display.name()}}));
  ASSERT_TRUE(waitFor(st.folder / "transcript.txt", [](const std::string& s) { return has(s, "connected\n"); }, 60s))
      << st.transcript() << readFile(st.folder / "korvel.out");
  // Keys count once the radio's frequency has been read after the connection.
  ASSERT_TRUE(waitFor(st.folder / "debug.dat",
                      [](const std::string& s) {
                        const auto end = s.find("TX=BI;");
                        return end != std::string::npos && s.find("RX=FA", end) != std::string::npos;
                      },
                      20s));

  const std::string env = "DISPLAY=" + display.name() + " ";
  std::string window = run(env + "xdotool search --sync --name 'Korvel Front Panel' 2>/dev/null | head -n 1");
  while (!window.empty() && (window.back() == '\n' || window.back() == '\r')) window.pop_back();
  ASSERT_FALSE(window.empty());

  // Each key, then what the operator must hear before the next one.
  struct Step {
    std::string key;
    std::string heard;
  } steps[] = {
      {"b", "band\n40\nmetres\n"},
      {"6", "20\nmetres\npreamp\non\n"},
      {"m", "cw\n"},
      {"w", "bw\n8\n0\n0\nhz\n"},
      {"Up", "max\n"},
  };
  std::size_t heardSoFar = st.transcript().size();
  for (const auto& step : steps) {
    run(env + "xdotool key --window " + window + " " + step.key);
    const bool heard = waitFor(st.folder / "transcript.txt",
                               [&](const std::string& s) { return s.find(step.heard, heardSoFar) != std::string::npos; },
                               20s);
    ASSERT_TRUE(heard) << "after " << step.key << ":\n" << st.transcript().substr(heardSoFar);
    heardSoFar = st.transcript().size();
  }
  EXPECT_EQ(st.korvel.stop(SIGTERM, 10s), 0);

  const std::string log = st.debugLog();
  // The keys as the log has always written them, and the commands they caused, in order.
  const std::vector<std::string> expected{"*B ( 66 )", "*6 ( 54 )",   "TX=MD02;", "TX=FA014200000;", "TX=PA01;",
                                          "*M ( 77 )", "TX=MD03;",    "TX=NA00;",  "TX=SH0011;",      "*W ( 87 )",
                                          "*& ( 38 )", "TX=SH0012;"};
  std::size_t at = 0;
  for (const auto& line : expected) {
    at = log.find(line + "\r\n", at);
    ASSERT_NE(at, std::string::npos) << "missing or out of order: " << line << "\n" << log;
  }
}

}  // namespace
}  // namespace korvel::e2e
