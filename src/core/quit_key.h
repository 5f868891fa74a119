// Q: quit. With a radio connected the transmitter is released first and the poll cycle
// counts down to the end of the program.
#pragma once

namespace korvel {
struct Panel;

void quitKey(Panel& p);

}  // namespace korvel
