// CTCSS and DCS tones, the repeater shift with each band's direction, and split operation.
#pragma once

namespace korvel {
struct Panel;

void validateToneEntry(Panel& p);
void applyTone(Panel& p);
void restoreRepeaterDefaults(Panel& p);
void toggleRepeaterShift(Panel& p);
void splitOn(Panel& p);
void splitOff(Panel& p);

}  // namespace korvel
