// Radio identification, the connection sequence on the first frequency reply, and every later
// frequency reply.
#pragma once

#include <optional>
#include <string>

#include "state/radio_values.h"

namespace korvel {
struct Panel;

// A reply that began as a frequency reply; absent when it could not be read as one.
void handleFrequencyReply(Panel& p, const std::optional<FrequencyReply>& reply);
// A poll query that got no answer; after about two seconds of them the radio is taken as lost.
void noteMissedReply(Panel& p);
// The radio is gone: "nc", the frequency field says so, and the keys that need it answer "nc".
void noteRadioGone(Panel& p);
// Any answer on the radio line.
void noteRadioAnswered(Panel& p);
void connectRadio(Panel& p);
void snapToKilohertz(Panel& p);
// Ends the run after Q: the memory saved, the program told to stop.
void endQuit(Panel& p);
// A tick while Q waits for the radio: after about a second the run ends whatever the radio does.
// True when it has ended.
bool quitWaitTick(Panel& p);
// The answer to a frequency query: whether it could be read. A radio whose answers cannot be
// read is told to the operator once, and logged.
void noteFrequencyAnswer(Panel& p, const std::string& reply, bool readable);

}  // namespace korvel
