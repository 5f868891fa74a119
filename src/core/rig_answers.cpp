#include "core/rig_answers.h"

#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/rig_follow.h"
#include "core/transmit_keys.h"
#include "player/phrase_player.h"
#include "radio_link/cat.h"
#include "radio_link/radio_models.h"
#include "radio_link/rig_capabilities.h"
#include "radio_link/rig_cat.h"
#include "radio_link/rig_server.h"
#include "state/panel.h"
#include "state/text.h"
#include "radio_link/transport.h"

namespace korvel {

namespace {

using rig::Answer;
using rig::RigClient;
using rig::RigCommand;
namespace result = rig::result;

// How many ticks a question about the frequency waits for the poll to bring it fresh after the
// radio was moved; then the last known frequency is given.
constexpr int kFreshWaitTicks = 10;
constexpr double kHighestFrequency = 1e9;

enum class StepKind { answered, radio, wait };

struct Step {
  StepKind kind = StepKind::answered;
  Answer answer;
  std::string command;  // radio work: the CAT text
  bool answerExpected = false;
};

Step answered(std::vector<std::string> values) { return {StepKind::answered, {result::kOk, std::move(values)}, {}, false}; }
Step refusedWith(int code) { return {StepKind::answered, {code, {}}, {}, false}; }
Step radioQuery(std::string command) { return {StepKind::radio, {}, std::move(command), true}; }
Step radioSetting(std::string command) { return {StepKind::radio, {}, std::move(command), false}; }
Step waiting() { return {StepKind::wait, {}, {}, false}; }

char polledVfo(const Panel& p) { return p.tone.vfoB ? 'B' : 'A'; }
char selectedVfo(const Panel& p) { return p.server.selectedVfo == Vfo::B ? 'B' : 'A'; }
bool frequencyFresh(const Panel& p) {
  return p.link.connected && p.radio.stateChanges() == p.radio.stateChangesAtReply();
}
std::string vfoName(char vfo) { return vfo == 'B' ? "VFOB" : "VFOA"; }
std::string flag(bool on) { return on ? "1" : "0"; }

// The frequency Korvel last heard for a VFO it does not poll now ("A014074000" kept from a reply).
long long lastKnownHertz(const Panel& p, char vfo) {
  const std::string& text = vfo == 'B' ? p.link.vfoBText : p.link.vfoAText;
  return isDigits(mid(text, 2, 9)) ? wholeValueOf(mid(text, 2, 9)) : 0;
}

Step frequencyOf(const Panel& p, const RigClient& client, char vfo) {
  if (vfo != polledVfo(p)) return radioQuery(rig::frequencyQuery(vfo));
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

Step getFrequency(Panel& p, const RigCommand& command, RigClient& c) { return frequencyOf(p, c, targetVfo(p, command)); }
Step getSplitFrequency(Panel& p, const RigCommand&, RigClient& c) { return frequencyOf(p, c, 'B'); }

Step getMode(Panel& p, const RigCommand&, RigClient&) {
  if (selectedVfo(p) == 'B') return radioQuery(rig::subModeQuery());
  const rig::ModeRow* mode = currentModeRow(p);
  if (mode == nullptr) return refusedWith(result::kInvalid);
  return answered({mode->name, std::to_string(rig::passbandOf(*mode, p.mode.widthIndex))});
}

Step getSplitMode(Panel&, const RigCommand&, RigClient&) { return radioQuery(rig::subModeQuery()); }
Step getVfo(Panel& p, const RigCommand&, RigClient&) { return answered({vfoName(selectedVfo(p))}); }
Step getPtt(Panel& p, const RigCommand&, RigClient&) {
  return answered({flag(p.core.txState > 0 || p.core.tuneActive)});
}
Step getSplitVfo(Panel& p, const RigCommand&, RigClient&) {
  return answered({flag(p.tone.vfoB), vfoName(polledVfo(p))});
}

Step getLevel(Panel& p, const RigCommand& command, RigClient&) {
  const rig::LevelRow* level = rig::levelByName(command.args.front());
  if (level == nullptr) return refusedWith(result::kInvalid);
  // The poll reads the S-meter while receiving: that reading is fresh.
  const bool receiving = p.core.txState == 0 && !p.core.tuneActive && p.link.connected;
  if (std::string_view(level->name) == "STRENGTH" && receiving) {
    return answered({std::to_string(rig::strengthOfReading(p.core.sMeterValue))});
  }
  return radioQuery(level->letters);
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
    if (frequency.kind != StepKind::answered || frequency.answer.code != result::kOk) return frequency;
    hertz = wholeValueOf(frequency.answer.values.front());
  }
  return answered({std::to_string(hertz), mode->name, std::to_string(rig::passbandOf(*mode, p.mode.widthIndex)),
                   flag(p.tone.vfoB), "0"});
}

// The bands a client is told of: korvel.cfg's count, but never beyond the radio's own top band.
std::string bandsOffered(const Panel& p) {
  constexpr std::string_view kCoverageOrder = "1627";  // HF, 6 m, 2 m, 70 cm
  const char top = radioRow(p).topBand;
  const std::string& configured = p.config.bandCoverage;
  const auto rank = [&kCoverageOrder](char band) { return kCoverageOrder.find(band); };
  if (top == 0 || configured.empty() || rank(top) >= rank(configured[0])) return configured;
  return std::string(1, top);
}

rig::StationCapabilities capabilities(const Panel& p) {
  return {p.radio.modelNumber(), radioRow(p).hasDigitalVoice, bandsOffered(p), p.core.versionText};
}

Step checkVfo(Panel&, const RigCommand&, RigClient&) { return answered({"0"}); }
Step dumpState(Panel& p, const RigCommand&, RigClient&) { return answered({rig::dumpState(capabilities(p))}); }
Step dumpCaps(Panel& p, const RigCommand&, RigClient&) { return answered({rig::dumpCaps(capabilities(p))}); }
Step quit(Panel&, const RigCommand&, RigClient&) { return answered({}); }
// Hamlib 4.5 asks before every mode setting; an error there would make it skip the setting.
Step getLockMode(Panel&, const RigCommand&, RigClient&) { return answered({"0"}); }
// The protocol reader has taken the option already: from the next command on, each names its VFO.
Step setVfoOption(Panel&, const RigCommand&, RigClient&) { return answered({}); }

std::optional<long long> hertzOf(std::string_view text) {
  const auto value = rig::numberOf(text);
  if (!value || *value <= 0 || *value >= kHighestFrequency) return std::nullopt;
  return std::llround(*value);
}

Step setFrequency(Panel& p, const RigCommand& command, RigClient&) {
  const auto hertz = hertzOf(command.args.front());
  if (!hertz) return refusedWith(result::kInvalid);
  return radioSetting(rig::frequencyCommand(targetVfo(p, command), *hertz));
}

Step setSplitFrequency(Panel&, const RigCommand& command, RigClient&) {
  const auto hertz = hertzOf(command.args.front());
  if (!hertz) return refusedWith(result::kInvalid);
  return radioSetting(rig::frequencyCommand('B', *hertz));
}

Step modeSetting(Panel& p, const RigCommand& command, bool subVfo) {
  const rig::ModeRow* mode = rig::modeByName(command.args[0], radioRow(p).hasDigitalVoice);
  if (mode == nullptr || !rig::numberOf(command.args[1])) return refusedWith(result::kInvalid);
  return radioSetting(rig::modeCommand(subVfo, *mode));
}

Step setMode(Panel& p, const RigCommand& c, RigClient&) { return modeSetting(p, c, selectedVfo(p) == 'B'); }
Step setSplitMode(Panel& p, const RigCommand& c, RigClient&) { return modeSetting(p, c, true); }

Step setVfo(Panel&, const RigCommand& command, RigClient&) {
  const auto vfo = vfoOfName(command.args.front());
  if (!vfo) return refusedWith(result::kInvalid);
  return radioSetting(rig::vfoCommand(*vfo == 'B'));
}

Step setPtt(Panel&, const RigCommand& command, RigClient&) {
  // 0 receive; 1, 2 (microphone) and 3 (data) all key the transmitter.
  const auto ptt = rig::numberOf(command.args.front());
  if (!ptt || *ptt < 0 || *ptt > 3) return refusedWith(result::kInvalid);
  return radioSetting(rig::transmitCommand(*ptt != 0));
}

Step setSplitVfo(Panel&, const RigCommand& command, RigClient&) {
  const auto split = rig::numberOf(command.args.front());
  if (!split || (*split != 0 && *split != 1)) return refusedWith(result::kInvalid);
  return radioSetting(rig::splitCommand(*split == 1));
}

Step setLevel(Panel&, const RigCommand& command, RigClient&) {
  const rig::LevelRow* level = rig::levelByName(command.args[0]);
  int number = 0;
  const auto text = level == nullptr ? std::nullopt : rig::levelCommand(*level, command.args[1], number);
  if (!text) return refusedWith(result::kInvalid);
  return radioSetting(*text);
}

using Handler = Step (*)(Panel&, const RigCommand&, RigClient&);

constexpr std::pair<std::string_view, Handler> kHandlers[] = {
    {"get_freq", getFrequency},      {"set_freq", setFrequency},         {"get_mode", getMode},
    {"set_mode", setMode},           {"get_vfo", getVfo},                {"set_vfo", setVfo},
    {"get_ptt", getPtt},             {"set_ptt", setPtt},                {"get_split_vfo", getSplitVfo},
    {"set_split_vfo", setSplitVfo},  {"get_split_freq", getSplitFrequency}, {"set_split_freq", setSplitFrequency},
    {"get_split_mode", getSplitMode}, {"set_split_mode", setSplitMode},  {"get_level", getLevel},
    {"set_level", setLevel},         {"dump_caps", dumpCaps},            {"quit", quit},
    {"dump_state", dumpState},       {"chk_vfo", checkVfo},              {"get_powerstat", getPowerStatus},
    {"get_vfo_info", getVfoInfo},    {"get_lock_mode", getLockMode},     {"set_vfo_opt", setVfoOption},
};

Step stepFor(Panel& p, const RigCommand& command, RigClient& client) {
  if (command.refusal != 0) return refusedWith(command.refusal);
  for (const auto& [name, handler] : kHandlers) {
    if (name == command.name) return handler(p, command, client);
  }
  return refusedWith(result::kNotAvailable);
}

// Answers a client's commands from the front of its queue until one needs the radio or waits.
void serveClient(Panel& p, std::size_t index) {
  for (;;) {
    RigClient& client = p.server.clients[index];
    if (client.commands.empty() || client.radioWork != rig::RadioWork::none) return;
    const Step step = stepFor(p, client.commands.front(), client);
    if (step.kind == StepKind::wait) return;
    if (step.kind == StepKind::radio) {
      client.radioWork = rig::RadioWork::queued;
      client.radioCommand = step.command;
      client.radioAnswerExpected = step.answerExpected;
      return;
    }
    answerRigCommand(p, client, step.answer);
  }
}

}  // namespace

void serveRigClients(Panel& p, bool tick) {
  if (!p.server.listening) return;
  readRigClients(p);
  for (std::size_t i = 0; i < p.server.clients.size(); ++i) {
    RigClient& client = p.server.clients[i];
    if (tick && !client.commands.empty() && client.radioWork == rig::RadioWork::none) ++client.waitTicks;
    serveClient(p, i);
  }
  flushRigClients(p);
  guardClientTransmission(p);
}

namespace {

// A setting the radio has taken is followed, whether or not its client is still there to hear so.
void followTakenSetting(Panel& p, int connection, const RigCommand& command, const std::string& sent) {
  if (command.name == "set_ptt") {
    // The transmitter is this client's to release from now on, or Korvel's should it go: known
    // before "tx on" is said, so that a client gone during the words is seen at once.
    auto& s = p.server;
    s.keyedBy = sent == rig::transmitCommand(true) ? connection : 0;
    s.keyedAtMs = p.radio.clock().nowMs();
  }
  followRigSetting(p, command, sent);
}

}  // namespace

void finishRigRadioWork(Panel& p, int connection, const std::string& answer) {
  RigClient* client = rigClient(p, connection);
  if (client == nullptr || client->commands.empty()) {
    if (client != nullptr) client->radioWork = rig::RadioWork::none;
    // Gone while the radio had its setting: the radio took it all the same (a transmitter it keyed
    // is then released at once, its keyer gone).
    const auto& s = p.server;
    if (s.exchangeIsSetting && settingOutcome(answer).code == rig::result::kOk) {
      followTakenSetting(p, connection, s.exchangeCommand, s.exchangeSent);
    }
    return;
  }
  const RigCommand command = client->commands.front();
  const std::string sent = client->radioCommand;
  if (client->radioAnswerExpected) {
    answerRigCommand(p, *client, decodeRadioAnswer(p, command, answer));
  } else if (const rig::Answer taken = settingOutcome(answer); taken.code != rig::result::kOk) {
    answerRigCommand(p, *client, taken);  // refused, or the radio said nothing: nothing to follow
  } else {
    // The client hears as soon as the radio has taken its setting; what the program then does
    // (speaking, among other things) does not hold it up.
    answerRigCommand(p, *client, {});
    followTakenSetting(p, connection, command, sent);
  }
  for (std::size_t i = 0; i < p.server.clients.size(); ++i) {
    if (p.server.clients[i].connection == connection) serveClient(p, i);
  }
}

void guardClientTransmission(Panel& p) {
  auto& s = p.server;
  if (s.keyedBy == 0) return;
  if (p.core.txState == 0) {  // released: by the client, the operator or the radio
    s.keyedBy = 0;
    return;
  }
  const RigClient* client = rigClient(p, s.keyedBy);
  const bool gone = client == nullptr || client->closing;
  const bool overLimit = s.txLimitSeconds > 0 && p.radio.clock().nowMs() - s.keyedAtMs >= s.txLimitSeconds * 1000LL;
  // The release waits for a relayed answer on its way, and never parts a key's question from its answer.
  if ((!gone && !overLimit) || p.radio.turns.relayAwaiting || p.radio.turns.questionOutstanding) return;
  s.keyedBy = 0;
  sendText(p, cat::set(cat::Switch::Transmit, false));
  if (overLimit && !gone) playWord(p, "txlimit");
  transmitterOff(p, false);
}

}  // namespace korvel
