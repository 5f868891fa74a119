// The real korvel exchanging channel lists beside a running Korvel on the same station folder.
#include <gtest/gtest.h>

#include <signal.h>

#include <fstream>

#include "e2e_support.h"

namespace korvel::e2e {
namespace {

using namespace std::chrono_literals;

// korvel with the arguments in the station folder: what it printed and its exit code.
std::string korvelCommand(const LiveStation& st, const std::string& args) {
  return run("cd '" + st.folder.string() + "' && " + KORVEL_EXE + " " + args + " 2>&1; echo exit=$?");
}

TEST(EndToEnd, ChannelImportWaitsUntilKorvelHasQuitAndASecondKorvelDoesNotStart) {
  LiveStation st(761);
  ASSERT_TRUE(st.simReady());
  ASSERT_TRUE(st.startKorvel());
  ASSERT_TRUE(waitFor(st.folder / "transcript.txt", [](const std::string& s) { return has(s, "connected\n"); }, 60s))
      << st.transcript();
  std::ofstream(st.folder / "list.csv") << "Location,Frequency,Mode\n7,145.500000,NFM\n";
  const std::string before = readFile(st.folder / "savmem.dat");

  const std::string refused = korvelCommand(st, "--import-channels list.csv");
  EXPECT_TRUE(has(refused, "Korvel is running on the station folder") && has(refused, "exit=1")) << refused;
  EXPECT_EQ(readFile(st.folder / "savmem.dat"), before);

  Child second;
  ASSERT_TRUE(second.start(KORVEL_EXE, {"--transcript=second.txt"}, st.folder,
                           {{"SDL_VIDEODRIVER", "dummy"}, {"SDL_AUDIODRIVER", "dummy"}}, st.folder / "second.out"));
  EXPECT_EQ(second.wait(30s), 0);
  EXPECT_EQ(lines(readFile(st.folder / "second.txt")).back(), "inuse");

  EXPECT_EQ(st.korvel.stop(SIGTERM, 10s), 0);
  const std::string dry = korvelCommand(st, "--import-channels list.csv --dry-run");
  EXPECT_TRUE(has(dry, "Dry run: 1 channel from list.csv") && has(dry, "exit=0")) << dry;
  EXPECT_TRUE(has(korvelCommand(st, "--import-channels list.csv"), "exit=0"));
  const std::string exported = korvelCommand(st, "--export-channels out.csv");
  EXPECT_TRUE(has(exported, "Exported 1 channel to out.csv") && has(exported, "exit=0")) << exported;
  EXPECT_TRUE(has(readFile(st.folder / "out.csv"), "\r\n7,,145.500000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,"));
}

}  // namespace
}  // namespace korvel::e2e
