// PLACEHOLDER: empty bodies until this family is written.
#include "core/dispatcher.h"
#include "core/panel.h"

namespace korvel {

void handleEvent(Panel&, const platform::Event&) {}
void handleKeyDown(Panel&, int) {}

}  // namespace korvel
