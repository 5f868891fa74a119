// Start-up and shutdown: announce, configure, set start values, tune the start band, run the
// event loop until running is 0, then shut down in order.
#pragma once

namespace korvel {
struct Panel;

// Everything before the event loop; false when the program must end at once (no korvel.cfg).
bool startUp(Panel& p);
void shutDown(Panel& p);
// startUp, the event loop, shutDown. Returns the exit code.
int runProgram(Panel& p);
// Start values and tables (no window, no port): what a test needs before driving the dispatcher.
void setStartValues(Panel& p);

}  // namespace korvel
