// Space, T and F12: the transmitter on and off, the tune carrier with the antenna tuner, and
// the tuner setting (on, both, off).
#pragma once

namespace korvel {
struct Panel;

void transmitKey(Panel& p);
void tuneKey(Panel& p);
void tunerSettingKey(Panel& p);

}  // namespace korvel
