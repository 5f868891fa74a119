#include "transceiver.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace korvel::sim {

namespace {

constexpr std::string_view kUnknown = "?;";
// Some stations send this text before "PS1" to wake a radio that is switched off.
constexpr std::string_view kWakeUpText = "Power on";
// One step per query: a moving meter creeps a few units up and down around its value.
constexpr std::array<int, 8> kWobble = {0, 2, 4, 2, 0, -2, -4, -2};

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool allDigits(std::string_view text) { return !text.empty() && std::all_of(text.begin(), text.end(), isDigit); }

// Bytes that may separate commands on a line typed by hand: blanks, CR, LF and other controls.
bool isSeparator(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte <= 0x20 || byte == 0x7f;
}

bool isPrintable(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && byte < 0x7f;
  });
}

std::string zeroPadded(long long n, int width) {
  std::string digits = std::to_string(n < 0 ? 0 : n);
  if (digits.size() < static_cast<std::size_t>(width)) digits.insert(0, width - digits.size(), '0');
  return digits;
}

long long digitsValue(std::string_view digits) {
  long long n = 0;
  for (const char c : digits) n = n * 10 + (c - '0');
  return n;
}

std::size_t meterIndex(Meter meter) { return static_cast<std::size_t>(meter); }

}  // namespace

Transceiver::Transceiver(int model) : model_(model) {
  if (model < 0 || model > 9999) throw std::invalid_argument("radio model must be 0..9999");
  for (const SettingSpec& spec : settingSpecs()) settings_.emplace(spec.prefix, spec.initial);
  meters_[meterIndex(Meter::SMeter)].value = 100;  // about S7
  meters_[meterIndex(Meter::Compression)].value = 20;
  meters_[meterIndex(Meter::Alc)].value = 40;
  meters_[meterIndex(Meter::PowerOut)].value = 120;
  meters_[meterIndex(Meter::Swr)].value = 60;  // about 1.1
}

int Transceiver::frequencyDigits() const {
  switch (model_) {
    case 241:
    case 310:
    case 362:
    case 462:
      return 8;
    default:
      return 9;
  }
}

int Transceiver::menuDigits() const {
  switch (model_) {
    case 681:
    case 682:
    case 761:
    case 800:
    case 840:
      return 6;
    case 650:
      return 4;
    default:
      return 3;
  }
}

bool Transceiver::usesShortProcessorForm() const {
  switch (model_) {
    case 241:
    case 251:
    case 310:
    case 362:
    case 462:
      return true;
    default:
      return false;
  }
}

std::string Transceiver::widthPrefix() const {
  switch (model_) {
    case 681:
    case 682:
    case 761:
    case 800:
      return "SH00";
    case 650:
      return "SH01";
    default:
      return "SH0";
  }
}

// --- framing ----------------------------------------------------------------------------------

std::string Transceiver::receive(std::string_view bytes) {
  std::string out = std::exchange(held_, {});
  for (const char c : bytes) {
    if (c == ';') {
      finishCommand(out);
    } else if (overlong_) {
      // The rest of a command too long to keep: wait for its terminator.
    } else if (pending_.empty() && isSeparator(c)) {
      // Line ends and blanks between commands.
    } else if (pending_.size() >= kMaxCommandLength) {
      overlong_ = true;
    } else {
      pending_ += c;
    }
  }
  if (replyLimit_ != kNoReplyLimit && out.size() > replyLimit_) {
    held_ = out.substr(replyLimit_, kMaxHeldReply);
    out.resize(replyLimit_);
  }
  return out;
}

void Transceiver::finishCommand(std::string& out) {
  std::string reply = overlong_ ? std::string(kUnknown) : answer(pending_);
  std::string command = std::exchange(pending_, {});
  command += overlong_ ? "...;" : ";";
  overlong_ = false;
  if (!answering_) reply.clear();
  if (observer_) observer_(command, reply);
  out += reply;
}

std::string Transceiver::takeHeldReply() { return std::exchange(held_, {}); }

// --- commands ---------------------------------------------------------------------------------

