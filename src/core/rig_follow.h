// What a rig-server client set, followed by the program as it follows relayed commands (the mode,
// the transmitter, split, the levels it keeps), and the radio's answers to a client's questions.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "radio_link/rig_cat.h"
#include "radio_link/rig_protocol.h"

namespace korvel {
struct Panel;

// The mode the program is in, by Hamlib's name (a mode shown under the radio's own name included).
const rig::ModeRow* currentModeRow(const Panel& p);
// 'A' or 'B' for a client's VFO name ("VFOA", "Main", "currVFO", "VFOB", "Sub", ...).
std::optional<char> vfoOfName(std::string_view name);
// The answer to a client's question from the radio's reply.
// What a client hears of its setting from what came back behind it: taken (the answer to the
// question sent after it), refused ("?;": rigctld's "rejected"), or nothing before the deadline.
rig::Answer settingOutcome(const std::string& answer);
rig::Answer decodeRadioAnswer(const Panel& p, const rig::RigCommand& command, const std::string& reply);
// Follows a setting the radio has had (sent: its CAT text).
void followRigSetting(Panel& p, const rig::RigCommand& command, const std::string& sent);

}  // namespace korvel
