// Memory channel store, recall and stepping through a bank.
#pragma once

namespace korvel {
struct Panel;

void storeChannel(Panel& p, int slot);
void recallChannel(Panel& p, int slot);
void stepChannel(Panel& p);

}  // namespace korvel
