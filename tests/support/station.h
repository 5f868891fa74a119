// A station for scenario tests: a temporary station folder with a wave folder of (silent) word
// files, the word recorder, the text canvas and an in-process simulated transceiver, all wired
// into a fresh Panel. Helpers read like the operator's session: press('B'); tick(2); words().
#pragma once

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "state/panel.h"
#include "simulated_network.h"
#include "simulated_ports.h"
#include "temp_folder.h"
#include "text_canvas.h"
#include "transceiver.h"
#include "word_recorder.h"
#include "station_clock.h"
#include "radio_link/cat_link.h"

namespace korvel::testing {

struct StationOptions {
  int model = 761;         // 0: no radio on the line at all
  int digits = 0;          // the simulated radio's frequency width; 0: its row's
  int comPort = 5;
  std::string config;      // korvel.cfg text; empty: the sample configuration with comPort
  bool writeConfig = true;
  bool waveFolder = true;  // the silent word files
};

class Station {
 public:
  explicit Station(StationOptions options = {});
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  // Key down and key up of one key (a letter, or a virtual-key code).
  void press(int key);
  void keyDown(int key);
  void keyUp(int key);
  // n timer ticks.
  void tick(int n = 1);
  // Words spoken (transcript order) since the last call, and then forgotten.
  std::vector<std::string> words();
  // Commands written to the radio since the last call, and then forgotten.
  std::vector<std::string> sent();
  // Start values, band and mode tables, memory slots: what start-up sets before the port opens.
  void setStartValues();
  // Runs start-up as the program does (window, words, config, port, start band).
  bool startUp();
  // Ticks until the connection sequence has run (or gives up after 40 ticks).
  void connect();
  // Start-up, connection and the first frequency reply, then forgets what was said and sent:
  // a panel ready for the operator's keys. False when any of that did not happen.
  bool settle();
  // Like sent(), without the poll cycle's own queries (FA, SM0, RM6, RM4).
  std::vector<std::string> radioCommands();
  std::string file(const std::string& name) const;

  TempFolder home{"korvel-station"};
  std::filesystem::path folder = home.path();
  std::unique_ptr<sim::Transceiver> radio;
  SimulatedSerialPorts ports;
  WordRecorder sound;
  StationClock clock{sound};
  radio_link::CatLink radioLink{ports, clock};
  TextCanvas canvas;
  std::ostringstream transcript;
  SimulatedNetwork network;
  Panel panel;

 private:
  std::size_t wordsSeen_ = 0;
  std::size_t sentSeen_ = 0;
};

// The sample configuration's radio settings, set straight into a panel: radio port 5 at 38400
// baud, 100 W, the sample repeater offsets.
inline void applySampleRadioSettings(Panel& p) {
  p.config.comPort = 5;
  p.config.baudRate = 38400;
  p.config.txPower = 100;
  p.config.repeaterOffsetKhz[10] = "100";
  p.config.repeaterOffsetKhz[11] = "500";
  p.config.repeaterOffsetKhz[12] = "600";
  p.config.repeaterOffsetKhz[13] = "7600";
}

// The sample korvel.cfg text with the given radio port, pass-through port and debug switch.
std::string sampleConfig(int comPort = 5, int passThroughPort = 0, int debugLog = 1,
                         const std::string& bandCoverage = "7", int baudRate = 38400, int txPower = 100);

// Fills folder/wave with an empty file for every word the voice list names.
void makeSilentWaveFolder(const std::filesystem::path& folder);

}  // namespace korvel::testing
