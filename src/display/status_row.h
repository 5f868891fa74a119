// The status row at y 250: which receiver and transmitter functions are on, and the tone.
#pragma once

namespace korvel {
struct Panel;

void showStatusRow(Panel& p);

}  // namespace korvel
