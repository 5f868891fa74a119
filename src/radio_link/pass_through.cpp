#include "radio_link/pass_through.h"

#include <optional>
#include <string>

#include "state/panel.h"
#include "state/text.h"
#include "radio_link/cat.h"
#include "radio_link/debug_log.h"
#include "radio_link/rig_server.h"
#include "radio_link/transport.h"

namespace korvel {

namespace {

constexpr char kTerminator = ';';
const std::string kRefusal = "?;";          // what the radio answers to a command it cannot take
const std::string kAutoInformationOff = "AI0;";
constexpr int kReadsPerTurn = 2;
constexpr int kCommandsPerTurn = 2;  // a setting and the command behind it, at most, then the poll's turn

bool isUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isPrintable(char c) { return c >= ' ' && c <= '~'; }

// Adds a read to the relay buffer. A run of text that reaches the buffer's size without a ";" can
// never become a command: it is dropped (up to and including the ";" that finally ends it, if that
// came in this read) so that the relay does not stay blocked behind it for good. When a read would
// overfill the buffer, only whole commands are kept, and the rest of the one cut off is skipped up
// to its ";": a command is lost whole rather than forwarded torn.
void appendToRelay(Panel& p, std::string chunk) {
  auto& link = p.link;
  if (link.relayDiscarding) {
    const auto end = chunk.find(kTerminator);
    link.relayDiscarding = end == std::string::npos;
    chunk.erase(0, end == std::string::npos ? chunk.size() : end + 1);
  }
  std::string text = link.relayBuffer + chunk;
  for (;;) {
    const auto end = text.find(kTerminator);
    if (end == std::string::npos) {
      if (text.size() >= kStoredTextCap) text.clear();
      break;
    }
    if (end < kStoredTextCap) break;
    text.erase(0, end + 1);
  }
  if (text.size() > kStoredTextCap) {
    text.erase(text.rfind(kTerminator, kStoredTextCap - 1) + 1);
    link.relayDiscarding = true;
  }
  link.relayBuffer = std::move(text);
}

// Commands the radio is not to see, and what the client hears instead (empty: nothing, as the
// radio answers nothing to a setting). Auto-information would make the radio talk on its own, in
// the middle of the poll's exchanges: it stays off, and the client is told so when it asks.
// Anything that is not a CAT command, and a frequency setting that is not all digits, is refused as
// the radio would refuse it; forwarded, it would also become the program's last frequency command.
std::optional<std::string> answeredHere(const Panel& p, const std::string& command) {
  const std::string body = command.substr(0, command.size() - 1);
  if (body.size() < 2 || !isUpperLetter(body[0]) || !isUpperLetter(body[1])) return kRefusal;
  for (const char c : body) {
    if (!isPrintable(c)) return kRefusal;
  }
  const std::string letters = body.substr(0, 2);
  const std::string parameters = body.substr(2);
  if (letters == "AI") return parameters.empty() ? kAutoInformationOff : std::string();
  // The model number is asked at every client start; once the radio has told it, the answer stands.
  if (letters == "ID" && parameters.empty() && !p.link.radioIdAnswer.empty()) return p.link.radioIdAnswer;
  if ((letters == "FA" || letters == "FB") && !parameters.empty()) {
    for (const char c : parameters) {
      if (!isDigit(c)) return kRefusal;
    }
  }
  return std::nullopt;
}

void answerClient(Panel& p, const std::string& answer) {
  if (answer.empty() || answer == ";") return;
  if (p.config.debugLog) writeDebugLine(p, "***VTX1=" + answer);
  p.ports.writePort(p.config.passThroughPort, answer.data(), static_cast<int>(answer.size()));
}

void finishExchange(Panel& p, const radio_link::Answer& answer) {
  auto& link = p.link;
  p.radio.turns.relayAwaiting = false;
  p.radio.turns.lineWaitTicks = 0;
  // An answer that comes after this is a stray, never the next command's.
  p.radio.forget(radio_link::Asker::Relay);
  if (p.server.exchangeConnection != 0) {
    // A rig-server client's query: its answer is decoded for it; the program follows nothing of it.
    if (p.config.debugLog && !answer.wire.empty()) writeDebugLine(p, "***VTX1=" + answer.wire);
    p.server.finishedConnection = p.server.exchangeConnection;
    p.server.finishedAnswer = answer.wire;
    p.server.exchangeConnection = 0;
    return;
  }
  answerClient(p, answer.wire);
  if (cat::identity(answer.reply)) link.radioIdAnswer = answer.wire;
  const auto frequency = cat::frequencyReply(answer.reply);
  if (frequency && frequency->vfo == Vfo::A) link.relayFrequencyAnswer = answer.reply;
}

// The forwarded command's answer, when it has come: the reply that starts with the command's own
// letters (or the radio's refusal of it), whichever read brought it.
std::optional<radio_link::Answer> collectAnswer(Panel& p) {
  p.radio.receive();
  std::vector<radio_link::Answer> answers = p.radio.takeAnswers(radio_link::Asker::Relay);
  if (answers.empty()) return std::nullopt;
  return std::move(answers.front());
}

// A forwarded command whose answer is awaited: the line is the relay's until that answer is in.
RelayStep awaitAnswer(Panel& p) {
  p.radio.turns.relayAwaiting = true;
  p.radio.turns.lineWaitTicks = 0;
  const auto answer = collectAnswer(p);
  if (!answer) return RelayStep::awaiting;
  finishExchange(p, *answer);
  return RelayStep::over;
}

// A rig-server client's command on the line: sent with the VFO it names, and for a setting the
// exchange is over at once (the client's answer does not wait for the radio's silence).
RelayStep startRigExchange(Panel& p, const RigRadioWork& work) {
  auto& link = p.link;
  link.relayActive = true;
  if (p.config.debugLog) writeDebugLine(p, "***VRX1=" + work.command + ";");
  p.radio.markFrequencyQuery();
  p.radio.turns.relayStateChangesAtAsk = p.radio.stateChangesAtQuery();
  ++p.radio.turns.relayTurnForwarded;
  if (work.answerExpected) {
    sendQuestionAsNamed(p, radio_link::Asker::Relay, work.command);
  } else {
    // A setting is answered once the radio has taken it: the radio answers in order, so the answer
    // to a question right behind it says it was taken, and a refusal coming first says it was not.
    sendSettingAsNamed(p, radio_link::Asker::Relay, work.command);
    sendQuestion(p, radio_link::Asker::Relay, cat::query(cat::Reading::Identity, radioRow(p)));
  }
  p.server.exchangeConnection = work.connection;
  return awaitAnswer(p);
}

bool passThroughCommandReady(const Panel& p) { return p.link.relayBuffer.find(kTerminator) != std::string::npos; }

}  // namespace

bool relayInUse(const Panel& p) { return p.config.passThroughPort > 0 || p.server.listening; }

void readPassThrough(Panel& p) {
  const int port = p.config.passThroughPort;
  if (port <= 0) return;
  // Once text waits, only as much is read as fits, so that nothing is cut; the rest waits in the
  // port until the relay has caught up. A run dropped for its length makes room for a second read.
  for (int read = 0; read < kReadsPerTurn && !relayCommandReady(p); ++read) {
    const std::size_t room = p.link.relayBuffer.empty() ? kReadCap : kStoredTextCap - p.link.relayBuffer.size();
    if (room == 0 || p.ports.portBytesWaiting(port) <= 0) return;
    char buffer[kReadCap];
    const int count = p.ports.readPort(port, buffer, static_cast<int>(room));
    appendToRelay(p, std::string(buffer, static_cast<std::size_t>(count > 0 ? count : 0)));
  }
}

bool relayCommandReady(const Panel& p) { return passThroughCommandReady(p) || rigCommandReady(p); }

RelayStep startRelayExchange(Panel& p) {
  auto& link = p.link;
  // The pass-through and the rig server's clients take turns when both wait.
  const bool fromServer = rigCommandReady(p) && (!passThroughCommandReady(p) || !p.server.lastSourceWasServer);
  if (fromServer) {
    p.server.lastSourceWasServer = true;
    if (const auto work = takeRigCommand(p)) return startRigExchange(p, *work);
  }
  p.server.lastSourceWasServer = false;
  const auto end = link.relayBuffer.find(kTerminator);
  if (end == std::string::npos) return RelayStep::answeredHere;
  link.relayActive = true;
  // The log shows what was waiting when this command was taken: the command and those behind it.
  if (p.config.debugLog) writeDebugLine(p, "***VRX1=" + link.relayBuffer);
  const std::string command = link.relayBuffer.substr(0, end + 1);
  link.relayBuffer.erase(0, end + 1);

  if (const auto answer = answeredHere(p, command)) {
    answerClient(p, *answer);
    return RelayStep::answeredHere;
  }
  // The answer is the radio's state unless a command sent after this one has moved it.
  p.radio.markFrequencyQuery();
  p.radio.turns.relayStateChangesAtAsk = p.radio.stateChangesAtQuery();
  ++p.radio.turns.relayTurnForwarded;
  const std::string body = command.substr(0, end);
  if (cat::isModeSetting(body)) {
    // The radio changes mode without answering; the program is to follow it.
    sendText(p, body);
    link.relayModeCommand = p.radio.lastSent();
    return RelayStep::over;
  }
  // Whether it is a question or a setting, its answer (or refusal) is the reply that starts with it.
  sendQuestion(p, radio_link::Asker::Relay, body);
  return awaitAnswer(p);
}

RelayWait relayAnswerTick(Panel& p) {
  if (!p.radio.turns.relayAwaiting) return RelayWait::over;
  if (const auto answer = collectAnswer(p)) {
    finishExchange(p, *answer);
    return RelayWait::over;
  }
  // A radio starts answering a query well within a tick. Nothing at all after one, with the next
  // command already here, is a setting followed by the next command (a setting and its read-back
  // come in one write): the two make one turn, so the setting does not wait out the CAT pause.
  const bool setting = p.server.exchangeConnection == 0 && p.radio.turns.lineWaitTicks == 0 &&
                       relayCommandReady(p) && p.radio.turns.relayTurnForwarded < kCommandsPerTurn;
  if (setting) {
    finishExchange(p, radio_link::Answer{});
    return RelayWait::settingPassed;
  }
  ++p.radio.turns.lineWaitTicks;
  // The answer is waited for until the question's deadline on the link's clock.
  if (p.radio.awaiting(radio_link::Asker::Relay)) return RelayWait::awaiting;
  finishExchange(p, radio_link::Answer{});
  return RelayWait::over;
}

bool relayAnswerArrived(Panel& p) {
  if (!p.radio.turns.relayAwaiting) return true;
  const auto answer = collectAnswer(p);
  if (!answer) return false;
  finishExchange(p, *answer);
  return true;
}

void settleRelayExchange(Panel& p) {
  if (!p.radio.turns.relayAwaiting) return;
  auto answer = collectAnswer(p);
  if (!answer) {
    catPause(p);
    // The station served during the pause may have taken the answer already.
    if (!p.radio.turns.relayAwaiting) return;
    answer = collectAnswer(p);
  }
  finishExchange(p, answer.value_or(radio_link::Answer{}));
}

RelayStep startRigWorkMeanwhile(Panel& p, bool queriesToo) {
  const auto work = takeRigCommand(p, [queriesToo](const rig::RigClient& client) {
    // A mode follows with commands and a query of its own: it waits for the announcement's end.
    const bool mode = client.commands.front().name == "set_mode" || client.commands.front().name == "set_split_mode";
    return !mode && (queriesToo || !client.radioAnswerExpected);
  });
  if (!work) return RelayStep::answeredHere;
  // What the key under way relies on stays as it was: the relay mark, and the poll's query mark
  // by which its answer is judged stale or fresh.
  auto& link = p.link;
  const bool relayActive = link.relayActive;
  const long changesAtQuery = p.radio.stateChangesAtQuery();
  const RelayStep step = startRigExchange(p, *work);
  link.relayActive = relayActive;
  p.radio.setStateChangesAtQuery(changesAtQuery);
  return step;
}

RelayOutcome takeRelayOutcome(Panel& p) {
  RelayOutcome outcome{std::move(p.link.relayModeCommand), std::move(p.link.relayFrequencyAnswer),
                       p.radio.turns.relayStateChangesAtAsk, p.server.finishedConnection,
                       std::move(p.server.finishedAnswer)};
  p.link.relayModeCommand.clear();
  p.link.relayFrequencyAnswer.clear();
  p.server.finishedConnection = 0;
  p.server.finishedAnswer.clear();
  return outcome;
}

}  // namespace korvel
