// The program's side of the radio link: commands and questions in the program's terms, handed to the
// Panel's CAT link, which owns the conversation on the line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "radio_link/cat.h"
#include "radio_link/cat_link.h"

namespace korvel {
struct Panel;

// Whatever the radio has sent is read and sorted now (answers kept for their questions, strays logged).
void readReply(Panel& p);
void catPause(Panel& p);
// Digits of a frequency on this radio's wire: what its own frequency answers showed, else its row's.
int wireFrequencyDigits(const Panel& p);
// The radio's row in the model table.
const RadioModel& radioRow(const Panel& p);
// Sends a command (no ";": it is added); a VFO A command addresses VFO B while split is on.
void sendText(Panel& p, std::string command);
// A key's setting the radio is known not to take (a model behind Hamlib without the function): the
// key says "na" after its function's word and sends nothing. False for any radio on Korvel's own link.
bool refusedBeforeSending(Panel& p, const std::string& command);
// sendText for a command that names its VFO itself (a rig-server client's): "FA" stays "FA" in split.
void sendTextAsNamed(Panel& p, std::string command);
// Sends a question (no ";") whose answer the asker takes from the link when it comes.
void sendQuestion(Panel& p, radio_link::Asker who, std::string command);
// sendTextAsNamed for a setting whose refusal, should the radio refuse it, is the asker's answer.
void sendSettingAsNamed(Panel& p, radio_link::Asker refusalTo, std::string command);
// sendQuestion for a question that names its VFO itself (a rig-server client's).
void sendQuestionAsNamed(Panel& p, radio_link::Asker who, std::string command);
// Sends a question and waits for its answer, the CAT pause first: the whole reply, or empty when
// the radio did not answer in time (or refused).
std::string queryRadio(Panel& p, std::string command);
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
