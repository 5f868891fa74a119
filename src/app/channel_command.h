// The command-line channel exchange: --export-channels, --import-channels and --dry-run run in the
// station folder and end, without a window, a sound or a port.
#pragma once

#include <filesystem>
#include <string>

namespace korvel::app {

struct ChannelCommand {
  std::string exportFile;
  std::string importFile;
  bool dryRun = false;
  bool asked() const { return !exportFile.empty() || !importFile.empty() || dryRun; }
};

// Runs the export or the import; returns the program's exit code (2 for options that do not fit).
int runChannelCommand(const ChannelCommand& command, const std::filesystem::path& folder);

}  // namespace korvel::app
