// PLACEHOLDER: empty bodies until this family is written.
#include "radio_link/radio_models.h"
#include "core/panel.h"

namespace korvel {

const RadioModel& radioModel(int) { static RadioModel empty; return empty; }
std::vector<std::string> offsetMenuCommands(int, const std::string&, const std::string&, const std::string&, const std::string&) { return {}; }

}  // namespace korvel
