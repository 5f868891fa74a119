// The pass-through as the program lives with it: the relay's turns on the radio line, and what the
// program follows of each relayed command (a mode the other program set, a frequency the radio answered).
#pragma once

namespace korvel {
struct Panel;

// The relay's turn: commands answered here, then the next one forwarded. True while its answer is
// awaited: until then the line is the relay's and the poll sends nothing.
bool servicePassThrough(Panel& p);
// A tick while the relay holds the line; true when its exchange is over and the line free again.
bool passThroughWaitTick(Panel& p);
// Radio input between ticks while the relay holds the line; true when its exchange is over.
bool passThroughAnswerInput(Panel& p);
// A rig-server client's finished exchange: its answer, and what the program follows of it.
void followRigExchange(Panel& p);

}  // namespace korvel
