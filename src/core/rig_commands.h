// The commands the rig server offers, one row each (rigctld's letter and name, arguments, answer
// form, how Korvel answers it, what it follows of it, what it announces of it), and what serving
// them needs to know of the program: its mode by Hamlib's name, the VFO a client names, and what a
// setting's outcome tells the client.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "radio_link/rig_cat.h"
#include "radio_link/rig_protocol.h"

namespace korvel {
struct Panel;

rig::CommandBook rigCommands();
// What the commands do, as \dump_caps and \dump_state announce it ("set Frequency", ...).
std::vector<std::string> rigAbilities();

// The mode the program is in, by Hamlib's name (a mode shown under the radio's own name included).
const rig::ModeRow* currentModeRow(const Panel& p);
// 'A' or 'B' for a client's VFO name ("VFOA", "Main", "currVFO", "VFOB", "Sub", ...).
std::optional<char> vfoOfName(std::string_view name);
// What a client hears of its setting from what came back behind it: taken (the answer to the
// question sent after it), refused ("?;": rigctld's "rejected"), or nothing before the deadline.
rig::Answer settingOutcome(const std::string& answer);

}  // namespace korvel
