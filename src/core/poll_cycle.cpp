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

// Whatever the radio has sent since the query, in one read that never waits.
bool readWaiting(Panel& p) {
  const int port = p.config.comPort;
  p.link.bytesWaiting = p.ports.portBytesWaiting(port);
  if (p.link.bytesWaiting <= 0) return false;
  char buffer[kReadCap];
  const int count = p.ports.readPort(port, buffer, static_cast<int>(kReadCap));
  p.link.bytesWaiting = count > 0 ? count : 0;
  p.link.replyText.assign(buffer, static_cast<std::size_t>(p.link.bytesWaiting));
  return true;
}

bool isCapital(char c) { return c >= 'A' && c <= 'Z'; }

void takeModelFromReply(Panel& p, const std::string& reply) {
  if (p.link.radioModel != 0) return;
  if (const auto number = cat::identity(reply)) p.link.radioModel = canonicalModelNumber(*number);
}

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
  p.core.meterScratch = static_cast<int>(meter->at);
  if (meter->value > p.core.meterPeak) p.core.meterPeak = meter->value;
  if (p.core.tickCount > 10) speakMeterPeak(p);
}

void replyStep(Panel& p) {
  p.core.replyPending = false;
  if (!readWaiting(p)) {
    // A missing reply is not asked for again. While a relayed command waits for the line, though,
    // the reply may only be late: the line stays the poll's for up to a CAT pause, so that the
    // late reply cannot land in the relayed command's answer.
    const bool holdLine = relayInUse(p) && relayCommandReady(p) &&
                          ++p.link.lineWaitTicks < kAnswerWaitTicks;
    if (holdLine) {
      p.core.replyPending = true;
    } else {
      p.link.lineWaitTicks = 0;
      noteMissedReply(p);
    }
    return;
  }
  p.link.lineWaitTicks = 0;
  noteRadioAnswered(p);
  // The query that went out last was the frequency query when the meter's turn is next.
  const bool answersFrequencyQuery = p.core.pollPhase == poll_phase::kMeter;
  // Answers that arrived together (a late meter answer and the next frequency answer) are each
  // taken by their own letters; a reply cut off at the end of the read waits for its rest.
  // A read that starts with two capitals starts a reply of its own: what was kept was noise.
  const std::string& fresh = p.link.replyText;
  const bool startsReply = fresh.size() >= 2 && isCapital(fresh[0]) && isCapital(fresh[1]);
  if (startsReply) p.link.pollTail.clear();
  const std::string read = std::move(p.link.pollTail) + fresh;
  std::vector<std::string> replies = cat::wholeReplies(read, p.link.pollTail);
  // Kept only what can begin a reply: a capital first, and shorter than any read.
  const std::string& tail = p.link.pollTail;
  if (tail.size() >= kReadCap || (!tail.empty() && !isCapital(tail[0]))) p.link.pollTail.clear();
  // A read with no whole reply is still the radio's answer (the first one starts the connection):
  // it is taken as it stands, as torn or noise, and a kept start may yet be completed.
  if (replies.empty()) replies.push_back(read);
  // Older radios answer with eight frequency digits: read as nine from here on.
  for (auto& reply : replies) {
    learnFrequencyDigits(p, reply);
    reply = readableReply(p, std::move(reply));
  }
  if (p.config.debugLog) writeDebugLine(p, "RX=" + readableReply(p, p.link.replyText));
  std::string frequencyAnswer;
  bool readable = false;
  bool otherAnswer = false;  // a meter or ID answer: not the frequency, nor noise
  for (const std::string& reply : replies) {
    // The handlers below reuse replyText for their own exchanges: each reply is a copy.
    takeModelFromReply(p, reply);
    if (radioModel(p.link.radioModel).unsupported) {
      playWord(p, "ftx");
      p.core.running = false;
      return;
    }
    if (cat::looksLikeFrequencyReply(reply)) {
      const auto frequency = cat::frequencyReply(reply);
      handleFrequencyReply(p, frequency);
      frequencyAnswer = reply;
      readable = frequency.has_value();
    }
    otherAnswer = otherAnswer || cat::sMeter(reply) || cat::swr(reply) || cat::micMeter(reply) || cat::identity(reply);
    updateSMeter(p, reply);
    updateSwr(p, reply);
    updateMicMeter(p, reply);
  }
  // A late meter answer alone says nothing of the frequency answer still on its way.
  const bool aboutFrequency = !frequencyAnswer.empty() || !otherAnswer;
  if (answersFrequencyQuery && aboutFrequency) {
    noteFrequencyAnswer(p, frequencyAnswer.empty() ? read : frequencyAnswer, readable);
  }
}

void sendPollQuery(Panel& p) {
  cat::Reading reading = cat::Reading::Frequency;
  if (p.core.pollPhase == poll_phase::kFrequency) {
    markFrequencyQuery(p);
  } else {
    reading = (p.core.tuneActive || p.core.txState > 0) ? cat::Reading::Swr : cat::Reading::SMeter;
    if (p.core.micMeterState > 0) reading = cat::Reading::MicMeter;
  }
  p.core.pollPhase = p.core.pollPhase == poll_phase::kFrequency ? poll_phase::kMeter : poll_phase::kFrequency;
  sendText(p, cat::query(reading, radioModel(p.link.radioModel)));
  p.core.replyPending = true;
  p.link.pollQueryDue = false;
}

// The query step: the relay goes first when a command of the other program waits; the poll's query
// follows once the line is free again. A poll that was already kept waiting goes first.
void queryStep(Panel& p) {
  const bool relayFirst = relayInUse(p) && !p.link.pollQueryDue;
  if (relayFirst && servicePassThrough(p)) {
    p.link.pollQueryDue = true;
    return;
  }
  if (p.core.replyPending) return;
  sendPollQuery(p);
}

// A pass of the relay between ticks: every free moment of the line serves the other program, a few
// commands at a time so that keys and ticks are not held up behind a flood.
constexpr int kTurnsPerInput = 8;

bool lineFreeForRelay(const Panel& p) {
  return !p.link.relayAwaiting && !p.core.replyPending && !p.link.pollQueryDue;
}

}  // namespace

void serveStationWhileSpeaking(Panel& p) {
  if (!p.server.listening || p.speech.holdingWords) return;
  p.speech.holdingWords = true;
  serveRigClients(p, false);
  auto& link = p.link;
  const bool clientAwaited = link.relayAwaiting && p.server.exchangeConnection != 0;
  if (clientAwaited && relayAnswerArrived(p)) followRigExchange(p);
  // A query of the key under way and its answer are never parted; a setting may go out while the
  // poll's answer is on its way (the radio answers in order, and a setting adds nothing to it).
  if (!link.relayAwaiting && !link.questionOutstanding &&
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
  if (p.link.relayAwaiting) {
    if (!passThroughWaitTick(p)) {
      p.link.pollQueryDue = true;  // the poll's query goes out the moment the relay's answer is in
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
  if (p.link.relayAwaiting) {
    handles.push_back(p.ports.inputHandle(p.config.comPort));
  } else if (lineFreeForRelay(p) && p.config.passThroughPort > 0) {
    handles.push_back(p.ports.inputHandle(p.config.passThroughPort));
  }
  std::erase(handles, platform::kNoInputHandle);
  return handles;
}

void portInput(Panel& p) {
  serveRigClients(p, false);
  if (!relayInUse(p) || p.core.pollPaused) return;
  if (p.link.relayAwaiting) {
    if (!passThroughAnswerInput(p)) return;
    if (p.link.pollQueryDue && !p.core.replyPending) {
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
