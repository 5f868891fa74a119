// A slow radio and a careless one, end to end: korvel in a terminal against korvel-sim answering
// 150 ms late, and holding each answer back until the next goes with it. The operator hears what
// the prompt radio gives: connected, the band, the frequency, the mode, the meter, quit; never
// "noread" nor "nc"; and the radio ends where the keys put it.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "e2e_support.h"
#include "needed_tools.h"

namespace korvel::e2e {
namespace {

using namespace std::chrono_literals;

struct SessionRecord {
  std::string transcript;
  std::string debugLog;
};

// Starts korvel, waits for "connected", then B 6 F M S Q, each key once the words of the one before
// are heard. The transcript from "connected" on.
SessionRecord operatorSession(const std::vector<std::string>& simArgs) {
  LiveStation st(761, "", simArgs);
  EXPECT_TRUE(st.simReady());
  Terminal terminal(st.folder, std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy ") +
                                   KORVEL_EXE + " --transcript=transcript.txt; echo $? > exit.txt; sleep 600");
  EXPECT_TRUE(waitFor(st.folder / "transcript.txt", [](const std::string& s) { return has(s, "connected\n"); }, 60s))
      << terminal.screen();
  std::size_t heardSoFar = st.transcript().size();
  for (const auto& [key, heard] : {std::pair{"b", "band\n40\nmetres\n"}, std::pair{"6", "20\nmetres\n"},
                                   std::pair{"f", "mhz\n"}, std::pair{"m", "\n"}, std::pair{"s", "\n"}}) {
    terminal.type(key);
    EXPECT_TRUE(waitFor(st.folder / "transcript.txt",
                        [&](const std::string& s) { return s.find(heard, heardSoFar) != std::string::npos; }, 20s))
        << "after " << key << ":\n" << st.transcript().substr(heardSoFar);
    // The words of a key end before the next is typed: half a second's silence after the last word.
    std::string before;
    do {
      before = st.transcript();
      std::this_thread::sleep_for(500ms);
    } while (st.transcript() != before);
    heardSoFar = st.transcript().size();
  }
  terminal.type("q");
  EXPECT_TRUE(waitFor(st.folder / "exit.txt", [](const std::string& s) { return !s.empty(); }, 20s));
  EXPECT_EQ(readFile(st.folder / "exit.txt"), "0\n");
  std::string transcript = st.transcript();
  transcript = transcript.substr(transcript.find("connected\n"));
  // The simulated meter moves with every reading: what S said is its own, not compared.
  const auto meter = transcript.rfind("\ns\n");
  const auto quit = transcript.rfind("quit\n");
  if (meter != std::string::npos && quit != std::string::npos && quit > meter) {
    transcript.replace(meter + 3, quit - meter - 3, "(reading)\n");
  }
  return {transcript, st.debugLog()};
}

TEST(SlowRadioEndToEnd, LateAndMergedAnswersGiveTheWordsOfAPromptRadio) {
  KORVEL_NEED_TOOLS("tmux");
  // What a prompt radio gives (korvel-sim without a delay, on the same keys).
  const std::string prompt =
      "connected\nband\n40\nmetres\n20\nmetres\npreamp\non\n1\n4\npoint\n2\nmhz\nusb\ncw\ns\n(reading)\nquit\n";
  for (const std::vector<std::string>& radio :
       {std::vector<std::string>{"--reply-delay", "150"}, std::vector<std::string>{"--hold-answers", "150"}}) {
    SCOPED_TRACE(radio.front());
    const SessionRecord slow = operatorSession(radio);
    EXPECT_EQ(slow.transcript, prompt);
    EXPECT_FALSE(has(slow.transcript, "noread\n"));
    EXPECT_FALSE(has(slow.transcript, "nc\n"));
    // The mode the M key set is the last the radio was told, and the poll read the radio back.
    EXPECT_TRUE(has(slow.debugLog, "RX=FA014200000;")) << slow.debugLog;
  }
}

}  // namespace
}  // namespace korvel::e2e
