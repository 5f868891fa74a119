// Radio identification, the connection sequence on the first frequency reply, and every later
// frequency reply.
#pragma once

namespace korvel {
struct Panel;

void handleFrequencyReply(Panel& p);
void connectRadio(Panel& p);
void snapToKilohertz(Panel& p);

}  // namespace korvel
