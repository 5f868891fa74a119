// The command families the simulated radio handles beyond its plain settings.
#include <array>
#include <utility>

#include "cat_text.h"
#include "transceiver.h"

namespace korvel::sim {

namespace {

// Fields of the "IF"/"OI" answer the simulator does not model: the memory channel last used, the
// clarifier (sign and four digits), its receive and transmit switches, and the fixed "00".
constexpr std::string_view kInformationChannel = "001";
constexpr std::string_view kInformationClarifier = "+000000";
constexpr char kInformationVfoMode = '0';  // '0' VFO, '1' memory, ...
constexpr std::string_view kInformationFixed = "00";

// "RF0<c>" selects a roofing filter with '1' (12 kHz) to '5' (300 Hz); '0' is the widest too. The
// radio answers the filter in use in its own letters: '6' (12 kHz) to 'A' (300 Hz).
constexpr std::string_view kRoofingChoices = "012345";
constexpr std::string_view kRoofingAnswers = "66789A";

// "BS<nn>" recalls a band's stack; the simulated stack holds one frequency per band.
constexpr std::array<long long, 11> kBandStack = {
    1'840'000, 3'573'000, 5'357'000, 7'074'000, 10'136'000, 14'074'000,
    18'100'000, 21'074'000, 24'915'000, 28'074'000, 50'313'000,
};
constexpr std::size_t kBandNumberDigits = 2;
constexpr int kIdDigits = 4;
constexpr int kMeterDigits = 3;
constexpr int kWidthDigits = 2;

// The frequency as the model writes it: only the low `digits` digits, zero-padded.
std::string frequencyField(long long hz, int digits) {
  long long limit = 1;
  for (int i = 0; i < digits; ++i) limit *= 10;
  return zeroPadded(hz % limit, digits);
}

bool isSwitch(char c) { return c == '0' || c == '1'; }

}  // namespace

std::string Transceiver::answerFrequency(char vfo, std::string_view parameter) {
  long long& frequency = vfo == 'A' ? frequencyA_ : frequencyB_;
  const int digits = frequencyDigits();
  if (parameter.empty()) return std::string("F") + vfo + frequencyField(frequency, digits) + ";";
  if (parameter.size() != static_cast<std::size_t>(digits) || !allDigits(parameter)) return unknown();
  frequency = digitsValue(parameter);
  return {};
}

std::string Transceiver::answerId(std::string_view parameter) {
  return parameter.empty() ? "ID" + zeroPadded(id_, kIdDigits) + ";" : unknown();
}

std::string Transceiver::answerSMeter(std::string_view parameter) {
  return parameter == "0" ? answerMeter(Meter::SMeter, "SM0") : unknown();
}

std::string Transceiver::answerMeterReading(std::string_view parameter) {
  static constexpr std::pair<std::string_view, Meter> kMeters[] = {
      {"1", Meter::SMeter}, {"3", Meter::Compression}, {"4", Meter::Alc},
      {"5", Meter::PowerOut}, {"6", Meter::Swr},
  };
  for (const auto& [number, meter] : kMeters) {
    if (parameter == number) return answerMeter(meter, "RM" + std::string(number));
  }
  return unknown();
}

std::string Transceiver::answerMeter(Meter meter, std::string_view letters) {
  return std::string(letters) + zeroPadded(readMeter(meter), kMeterDigits) + ";";
}

std::string Transceiver::answerMenu(std::string_view parameter) {
  const auto digits = static_cast<std::size_t>(menuDigits());
  if (parameter.size() < digits || !allDigits(parameter.substr(0, digits))) return unknown();
  const std::string_view number = parameter.substr(0, digits);
  const std::string_view value = parameter.substr(digits);
  if (value.empty()) return "EX" + std::string(number) + menuValue(number) + ";";
  const auto it = menus_.find(number);
  if (it != menus_.end()) {
    it->second = value;
  } else if (menus_.size() < kMaxMenus) {
    menus_.emplace(number, value);
  } else {
    return unknown();
  }
  return {};
}

// Two command forms exist: older radios switch the processor with "PR0"/"PR1" and are asked with
// "PR"; newer ones name the function first ("PR00", "PR01"; "PR1x" is the microphone equaliser)
// and are asked with "PR0" or "PR1". The two-digit setting is taken from every model.
std::string Transceiver::answerProcessor(std::string_view parameter) {
  const bool shortForm = model_.shortProcessorForm;
  if (parameter.empty()) return shortForm ? "PR" + stored("PR0") + ";" : unknown();
  if (parameter.size() == 1 && isSwitch(parameter[0])) {
    if (shortForm) {
      stored("PR0") = std::string(parameter);
      return {};
    }
    const std::string function = "PR" + std::string(parameter);
    return function + stored(function) + ";";
  }
  if (parameter.size() == 2 && isSwitch(parameter[0]) && isSwitch(parameter[1])) {
    stored("PR" + std::string(1, parameter[0])) = std::string(1, parameter[1]);
    return {};
  }
  return unknown();
}

// The width is set and asked with the model's prefix ("SH0", "SH00", "SH01"); "SH0" alone also
// asks on every model, the form the radios document for the main receiver.
std::string Transceiver::answerWidth(std::string_view parameter) {
  const std::string_view prefix = model_.widthPrefix;
  const std::string answer = std::string(prefix) + zeroPadded(filterWidth_, kWidthDigits) + ";";
  if (parameter == "0") return answer;
  const std::string command = "SH" + std::string(parameter);
  if (!startsWith(command, prefix)) return unknown();
  const std::string_view value = std::string_view(command).substr(prefix.size());
  if (value.empty()) return answer;
  if (value.size() != static_cast<std::size_t>(kWidthDigits) || !allDigits(value)) return unknown();
  filterWidth_ = static_cast<int>(digitsValue(value));
  return {};
}

// "AC00<d>": 0 tuner off, 1 tuner on, 2 (3 on some models) start a tuning cycle, which leaves the
// tuner on once it has matched.
std::string Transceiver::answerTuner(std::string_view parameter) {
  if (parameter.empty()) return "AC00" + std::to_string(tuner_) + ";";
  if (parameter.size() != 3 || !startsWith(parameter, "00") || parameter[2] < '0' || parameter[2] > '3') {
    return unknown();
  }
  const int action = parameter[2] - '0';
  if (action >= 2) ++tuneCount_;
  tuner_ = action == 0 ? 0 : 1;
  return {};
}

// "FT0"/"FT2" transmit on VFO A, "FT1"/"FT3" on VFO B; the answer gives 0 or 1.
std::string Transceiver::answerSplit(std::string_view parameter) {
  if (parameter.empty()) return transmitOnB_ ? "FT1;" : "FT0;";
  if (parameter.size() != 1 || parameter[0] < '0' || parameter[0] > '3') return unknown();
  transmitOnB_ = parameter[0] == '1' || parameter[0] == '3';
  return {};
}

// "ST" is the split switch of the newer radios: 0 off, 1 on, 2 on with the transmit frequency 5 kHz
// up (which the simulator does not move). It shares its state with "FT".
std::string Transceiver::answerSplitSwitch(std::string_view parameter) {
  if (parameter.empty()) return transmitOnB_ ? "ST1;" : "ST0;";
  if (parameter.size() != 1 || parameter[0] < '0' || parameter[0] > '2') return unknown();
  transmitOnB_ = parameter[0] != '0';
  return {};
}

std::string Transceiver::answerSwap(std::string_view parameter) {
  if (!parameter.empty()) return unknown();
  std::swap(frequencyA_, frequencyB_);
  std::swap(stored("MD0"), stored("MD1"));
  ++swapCount_;
  return {};
}

// "AB" copies VFO A (frequency and mode) to VFO B, "BA" the other way.
std::string Transceiver::answerCopyAToB(std::string_view parameter) {
  if (!parameter.empty()) return unknown();
  frequencyB_ = frequencyA_;
  stored("MD1") = stored("MD0");
  return {};
}

std::string Transceiver::answerCopyBToA(std::string_view parameter) {
  if (!parameter.empty()) return unknown();
  frequencyA_ = frequencyB_;
  stored("MD0") = stored("MD1");
  return {};
}

std::string Transceiver::answerZeroIn(std::string_view parameter) {
  if (!parameter.empty() && parameter != "0") return unknown();
  ++zeroInCount_;
  return {};
}

std::string Transceiver::answerPowerSwitch(std::string_view parameter) {
  if (parameter == "0") stored("TX") = "0";  // switching off ends a transmission
  return answerSetting("PS" + std::string(parameter));
}

// "IF" tells VFO A's state in one answer, "OI" VFO B's: channel, frequency, clarifier, mode,
// VFO or memory, tone mode, shift. 28 characters with nine frequency digits, 27 with eight.
std::string Transceiver::answerInformation(std::string_view parameter) {
  return parameter.empty() ? informationFor("IF", frequencyA_, mode()) : unknown();
}

std::string Transceiver::answerOppositeInformation(std::string_view parameter) {
  return parameter.empty() ? informationFor("OI", frequencyB_, modeB()) : unknown();
}

std::string Transceiver::informationFor(std::string_view letters, long long frequency, char modeCharacter) const {
  std::string out(letters);
  out += kInformationChannel;
  out += frequencyField(frequency, frequencyDigits());
  out += kInformationClarifier;
  out += modeCharacter;
  out += kInformationVfoMode;
  out += setting("CT0");
  out += kInformationFixed;
  out += setting("OS0");
  return out + ";";
}

// The radios ask the narrow filter with "NA0" (main receiver) and set it with "NA0<d>"; "NA1" asks
// for the sub receiver's (never narrow here) and "NA1<d>" sets it, which changes nothing here. Also
// taken: "NA" asks in one digit.
std::string Transceiver::answerNarrow(std::string_view parameter) {
  std::string& narrow = stored("NA");
  if (parameter.empty()) return "NA" + narrow + ";";
  if (parameter == "0") return "NA0" + narrow + ";";
  if (parameter == "1") return "NA10;";
  if (parameter.size() == 2 && parameter[0] == '0' && isSwitch(parameter[1])) {
    narrow = std::string(1, parameter[1]);
    return {};
  }
  if (parameter.size() == 2 && parameter[0] == '1' && isSwitch(parameter[1])) return {};
  return unknown();
}

std::string Transceiver::answerRoofing(std::string_view parameter) {
  if (parameter == "0") return std::string("RF0") + roofing_ + ";";
  if (parameter.size() != 2 || parameter[0] != '0') return unknown();
  const std::size_t choice = kRoofingChoices.find(parameter[1]);
  if (choice == std::string_view::npos) return unknown();
  roofing_ = kRoofingAnswers[choice];
  return {};
}

std::string Transceiver::answerBandSelect(std::string_view parameter) {
  if (parameter.size() != kBandNumberDigits || !allDigits(parameter)) return unknown();
  const auto band = static_cast<std::size_t>(digitsValue(parameter));
  if (band >= kBandStack.size()) return unknown();
  frequencyA_ = kBandStack[band];
  return {};
}

std::string Transceiver::answerSetting(std::string_view command) {
  const SettingRule* rule = findSetting(command);
  if (rule == nullptr) return unknown();
  std::string& value = stored(rule->prefix);
  const std::string_view given = command.substr(rule->prefix.size());
  if (given.empty()) return std::string(rule->prefix) + value + ";";
  if (!acceptsValue(*rule, given)) return unknown();
  value = std::string(given);
  return {};
}

}  // namespace korvel::sim
