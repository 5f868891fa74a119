#include "core/relay_follow.h"

#include <string>

#include "core/connection.h"
#include "core/rig_answers.h"
#include "functions/mode.h"
#include "radio_link/cat.h"
#include "radio_link/pass_through.h"
#include "radio_link/transport.h"
#include "state/panel.h"
#include "state/text.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

void followRelay(Panel& p) {
  const RelayOutcome outcome = takeRelayOutcome(p);
  if (!outcome.modeCommand.empty()) {
    // The radio changes mode; the program follows without sending a mode command of its own.
    if (const int mode = cat::modeOfCommand(outcome.modeCommand); mode > 0) {
      p.mode.currentMode = mode;
      applyMode(p);
    }
  }
  if (!outcome.frequencyAnswer.empty()) {
    // Judged by when its own query went out: stale if the radio has been moved since.
    p.radio.setStateChangesAtQuery(outcome.stateChangesAtQuery);
    handleFrequencyReply(p, cat::frequencyReply(outcome.frequencyAnswer));
  }
  if (outcome.rigConnection != 0) finishRigRadioWork(p, outcome.rigConnection, outcome.rigAnswer);
}

// Forwards the waiting commands until one's answer is awaited or a forwarded one has ended the turn.
// True while an answer is awaited.
bool takeRelayTurn(Panel& p) {
  while (relayCommandReady(p)) {
    const RelayStep step = startRelayExchange(p);
    followRelay(p);
    if (step == RelayStep::awaiting) return true;
    if (step == RelayStep::over) break;  // a forwarded command went out: then the poll's turn
  }
  return false;
}

}  // namespace

void followRigExchange(Panel& p) {
  const int connection = p.server.finishedConnection;
  if (connection == 0) return;
  const std::string answer = std::move(p.server.finishedAnswer);
  p.server.finishedConnection = 0;
  p.server.finishedAnswer.clear();
  finishRigRadioWork(p, connection, answer);
}

bool servicePassThrough(Panel& p) {
  readPassThrough(p);
  followRelay(p);  // an exchange that a command of the program's own ended early
  p.radio.turns.relayTurnForwarded = 0;
  return takeRelayTurn(p);
}

bool passThroughAnswerInput(Panel& p) {
  const bool over = relayAnswerArrived(p);
  followRelay(p);
  return over;
}

bool passThroughWaitTick(Panel& p) {
  const RelayWait wait = relayAnswerTick(p);
  followRelay(p);
  if (wait == RelayWait::awaiting) return false;
  if (wait == RelayWait::settingPassed) return !takeRelayTurn(p);
  return true;
}

}  // namespace korvel