std::string Transceiver::answer(std::string_view command) {
  if (command.empty() || command == kWakeUpText) return {};
  if (!poweredOn()) {
    // Switched off, the radio hears only the power switch.
    if (command == "PS1") settings_.find("PS")->second = "1";
    return {};
  }
  switch (behaviourOf(command)) {
    case CommandBehaviour::Silent:
      return {};
    case CommandBehaviour::Refused:
      return std::string(kUnknown);
    case CommandBehaviour::Normal:
      break;
  }
  if (command.size() < 2 || !isPrintable(command)) return std::string(kUnknown);

  const std::string_view letters = command.substr(0, 2);
  const std::string_view parameter = command.substr(2);
  if (letters == "FA") return answerFrequency('A', parameter);
  if (letters == "FB") return answerFrequency('B', parameter);
  if (letters == "ID") return parameter.empty() ? "ID" + zeroPadded(model_, 4) + ";" : std::string(kUnknown);
  if (letters == "SM") return parameter == "0" ? answerMeter(Meter::SMeter, "SM0") : std::string(kUnknown);
  if (letters == "RM") {
    if (parameter == "1") return answerMeter(Meter::SMeter, "RM1");
    if (parameter == "3") return answerMeter(Meter::Compression, "RM3");
    if (parameter == "4") return answerMeter(Meter::Alc, "RM4");
    if (parameter == "5") return answerMeter(Meter::PowerOut, "RM5");
    if (parameter == "6") return answerMeter(Meter::Swr, "RM6");
    return std::string(kUnknown);
  }
  if (letters == "EX") return answerMenu(parameter);
  if (letters == "PR") return answerProcessor(parameter);
  if (letters == "SH") return answerWidth(command);
  if (letters == "AC") return answerTuner(parameter);
  if (letters == "FT") return answerSplit(parameter);
  if (letters == "SV") {
    if (!parameter.empty()) return std::string(kUnknown);
    std::swap(frequencyA_, frequencyB_);
    std::swap(settings_.find("MD0")->second, settings_.find("MD1")->second);
    ++swapCount_;
    return {};
  }
  if (letters == "ZI") {
    if (!parameter.empty() && parameter != "0") return std::string(kUnknown);
    ++zeroInCount_;
    return {};
  }
  if (command == "PS0") settings_.find("TX")->second = "0";  // switching off ends a transmission
  return answerSetting(command);
}

std::string Transceiver::answerFrequency(char vfo, std::string_view parameter) {
  long long& frequency = vfo == 'A' ? frequencyA_ : frequencyB_;
  const int digits = frequencyDigits();
  if (parameter.empty()) {
    long long limit = 1;
    for (int i = 0; i < digits; ++i) limit *= 10;
    return std::string("F") + vfo + zeroPadded(frequency % limit, digits) + ";";
  }
  if (parameter.size() != static_cast<std::size_t>(digits) || !allDigits(parameter)) return std::string(kUnknown);
  frequency = digitsValue(parameter);
  return {};
}

std::string Transceiver::answerMeter(Meter meter, std::string_view letters) {
  return std::string(letters) + zeroPadded(readMeter(meter), 3) + ";";
}

std::string Transceiver::answerMenu(std::string_view parameter) {
  const auto digits = static_cast<std::size_t>(menuDigits());
  if (parameter.size() < digits || !allDigits(parameter.substr(0, digits))) return std::string(kUnknown);
  const std::string_view number = parameter.substr(0, digits);
  const std::string_view value = parameter.substr(digits);
  if (value.empty()) return "EX" + std::string(number) + menuValue(number) + ";";
  const auto it = menus_.find(number);
  if (it != menus_.end()) {
    it->second = value;
  } else if (menus_.size() < kMaxMenus) {
    menus_.emplace(number, value);
  } else {
    return std::string(kUnknown);
  }
  return {};
}

// Two command forms exist: older radios switch the processor with "PR0"/"PR1" and are asked with
// "PR"; newer ones name the function first ("PR00", "PR01"; "PR1x" is the microphone equaliser)
// and are asked with "PR0" or "PR1". The two-digit setting is taken from every model.
std::string Transceiver::answerProcessor(std::string_view parameter) {
  const bool shortForm = usesShortProcessorForm();
  const auto isSwitch = [](char c) { return c == '0' || c == '1'; };
  if (parameter.empty()) {
    return shortForm ? "PR" + settings_.find("PR0")->second + ";" : std::string(kUnknown);
  }
  if (parameter.size() == 1 && isSwitch(parameter[0])) {
    if (shortForm) {
      settings_.find("PR0")->second = std::string(parameter);
      return {};
    }
    const std::string function = "PR" + std::string(parameter);
    return function + settings_.find(function)->second + ";";
  }
  if (parameter.size() == 2 && isSwitch(parameter[0]) && isSwitch(parameter[1])) {
    settings_.find("PR" + std::string(1, parameter[0]))->second = std::string(1, parameter[1]);
    return {};
  }
  return std::string(kUnknown);
}

std::string Transceiver::answerWidth(std::string_view command) {
  const std::string prefix = widthPrefix();
  if (!startsWith(command, prefix)) return std::string(kUnknown);
  const std::string_view value = command.substr(prefix.size());
  if (value.empty()) return prefix + zeroPadded(filterWidth_, 2) + ";";
  if (value.size() != 2 || !allDigits(value)) return std::string(kUnknown);
  filterWidth_ = static_cast<int>(digitsValue(value));
  return {};
}

