// What the program knows of the radio and keeps beside its link: the debug log, the pass-through
// relay's buffer and what the connection sequence and the frequency replies have learnt about the
// radio. The conversation on the line itself is the CAT link's (radio_link/cat_link.h).
#pragma once

#include <fstream>
#include <optional>
#include <string>

#include "state/radio_values.h"

namespace korvel::link {

struct LinkState {
  std::ofstream debugFile;           // debug.dat, open while debugLog is 1; every line flushed

  std::string relayBuffer;           // bytes from the pass-through port not yet relayed
  bool relayActive = false;          // the radio's state was last set by another program
  std::string relayModeCommand;      // a forwarded mode setting the program is still to follow
  std::string relayFrequencyAnswer;  // a forwarded frequency answer the program is still to take
  bool relayDiscarding = false;      // while the rest of a command cut off by a full buffer is skipped
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
  std::string vfoAText;
  std::string vfoBText;
  bool announceOnNextReply = false;
  bool skipRecordSwap = false;
};

}  // namespace korvel::link
