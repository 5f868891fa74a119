// Commands the dispatcher carries out itself: quit, transmit, tune and tuner, voice messages,
// AGC, VFO swap, monitor, mic gain metering, keyer speed, split, zero-in, announcements.
#pragma once

namespace korvel {
struct Panel;

void quitKey(Panel& p);
void transmitKey(Panel& p);
void tuneKey(Panel& p);
void tunerSettingKey(Panel& p);
void voiceRecordKey(Panel& p);
void voicePlayKey(Panel& p);
void voiceSlotDigit(Panel& p, int digit);
void agcKey(Panel& p);
void swapKey(Panel& p);
void extendedKey(Panel& p);
void keyerSpeedKey(Panel& p);
void monitorKey(Panel& p);
void micGainKey(Panel& p);
void endMicMetering(Panel& p);
void functionLevelKey(Panel& p);
void splitKey(Panel& p);
void zeroInKey(Panel& p);
void announceFrequencyKey(Panel& p);
void statusReport(Panel& p);
}  // namespace korvel
