// PLACEHOLDER: empty bodies until this family is written.
#include "core/startup.h"
#include "core/panel.h"

namespace korvel {

bool startUp(Panel&) { return false; }
void shutDown(Panel&) {}
int runProgram(Panel&) { return 0; }
void setStartValues(Panel&) {}

}  // namespace korvel
