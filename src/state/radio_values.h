// Values the radio reports, as the program keeps them once a reply has been read.
#pragma once

#include <string>

namespace korvel {

enum class Vfo { A, B };

// A whole frequency reply: which VFO it tells of, and its frequency.
struct FrequencyReply {
  Vfo vfo = Vfo::A;
  long long hz = 0;
  std::string digits;  // the nine digits the frequency was read from
};

}  // namespace korvel
