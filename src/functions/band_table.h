// The band table: each band remembers where the operator last was; leaving a band saves the
// radio's state into its record, arriving sends the record back. Also band stepping and jumps.
#pragma once

namespace korvel {
struct Panel;

void initBandTable(Panel& p);
void saveBandState(Panel& p);
// saveBandState for a key that leaves the band; skipped when the band has been left again before the
// radio reported the last one reached (the last reply then tells of a band already left).
void saveBandStateOnLeaving(Panel& p);
void recallBand(Panel& p);
void stepBandUp(Panel& p);
void stepBandDown(Panel& p);
// n is 11, 12, 13 or 15 (general coverage).
void jumpToBand(Panel& p, int n);
void bandFromMegahertz(Panel& p, long mhz);
void storeModeInBand(Panel& p);
// The band a whole-megahertz frequency lies in (14, general coverage, outside the amateur bands).
// A typed frequency may reach 439 MHz, a reported one 449 MHz: the caller says where 70 cm ends.
int bandOfMegahertz(long mhz, long top70cmMhz);
// The band of a reported frequency becomes currentBand; true when its record may take the current
// mode.
bool bandFromFrequency(Panel& p, long long hz);
// The top band that bandCoverage names (10, 11, 12 or 13).
int topBand(const Panel& p);

}  // namespace korvel
