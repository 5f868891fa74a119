// PLACEHOLDER: empty bodies until this family is written.
#include "radio_link/transport.h"
#include "core/panel.h"

namespace korvel {

void sendCommand(Panel&) {}
void readReply(Panel&) {}
void catPause(Panel&) {}
void sendText(Panel&, std::string) {}
const std::string& queryRadio(Panel&, std::string) { static std::string empty; return empty; }
void setUpPort(Panel&, int) {}

}  // namespace korvel
