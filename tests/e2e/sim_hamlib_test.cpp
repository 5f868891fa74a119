// Hamlib's rigctl straight against korvel-sim, as a logger or digital-mode program reaches the
// radio: every call answered correctly. Each call's wall time is printed, not asserted.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>  // getpid

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "needed_tools.h"

namespace korvel::e2e {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Hamlib's number for the FTDX10, the radio that reports ID 0761.
constexpr const char* kHamlibFtdx10 = "1042";
constexpr auto kRigctlTimeout = 20s;

TEST(SimHamlib, RigctlReadsAndSetsFrequencyModePttAndVfo) {
  KORVEL_NEED_TOOLS("rigctl");

  const fs::path folder = fs::temp_directory_path() / ("korvel-hamlib-" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  Child sim;
  ASSERT_TRUE(sim.start(KORVEL_SIM_EXE, {"--model", "761", "--link", "COM5"}, folder, {}, folder / "sim.out"));
  ASSERT_TRUE(waitFor(folder / "sim.out", [](const std::string& s) { return s.find('\n') != std::string::npos; }, 10s));

  struct Call {
    std::vector<std::string> command;
    const char* output;
  } calls[] = {
      {{"f"}, "14074000\n"},       {{"F", "14074000"}, ""},    {{"f"}, "14074000\n"},
      {{"F", "14250000"}, ""},     {{"f"}, "14250000\n"},      {{"m"}, "USB\n2400\n"},
      {{"M", "USB", "2400"}, ""},  {{"m"}, "USB\n2400\n"},     {{"M", "CW", "500"}, ""},
      {{"m"}, "CW\n500\n"},        {{"t"}, "0\n"},             {{"v"}, "VFOA\n"},
  };
  for (const Call& call : calls) {
    std::vector<std::string> args = {"rigctl", "-m", kHamlibFtdx10, "-r", (folder / "COM5").string()};
    args.insert(args.end(), call.command.begin(), call.command.end());
    std::string shown;
    for (const auto& word : call.command) shown += (shown.empty() ? "" : " ") + word;
    Child client;
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(client.start("/usr/bin/env", args, folder, {}, folder / "rigctl.out"));  // env finds rigctl
    const int exitCode = client.wait(kRigctlTimeout);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    std::cout << "rigctl " << shown << ": " << took.count() << " ms\n";
    EXPECT_EQ(exitCode, 0) << shown;
    EXPECT_EQ(readFile(folder / "rigctl.out"), call.output) << shown;
  }
  EXPECT_EQ(sim.stop(SIGTERM, 5000ms), 0);
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

}  // namespace
}  // namespace korvel::e2e
