// PLACEHOLDER: empty bodies until this family is written.
#include "speech/phrase_player.h"
#include "core/panel.h"

namespace korvel {

std::filesystem::path wordFile(Panel&, std::string_view) { return {}; }
void playWord(Panel&, std::string_view) {}
void playWordAsync(Panel&, std::string_view) {}
void speakCharacters(Panel&, std::string_view) {}

}  // namespace korvel
