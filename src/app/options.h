// The program's options: one table of rows for the command line, --help and the options file
// korvel.options in the station folder (one option a line; the command line wins).
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/channel_command.h"
#include "core/config_update.h"
#include "core/find_radio.h"
#include "platform/sound_output.h"
#include "state/rig_server_state.h"

namespace korvel::app {

// Who speaks the announcements: the word files of the wave folder, or the system's speech.
enum class Speech { words, system };

struct Options {
  std::filesystem::path folder = std::filesystem::current_path();
  bool transcriptWanted = false;
  bool terminalAsked = false;
  int speedPercent = platform::kAsRecorded;
  bool interruptSpeech = false;
  Speech speech = Speech::words;
  bool braille = false;
  std::string transcriptFile;
  bool rigServerOn = true;
  std::string rigServerAddress = "127.0.0.1";
  int rigServerPort = 4532;
  int txLimitSeconds = rig::kDefaultTxLimitSeconds;
  // A radio through Hamlib: its model number (0: Korvel's own Yaesu link), port and speed.
  int hamlibModel = 0;
  std::string hamlibPort;
  int hamlibSpeed = 0;
  bool findRadio = false;
  FindRequest find;
  ChannelCommand channels;
};

// Reads the command line, then the options file of the station folder it names, under it. Returns
// an exit code when the program is to end at once (--help, --version, a bad argument).
std::optional<int> readOptions(const std::vector<std::string>& arguments, Options& options, std::ostream& out,
                               std::ostream& err);
// The --help text, made from the option rows.
std::string usageText();

}  // namespace korvel::app
