// Mode and filter width: the program's mode numbers turned into MD commands, the narrow filter,
// the per-class width index sent as the model's SH command, and the mode keys.
#pragma once

#include <string>

namespace korvel {
struct Panel;

void initModeCommandTable(Panel& p);
// The padded window label of a mode ("LSB    ", "FMN     ", ...); empty for an unknown mode.
std::string modeLabel(int mode);
void applyMode(Panel& p);
// Shows a mode under the radio's own name ("DATA-U") in the mode field.
void showRadioModeName(Panel& p, const std::string& name);
void sendWidth(Panel& p);
void stepWidthUp(Panel& p);
void stepWidthDown(Panel& p);
void cycleMode(Panel& p);
void toggleWideFm(Panel& p);
void toggleDigitalMode(Panel& p);

}  // namespace korvel
