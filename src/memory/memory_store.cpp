// PLACEHOLDER: empty bodies until this family is written.
#include "memory/memory_store.h"
#include "core/panel.h"

namespace korvel {

void initMemorySlots(Panel&) {}
void loadMemoryBanks(Panel&) {}
void saveMemoryBanks(Panel&) {}

}  // namespace korvel
