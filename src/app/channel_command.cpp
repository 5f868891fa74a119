#include "app/channel_command.h"

#include <iostream>

#include "memory/channel_exchange.h"
#include "app/no_window.h"
#include "state/panel.h"
#include "radio_link/cat_link.h"
#include "platform/clock.h"

namespace korvel::app {

namespace {

// The panel of a command that neither speaks, shows nor talks to the radio.
class NoPorts : public platform::SerialPorts {
 public:
  int openPort(int, int) override { return 0; }
  void closePort(int) override {}
  void setPortReadTimeouts(int, int) override {}
  int setPortFrame(int, int, int, int) override { return 0; }
  int portBytesWaiting(int) override { return 0; }
  int readPort(int, char*, int) override { return 0; }
  int writePort(int, const char*, int) override { return 0; }
};

class NoSound : public platform::SoundOutput {
 public:
  bool play(const std::filesystem::path&, const platform::Pace& = {}) override { return false; }
  bool playAsync(const std::filesystem::path&, const platform::Pace& = {}) override { return false; }
  void stop() override {}
};


}  // namespace

int runChannelCommand(const ChannelCommand& command, const std::filesystem::path& folder) {
  if (!command.exportFile.empty() && !command.importFile.empty()) {
    std::cerr << "korvel: --export-channels and --import-channels go one at a time\n";
    return 2;
  }
  if (command.dryRun && command.importFile.empty()) {
    std::cerr << "korvel: --dry-run goes with --import-channels\n";
    return 2;
  }
  NoPorts ports;
  NoSound sound;
  NoWindow window;
  platform::SteadyClock clock;
  radio_link::CatLink radio(ports, clock);
  Panel panel(ports, radio, sound, window, folder);
  if (!command.exportFile.empty()) return exportChannels(panel, command.exportFile, std::cout, std::cerr);
  return importChannels(panel, command.importFile, command.dryRun, std::cout, std::cerr);
}

}  // namespace korvel::app
