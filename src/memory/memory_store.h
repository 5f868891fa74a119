// The memory store file savmem.dat: band table, current band and the 100 channels.
#pragma once

namespace korvel {
struct Panel;

void initMemorySlots(Panel& p);
void loadMemoryBanks(Panel& p);
void saveMemoryBanks(Panel& p);

}  // namespace korvel