// "AC00<d>": 0 tuner off, 1 tuner on, 2 (3 on some models) start a tuning cycle, which leaves the
// tuner on once it has matched.
std::string Transceiver::answerTuner(std::string_view parameter) {
  if (parameter.empty()) return "AC00" + std::to_string(tuner_) + ";";
  if (parameter.size() != 3 || !startsWith(parameter, "00") || parameter[2] < '0' || parameter[2] > '3') {
    return std::string(kUnknown);
  }
  const int action = parameter[2] - '0';
  if (action >= 2) ++tuneCount_;
  tuner_ = action == 0 ? 0 : 1;
  return {};
}

// "FT0"/"FT2" transmit on VFO A, "FT1"/"FT3" on VFO B; the answer gives 0 or 1.
std::string Transceiver::answerSplit(std::string_view parameter) {
  if (parameter.empty()) return transmitOnB_ ? "FT1;" : "FT0;";
  if (parameter.size() != 1 || parameter[0] < '0' || parameter[0] > '3') return std::string(kUnknown);
  transmitOnB_ = parameter[0] == '1' || parameter[0] == '3';
  return {};
}

std::string Transceiver::answerSetting(std::string_view command) {
  const SettingSpec* spec = findSetting(command);
  if (spec == nullptr) return std::string(kUnknown);
  const auto stored = settings_.find(spec->prefix);
  const std::string_view value = command.substr(spec->prefix.size());
  if (value.empty()) return std::string(spec->prefix) + stored->second + ";";
  if (!acceptsValue(*spec, value)) return std::string(kUnknown);
  stored->second = std::string(value);
  return {};
}

CommandBehaviour Transceiver::behaviourOf(std::string_view command) const {
  CommandBehaviour behaviour = CommandBehaviour::Normal;
  std::size_t longest = 0;
  for (const auto& [prefix, chosen] : behaviours_) {
    if (prefix.size() >= longest && startsWith(command, prefix)) {
      longest = prefix.size();
      behaviour = chosen;
    }
  }
  return behaviour;
}

void Transceiver::setCommandBehaviour(std::string_view prefix, CommandBehaviour behaviour) {
  if (behaviour == CommandBehaviour::Normal) {
    const auto it = behaviours_.find(prefix);
    if (it != behaviours_.end()) behaviours_.erase(it);
  } else {
    behaviours_.insert_or_assign(std::string(prefix), behaviour);
  }
}

// --- state accessors --------------------------------------------------------------------------

char Transceiver::mode() const { return settings_.find("MD0")->second.front(); }
char Transceiver::modeB() const { return settings_.find("MD1")->second.front(); }
bool Transceiver::transmitting() const { return settings_.find("TX")->second != "0"; }
bool Transceiver::poweredOn() const { return settings_.find("PS")->second == "1"; }

void Transceiver::setPoweredOn(bool on) {
  settings_.find("PS")->second = on ? "1" : "0";
  if (!on) settings_.find("TX")->second = "0";
}

std::string Transceiver::setting(std::string_view prefix) const {
  const auto it = settings_.find(prefix);
  return it == settings_.end() ? std::string() : it->second;
}

bool Transceiver::setSetting(std::string_view prefix, std::string_view value) {
  const SettingSpec* spec = settingByPrefix(prefix);
  if (spec == nullptr || !acceptsValue(*spec, value)) return false;
  settings_.find(prefix)->second = std::string(value);
  return true;
}

std::string Transceiver::menuValue(std::string_view number) const {
  const auto it = menus_.find(number);
  return it == menus_.end() ? std::string(kDefaultMenuValue) : it->second;
}

void Transceiver::setMenuValue(std::string_view number, std::string_view value) {
  menus_.insert_or_assign(std::string(number), std::string(value));
}

// --- meters -----------------------------------------------------------------------------------

int Transceiver::readMeter(Meter meter) {
  MeterState& state = meters_[meterIndex(meter)];
  const int wobble = state.moving ? kWobble[state.queries % kWobble.size()] : 0;
  ++state.queries;
  return std::clamp(state.value + wobble, 0, 255);
}

void Transceiver::setMeter(Meter meter, int value) {
  MeterState& state = meters_[meterIndex(meter)];
  state.value = std::clamp(value, 0, 255);
  state.moving = false;
}

void Transceiver::setMeterMoving(Meter meter, bool moving) { meters_[meterIndex(meter)].moving = moving; }

int Transceiver::meterValue(Meter meter) const { return meters_[meterIndex(meter)].value; }

}  // namespace korvel::sim
