// PLACEHOLDER: empty bodies until the channel operations are written.
#include "memory/channel_ops.h"
#include "core/panel.h"

namespace korvel {

void storeChannel(Panel&, int) {}
void recallChannel(Panel&, int) {}
void stepChannel(Panel&) {}

}  // namespace korvel
