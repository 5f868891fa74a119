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

// A name letter by letter and digit by digit; other characters are not said.
void spell(Panel& p, std::string_view name) {
  for (const char c : name) {
    if (isDigit(c)) {
      playWord(p, std::string(1, c));
    } else if (std::isalpha(static_cast<unsigned char>(c))) {
      playWord(p, std::string(kLetterWordPrefix) + static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
  }
}

void speakRadioName(Panel& p, int id) {
  const std::string_view name = radioName(id);
  if (name == kUnknownRadioName) {
    playWord(p, "unknown");
    playWord(p, "yaesu");
    return;
  }
  spell(p, name);
}

// The port by the number its device ends in, and the speed.
void speakPortAndSpeed(Panel& p, const std::string& device, int baud) {
  const std::string port = trailingDigits(realDevice(device).filename().string());
  if (!port.empty()) {
    playWord(p, "port");
    speakCharacters(p, port);
  }
  speakCharacters(p, std::to_string(baud));
  playWord(p, "baud");
}

// The name, the ID, the port (by the number its device ends in) and the speed.
void speakFoundRadio(Panel& p, const FoundRadio& radio) {
  speakRadioName(p, radio.id);
  playWord(p, "id");
  speakCharacters(p, radio.idDigits);
  speakPortAndSpeed(p, radio.device, radio.baud);
}

// The device as given, and the device behind it when it is a link.
std::string whereIs(const std::string& device) {
  std::string where = device;
  const fs::path real = realDevice(device);
  if (real != fs::path(device)) where += " (" + real.string() + ")";
  return where;
}

std::string describe(const FoundRadio& radio) {
  return std::string(radioName(radio.id)) + " (ID " + radio.idDigits + ") on " + whereIs(radio.device) + " at " +
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
  // The radio found is the station's: a Hamlib radio korvel.options named would stand in its way.
  if (!writeHamlibRadio(p, {}, changed, why)) {
    out << "Not written: " << why << '\n';
    return kRadioNotWritten;
  }
  if (changed) out << "korvel.options no longer names a radio through Hamlib (the old one is korvel.options.bak).\n";
  playWord(p, "ok");
  return kRadioFound;
}

// Makes a radio Hamlib found the station's: its three options in korvel.options.
int setUpHamlibStation(Panel& p, const radio_link::HamlibFind& radio, const std::string& device, std::ostream& out) {
  bool changed = false;
  std::string why;
  const bool hadOptions = fs::exists(p.folder / kOptionsFileName);
  if (!writeHamlibRadio(p, {radio.model, device, radio.speed}, changed, why)) {
    out << "Not written: " << why << '\n';
    return kRadioNotWritten;
  }
  out << (changed ? "korvel.options now names " : "korvel.options already named ") << "Hamlib model " << radio.model
      << " on " << device << " at " << radio.speed << " baud"
      << (changed && hadOptions ? " (the old one is korvel.options.bak).\n" : ".\n");
  playWord(p, "ok");
  return kRadioFound;
}

// Hamlib's probe on the devices where no Yaesu answered (or the one that gave an ID Korvel does
// not know, at the speed it answered at).
std::optional<int> findThroughHamlib(Panel& p, const FindRequest& request, const std::vector<std::string>& devices,
                                     int knownSpeed, std::ostream& out) {
  for (const std::string& device : devices) {
    out << "Asking Hamlib's probe (Icom, Kenwood, Elecraft and others) on " << device << "; this takes up to a minute ...\n"
        << std::flush;
    const auto radio = request.probe(device, knownSpeed);
    if (!radio) {
      out << "  " << device << ": Hamlib's probe found no radio\n" << std::flush;
      continue;
    }
    out << "Found " << radio->maker << ' ' << radio->name << " (Hamlib model " << radio->model << ") on "
        << whereIs(device) << " at " << radio->speed << " baud.\n"
        << std::flush;
    spell(p, radio->name);
    speakPortAndSpeed(p, device, radio->speed);
    return request.write ? setUpHamlibStation(p, *radio, device, out) : kRadioFound;
  }
  return std::nullopt;
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
  std::vector<std::string> silent;
  const auto found = searchForRadio(p, devices, speeds, [&](const DeviceReport& report) {
    printOutcome(out, report, named);
    if (report.outcome == DeviceOutcome::Silent) silent.push_back(report.device);
  });
  // A radio that is no Yaesu Korvel knows may be one Hamlib can drive.
  const bool known = found && std::string_view(radioName(found->id)) != kUnknownRadioName;
  if (!known && request.probe) {
    const auto outcome = found ? findThroughHamlib(p, request, {found->device}, found->baud, out)
                               : findThroughHamlib(p, request, silent, 0, out);
    if (outcome) return *outcome;
  }
  if (!found) {
    out << "No radio answered. Is it switched on, its CAT cable in, and its CAT rate one of those speeds?\n";
    playWord(p, "nc");
    return kNoRadioFound;
  }
  out << "Found " << describe(*found) << ".\n" << std::flush;
  if (!known) {
    out << "Korvel does not know this ID. A Kenwood or an Elecraft answers so: choose its Hamlib model\n"
           "(rigctl -l lists them) with --hamlib-model, --hamlib-port and --hamlib-speed.\n";
  }
  speakFoundRadio(p, *found);
  return request.write ? setUpStation(p, *found, haveConfig, out) : kRadioFound;
}

}  // namespace korvel
