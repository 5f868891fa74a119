// State of the radio link: the CAT scratch texts, the debug log, the pass-through relay and what
// the connection sequence and the frequency replies have learnt about the radio.
#pragma once

#include <fstream>
#include <optional>
#include <string>

#include "state/radio_values.h"

namespace korvel::link {

struct LinkState {
  std::string commandText;           // bare command in, exactly what was sent out (";" included)
  std::string replyText;             // what the last read returned (up to 255 bytes)
  std::string lastFrequencyCommand;  // last "FA"/"FB" + nine digits + ";" sent, before shortening
  int bytesWaiting = 0;
  // The start of a reply the poll's last read cut off: the next read completes it.
  std::string pollTail;
  // True from a key's query until its answer is read: nothing else goes out on the line between.
  bool questionOutstanding = false;
  int radioModel = 0;                // 0 until identified; 310 is kept as 241
  int frequencyDigits = 0;           // as the radio's frequency answers show; 0 until one came

  std::ofstream debugFile;           // debug.dat, open while debugLog is 1; every line flushed

  std::string relayBuffer;           // bytes from the pass-through port not yet relayed
  bool relayActive = false;
  // The exchange on the radio line: the relay and the poll take turns, each waiting for its own
  // answer before the other sends.
  bool relayAwaiting = false;             // 1 while a forwarded command's answer is on its way
  int lineWaitTicks = 0;             // ticks the answer now awaited has been waited for
  std::string relayAnswer;           // what the radio has sent back to the forwarded command so far
  long relayStateChangesAtQuery = 0; // the change count when the forwarded command went out
  std::string relayModeCommand;      // a forwarded mode setting the program is still to follow
  std::string relayFrequencyAnswer;  // a forwarded frequency answer the program is still to take
  bool relayDiscarding = false;           // 1 while the rest of a command cut off by a full buffer is skipped
  int relayTurnForwarded = 0;        // commands forwarded in the relay's present turn on the line
  bool pollQueryDue = false;              // 1 when a tick found the line the relay's: the poll sends next
  std::string radioIdAnswer;         // the radio's answer to a relayed "ID;", which never changes

  bool connected = false;
  // Poll replies missed in a row, and whether the radio was lost after it had answered: until it
  // answers again every key that needs it says "nc", and its return runs the connection again.
  int missedReplies = 0;
  bool radioLost = false;
  // Frequency answers in a row that could not be read, and whether the operator has been told.
  int unreadableAnswers = 0;
  bool unreadableTold = false;
  long long frequencyHz = 0;
  std::string frequencyText;
  std::optional<FrequencyReply> lastFrequencyReply;  // the last whole reply taken
  // Commands that moved the radio's frequency, band, mode or split, counted as they go out; a
  // frequency answer to a query sent before the last of them tells of a state already left.
  long radioStateChanges = 0;
  long radioStateChangesAtQuery = 0;
  long radioStateChangesAtReply = 0;  // the count when the last fresh frequency answer was taken  // the count when the frequency query now answered went out
  std::string vfoAText;
  std::string vfoBText;
  bool announceOnNextReply = false;
  bool skipRecordSwap = false;
};

}  // namespace korvel::link
