#include "core/rig_commands.h"

#include <cmath>
#include <utility>

#include "core/transmit_keys.h"
#include "functions/mode.h"
#include "radio_link/cat.h"
#include "radio_link/cat_link.h"
#include "radio_link/radio_models.h"
#include "radio_link/rig_capabilities.h"
#include "radio_link/transport.h"
#include "state/panel.h"
#include "state/radio_numbers.h"
#include "state/text.h"

namespace korvel {

namespace {

using rig::Answer;
using rig::RigClient;
using rig::RigCommand;
using rig::Step;
using Kind = rig::Step::Kind;
namespace result = rig::result;

// How many ticks a question about the frequency waits for the poll to bring it fresh after the
// radio was moved; then the last known frequency is given.
constexpr int kFreshWaitTicks = 10;
constexpr double kHighestFrequency = 1e9;
// Hamlib's code for a command the radio refused ("?;").
constexpr int kRejected = -9;

Step answered(std::vector<std::string> values) { return {Kind::answered, {result::kOk, std::move(values)}, {}, false}; }
Step refusedWith(int code) { return {Kind::answered, {code, {}}, {}, false}; }
Step radioQuery(std::string command) { return {Kind::radio, {}, std::move(command), true}; }
Step radioSetting(std::string command) { return {Kind::radio, {}, std::move(command), false}; }
Step waiting() { return {Kind::wait, {}, {}, false}; }
Answer failed(const std::string& reply) { return {reply.empty() ? result::kTimedOut : kRejected, {}}; }

Vfo asVfo(char vfo) { return vfo == 'B' ? Vfo::B : Vfo::A; }
char polledVfo(const Panel& p) { return p.tone.vfoB ? 'B' : 'A'; }
char selectedVfo(const Panel& p) { return p.server.selectedVfo == Vfo::B ? 'B' : 'A'; }
bool frequencyFresh(const Panel& p) { return p.link.connected && p.radio.stateChanges() == p.radio.stateChangesAtReply(); }
std::string vfoName(char vfo) { return vfo == 'B' ? "VFOB" : "VFOA"; }
std::string flag(bool on) { return on ? "1" : "0"; }

// ---- Answered from what the program knows, or by a question to the radio ----

// The frequency Korvel last heard for a VFO it does not poll now ("A014074000" kept from a reply).
long long lastKnownHertz(const Panel& p, char vfo) {
  const std::string& text = vfo == 'B' ? p.link.vfoBText : p.link.vfoAText;
  return isDigits(mid(text, 2, 9)) ? wholeValueOf(mid(text, 2, 9)) : 0;
}

Step frequencyOf(const Panel& p, const RigClient& client, char vfo) {
  if (vfo != polledVfo(p)) {
    return radioQuery(cat::query(vfo == 'B' ? cat::Reading::FrequencyB : cat::Reading::Frequency, radioRow(p)));
  }
  const bool fresh = frequencyFresh(p);
  if (!fresh && p.server.tunedAtChange == p.radio.stateChanges()) return answered({std::to_string(p.server.tunedHertz)});
  // While Korvel speaks the poll does not run: the answer is what Korvel knows, at once.
  const bool speaking = p.speech.holdingWords;
  if (!fresh && !speaking && client.waitTicks < kFreshWaitTicks) return waiting();
  if (!p.link.connected) return refusedWith(result::kInputOutput);
  return answered({std::to_string(p.link.frequencyHz)});
}

// The VFO a command is for: the one it names in VFO mode ("f VFOB"), else the one the client chose.
char targetVfo(const Panel& p, const RigCommand& command) {
  const auto named = command.vfo.empty() ? std::nullopt : vfoOfName(command.vfo);
  return named.value_or(selectedVfo(p));
}

const RadioModel& row(const Panel& p) { return radioRow(p); }

int classWidthIndex(const Panel& p, const rig::ModeRow& mode) {
  if (isSsb(mode.programMode)) return p.mode.ssbWidthIndex;
  if (mode.programMode == mode_number::kCw) return p.mode.cwWidthIndex;
  return p.mode.widthIndex;
}

Step getFrequency(Panel& p, const RigCommand& command, RigClient& c) { return frequencyOf(p, c, targetVfo(p, command)); }
Step getSplitFrequency(Panel& p, const RigCommand&, RigClient& c) { return frequencyOf(p, c, 'B'); }

Answer readFrequency(const Panel&, const RigCommand&, const std::string& reply) {
  const auto frequency = cat::frequencyReply(reply);
  return frequency ? Answer{result::kOk, {std::to_string(frequency->hz)}} : failed(reply);
}

Step getMode(Panel& p, const RigCommand&, RigClient&) {
  if (selectedVfo(p) == 'B') return radioQuery(cat::query(cat::Reading::SubMode, row(p)));
  const rig::ModeRow* mode = currentModeRow(p);
  if (mode == nullptr) return refusedWith(result::kInvalid);
  return answered({mode->hamlibName, std::to_string(rig::passbandOf(*mode, p.mode.widthIndex))});
}

Step getSplitMode(Panel& p, const RigCommand&, RigClient&) { return radioQuery(cat::query(cat::Reading::SubMode, row(p))); }

Answer readMode(const Panel& p, const RigCommand& command, const std::string& reply) {
  const auto character = cat::readingText(cat::Reading::SubMode, row(p), reply);
  const rig::ModeRow* mode = character && !character->empty() ? rig::offeredMode(row(p), character->front()) : nullptr;
  if (mode == nullptr) return failed(reply);
  // The sub VFO in the mode a client set it to: the passband it asked for.
  const bool subSetByClient = command.name == "get_split_mode" && mode->radioCharacter == p.server.subModeCharacter;
  if (subSetByClient && p.server.subPassbandHz > 0) return {result::kOk, {mode->hamlibName, std::to_string(p.server.subPassbandHz)}};
  return {result::kOk, {mode->hamlibName, std::to_string(rig::passbandOf(*mode, classWidthIndex(p, *mode)))}};
}

Step getVfo(Panel& p, const RigCommand&, RigClient&) { return answered({vfoName(selectedVfo(p))}); }
Step getPtt(Panel& p, const RigCommand&, RigClient&) { return answered({flag(p.core.txState > 0 || p.core.tuneActive)}); }
Step getSplitVfo(Panel& p, const RigCommand&, RigClient&) { return answered({flag(p.tone.vfoB), vfoName(polledVfo(p))}); }

Step getLevel(Panel& p, const RigCommand& command, RigClient&) {
  const rig::LevelRow* level = rig::levelByName(command.args.front());
  if (level == nullptr) return refusedWith(result::kInvalid);
  // The poll reads the S-meter while receiving: that reading is fresh.
  const bool receiving = p.core.txState == 0 && !p.core.tuneActive && p.link.connected;
  if (std::string_view(level->name) == "STRENGTH" && receiving) {
    return answered({std::to_string(rig::strengthOfReading(p.core.sMeterValue))});
  }
  return radioQuery(cat::query(level->reading, row(p)));
}

Answer readLevel(const Panel& p, const RigCommand& command, const std::string& reply) {
  const rig::LevelRow* level = rig::levelByName(command.args.front());
  const auto value = level == nullptr ? std::nullopt : rig::levelOfAnswer(row(p), *level, reply);
  return value ? Answer{result::kOk, {*value}} : failed(reply);
}

Step getPowerStatus(Panel& p, const RigCommand&, RigClient&) { return answered({flag(p.link.connected)}); }

Step getVfoInfo(Panel& p, const RigCommand& command, RigClient& client) {
  const auto vfo = vfoOfName(command.args.front());
  const rig::ModeRow* mode = currentModeRow(p);
  if (!vfo || mode == nullptr) return refusedWith(result::kInvalid);
  long long hertz = lastKnownHertz(p, *vfo);
  if (*vfo == polledVfo(p)) {
    // The polled VFO's frequency as "f" gives it: a client's own tuning, or the poll's fresh reading.
    const Step frequency = frequencyOf(p, client, *vfo);
    if (frequency.kind != Kind::answered || frequency.answer.code != result::kOk) return frequency;
    hertz = wholeValueOf(frequency.answer.values.front());
  }
  return answered({std::to_string(hertz), mode->hamlibName, std::to_string(rig::passbandOf(*mode, p.mode.widthIndex)),
                   flag(p.tone.vfoB), "0"});
}

// The bands a client is told of: korvel.cfg's count, but never beyond the radio's own top band.
std::string bandsOffered(const Panel& p) {
  constexpr std::string_view kCoverageOrder = "1627";  // HF, 6 m, 2 m, 70 cm
  const char top = row(p).topBand;
  const std::string& configured = p.config.bandCoverage;
  const auto rank = [&kCoverageOrder](char band) { return kCoverageOrder.find(band); };
  if (top == 0 || configured.empty() || rank(top) >= rank(configured[0])) return configured;
  return std::string(1, top);
}

rig::StationCapabilities capabilities(const Panel& p) {
  return {p.radio.modelNumber(), &row(p), bandsOffered(p), p.core.versionText, rigAbilities()};
}

Step checkVfo(Panel&, const RigCommand&, RigClient&) { return answered({"0"}); }
Step dumpState(Panel& p, const RigCommand&, RigClient&) { return answered({rig::dumpState(capabilities(p))}); }
Step dumpCaps(Panel& p, const RigCommand&, RigClient&) { return answered({rig::dumpCaps(capabilities(p))}); }
Step quit(Panel&, const RigCommand&, RigClient&) { return answered({}); }
// Hamlib 4.5 asks before every mode setting; an error there would make it skip the setting.
Step getLockMode(Panel&, const RigCommand&, RigClient&) { return answered({"0"}); }
// The protocol reader has taken the option already: from the next command on, each names its VFO.
Step setVfoOption(Panel&, const RigCommand&, RigClient&) { return answered({}); }

// ---- Settings: their CAT text, and what the program follows once the radio has taken them ----

std::optional<long long> hertzOf(std::string_view text) {
  const auto value = rig::numberOf(text);
  if (!value || *value <= 0 || *value >= kHighestFrequency) return std::nullopt;
  return std::llround(*value);
}

Step setFrequency(Panel& p, const RigCommand& command, RigClient&) {
  const auto hertz = hertzOf(command.args.front());
  if (!hertz) return refusedWith(result::kInvalid);
  return radioSetting(cat::tune(asVfo(targetVfo(p, command)), *hertz));
}

Step setSplitFrequency(Panel&, const RigCommand& command, RigClient&) {
  const auto hertz = hertzOf(command.args.front());
  if (!hertz) return refusedWith(result::kInvalid);
  return radioSetting(cat::tune(Vfo::B, *hertz));
}

void followFrequency(Panel& p, const RigCommand&, const std::string& sent) {
  // Where the polled VFO now is, known before the poll reads it back.
  const auto tuned = cat::frequencyReply(sent + ";");
  if (tuned && tuned->vfo == (p.tone.vfoB ? Vfo::B : Vfo::A)) {
    p.server.tunedHertz = tuned->hz;
    p.server.tunedAtChange = p.radio.stateChanges();
  }
}

Step modeSetting(Panel& p, const RigCommand& command, cat::Receiver receiver) {
  const rig::ModeRow* mode = rig::offeredMode(row(p), command.args[0]);
  if (mode == nullptr || !rig::numberOf(command.args[1])) return refusedWith(result::kInvalid);
  // The program's own modes on the main receiver as its mode keys send them.
  if (receiver == cat::Receiver::Main && mode->own) return radioSetting(cat::mode(mode->programMode));
  return radioSetting(cat::modeSetting(receiver, mode->radioCharacter));
}

Step setMode(Panel& p, const RigCommand& c, RigClient&) {
  return modeSetting(p, c, selectedVfo(p) == 'B' ? cat::Receiver::Sub : cat::Receiver::Main);
}
Step setSplitMode(Panel& p, const RigCommand& c, RigClient&) { return modeSetting(p, c, cat::Receiver::Sub); }

void followMode(Panel& p, const RigCommand& command, const std::string& sent) {
  const bool mainVfo = cat::isModeSetting(sent);
  const rig::ModeRow* mode = rig::offeredMode(row(p), command.args[0]);
  if (mode == nullptr) return;
  // A passband of 0 or below keeps the program's width for the mode (Hamlib's "normal", "no change").
  const auto passband = rig::numberOf(command.args[1]);
  if (!mainVfo) {
    p.server.subModeCharacter = mode->radioCharacter;
    p.server.subPassbandHz = passband && *passband > 0 ? std::lround(*passband) : 0;
    return;
  }
  if (const int index = passband && *passband > 0 ? rig::widthIndexFor(*mode, std::lround(*passband)) : 0; index > 0) {
    (isSsb(mode->programMode) ? p.mode.ssbWidthIndex : p.mode.cwWidthIndex) = index;
  }
  p.mode.currentMode = mode->programMode;
  if (isFm(mode->programMode)) p.mode.fmWide = mode->programMode == mode_number::kFm;
  // The radio has its mode already: relayActive keeps applyMode from sending one of its own. Neither
  // the mode command (counted as one change of the radio's state) nor what applyMode sends again of
  // the frequency moved the radio: where it was known to be, it still is.
  const long before = p.radio.stateChanges() - 1;
  const bool known = before == p.radio.stateChangesAtReply() || before == p.server.tunedAtChange;
  const long long hertz = before == p.server.tunedAtChange ? p.server.tunedHertz : p.link.frequencyHz;
  // applyMode sends the program's frequency again: where a client has just tuned the radio, and
  // the poll has not read it back yet, that is where the client put it, not where it was.
  p.link.frequencyHz = hertz;
  applyMode(p);
  if (known && p.link.connected) {
    p.server.tunedHertz = hertz;
    p.server.tunedAtChange = p.radio.stateChanges();
  }
  if (!mode->own) {
    p.mode.radioModeCharacter = mode->radioCharacter;
    showRadioModeName(p, mode->windowLabel);
  }
}

Step setVfo(Panel&, const RigCommand& command, RigClient&) {
  const auto vfo = vfoOfName(command.args.front());
  if (!vfo) return refusedWith(result::kInvalid);
  return radioSetting(cat::vfoSelect(asVfo(*vfo)));
}

void followVfo(Panel& p, const RigCommand&, const std::string& sent) {
  p.server.selectedVfo = sent == cat::vfoSelect(Vfo::B) ? Vfo::B : Vfo::A;
}

Step setPtt(Panel&, const RigCommand& command, RigClient&) {
  // 0 receive; 1, 2 (microphone) and 3 (data) all key the transmitter.
  const auto ptt = rig::numberOf(command.args.front());
  if (!ptt || *ptt < 0 || *ptt > 3) return refusedWith(result::kInvalid);
  return radioSetting(cat::set(cat::Switch::Transmit, *ptt != 0));
}

void followPtt(Panel& p, const RigCommand&, const std::string& sent) {
  // The operator hears when another program keys or releases the transmitter.
  const bool on = sent == cat::set(cat::Switch::Transmit, true);
  if (on && p.core.txState == 0) transmitterOn(p, false);
  if (!on && p.core.txState > 0) transmitterOff(p, false);
}

Step setSplitVfo(Panel&, const RigCommand& command, RigClient&) {
  const auto split = rig::numberOf(command.args.front());
  if (!split || (*split != 0 && *split != 1)) return refusedWith(result::kInvalid);
  // Transmitting on VFO B, as the program's own split key does.
  return radioSetting(cat::split(*split == 1));
}

void followSplit(Panel& p, const RigCommand&, const std::string& sent) { p.tone.vfoB = sent == cat::split(true); }

Step setLevel(Panel&, const RigCommand& command, RigClient&) {
  const rig::LevelRow* level = rig::levelByName(command.args[0]);
  int number = 0;
  const auto text = level == nullptr ? std::nullopt : rig::levelCommand(*level, command.args[1], number);
  if (!text) return refusedWith(result::kInvalid);
  return radioSetting(*text);
}

void followLevel(Panel& p, const RigCommand& command, const std::string&) {
  const rig::LevelRow* level = rig::levelByName(command.args[0]);
  int number = 0;
  if (level == nullptr || !rig::levelCommand(*level, command.args[1], number)) return;
  switch (level->kept) {
    case rig::KeptLevel::power: p.config.txPower = number; break;
    case rig::KeptLevel::afGain: p.level.afGain = number; break;
    case rig::KeptLevel::rfGain: p.level.rfGain = number; break;
    case rig::KeptLevel::micGain: p.level.micGain = number; break;
    case rig::KeptLevel::keyerSpeed: p.level.keyerSpeed = number; break;
    case rig::KeptLevel::squelch: p.mode.squelchLevel = number; break;
    case rig::KeptLevel::none: break;
  }
}

using enum rig::AnswerKind;

const std::vector<rig::CommandSpec>& commandRows() {
  // letter, name, arguments, answer form, labels, names its VFO, serve, read, follow, announced as
  static const std::vector<rig::CommandSpec> rows = {
      {'f', "get_freq", 0, values, {"Frequency"}, true, getFrequency, readFrequency, nullptr, "get Frequency"},
      {'F', "set_freq", 1, setting, {}, true, setFrequency, nullptr, followFrequency, "set Frequency"},
      {'m', "get_mode", 0, values, {"Mode", "Passband"}, true, getMode, readMode, nullptr, "get Mode"},
      {'M', "set_mode", 2, setting, {}, true, setMode, nullptr, followMode, "set Mode"},
      {'v', "get_vfo", 0, values, {"VFO"}, false, getVfo, nullptr, nullptr, "get VFO"},
      {'V', "set_vfo", 1, setting, {}, false, setVfo, nullptr, followVfo, "set VFO"},
      {'t', "get_ptt", 0, values, {"PTT"}, true, getPtt, nullptr, nullptr, "get PTT"},
      {'T', "set_ptt", 1, setting, {}, true, setPtt, nullptr, followPtt, "set PTT"},
      {'s', "get_split_vfo", 0, values, {"Split", "TX VFO"}, true, getSplitVfo, nullptr, nullptr, "get Split VFO"},
      {'S', "set_split_vfo", 2, setting, {}, true, setSplitVfo, nullptr, followSplit, "set Split VFO"},
      {'i', "get_split_freq", 0, values, {"TX Frequency"}, true, getSplitFrequency, readFrequency, nullptr, "get Split Freq"},
      {'I', "set_split_freq", 1, setting, {}, true, setSplitFrequency, nullptr, followFrequency, "set Split Freq"},
      {'x', "get_split_mode", 0, values, {"TX Mode", "TX Passband"}, true, getSplitMode, readMode, nullptr, "get Split Mode"},
      {'X', "set_split_mode", 2, setting, {}, true, setSplitMode, nullptr, followMode, "set Split Mode"},
      {'l', "get_level", 1, values, {}, true, getLevel, readLevel, nullptr, "get Level"},
      {'L', "set_level", 2, setting, {}, true, setLevel, nullptr, followLevel, "set Level"},
      {'1', "dump_caps", 0, report, {}, false, dumpCaps, nullptr, nullptr, nullptr},
      {'q', "quit", 0, setting, {}, false, quit, nullptr, nullptr, nullptr},
      {'Q', "quit", 0, setting, {}, false, quit, nullptr, nullptr, nullptr},
      {0, "dump_state", 0, text, {}, false, dumpState, nullptr, nullptr, nullptr},
      {0, "chk_vfo", 0, bare, {"ChkVFO"}, false, checkVfo, nullptr, nullptr, nullptr},
      {0, "get_powerstat", 0, values, {"Power Status"}, false, getPowerStatus, nullptr, nullptr, "get Power Stat"},
      {0, "get_lock_mode", 0, values, {"Locked"}, false, getLockMode, nullptr, nullptr, nullptr},
      {0, "get_vfo_info", 1, values, {"Freq", "Mode", "Width", "Split", "SatMode"}, false, getVfoInfo, nullptr, nullptr, nullptr},
      {0, "set_vfo_opt", 1, setting, {}, false, setVfoOption, nullptr, nullptr, nullptr},
  };
  return rows;
}

}  // namespace

rig::CommandBook rigCommands() { return commandRows(); }

std::vector<std::string> rigAbilities() {
  std::vector<std::string> abilities;
  for (const rig::CommandSpec& command : commandRows()) {
    if (command.capability != nullptr) abilities.emplace_back(command.capability);
  }
  return abilities;
}

const rig::ModeRow* currentModeRow(const Panel& p) {
  if (p.mode.radioModeCharacter != 0) {
    if (const rig::ModeRow* mode = rig::offeredMode(row(p), p.mode.radioModeCharacter)) return mode;
  }
  return modeOfProgram(p.mode.currentMode);
}

std::optional<char> vfoOfName(std::string_view name) {
  if (name == "VFOA" || name == "A" || name == "Main" || name == "MainA" || name == "currVFO" || name == "RX") return 'A';
  if (name == "VFOB" || name == "B" || name == "Sub" || name == "SubA" || name == "MainB" || name == "TX") return 'B';
  return std::nullopt;
}

rig::Answer settingOutcome(const std::string& answer) {
  if (answer.empty()) return {result::kTimedOut, {}};
  if (answer == radio_link::kRefusal) return {kRejected, {}};
  return {};
}

}  // namespace korvel
