#include "station.h"

#include <fstream>

#include "core/dispatcher.h"
#include "core/startup.h"
#include "display/main_window.h"
#include "platform/window_system.h"
#include "radio_link/cat_link.h"

namespace korvel::testing {

void makeSilentWaveFolder(const std::filesystem::path& folder) {
  const auto wave = folder / "wave";
  std::filesystem::create_directories(wave);
  std::ifstream list(std::string(KORVEL_SOURCE_DIR) + "/voice/words.tsv");
  std::string line;
  while (std::getline(list, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::string name = line.substr(0, line.find('\t'));
    if (name.size() < 4 || name.substr(name.size() - 4) != ".wav") name += ".wav";
    std::ofstream(wave / name).put('\0');
  }
  // The word list beside the words, as the build puts it there: what each word says as text.
  for (const char* file : {"words.tsv", "help.txt"}) {
    std::filesystem::copy_file(std::filesystem::path(KORVEL_SOURCE_DIR) / "voice" / file, wave / file,
                               std::filesystem::copy_options::overwrite_existing);
  }
}

std::string sampleConfig(int comPort, int passThroughPort, int debugLog, const std::string& bandCoverage,
                         int baudRate, int txPower) {
  // Labels sized so that each value lands where the configuration reader takes it.
  std::string out;
  out += "COM=" + std::to_string(comPort) + "\r\n";  // 5 characters: last one counts; 6: last two
  out += "Speed=" + std::to_string(baudRate) + "\r\n";
  out += "Power=" + std::to_string(txPower) + "\r\n";
  out += "SWR=0\r\n";
  out += "ATU=1\r\n";
  out += "Bands = " + bandCoverage + "\r\n";
  out += "OnOff =0\r\n";
  out += "DCS=1\r\n";
  out += "10m = -100\r\n";
  out += "6m = -500\r\n";
  out += "2m = -600\r\n";
  out += "70cm: -7600\r\n";
  out += (passThroughPort >= 10 ? "Relay= " : "Relay=") + std::to_string(passThroughPort) + "\r\n";
  out += "Debug=" + std::to_string(debugLog) + "\r\n";
  return out;
}

Station::Station(StationOptions options)
    : radio(options.model > 0 ? std::make_unique<sim::Transceiver>(options.model, options.digits) : nullptr),
      ports(radio.get(), options.comPort),
      panel(ports, radioLink, sound, canvas, network, folder) {
  if (options.waveFolder) makeSilentWaveFolder(folder);
  if (options.writeConfig) {
    std::ofstream cfg(folder / "korvel.cfg", std::ios::binary);
    cfg << (options.config.empty() ? sampleConfig(options.comPort) : options.config);
  }
  panel.speech.transcript = &transcript;
}

void Station::keyDown(int key) { handleEvent(panel, {platform::kKeyDownMessage, key}); }
void Station::keyUp(int key) { handleEvent(panel, {platform::kKeyUpMessage, key}); }

void Station::press(int key) {
  keyDown(key);
  keyUp(key);
}

void Station::tick(int n) {
  for (int i = 0; i < n; ++i) {
    clock.passedMs += kTimerPeriodMs;
    handleEvent(panel, {platform::kTimerMessage, 1});
  }
}

std::vector<std::string> Station::words() {
  std::vector<std::string> all;
  std::istringstream in(transcript.str());
  std::string line;
  while (std::getline(in, line)) all.push_back(line);
  std::vector<std::string> fresh(all.begin() + static_cast<long>(std::min(wordsSeen_, all.size())), all.end());
  wordsSeen_ = all.size();
  return fresh;
}

std::vector<std::string> Station::sent() {
  const auto all = ports.commands(panel.config.comPort > 0 ? panel.config.comPort : 5);
  std::vector<std::string> fresh(all.begin() + static_cast<long>(std::min(sentSeen_, all.size())), all.end());
  sentSeen_ = all.size();
  return fresh;
}

void Station::setStartValues() { korvel::setStartValues(panel); }

bool Station::startUp() { return korvel::startUp(panel); }

void Station::connect() {
  for (int i = 0; i < 40 && panel.link.connected == 0; ++i) tick();
}

bool Station::settle() {
  if (!startUp()) return false;
  connect();
  tick(4);
  words();
  sent();
  return panel.link.connected == 1 && panel.link.frequencyHz > 0;
}

std::vector<std::string> Station::radioCommands() {
  std::vector<std::string> out;
  for (auto& c : sent()) {
    if (c != "FA;" && c != "SM0;" && c != "RM6;" && c != "RM4;") out.push_back(std::move(c));
  }
  return out;
}

std::string Station::file(const std::string& name) const {
  std::ifstream in(folder / name, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

}  // namespace korvel::testing
