// PLACEHOLDER: empty bodies until this family is written.
#include "speech/announcers.h"
#include "core/panel.h"

namespace korvel {

void speakFrequency(Panel&) {}
void speakMode(Panel&) {}
void speakWidth(Panel&) {}
void showSMeter(Panel&) {}
void speakSwr(Panel&) {}
void speakMeterPeak(Panel&) {}
void speakPower(Panel&) {}
void speakBand(Panel&) {}
void speakKeyerSpeed(Panel&) {}
void toggleBreakIn(Panel&) {}
void toggleVox(Panel&) {}

}  // namespace korvel
