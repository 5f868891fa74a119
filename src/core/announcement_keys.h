// F and O: the frequency announcement (also the repeater's transmit frequency or VFO A in the
// extended state), and the status report of what is switched on.
#pragma once

namespace korvel {
struct Panel;

void announceFrequencyKey(Panel& p);
void statusReport(Panel& p);

}  // namespace korvel
