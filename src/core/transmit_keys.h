// Space, T and F12: the transmitter on and off, the tune carrier with the antenna tuner, and
// the tuner setting (on, both, off).
#pragma once

namespace korvel {
struct Panel;

void transmitKey(Panel& p);
// The transmitter keyed and released, as the T key does it: said, and the SWR watch set up. Without
// send the command has already gone out (another program keyed the radio).
void transmitterOn(Panel& p, bool send);
void transmitterOff(Panel& p, bool send);
void tuneKey(Panel& p);
void tunerSettingKey(Panel& p);

}  // namespace korvel
