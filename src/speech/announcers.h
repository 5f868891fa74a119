// Announcers: the radio's state as spoken phrases (frequency, mode, width, meters, power, band,
// keyer speed).
#pragma once

namespace korvel {
struct Panel;

void speakFrequency(Panel& p);
void speakMode(Panel& p);
void speakWidth(Panel& p);
void showSMeter(Panel& p);
void speakSwr(Panel& p);
void speakMeterPeak(Panel& p);
void speakPower(Panel& p);
void speakBand(Panel& p);
void speakKeyerSpeed(Panel& p);

}  // namespace korvel
