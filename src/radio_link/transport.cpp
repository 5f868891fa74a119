#include "radio_link/transport.h"

#include "state/panel.h"
#include "state/text.h"
#include "radio_link/debug_log.h"
#include "radio_link/pass_through.h"
#include "radio_link/radio_models.h"
#include "player/phrase_player.h"

namespace korvel {

namespace {

bool isFrequencyCommand(const std::string& text) {
  return text.rfind("FA", 0) == 0 || text.rfind("FB", 0) == 0;
}

// Commands after which an earlier frequency answer no longer tells where the radio is: frequency,
// mode, split, VFO and shift settings, the VFO swap and zero-in. Bare queries ("FA;", "MD0;") are not.
bool movesRadioState(const std::string& command) {
  const std::string letters = left(command, 2);
  const std::size_t parameters = command.size() > 3 ? command.size() - 3 : 0;  // between letters and ";"
  if (letters == "SV" || letters == "ZI") return true;
  if (letters == "FA" || letters == "FB" || letters == "FT" || letters == "VS") return parameters > 0;
  if (letters == "MD" || letters == "OS") return parameters > 1;
  return false;
}

void send(Panel& p, bool followSplit) {
  // A relayed command's answer may still be on its way: it is taken first, so that it neither
  // reaches this command's caller nor is lost to the other program.
  settleRelayExchange(p);
  std::string& command = p.link.commandText;
  if (followSplit && p.tone.vfoB == 1 && command.rfind("FA", 0) == 0) command[1] = 'B';
  command = capStored(command + ";");
  // A bare "FA;" query carries no frequency and is never remembered as the last tuning command.
  if (isFrequencyCommand(command) && command.size() > 5) p.link.lastFrequencyCommand = command;
  // Older radios take eight frequency digits: the leading digit of the nine is dropped.
  if (radioModel(p.link.radioModel).frequencyDigits == 8 && isFrequencyCommand(command) && command.size() > 5) {
    command = command.substr(0, 2) + right(command, 9);
  }
  if (movesRadioState(command)) ++p.link.radioStateChanges;
  p.ports.writePort(p.config.comPort, command.data(), static_cast<int>(command.size()));
  if (p.config.debugLog == 1) writeDebugLine(p, "TX=" + command);
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
  if (p.config.debugLog == 1 && !p.link.replyText.empty()) writeDebugLine(p, "RX=" + p.link.replyText);
}

void catPause(Panel& p) { playWord(p, "delay"); }

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
  catPause(p);
  p.link.replyText.clear();
  readReply(p);
  return p.link.replyText;
}

void setUpPort(Panel& p, int port) {
  p.ports.closePort(port);
  p.ports.openPort(port, p.config.baudRate);
  p.ports.setPortReadTimeouts(port, -1);
  p.ports.setPortFrame(port, 8, 0, 2);
}

void sendFrequency(Panel& p) {
  const long long hz = p.link.frequencyHz;
  std::string command = "FA";
  if (hz < 100000000) command += "0";
  if (hz < 10000000) command += "0";
  command += std::to_string(hz);
  sendText(p, std::move(command));
}


}  // namespace korvel
