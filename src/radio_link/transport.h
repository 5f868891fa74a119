// CAT transport: one send routine that turns commandText into a command on the wire, one read
// that takes whatever has arrived, and the pause word that gives the radio time to answer.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "radio_link/cat.h"

namespace korvel {
struct Panel;

void sendCommand(Panel& p);
void readReply(Panel& p);
void catPause(Panel& p);
// Digits of a frequency on this radio's wire: what its own frequency answers showed, else its row's.
int wireFrequencyDigits(const Panel& p);
// A whole frequency answer teaches the width the radio uses; anything else teaches nothing.
void learnFrequencyDigits(Panel& p, std::string_view reply);
// A reply in the form the program reads: frequencies of eight-digit radios widened to nine.
std::string readableReply(const Panel& p, std::string reply);
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
// Tunes VFO A (VFO B while split is on) to frequencyHz.
void sendFrequency(Panel& p);
// Asks the radio for a reading and gives the value its answer carries; absent when the answer
// does not carry it.
std::optional<std::string> askRadio(Panel& p, cat::Reading what);
std::optional<long> askRadioValue(Panel& p, cat::Reading what);
// A menu's value as the radio answers it (empty when it does not).
std::string askMenu(Panel& p, const std::string& number);

}  // namespace korvel
