#include "radio_link/transport.h"

#include "state/panel.h"
#include "state/text.h"
#include "radio_link/cat.h"
#include "radio_link/debug_log.h"
#include "radio_link/pass_through.h"
#include "radio_link/radio_models.h"
#include "player/phrase_player.h"

namespace korvel {

namespace {

void send(Panel& p, bool followSplit) {
  // A relayed command's answer may still be on its way: it is taken first, so that it neither
  // reaches this command's caller nor is lost to the other program.
  settleRelayExchange(p);
  std::string& command = p.link.commandText;
  if (followSplit && p.tone.vfoB) command = cat::addressVfoB(std::move(command));
  command = capStored(command + ";");
  // A bare "FA;" query carries no frequency and is never remembered as the last tuning command.
  if (cat::isFrequencyCommand(command) && command.size() > 5) p.link.lastFrequencyCommand = command;
  command = cat::toWire(wireFrequencyDigits(p), std::move(command));
  if (cat::movesRadioState(command)) ++p.link.radioStateChanges;
  p.ports.writePort(p.config.comPort, command.data(), static_cast<int>(command.size()));
  if (p.config.debugLog) writeDebugLine(p, "TX=" + command);
}

}  // namespace

void sendCommand(Panel& p) { send(p, true); }

void readReply(Panel& p) {
  settleRelayExchange(p);
  p.link.replyText.clear();
  p.link.bytesWaiting = p.ports.portBytesWaiting(p.config.comPort);
  if (p.link.bytesWaiting > 0) {
    char buffer[kReadCap];
    const int count = p.ports.readPort(p.config.comPort, buffer, static_cast<int>(kReadCap));
    p.link.bytesWaiting = count > 0 ? count : 0;
    p.link.replyText.assign(buffer, static_cast<std::size_t>(p.link.bytesWaiting));
  }
  if (p.config.debugLog && !p.link.replyText.empty()) writeDebugLine(p, "RX=" + p.link.replyText);
}

void catPause(Panel& p) { playWord(p, kPauseWord); }

int wireFrequencyDigits(const Panel& p) {
  return p.link.frequencyDigits > 0 ? p.link.frequencyDigits : radioModel(p.link.radioModel).frequencyDigits;
}

std::string readableReply(const Panel& p, std::string reply) {
  return cat::fromWire(wireFrequencyDigits(p), std::move(reply));
}

void learnFrequencyDigits(Panel& p, std::string_view reply) {
  if (const int digits = cat::frequencyDigitsOf(reply); digits > 0) p.link.frequencyDigits = digits;
}

void markFrequencyQuery(Panel& p) { p.link.radioStateChangesAtQuery = p.link.radioStateChanges; }

bool frequencyAnswerIsStale(const Panel& p) {
  return p.link.radioStateChanges != p.link.radioStateChangesAtQuery;
}

void sendText(Panel& p, std::string command) {
  p.link.commandText = std::move(command);
  sendCommand(p);
}

void sendTextAsNamed(Panel& p, std::string command) {
  p.link.commandText = std::move(command);
  send(p, false);
}

const std::string& queryRadio(Panel& p, std::string command) {
  sendText(p, std::move(command));
  p.link.questionOutstanding = true;
  catPause(p);
  p.link.replyText.clear();
  readReply(p);
  p.link.questionOutstanding = false;
  return p.link.replyText;
}

void setUpPort(Panel& p, int port) {
  p.ports.closePort(port);
  p.ports.openPort(port, p.config.baudRate);
  p.ports.setPortReadTimeouts(port, -1);
  p.ports.setPortFrame(port, 8, 0, 2);
}

void sendFrequency(Panel& p) { sendText(p, cat::tune(cat::Vfo::A, p.link.frequencyHz)); }

std::optional<std::string> askRadio(Panel& p, cat::Reading what) {
  const RadioModel& model = radioModel(p.link.radioModel);
  return cat::readingText(what, model, queryRadio(p, cat::query(what, model)));
}

std::optional<long> askRadioValue(Panel& p, cat::Reading what) {
  const auto text = askRadio(p, what);
  if (!text) return std::nullopt;
  return wholeValueOf(*text);
}

std::string askMenu(Panel& p, const std::string& number) {
  const RadioModel& model = radioModel(p.link.radioModel);
  return cat::menuValue(model, queryRadio(p, cat::menu(number)));
}


}  // namespace korvel
