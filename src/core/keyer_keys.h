// K: keyer speed mode, which puts the radio in CW until it is left and then restores the mode
// and break-in.
#pragma once

namespace korvel {
struct Panel;

void keyerSpeedKey(Panel& p);

}  // namespace korvel
