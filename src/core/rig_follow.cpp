#include "core/rig_follow.h"

#include <cmath>

#include "core/transmit_keys.h"
#include "functions/mode.h"
#include "radio_link/cat.h"
#include "radio_link/radio_models.h"
#include "radio_link/transport.h"
#include "state/panel.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

namespace result = rig::result;
// Hamlib's code for a command the radio refused ("?;").
constexpr int kRejected = -9;

bool digitalVoice(const Panel& p) { return radioRow(p).hasDigitalVoice; }

int classWidthIndex(const Panel& p, const rig::ModeRow& mode) {
  if (isSsb(mode.programMode)) return p.mode.ssbWidthIndex;
  if (mode.programMode == mode_number::kCw) return p.mode.cwWidthIndex;
  return p.mode.widthIndex;
}

rig::Answer failed(const std::string& reply) { return {reply.empty() ? result::kTimedOut : kRejected, {}}; }

void followMode(Panel& p, const rig::RigCommand& command, const std::string& sent) {
  const bool mainVfo = cat::isModeSetting(sent);
  const rig::ModeRow* mode = rig::modeByName(command.args[0], digitalVoice(p));
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
  applyMode(p);
  if (known && p.link.connected) {
    p.server.tunedHertz = hertz;
    p.server.tunedAtChange = p.radio.stateChanges();
  }
  if (mode->windowLabel[0] != '\0') {
    p.mode.radioModeCharacter = mode->radioCharacter;
    showRadioModeName(p, mode->windowLabel);
  }
}

void followLevel(Panel& p, const rig::RigCommand& command) {
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

}  // namespace

const rig::ModeRow* currentModeRow(const Panel& p) {
  if (p.mode.radioModeCharacter != 0) {
    if (const rig::ModeRow* mode = rig::modeByCharacter(p.mode.radioModeCharacter, digitalVoice(p))) return mode;
  }
  return rig::modeOfProgram(p.mode.currentMode);
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

rig::Answer decodeRadioAnswer(const Panel& p, const rig::RigCommand& command, const std::string& reply) {
  const std::string& name = command.name;
  if (name == "get_freq" || name == "get_split_freq") {
    const auto hertz = rig::frequencyOfAnswer(reply);
    return hertz ? rig::Answer{result::kOk, {std::to_string(*hertz)}} : failed(reply);
  }
  if (name == "get_mode" || name == "get_split_mode") {
    const auto character = rig::modeOfAnswer(reply);
    const rig::ModeRow* mode = character ? rig::modeByCharacter(*character, digitalVoice(p)) : nullptr;
    if (mode == nullptr) return failed(reply);
    // The sub VFO in the mode a client set it to: the passband it asked for.
    const bool subSetByClient = name == "get_split_mode" && *character == p.server.subModeCharacter;
    if (subSetByClient && p.server.subPassbandHz > 0) return {result::kOk, {mode->name, std::to_string(p.server.subPassbandHz)}};
    return {result::kOk, {mode->name, std::to_string(rig::passbandOf(*mode, classWidthIndex(p, *mode)))}};
  }
  if (name == "get_level") {
    const rig::LevelRow* level = rig::levelByName(command.args.front());
    const auto value = level == nullptr ? std::nullopt : rig::levelOfAnswer(*level, reply);
    return value ? rig::Answer{result::kOk, {*value}} : failed(reply);
  }
  return failed(reply);
}

void followRigSetting(Panel& p, const rig::RigCommand& command, const std::string& sent) {
  const std::string& name = command.name;
  if (name == "set_mode" || name == "set_split_mode") {
    followMode(p, command, sent);
  } else if (name == "set_ptt") {
    // The operator hears when another program keys or releases the transmitter.
    const bool on = sent == rig::transmitCommand(true);
    if (on && p.core.txState == 0) transmitterOn(p, false);
    if (!on && p.core.txState > 0) transmitterOff(p, false);
  } else if (name == "set_split_vfo") {
    p.tone.vfoB = sent == rig::splitCommand(true);
  } else if (name == "set_vfo") {
    p.server.selectedVfo = sent == rig::vfoCommand(true) ? Vfo::B : Vfo::A;
  } else if (name == "set_level") {
    followLevel(p, command);
  } else if (const auto tuned = cat::frequencyReply(sent + ";"); tuned && (name == "set_freq" || name == "set_split_freq")) {
    // Where the polled VFO now is, known before the poll reads it back.
    if (tuned->vfo == (p.tone.vfoB ? Vfo::B : Vfo::A)) {
      p.server.tunedHertz = tuned->hz;
      p.server.tunedAtChange = p.radio.stateChanges();
    }
  }
}

}  // namespace korvel
