// CAT transport: one send routine that turns commandText into a command on the wire, one read
// that takes whatever has arrived, and the pause word that gives the radio time to answer.
#pragma once

#include <string>

namespace korvel {
struct Panel;

void sendCommand(Panel& p);
void readReply(Panel& p);
void catPause(Panel& p);
// Notes that a frequency query goes out now; its answer is stale when a command that moves the
// radio's frequency, band, mode or split has been sent after it.
void markFrequencyQuery(Panel& p);
bool frequencyAnswerIsStale(const Panel& p);
// commandText = command, then sendCommand.
void sendText(Panel& p, std::string command);
// sendText for a command that names its VFO itself (a rig-server client's): "FA" stays "FA" in split.
void sendTextAsNamed(Panel& p, std::string command);
// The query calling order: send, pause, empty replyText, read. Returns replyText.
const std::string& queryRadio(Panel& p, std::string command);
// Close, open at baudRate, reads that return at once, 8 data bits, no parity, two stop bits.
void setUpPort(Panel& p, int port);
// "FA" + frequencyHz with leading zeros to nine digits.
void sendFrequency(Panel& p);

}  // namespace korvel
