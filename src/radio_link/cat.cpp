#include "radio_link/cat.h"

#include <algorithm>
#include <array>

#include "state/modes.h"
#include "state/text.h"

namespace korvel::cat {

namespace {

constexpr long long kHighestFrequencyHz = 999999999;
constexpr int kShortFrequencyDigits = 8;
// More digits than any radio's number: line noise, not an identity.
constexpr std::size_t kLongestIdentity = 6;
constexpr std::string_view kMainMode = "MD0";
constexpr std::string_view kSubMode = "MD1";

const char* letters(Vfo vfo) { return vfo == Vfo::B ? "FB" : "FA"; }

const char* digit(bool on) { return on ? "1" : "0"; }

// Where a reading's value stands in its reply: the letters, then `skip` characters, then `length`
// characters (-1: everything to the end).
struct ReplyForm {
  const char* query;
  const char* letters;
  long length;
  long skip;
};

ReplyForm replyForm(Reading what, const RadioModel& model) {
  switch (what) {
    case Reading::Frequency: return {"FA", "FA", static_cast<long>(kFrequencyDigits), 0};
    case Reading::FrequencyB: return {"FB", "FB", static_cast<long>(kFrequencyDigits), 0};
    case Reading::MainMode: return {"MD0", "MD0", 1, 0};
    case Reading::SubMode: return {"MD1", "MD1", 1, 0};
    case Reading::TransmitPower: return {"PC", "PC", 3, 0};
    case Reading::RfGain: return {"RG0", "RG", 3, 1};
    case Reading::PowerMeter: return {"RM5", "RM5", 3, 0};
    case Reading::SMeter: return {"SM0", "SM", 3, 1};
    case Reading::Swr: return {"RM6", "RM6", 3, 0};
    case Reading::MicMeter: return {"RM4", "RM4", 3, 0};
    case Reading::Identity: return {"ID", "ID", 4, 0};
    case Reading::AgcStep: return {"GT0", "GT0", 1, 0};
    case Reading::AfGain: return {"AG0", "AG", 3, 1};
    case Reading::MonitorSwitch: return {"ML0", "ML0", 3, 0};
    case Reading::MonitorLevel: return {"ML1", "ML1", 3, 0};
    case Reading::ProcessorState: {
      // The state digit follows the query's own letters: "PR1;" or "PR01;".
      const long afterLetters = static_cast<long>(model.processorQuery.size()) - 2;
      return {model.processorQuery.c_str(), "PR", 1, afterLetters};
    }
    case Reading::NoiseReductionState: return {"NR0", "NR0", -1, 0};
    case Reading::Vox: return {"VX", "VX", 1, 0};
    case Reading::BreakIn: return {"BI", "BI", 1, 0};
    case Reading::NoiseBlankerLevel: return {"NL0", "NL", 3, 1};
    case Reading::NoiseReductionLevel: return {"RL0", "RL", 3, 1};
    case Reading::ProcessorLevel: return {"PL", "PL", 3, 0};
    case Reading::Squelch: return {"SQ0", "SQ", 3, 1};
    case Reading::KeyerSpeed: return {"KS", "KS", 3, 0};
    case Reading::MicGain: return {"MG", "MG", 3, 0};
  }
  return {"", "", 0, 0};
}

}  // namespace

std::string tune(Vfo vfo, long long hz) {
  return letters(vfo) + zeroPad(std::clamp<long long>(hz, 0, kHighestFrequencyHz), static_cast<int>(kFrequencyDigits));
}

std::string tune(Vfo vfo, std::string_view digits) { return letters(vfo) + std::string(digits); }

std::string tuneField(std::string_view field) { return "F" + std::string(field); }

std::string mode(int programMode) {
  const ModeRow* row = modeOfProgram(programMode);
  return row == nullptr ? std::string() : modeSetting(Receiver::Main, row->radioCharacter);
}

std::string modeSetting(Receiver receiver, char radioCharacter) {
  return std::string(receiver == Receiver::Sub ? kSubMode : kMainMode) + radioCharacter;
}

bool isModeSetting(std::string_view command) {
  const std::string_view body = command.substr(0, command.find(';'));
  return body.size() == kMainMode.size() + 1 && body.starts_with(kMainMode);
}

int modeOfCommand(std::string_view command) {
  if (!command.starts_with(kMainMode) || command.size() <= kMainMode.size()) return 0;
  const ModeRow* row = modeByCharacter(command[kMainMode.size()], true);
  return row != nullptr && row->own ? row->programMode : 0;
}

std::string narrowFilter(const RadioModel& model, bool on) {
  if (!model.hasNarrowFilter) return {};
  return std::string("NA0") + digit(on);
}

std::string width(const RadioModel& model, int index) { return model.widthPrefix + zeroPad(index, 2); }

std::string preamp(int level) { return "PA0" + zeroPad(std::clamp(level, 0, 2), 1); }

std::string set(Switch what, bool on) {
  switch (what) {
    case Switch::Attenuator: return std::string("RA0") + digit(on);
    case Switch::NoiseBlanker: return std::string("NB0") + digit(on);
    case Switch::NoiseReduction: return std::string("NR0") + digit(on);
    case Switch::Notch: return std::string("BC0") + digit(on);
    case Switch::BreakIn: return std::string("BI") + digit(on);
    case Switch::Vox: return std::string("VX") + digit(on);
    case Switch::Transmit: return std::string("TX") + digit(on);
    case Switch::Power: return std::string("PS") + digit(on);
  }
  return {};
}

std::string noiseReductionAtStart(bool on) { return std::string("NR") + digit(on); }

bool hasProcessorQuery(const RadioModel& model) { return !model.processorQuery.empty(); }

std::string processor(const RadioModel& model, bool on) { return on ? model.processorOn : model.processorOff; }

std::string contour(Contour kind, int hz) {
  const char* state = kind == Contour::Dip ? "1" : kind == Contour::Peak ? "3" : "0";
  return std::string("CO0") + state + zeroPad(hz, 4);
}

std::string level(Level what, int value) {
  switch (what) {
    case Level::RfGain: return "RG0" + zeroPad(value, 3);
    case Level::AfGain: return "AG0" + zeroPad(value, 3);
    case Level::TransmitPower: return "PC" + zeroPad(value, 3);
    case Level::KeyerSpeed: return "KS0" + zeroPad(value, 2);
    case Level::MicGain: return "MG" + zeroPad(value, 3);
    case Level::NoiseBlanker: return value >= 10 ? "NL00" + zeroPad(value, 2) : "NL000" + zeroPad(value, 1);
    case Level::NoiseReduction: return "RL0" + zeroPad(value, 2);
    case Level::Processor: return "PL" + zeroPad(value, 3);
    case Level::Squelch: return "SQ0" + zeroPad(value, 3);
  }
  return {};
}

std::string toneMode(ToneMode mode) {
  switch (mode) {
    case ToneMode::Ctcss: return "CT02";
    case ToneMode::Dcs: return "CT04";
    case ToneMode::Off: break;
  }
  return "CT00";
}

std::string ctcssTone(std::string_view code) { return "CN00" + std::string(code); }

std::string dcsCode(std::string_view code) {
  const char* bank = !code.empty() && code[0] == '6' ? "1" : "0";
  return std::string("CN01") + bank + right(code, 2);
}

std::string dcsMenu(std::string_view code) {
  const char first = code.empty() ? '0' : code[0];
  return first > '6' ? "EX0863" : "EX0860";
}

std::string dcsCodeOfEntry(std::string_view code) {
  const long n = wholeValueOf(code);
  const bool hundreds = (n >= 600 && n <= 702) || (n >= 800 && n <= 899);
  return std::string(hundreds ? "CN011" : "CN010") + right(code, 2);
}

std::string shift(Shift direction) {
  switch (direction) {
    case Shift::Plus: return "OS01";
    case Shift::Minus: return "OS02";
    case Shift::Simplex: break;
  }
  return "OS00";
}

std::string split(bool on) { return on ? "FT3" : "FT2"; }

std::string agcStep(int step) { return "GT0" + std::to_string(std::clamp(step, 0, 9)); }

std::string monitor(bool on) { return on ? "ML0001" : "ML0000"; }

std::string monitorLevel(std::string_view level) { return "ML1" + std::string(level); }

std::string tuner(bool engaged) { return engaged ? "AC001" : "AC000"; }

std::string tunerStart(const RadioModel& model) { return model.tunerStartCommand; }

std::string menu(std::string_view number, std::string_view value) {
  return "EX" + std::string(number) + std::string(value);
}

std::string recordVoiceMessage(int slot) { return "LM0" + std::to_string(slot); }

std::string playVoiceMessage(int slot) { return "PB0" + std::to_string(slot); }

std::string receiverToVfoB() { return "SV"; }

std::string zeroIn() { return "ZI"; }

std::string vfoSelect(Vfo vfo) { return vfo == Vfo::B ? "VS1" : vfoSelectA(); }

std::string vfoSelectA() { return "VS0"; }

std::string powerOnWakeUp() { return "Power on"; }

std::string query(Reading what, const RadioModel& model) { return replyForm(what, model).query; }

std::string addressVfoB(std::string command) {
  if (command.rfind("FA", 0) == 0) command[1] = 'B';
  return command;
}

bool isFrequencyCommand(std::string_view command) {
  return command.rfind("FA", 0) == 0 || command.rfind("FB", 0) == 0;
}

std::string toWire(int digits, std::string command) {
  // The leading digit of the nine is dropped; a bare "FA;" query carries no frequency.
  if (digits == kShortFrequencyDigits && isFrequencyCommand(command) && command.size() > 5) {
    command = command.substr(0, 2) + right(command, static_cast<long>(kFrequencyDigits));
  }
  return command;
}

std::string fromWire(int digits, std::string reply) {
  if (digits != kShortFrequencyDigits || !looksLikeFrequencyReply(reply)) return reply;
  return left(left(reply, 2) + "0" + mid(reply, 3), static_cast<long>(kReadCap));
}

int frequencyDigitsOf(std::string_view reply) {
  if (!looksLikeFrequencyReply(reply)) return 0;
  const long end = findText(reply, ";");
  for (const int digits : {kShortFrequencyDigits, static_cast<int>(kFrequencyDigits)}) {
    if (end == 3 + digits && isDigits(mid(reply, 3, digits))) return digits;
  }
  return 0;
}

bool movesRadioState(std::string_view command) {
  const std::string letters = left(command, 2);
  const std::size_t parameters = command.size() > 3 ? command.size() - 3 : 0;  // between letters and ";"
  if (letters == "SV" || letters == "ZI") return true;
  if (letters == "FA" || letters == "FB" || letters == "FT" || letters == "VS") return parameters > 0;
  if (letters == "MD" || letters == "OS") return parameters > 1;
  return false;
}

bool looksLikeFrequencyReply(std::string_view reply) { return isFrequencyCommand(reply); }

std::vector<std::string> wholeReplies(std::string_view read, std::string& rest) {
  std::vector<std::string> replies;
  std::size_t start = 0;
  for (auto end = read.find(';'); end != std::string_view::npos; end = read.find(';', start)) {
    replies.emplace_back(read.substr(start, end + 1 - start));
    start = end + 1;
  }
  rest = std::string(read.substr(start));
  return replies;
}

std::optional<FrequencyReply> frequencyReply(std::string_view reply) {
  // Letters, nine digits, ";": anything else is torn, merged with another answer, or line noise.
  constexpr long kTerminatorPosition = 3 + static_cast<long>(kFrequencyDigits);
  if (!looksLikeFrequencyReply(reply) || findText(reply, ";") != kTerminatorPosition) return std::nullopt;
  const std::string digits = mid(reply, 3, static_cast<long>(kFrequencyDigits));
  if (!isDigits(digits)) return std::nullopt;
  return FrequencyReply{reply[1] == 'B' ? Vfo::B : Vfo::A, std::stoll(digits), digits};
}

std::string frequencyReplyText(const FrequencyReply& reply) { return letters(reply.vfo) + reply.digits; }

std::optional<int> identity(std::string_view reply) {
  const auto text = replyField(reply, "ID", -1);
  if (!text) return std::nullopt;
  const std::string number = text->substr(0, text->find(';'));
  if (!isDigits(number) || number.size() > kLongestIdentity) return std::nullopt;
  return static_cast<int>(wholeValueOf(number));
}

std::optional<int> sMeter(std::string_view reply) {
  const auto reading = replyField(reply, "SM", 3, 1);
  if (!reading) return std::nullopt;
  return static_cast<int>(wholeValueOf(*reading));
}

std::optional<std::string> swr(std::string_view reply) { return replyField(reply, "RM6", 3); }

std::optional<int> micMeter(std::string_view reply) {
  const long at = findText(reply, "RM4");
  if (at == 0) return std::nullopt;
  return static_cast<int>(wholeValueOf(mid(reply, at + 3, 3)));
}

std::optional<std::string> readingText(Reading what, const RadioModel& model, std::string_view reply) {
  if (what == Reading::Identity) {
    const auto number = identity(reply);
    if (!number) return std::nullopt;
    return std::to_string(*number);
  }
  const ReplyForm form = replyForm(what, model);
  auto text = replyField(reply, form.letters, form.length, form.skip);
  // A microphone gain answer without its letters is read from where they would have been.
  if (!text && what == Reading::MicGain) text = mid(reply, 2, 3);
  return text;
}

std::optional<long> readingValue(Reading what, const RadioModel& model, std::string_view reply) {
  const auto text = readingText(what, model, reply);
  if (!text) return std::nullopt;
  return wholeValueOf(*text);
}

std::string menuValue(const RadioModel& model, std::string_view reply) {
  const std::string value = mid(reply, 3 + model.menuNumberLength);
  return value.substr(0, value.find(';'));
}

}  // namespace korvel::cat
