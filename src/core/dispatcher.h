// The main window's event handler: close, timer tick, key up, and the ordered key-down chain.
#pragma once

#include "platform/window_system.h"

namespace korvel {
struct Panel;

void handleEvent(Panel& p, const platform::Event& event);
void handleKeyDown(Panel& p, int key);
// Waits for at least one event, then hands every pending event to handleEvent.
void processEvents(Panel& p);

}  // namespace korvel
