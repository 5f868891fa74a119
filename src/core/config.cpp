// PLACEHOLDER: empty bodies until this family is written.
#include "core/config.h"
#include "core/panel.h"

namespace korvel {

bool readConfiguration(Panel&) { return false; }
void readConfiguration(Panel&, std::istream&) {}

}  // namespace korvel
