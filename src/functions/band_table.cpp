// PLACEHOLDER: empty bodies until this family is written.
#include "functions/band_table.h"
#include "core/panel.h"

namespace korvel {

void initBandTable(Panel&) {}
void saveBandState(Panel&) {}
void recallBand(Panel&) {}
void stepBandUp(Panel&) {}
void stepBandDown(Panel&) {}
void jumpToBand(Panel&, int) {}
void bandFromMegahertz(Panel&, long) {}
void storeModeInBand(Panel&) {}
int topBand(const Panel&) { return 0; }

}  // namespace korvel
