// PLACEHOLDER: empty bodies until this family is written.
#include "core/poll_cycle.h"
#include "core/panel.h"

namespace korvel {

void pollTick(Panel&) {}

}  // namespace korvel
