// The phrase player: a word name becomes a file in the wave folder, played to its end.
// A phrase is nothing but consecutive playWord calls; a missing word is silently skipped. With the
// system's speech the words of one announcement are gathered and said as one message of text.
#pragma once

#include <filesystem>
#include <string_view>

namespace korvel {
struct Panel;

// The word whose playing is the CAT pause between a command and its answer: it keeps its recorded
// length at every speech rate.
inline constexpr std::string_view kPauseWord = "delay";

// The file a word name stands for (waveFolder + name, ".wav" added when the name has none),
// matched without regard to letter case; empty when there is no such file.
std::filesystem::path wordFile(Panel& p, std::string_view name);
// Plays the word to its end (the only way the program waits, besides the timer).
void playWord(Panel& p, std::string_view name);
// Starts the word and returns at once; the next playWord cuts it.
void playWordAsync(Panel& p, std::string_view name);
// Speaks a text one character at a time; characters without a word file are silent.
void speakCharacters(Panel& p, std::string_view text);
// Ends the announcement under way (the words one event asked for): with the system's speech its
// words are said now as one message, waited out as a word is; whoever wants its text is told.
void finishAnnouncement(Panel& p);
// Says the words held back while the station was served during an announcement.
void playHeldWords(Panel& p);

}  // namespace korvel
