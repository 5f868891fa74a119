// PLACEHOLDER: empty bodies until this family is written.
#include "functions/mode.h"
#include "core/panel.h"

namespace korvel {

void initModeCommandTable(Panel&) {}
std::string modeLabel(int) { return {}; }
void applyMode(Panel&) {}
void sendWidth(Panel&) {}
void stepWidthUp(Panel&) {}
void stepWidthDown(Panel&) {}
void cycleMode(Panel&) {}
void toggleWideFm(Panel&) {}
void toggleDigitalMode(Panel&) {}

}  // namespace korvel
