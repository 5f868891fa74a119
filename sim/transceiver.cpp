// PLACEHOLDER: answers nothing until the state machine is written.
#include "transceiver.h"

namespace korvel::sim {

Transceiver::Transceiver(int model) : model_(model) {}

std::string Transceiver::receive(std::string_view bytes) {
  pending_ += bytes;
  return {};
}

}  // namespace korvel::sim
