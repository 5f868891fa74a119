// X and its second meanings: the extended state on and off, AGC stepping and the VFO swap
// (which also swaps the band record's two frequencies).
#pragma once

namespace korvel {
struct Panel;

void extendedKey(Panel& p);
void agcKey(Panel& p);
void swapKey(Panel& p);

}  // namespace korvel
