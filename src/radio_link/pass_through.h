// Pass-through: another program talks CAT to the pass-through port; one command at a time is
// relayed to the radio and the radio's answer goes back.
#pragma once

namespace korvel {
struct Panel;

void servicePassThrough(Panel& p);

}  // namespace korvel
