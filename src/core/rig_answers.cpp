#include "core/rig_answers.h"

#include <string>

#include "core/rig_commands.h"
#include "core/transmit_keys.h"
#include "player/phrase_player.h"
#include "radio_link/cat.h"
#include "radio_link/rig_server.h"
#include "state/panel.h"
#include "radio_link/transport.h"

namespace korvel {

namespace {

using rig::RigClient;
using rig::RigCommand;
using rig::Step;
using Kind = rig::Step::Kind;
namespace result = rig::result;

Step stepFor(Panel& p, const RigCommand& command, RigClient& client) {
  if (command.refusal != 0) return {Kind::answered, {command.refusal, {}}, {}, false};
  if (command.spec == nullptr || command.spec->serve == nullptr) return {Kind::answered, {result::kNotAvailable, {}}, {}, false};
  return command.spec->serve(p, command, client);
}

// Answers a client's commands from the front of its queue until one needs the radio or waits.
void serveClient(Panel& p, std::size_t index) {
  for (;;) {
    RigClient& client = p.server.clients[index];
    if (client.commands.empty() || client.radioWork != rig::RadioWork::none) return;
    const Step step = stepFor(p, client.commands.front(), client);
    if (step.kind == Kind::wait) return;
    if (step.kind == Kind::radio) {
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
  readRigClients(p, rigCommands());
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
    s.keyedBy = sent == cat::set(cat::Switch::Transmit, true) ? connection : 0;
    s.keyedAtMs = p.radio.clock().nowMs();
  }
  if (command.spec != nullptr && command.spec->follow != nullptr) command.spec->follow(p, command, sent);
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
    const bool readable = command.spec != nullptr && command.spec->read != nullptr;
    answerRigCommand(p, *client, readable ? command.spec->read(p, command, answer) : settingOutcome(answer));
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
