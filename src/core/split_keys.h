// V and Z: split on and off (the repeater shift on the FM bands), and zero-in (CW) or the
// frequency rounded to whole kilohertz.
#pragma once

namespace korvel {
struct Panel;

void splitKey(Panel& p);
void zeroInKey(Panel& p);

}  // namespace korvel
