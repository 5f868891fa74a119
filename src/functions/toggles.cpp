// PLACEHOLDER: empty bodies until this family is written.
#include "functions/toggles.h"
#include "core/panel.h"

namespace korvel {

void togglePreamp(Panel&) {}
void toggleAttenuator(Panel&) {}
void toggleNoiseBlanker(Panel&) {}
void toggleNoiseReduction(Panel&) {}
void toggleNotch(Panel&) {}
void cycleContour(Panel&) {}
void toggleProcessor(Panel&) {}

}  // namespace korvel
