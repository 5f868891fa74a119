// Radio identification, the connection sequence on the first frequency reply, and every later
// frequency reply.
#pragma once

#include <optional>

#include "state/radio_values.h"

namespace korvel {
struct Panel;

// A reply that began as a frequency reply; absent when it could not be read as one.
void handleFrequencyReply(Panel& p, const std::optional<FrequencyReply>& reply);
// A poll query that got no answer; after about two seconds of them the radio is taken as lost.
void noteMissedReply(Panel& p);
// Any answer on the radio line.
void noteRadioAnswered(Panel& p);
void connectRadio(Panel& p);
void snapToKilohertz(Panel& p);

}  // namespace korvel
