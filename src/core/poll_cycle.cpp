#include "core/poll_cycle.h"

#include <string>

#include "state/panel.h"
#include "state/text.h"
#include "core/connection.h"
#include "radio_link/cat.h"
#include "radio_link/debug_log.h"
#include "radio_link/pass_through.h"
#include "core/relay_follow.h"
#include "core/rig_answers.h"
#include "radio_link/rig_server.h"
#include "radio_link/radio_models.h"
#include "radio_link/transport.h"
#include "speech/announcers.h"
#include "player/phrase_player.h"

namespace korvel {

namespace {

constexpr int kTicksPerCycle = 21;  // tickCount runs 0..20

// The S-meter reading only updates the window: the routine runs with the words pointed at a
// folder that does not exist, so it says nothing.
void updateSMeter(Panel& p, const std::string& reply) {
  const auto reading = cat::sMeter(reply);
  if (!reading) return;
  p.core.sMeterValue = *reading;
  p.speech.waveFolder = "xx";
  showSMeter(p);
  p.speech.waveFolder = speech::kWaveFolder;
}

void updateSwr(Panel& p, const std::string& reply) {
  const auto field = cat::swr(reply);
  if (!field) return;
  auto& core = p.core;
  const std::string& reading = *field;
  // While transmitting, once the carrier has settled, the highest reading is held.
  if (core.txState > 0 && core.txSettleTicks == 0) {
    if (valueOf(reading) > valueOf(core.swrText)) core.swrText = reading;
  } else {
    core.swrText = reading;
  }
  if (p.config.swrAnnounce > 0 || core.txState == 0) speakSwr(p);
  if (core.txState == 20) core.txState = 0;
  if (core.txSettleTicks > 0) --core.txSettleTicks;
}

void updateMicMeter(Panel& p, const std::string& reply) {
  const auto meter = cat::micMeter(reply);
  if (!meter || p.core.micMeterState <= 0) return;
  if (*meter > p.core.meterPeak) p.core.meterPeak = *meter;
  if (p.core.tickCount > 10) speakMeterPeak(p);
}

bool isFrequencyQuestion(const std::string& question) { return cat::isFrequencyCommand(question); }

// A frequency answer, or what came instead of one: taken as the radio's answer, stale or not by
// when its own query went out.
void takeFrequencyAnswer(Panel& p, const std::string& reply, long stateChangesAtAsk) {
  p.radio.setStateChangesAtQuery(stateChangesAtAsk);
  const auto frequency = cat::frequencyReply(reply);
  handleFrequencyReply(p, frequency);
  noteFrequencyAnswer(p, reply, frequency.has_value());
}

// The poll's answers, each taken by its own letters whichever read brought it (a slow radio's meter
// answer may come with the next frequency answer). A question whose deadline has passed is missed;
// when the radio sent something in its place that no question could take, it is there all the same
// and that something is its unreadable answer (the first one starts the connection).
void replyStep(Panel& p) {
  p.core.replyPending = false;
  p.radio.receive();
  const std::vector<radio_link::Answer> answers = p.radio.takeAnswers(radio_link::Asker::Poll);
  const std::vector<radio_link::Missed> missed = p.radio.takeMissed(radio_link::Asker::Poll);
  // The link learns the model from any "ID" answer while it is unknown: a radio the program
  // does not work with ends it here.
  if (radioRow(p).unsupported) {
    playWord(p, "ftx");
    p.core.running = false;
    return;
  }
  for (const radio_link::Answer& answer : answers) {
    noteRadioAnswered(p);
    const std::string& reply = answer.reply;
    if (isFrequencyQuestion(answer.question)) {
      takeFrequencyAnswer(p, reply, answer.stateChangesAtAsk);
    } else {
      updateSMeter(p, reply);
      updateSwr(p, reply);
      updateMicMeter(p, reply);
    }
  }
  // A radio behind another program that has said the radio is gone need not be waited out.
  if (p.radio.radioKnownGone()) noteRadioGone(p);
  for (const radio_link::Missed& question : missed) {
    if (!question.heardSomething) {
      noteMissedReply(p);
      continue;
    }
    noteRadioAnswered(p);
    if (isFrequencyQuestion(question.question)) takeFrequencyAnswer(p, std::string(), question.stateChangesAtAsk);
  }
}

void sendPollQuery(Panel& p) {
  cat::Reading reading = cat::Reading::Frequency;
  if (p.core.pollPhase == poll_phase::kFrequency) {
    p.radio.markFrequencyQuery();
  } else {
    reading = (p.core.tuneActive || p.core.txState > 0) ? cat::Reading::Swr : cat::Reading::SMeter;
    if (p.core.micMeterState > 0) reading = cat::Reading::MicMeter;
  }
  p.core.pollPhase = p.core.pollPhase == poll_phase::kFrequency ? poll_phase::kMeter : poll_phase::kFrequency;
  sendQuestion(p, radio_link::Asker::Poll, cat::query(reading, radioRow(p)));
  p.core.replyPending = true;
  p.radio.turns.pollQueryDue = false;
}

// The query step: the relay goes first when a command of the other program waits; the poll's query
// follows once the line is free again. A poll that was already kept waiting goes first.
void queryStep(Panel& p) {
  const bool relayFirst = relayInUse(p) && !p.radio.turns.pollQueryDue;
  if (relayFirst && servicePassThrough(p)) {
    p.radio.turns.pollQueryDue = true;
    return;
  }
  if (p.core.replyPending) return;
  sendPollQuery(p);
}

// A pass of the relay between ticks: every free moment of the line serves the other program, a few
// commands at a time so that keys and ticks are not held up behind a flood.
constexpr int kTurnsPerInput = 8;

bool lineFreeForRelay(const Panel& p) {
  return !p.radio.turns.relayAwaiting && !p.core.replyPending && !p.radio.turns.pollQueryDue;
}

}  // namespace

void serveStationWhileSpeaking(Panel& p) {
  if (!p.server.listening || p.speech.holdingWords) return;
  p.speech.holdingWords = true;
  serveRigClients(p, false);
  const bool clientAwaited = p.radio.turns.relayAwaiting && p.server.exchangeConnection != 0;
  if (clientAwaited && relayAnswerArrived(p)) followRigExchange(p);
  // A query of the key under way and its answer are never parted; a setting may go out while the
  // poll's answer is on its way (the radio answers in order, and a setting adds nothing to it).
  if (!p.radio.turns.relayAwaiting && !p.radio.turns.questionOutstanding &&
      startRigWorkMeanwhile(p, !p.core.replyPending) != RelayStep::answeredHere) {
    followRigExchange(p);
  }
  p.speech.holdingWords = false;
}

// The relay and the poll take turns on the radio line; neither sends while the other's answer is
// awaited. A relayed exchange is followed by a poll query, a poll reply by a relayed command.
void pollTick(Panel& p) {
  playHeldWords(p);
  serveRigClients(p, true);
  if (quitWaitTick(p) || p.core.pollPaused) return;
  if (++p.core.tickCount >= kTicksPerCycle) p.core.tickCount = 0;
  if (p.core.tickCount >= core::kAnnounceAfterTicks) p.core.tickCountRestarted = false;
  const bool relaying = relayInUse(p);
  if (relaying) readPassThrough(p);
  if (p.radio.turns.relayAwaiting) {
    if (!passThroughWaitTick(p)) {
      p.radio.turns.pollQueryDue = true;  // the poll's query goes out the moment the relay's answer is in
    } else if (!p.core.replyPending) {
      sendPollQuery(p);
    }
  } else if (p.core.replyPending) {
    replyStep(p);
    if (relaying && !p.core.replyPending) servicePassThrough(p);
  } else {
    queryStep(p);
  }
}

std::vector<platform::InputHandle> portsToWatch(Panel& p) {
  std::vector<platform::InputHandle> handles = rigHandlesToWatch(p);
  if (!relayInUse(p) || p.core.pollPaused) return handles;
  // Only input that can be acted on at once is watched: the descriptors are level-triggered, and
  // input left unread would wake the program again and again.
  if (p.radio.turns.relayAwaiting) {
    handles.push_back(p.radio.inputHandle());
  } else if (lineFreeForRelay(p) && p.config.passThroughPort > 0) {
    handles.push_back(p.ports.inputHandle(p.config.passThroughPort));
  }
  std::erase(handles, platform::kNoInputHandle);
  return handles;
}

void portInput(Panel& p) {
  serveRigClients(p, false);
  if (!relayInUse(p) || p.core.pollPaused) return;
  if (p.radio.turns.relayAwaiting) {
    if (!passThroughAnswerInput(p)) return;
    if (p.radio.turns.pollQueryDue && !p.core.replyPending) {
      sendPollQuery(p);
      return;
    }
  }
  for (int turn = 0; turn < kTurnsPerInput && lineFreeForRelay(p); ++turn) {
    if (servicePassThrough(p)) return;
    const bool passThroughWaiting = p.config.passThroughPort > 0 && p.ports.portBytesWaiting(p.config.passThroughPort) > 0;
    if (!relayCommandReady(p) && !passThroughWaiting) return;
  }
}

}  // namespace korvel
