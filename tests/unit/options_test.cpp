// The options: the command line, korvel.options in the station folder under it, and --help.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/options.h"
#include "temp_folder.h"

namespace korvel::app {
namespace {

struct Read {
  std::optional<int> exitCode;
  Options options;
  std::string out;
  std::string err;
};

Read readWith(const std::string& file, std::vector<std::string> arguments) {
  testing::TempFolder home{"korvel-options"};
  if (!file.empty()) std::ofstream(home.path() / kOptionsFileName, std::ios::binary) << file;
  arguments.insert(arguments.begin(), "--folder=" + home.path().string());
  Read r;
  std::ostringstream out, err;
  r.exitCode = readOptions(arguments, r.options, out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

TEST(Options, TheFileGivesOptionsAndTheCommandLineWins) {
  const auto r = readWith("# station\r\n--rig-server=127.0.0.1:4600\r\n--terminal\r\n--transcript words.txt\r\n",
                          {"--rig-server=[::1]:4700"});
  EXPECT_FALSE(r.exitCode);
  EXPECT_EQ(r.options.rigServerAddress, "::1");
  EXPECT_EQ(r.options.rigServerPort, 4700);
  EXPECT_TRUE(r.options.terminalAsked);
  // "--transcript FILE" is not the form that option takes: the line is reported and left out.
  EXPECT_FALSE(r.options.transcriptWanted);
  EXPECT_NE(r.err.find("korvel.options line 4"), std::string::npos) << r.err;
  EXPECT_EQ(r.options.txLimitSeconds, 600) << "the transmit limit when none is given";
  EXPECT_EQ(readWith("--tx-limit=120\n", {}).options.txLimitSeconds, 120);
  EXPECT_EQ(readWith("--tx-limit=120\n", {"--tx-limit=0"}).options.txLimitSeconds, 0);
}

TEST(Options, BadValuesAndLinesAreSaidNotTaken) {
  const struct {
    std::string file;
    std::vector<std::string> arguments;
    std::optional<int> exitCode;
    bool serverOn;
    const char* said;
  } cases[] = {
      {"--rig-server=off\n", {}, std::nullopt, false, ""},
      {"", {"--rig-server=localhost:0"}, 2, true, "--rig-server takes ADDRESS:PORT"},
      {"", {"--rig-server"}, 2, true, "--rig-server needs ADDRESS:PORT"},
      {"--folder=/\n--nonsense\n", {}, std::nullopt, true, "line 1: --folder only works on the command line"},
      {"--nonsense\n", {}, std::nullopt, true, "line 1: unknown option '--nonsense'"},
      {"", {"--terminal=yes"}, 2, true, "--terminal takes no value"},
      {"", {"--write"}, 2, true, "--write goes with --find-radio"},
      {"--find-radio\n", {}, std::nullopt, true, "--find-radio only works on the command line"},
      {"", {"--tx-limit=-1"}, 2, true, "--tx-limit takes whole seconds from 0 (no limit) to 86400"},
      {"--tx-limit=1.5\n", {}, std::nullopt, true, "--tx-limit takes whole seconds"},
  };
  for (const auto& c : cases) {
    const auto r = readWith(c.file, c.arguments);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.file;
    EXPECT_EQ(r.options.rigServerOn, c.serverOn) << c.file;
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
  }
}

TEST(Options, FindRadioTakesItsDevicesWhereverTheyStand) {
  for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
           {"--find-radio", "/dev/ttyUSB0", "hung", "--write", "--terminal"},
           {"--find-radio", "--write", "/dev/ttyUSB0", "hung", "--terminal"},
           {"/dev/ttyUSB0", "--terminal", "--find-radio", "--write", "hung"}}) {
    const auto r = readWith("", arguments);
    EXPECT_FALSE(r.exitCode) << r.err;
    EXPECT_TRUE(r.options.findRadio);
    EXPECT_EQ(r.options.find.devices, (std::vector<std::string>{"/dev/ttyUSB0", "hung"}));
    EXPECT_TRUE(r.options.find.write);
    EXPECT_TRUE(r.options.terminalAsked);
  }
  // A word with no option to take it is still refused.
  const auto r = readWith("", {"--terminal", "/dev/ttyUSB0"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("unknown argument '/dev/ttyUSB0'"), std::string::npos) << r.err;
}

TEST(Options, HelpListsEveryOption) {
  const auto r = readWith("", {"--help"});
  EXPECT_EQ(r.exitCode, 0);
  for (const char* option : {"--transcript[=FILE]", "--folder=DIR", "--terminal", "--rig-server=ADDRESS:PORT",
                             "--find-radio [DEVICE ...]", "--write", "--export-channels=FILE.csv",
                             "--import-channels=FILE.csv", "--dry-run", "--speech=words|system", "--braille", "--help",
                             "--version", "korvel.options"}) {
    EXPECT_NE(r.out.find(option), std::string::npos) << option;
  }
}

TEST(Options, WhoSpeaksAndTheBrailleDisplay) {
  const struct {
    std::string file;
    std::vector<std::string> arguments;
    std::optional<int> exitCode;
    Speech speech;
    bool braille;
    const char* said;
  } cases[] = {
      {"", {}, std::nullopt, Speech::words, false, ""},
      {"--speech=system\n--braille\n", {}, std::nullopt, Speech::system, true, ""},
      {"--speech system\n", {"--speech=words"}, std::nullopt, Speech::words, false, ""},
      {"--speech=loud\n", {}, std::nullopt, Speech::words, false, "line 1: --speech takes words or system"},
      {"", {"--speech=System"}, 2, Speech::words, false, "--speech takes words or system"},
      {"", {"--braille=on"}, 2, Speech::words, false, "--braille takes no value"},
  };
  for (const auto& c : cases) {
    const auto r = readWith(c.file, c.arguments);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.file;
    if (!c.exitCode) {
      EXPECT_EQ(r.options.speech, c.speech) << c.file;
      EXPECT_EQ(r.options.braille, c.braille) << c.file;
    }
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace korvel::app
