// State of the radio link: the CAT scratch texts, the debug log, the pass-through relay and what
// the connection sequence and the frequency replies have learnt about the radio.
#pragma once

#include <fstream>
#include <string>

namespace korvel::link {

struct LinkState {
  std::string commandText;           // bare command in, exactly what was sent out (";" included)
  std::string replyText;             // what the last read returned (up to 255 bytes)
  std::string lastFrequencyCommand;  // last "FA"/"FB" + nine digits + ";" sent, before shortening
  int bytesWaiting = 0;
  int radioModel = 0;                // 0 until identified; 310 is kept as 241

  std::ofstream debugFile;           // debug.dat, open while debugLog is 1; every line flushed

  std::string relayBuffer;           // bytes from the pass-through port not yet relayed
  int relayActive = 0;

  int connected = 0;
  // Poll replies missed in a row, and whether the radio was lost after it had answered: until it
  // answers again every key that needs it says "nc", and its return runs the connection again.
  int missedReplies = 0;
  int radioLost = 0;
  long long frequencyHz = 0;
  std::string frequencyText;
  std::string lastFrequencyReply;
  // Commands that moved the radio's frequency, band, mode or split, counted as they go out; a
  // frequency answer to a query sent before the last of them tells of a state already left.
  long radioStateChanges = 0;
  long radioStateChangesAtQuery = 0;  // the count when the frequency query now answered went out
  std::string vfoAText;
  std::string vfoBText;
  int bandSaveAllowed = 0;
  int announceOnNextReply = 0;
  int skipRecordSwap = 0;
};

}  // namespace korvel::link
