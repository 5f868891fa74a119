#include "core/find_radio.h"

#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "core/config.h"
#include "core/config_update.h"
#include "player/phrase_player.h"
#include "radio_link/radio_models.h"
#include "radio_link/radio_search.h"
#include "state/panel.h"

namespace korvel {

namespace {

namespace fs = std::filesystem;

// A radio's name is spelt: its digits with the digit words, its letters with these.
constexpr std::string_view kLetterWordPrefix = "letter-";
// The port a station gets when line 1 of korvel.cfg names none it could keep.
constexpr int kFirstStationPort = 1;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string speedList(const std::vector<int>& speeds) {
  std::string out;
  for (std::size_t i = 0; i < speeds.size(); ++i) {
    if (i > 0) out += i + 1 == speeds.size() ? " and " : ", ";
    out += std::to_string(speeds[i]);
  }
  return out;
}

// The device itself, behind any link: /dev/ttyUSB0 for a /dev/serial/by-id name; COM7 as it is.
fs::path realDevice(const std::string& device) {
  std::error_code ec;
  if (!fs::is_symlink(device, ec)) return device;
  const fs::path real = fs::canonical(device, ec);
  return ec ? fs::path(device) : real;
}

std::string trailingDigits(const std::string& name) {
  std::size_t start = name.size();
  while (start > 0 && isDigit(name[start - 1])) --start;
  return name.substr(start);
}

void speakRadioName(Panel& p, int id) {
  const std::string_view name = radioName(id);
  if (name == kUnknownRadioName) {
    playWord(p, "unknown");
    playWord(p, "yaesu");
    return;
  }
  for (const char c : name) {
    if (isDigit(c)) {
      playWord(p, std::string(1, c));
    } else if (std::isalpha(static_cast<unsigned char>(c))) {
      playWord(p, std::string(kLetterWordPrefix) + static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
  }
}

// The name, the ID, the port (by the number its device ends in) and the speed.
void speakFoundRadio(Panel& p, const FoundRadio& radio) {
  speakRadioName(p, radio.id);
  playWord(p, "id");
  speakCharacters(p, radio.idDigits);
  const std::string port = trailingDigits(realDevice(radio.device).filename().string());
  if (!port.empty()) {
    playWord(p, "port");
    speakCharacters(p, port);
  }
  speakCharacters(p, std::to_string(radio.baud));
  playWord(p, "baud");
}

std::string describe(const FoundRadio& radio) {
  std::string where = radio.device;
  const fs::path real = realDevice(radio.device);
  if (real != fs::path(radio.device)) where += " (" + real.string() + ")";
  return std::string(radioName(radio.id)) + " (ID " + radio.idDigits + ") on " + where + " at " +
         std::to_string(radio.baud) + " baud";
}

void printOutcome(std::ostream& out, const DeviceReport& report, bool named) {
  switch (report.outcome) {
    case DeviceOutcome::Answered:  // told in full once the search ends
      break;
    case DeviceOutcome::Silent:
      out << "  " << report.device << ": no answer at any speed\n";
      break;
    case DeviceOutcome::Absent:
      if (named) out << "  " << report.device << ": no such device\n";
      break;
    case DeviceOutcome::Unusable:
      out << "  " << report.device << ": " << report.why << '\n';
      break;
  }
  out << std::flush;
}

// Makes the found device the station's radio port: the port link, then lines 1 and 2 of korvel.cfg.
int setUpStation(Panel& p, const FoundRadio& radio, bool haveConfig, std::ostream& out) {
  std::string why;
  if (!haveConfig) {
    out << "Not written: there is no korvel.cfg in " << p.folder.string()
        << " (copy korvel.cfg.example there first).\n";
    playWord(p, "cfgnf");
    return kRadioNotWritten;
  }
  const int configured = p.config.comPort;
  const int wanted = configured >= kFirstStationPort && configured <= kHighestConfigPort ? configured : kFirstStationPort;
  const int port = p.ports.assignPort(wanted, radio.device, why);
  if (port > kHighestConfigPort) why = "COM" + std::to_string(port) + " is above what korvel.cfg can name";
  bool changed = false;
  if (port == 0 || port > kHighestConfigPort || !writePortAndSpeed(p, port, radio.baud, changed, why)) {
    out << "Not written: " << why << '\n';
    return kRadioNotWritten;
  }
  const std::string portName = "COM" + std::to_string(port);
  std::error_code ec;
  if (radio.device != portName) out << portName << " now leads to " << fs::absolute(radio.device, ec).string() << ".\n";
  out << (changed ? "korvel.cfg now names " : "korvel.cfg already named ") << portName << " at " << radio.baud
      << " baud" << (changed ? " (the old one is korvel.cfg.bak).\n" : ".\n");
  playWord(p, "ok");
  return kRadioFound;
}

}  // namespace

int findRadio(Panel& p, const FindRequest& request, std::ostream& out) {
  const bool haveConfig = readConfiguration(p);
  const bool named = !request.devices.empty();
  const std::vector<std::string> devices = named ? request.devices : p.ports.deviceNames();
  const std::vector<int> speeds = searchSpeeds(p.config.baudRate);
  if (devices.empty()) {
    out << "No serial devices to look for a radio on.\n";
    playWord(p, "nc");
    return kNoRadioFound;
  }
  out << "Looking for a radio on " << devices.size() << (devices.size() == 1 ? " device" : " devices") << " at "
      << speedList(speeds) << " baud:\n"
      << std::flush;
  const auto found =
      searchForRadio(p, devices, speeds, [&](const DeviceReport& report) { printOutcome(out, report, named); });
  if (!found) {
    out << "No radio answered. Is it switched on, its CAT cable in, and its CAT rate one of those speeds?\n";
    playWord(p, "nc");
    return kNoRadioFound;
  }
  out << "Found " << describe(*found) << ".\n" << std::flush;
  speakFoundRadio(p, *found);
  return request.write ? setUpStation(p, *found, haveConfig, out) : kRadioFound;
}

}  // namespace korvel
