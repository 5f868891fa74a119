// The up and down keys: adjust whatever the key state selects, clamp, send, say "max"/"min".
#pragma once

namespace korvel {
struct Panel;

void levelUp(Panel& p);
void levelDown(Panel& p);

}  // namespace korvel
