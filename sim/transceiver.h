// A simulated Yaesu transceiver: a CAT state machine that keeps what set commands change and
// answers queries the way the real radios do. Used in-process by tests and by korvel-sim.
#pragma once

#include <string>
#include <string_view>

namespace korvel::sim {

class Transceiver {
 public:
  explicit Transceiver(int model = 761);

  // Bytes from the computer in; the bytes the radio answers with out (empty for settings).
  // Commands may arrive split across calls; an unknown command is answered with "?;".
  std::string receive(std::string_view bytes);

  int model() const { return model_; }

 private:
  int model_;
  std::string pending_;
};

}  // namespace korvel::sim
