// Receiver and transmitter function toggles: each sends the command for the opposite of the
// program's flag, speaks the function and "on"/"off", and flips the flag.
#pragma once

namespace korvel {
struct Panel;

void togglePreamp(Panel& p);
void toggleAttenuator(Panel& p);
void toggleNoiseBlanker(Panel& p);
void toggleNoiseReduction(Panel& p);
void toggleNotch(Panel& p);
void cycleContour(Panel& p);
void toggleProcessor(Panel& p);
// F8: break-in in CW, VOX in the other modes.
void toggleBreakIn(Panel& p);
void toggleVox(Panel& p);

}  // namespace korvel
