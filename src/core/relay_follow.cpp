#include "core/relay_follow.h"

#include <string>

#include "core/connection.h"
#include "functions/mode.h"
#include "radio_link/pass_through.h"
#include "state/panel.h"
#include "state/text.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

// The program's own number for a relayed mode command ("MD04" is FM, program mode 7); 0 when the
// command names a mode the program has no number for.
int modeOfCommand(const Panel& p, const std::string& command) {
  const std::string wanted = left(command, 4);
  const auto& table = p.mode.modeCommandTable;
  for (std::size_t mode = mode_number::kFirst; mode < table.size(); ++mode) {
    if (!table[mode].empty() && table[mode] == wanted) return static_cast<int>(mode);
  }
  return 0;
}

}  // namespace

void servicePassThrough(Panel& p) {
  const RelayOutcome outcome = relayCommand(p);
  if (!outcome.modeCommand.empty()) {
    // The radio changes mode; the program follows without sending a mode command of its own.
    if (const int mode = modeOfCommand(p, outcome.modeCommand); mode > 0) {
      p.mode.currentMode = mode;
      applyMode(p);
    }
  } else if (outcome.frequencyAnswered) {
    handleFrequencyReply(p);
  }
}

}  // namespace korvel
