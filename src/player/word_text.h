// What the words say as text, for the system's speech and the braille display: the word list beside
// the word files (words.tsv: word name, a TAB, the text) and an announcement's words as one message.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {
struct Panel;

// The word list's file name in the wave folder.
inline constexpr std::string_view kWordListName = "words.tsv";

// Word name (lower case, no ".wav") -> the text it says. A word rendered without speech (a silence,
// a tone) has no text; "@file NAME" gives the text of that file beside the list.
std::map<std::string, std::string> readWordList(const std::filesystem::path& file);
// A word name as the list spells it: lower case, without ".wav".
std::string listName(std::string_view name);
// The words as one message, each through its text. Digits run together and a "point" between digits
// becomes ".", so that "1 4 point 2 mhz" reads "14.2 megahertz" in the synthesizer's own way;
// words without a text are left out.
std::string messageText(const std::map<std::string, std::string>& texts, const std::vector<std::string>& words);

// The text of one word in the station's word list (read again when the list changes); empty when
// the list does not give it one.
std::string wordText(Panel& p, std::string_view name);
// The words as one message, through the station's word list.
std::string messageText(Panel& p, const std::vector<std::string>& words);

}  // namespace korvel
