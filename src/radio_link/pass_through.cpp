// PLACEHOLDER: empty bodies until this family is written.
#include "radio_link/pass_through.h"
#include "core/panel.h"

namespace korvel {

void servicePassThrough(Panel&) {}

}  // namespace korvel
