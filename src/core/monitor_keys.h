// F9, F11 and L: the monitor on and off, the mic gain read with its metering, and the level
// key of the function switched on last.
#pragma once

namespace korvel {
struct Panel;

void monitorKey(Panel& p);
void micGainKey(Panel& p);
void endMicMetering(Panel& p);
void functionLevelKey(Panel& p);

}  // namespace korvel
