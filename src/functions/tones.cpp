// PLACEHOLDER: empty bodies until this family is written.
#include "functions/tones.h"
#include "core/panel.h"

namespace korvel {

void validateToneEntry(Panel&) {}
void applyTone(Panel&) {}
void restoreRepeaterDefaults(Panel&) {}
void toggleRepeaterShift(Panel&) {}
void splitOn(Panel&) {}
void splitOff(Panel&) {}

}  // namespace korvel
