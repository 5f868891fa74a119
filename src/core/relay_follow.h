// The pass-through as the program lives with it: each relayed command, then what the program
// follows of it (a mode the other program set, a frequency the radio answered).
#pragma once

namespace korvel {
struct Panel;

void servicePassThrough(Panel& p);

}  // namespace korvel
