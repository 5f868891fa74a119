// The poll cycle: one timer tick sends a query, the next reads what has arrived and hands it on.
#pragma once

#include <vector>

#include "platform/serial_ports.h"

namespace korvel {
struct Panel;

void pollTick(Panel& p);
// The station's work while a word plays: the rig server's clients are answered from what Korvel
// knows, and a client's command for the radio goes out between the exchanges of the key under way.
void serveStationWhileSpeaking(Panel& p);

// Between ticks the relay need not wait for the timer: input on the pass-through port is relayed
// at once while the line is free, and a relayed command's answer is passed back the moment it is
// complete. These are the ports whose input is to wake the program for that, as things stand.
std::vector<platform::InputHandle> portsToWatch(Panel& p);
// Input on a watched port.
void portInput(Panel& p);

}  // namespace korvel
