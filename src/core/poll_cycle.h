// The poll cycle: one timer tick sends a query, the next reads what has arrived and hands it on.
#pragma once

namespace korvel {
struct Panel;

void pollTick(Panel& p);

}  // namespace korvel
