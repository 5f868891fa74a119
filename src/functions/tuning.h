// Tuning: the frequency steps of the tuning keys and of Up/Down in state 0, the FM squelch on the
// arrows, and the frequency re-send that ends the key chain.
#pragma once

namespace korvel {
struct Panel;

// The tuning keys (=, -, Page Up/Down, Right, Left); false when the key ends the chain (squelch).
bool tuningKey(Panel& p, int key);
// Moves frequencyHz by step unless that would reach or pass 0 Hz.
void tuneBy(Panel& p, long long step);
// "FA" + nine digits of frequencyHz.
void resendFrequency(Panel& p);

}  // namespace korvel
