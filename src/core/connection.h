// Radio identification, the connection sequence on the first frequency reply, and every later
// frequency reply.
#pragma once

namespace korvel {
struct Panel;

void handleFrequencyReply(Panel& p);
// A poll query that got no answer; after about two seconds of them the radio is taken as lost.
void noteMissedReply(Panel& p);
// Any answer on the radio line.
void noteRadioAnswered(Panel& p);
void connectRadio(Panel& p);
void snapToKilohertz(Panel& p);

}  // namespace korvel
