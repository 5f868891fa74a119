// PLACEHOLDER: empty bodies until this family is written.
#include "radio_link/connection.h"
#include "core/panel.h"

namespace korvel {

void handleFrequencyReply(Panel&) {}
void connectRadio(Panel&) {}
void bandFromFrequency(Panel&) {}
void sendFrequency(Panel&) {}
void snapToKilohertz(Panel&) {}

}  // namespace korvel
