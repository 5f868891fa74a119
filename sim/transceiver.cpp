#include "transceiver.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "cat_text.h"

namespace korvel::sim {

namespace {

// Some stations send this text before "PS1" to wake a radio that is switched off.
constexpr std::string_view kWakeUpText = "Power on";
// One step per query: a moving meter creeps a few units up and down around its value.
constexpr std::array<int, 8> kWobble = {0, 2, 4, 2, 0, -2, -4, -2};

// Meter readings at power-up, on the 0..255 scale.
constexpr int kSMeterAtStart = 100;  // about S7
constexpr int kCompressionAtStart = 20;
constexpr int kAlcAtStart = 40;
constexpr int kPowerOutAtStart = 120;
constexpr int kSwrAtStart = 60;  // about 1.1

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

std::size_t meterIndex(Meter meter) { return static_cast<std::size_t>(meter); }

}  // namespace

Transceiver::Transceiver(int model, int frequencyDigits) : id_(model), model_(simModel(model)) {
  if (model < 0 || model > kMaxModel) throw std::invalid_argument("radio model must be 0..9999");
  if (frequencyDigits != kRowDigits && frequencyDigits != kOlderFrequencyDigits &&
      frequencyDigits != kNewerFrequencyDigits) {
    throw std::invalid_argument("frequency digits must be 8 or 9");
  }
  if (frequencyDigits != kRowDigits) model_.frequencyDigits = frequencyDigits;
  for (const SettingRule& rule : settingRules()) settings_.emplace(rule.prefix, rule.initial);
  meters_[meterIndex(Meter::SMeter)].value = kSMeterAtStart;
  meters_[meterIndex(Meter::Compression)].value = kCompressionAtStart;
  meters_[meterIndex(Meter::Alc)].value = kAlcAtStart;
  meters_[meterIndex(Meter::PowerOut)].value = kPowerOutAtStart;
  meters_[meterIndex(Meter::Swr)].value = kSwrAtStart;
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
  std::string reply = overlong_ ? unknown() : answer(pending_);
  std::string command = std::exchange(pending_, {});
  command += overlong_ ? "...;" : ";";
  overlong_ = false;
  if (!answering_) reply.clear();
  if (observer_) observer_(command, reply);
  out += reply;
}

std::string Transceiver::takeHeldReply() { return std::exchange(held_, {}); }

// --- commands ---------------------------------------------------------------------------------

Transceiver::Handler Transceiver::handlerFor(std::string_view letters) {
  struct Family {
    std::string_view letters;
    Handler handler;
  };
  static constexpr Family kFamilies[] = {
      {"FA", &Transceiver::answerFrequencyA}, {"FB", &Transceiver::answerFrequencyB},
      {"ID", &Transceiver::answerId},         {"SM", &Transceiver::answerSMeter},
      {"RM", &Transceiver::answerMeterReading}, {"EX", &Transceiver::answerMenu},
      {"PR", &Transceiver::answerProcessor},  {"SH", &Transceiver::answerWidth},
      {"AC", &Transceiver::answerTuner},      {"FT", &Transceiver::answerSplit},
      {"SV", &Transceiver::answerSwap},       {"ZI", &Transceiver::answerZeroIn},
      {"PS", &Transceiver::answerPowerSwitch}, {"IF", &Transceiver::answerInformation},
      {"OI", &Transceiver::answerOppositeInformation}, {"NA", &Transceiver::answerNarrow},
      {"RF", &Transceiver::answerRoofing},    {"BS", &Transceiver::answerBandSelect},
      {"ST", &Transceiver::answerSplitSwitch}, {"AB", &Transceiver::answerCopyAToB},
      {"BA", &Transceiver::answerCopyBToA},
  };
  for (const Family& family : kFamilies) {
    if (family.letters == letters) return family.handler;
  }
  return nullptr;
}

std::string Transceiver::answer(std::string_view command) {
  if (command.empty() || command == kWakeUpText) return {};
  if (!poweredOn()) {
    // Switched off, the radio hears only the power switch.
    if (command == "PS1") stored("PS") = "1";
    return {};
  }
  switch (behaviourOf(command)) {
    case CommandBehaviour::Silent:
      return {};
    case CommandBehaviour::Refused:
      return unknown();
    case CommandBehaviour::Normal:
      break;
  }
  if (command.size() < 2 || !isPrintable(command)) return unknown();
  if (!knowsFamily(model_, command.substr(0, 2))) return unknown();
  if (const Handler handler = handlerFor(command.substr(0, 2))) return (this->*handler)(command.substr(2));
  return answerSetting(command);
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
  stored("PS") = on ? "1" : "0";
  if (!on) stored("TX") = "0";
}

std::string Transceiver::setting(std::string_view prefix) const {
  const auto it = settings_.find(prefix);
  return it == settings_.end() ? std::string() : it->second;
}

bool Transceiver::setSetting(std::string_view prefix, std::string_view value) {
  const SettingRule* rule = settingByPrefix(prefix);
  if (rule == nullptr || !acceptsValue(*rule, value)) return false;
  stored(prefix) = std::string(value);
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
  return std::clamp(state.value + wobble, 0, kMeterFullScale);
}

void Transceiver::setMeter(Meter meter, int value) {
  MeterState& state = meters_[meterIndex(meter)];
  state.value = std::clamp(value, 0, kMeterFullScale);
  state.moving = false;
}

void Transceiver::setMeterMoving(Meter meter, bool moving) { meters_[meterIndex(meter)].moving = moving; }

int Transceiver::meterValue(Meter meter) const { return meters_[meterIndex(meter)].value; }

}  // namespace korvel::sim
