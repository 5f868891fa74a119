#include "radio_link/pass_through.h"

#include <string>

#include "state/panel.h"
#include "state/text.h"
#include "radio_link/debug_log.h"
#include "radio_link/transport.h"

namespace korvel {

namespace {

// Adds a read to the relay buffer. A run of text that reaches the buffer's size without a ";" can
// never become a command: it is dropped (up to and including the ";" that finally ends it, if that
// came in this read) so that the relay does not stay blocked behind it for good.
void appendToRelay(Panel& p, const std::string& chunk) {
  std::string text = p.link.relayBuffer + chunk;
  for (;;) {
    const auto end = text.find(';');
    if (end == std::string::npos) {
      if (text.size() >= kStoredTextCap) text.clear();
      break;
    }
    if (end < kStoredTextCap) break;
    text.erase(0, end + 1);
  }
  p.link.relayBuffer = capStored(std::move(text));
}

// The text from the first "FA" through the ";" that ends it; empty when there is none.
std::string frequencyPart(const std::string& reply) {
  const auto start = reply.find("FA");
  if (start == std::string::npos) return {};
  const auto end = reply.find(';', start);
  return end == std::string::npos ? reply.substr(start) : reply.substr(start, end - start + 1);
}

}  // namespace

RelayOutcome relayCommand(Panel& p) {
  const int port = p.config.passThroughPort;
  p.link.bytesWaiting = p.ports.portBytesWaiting(port);
  if (p.link.bytesWaiting <= 0) return {};
  char buffer[kReadCap];
  const int count = p.ports.readPort(port, buffer, static_cast<int>(kReadCap));
  appendToRelay(p, std::string(buffer, static_cast<std::size_t>(count > 0 ? count : 0)));
  const auto end = p.link.relayBuffer.find(';');
  if (end == std::string::npos) return {};  // the command is not complete yet

  p.link.relayActive = 1;
  if (p.config.debugLog == 1) writeDebugLine(p, "***VRX1=" + p.link.relayBuffer);
  // The relayed answer is the radio's state unless a command sent after this one has moved it.
  markFrequencyQuery(p);
  sendText(p, p.link.relayBuffer.substr(0, end));

  RelayOutcome outcome;
  const std::string& sent = p.link.commandText;
  if (sent.rfind("MD0", 0) == 0 && mid(sent, 4, 1) != ";") {
    // The radio changes mode without answering; the program is to follow it.
    outcome.modeCommand = sent;
  } else {
    catPause(p);
    p.link.replyText.clear();
    readReply(p);
    const std::string reply = p.link.replyText;
    if (!reply.empty() && reply != ";") {
      if (p.config.debugLog == 1) writeDebugLine(p, "***VTX1=" + reply);
      p.ports.writePort(port, reply.data(), static_cast<int>(reply.size()));
      const std::string frequency = frequencyPart(reply);
      p.link.replyText = frequency;
      outcome.frequencyAnswered = frequency.size() > 5;
    }
  }
  // Only the first command of a burst is relayed; the rest goes with the buffer.
  p.link.relayBuffer.clear();
  return outcome;
}

}  // namespace korvel
