// Pass-through transport: another program talks CAT to the pass-through port; one command at a time
// is relayed to the radio and the radio's answer goes back. What the program follows is the caller's.
#pragma once

#include <string>

namespace korvel {
struct Panel;

struct RelayOutcome {
  std::string modeCommand;         // a relayed mode setting ("MD04;"): the program follows it
  bool frequencyAnswered = false;  // replyText holds the relayed answer's frequency part
};

// Relays the first complete command waiting on the pass-through port, and its answer.
RelayOutcome relayCommand(Panel& p);

}  // namespace korvel
