// State of the phrase player: where word files are looked for, and who hears the transcript.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "platform/sound_output.h"
#include "platform/speech_output.h"

namespace korvel::speech {

inline constexpr const char* kWaveFolder = "wave/";

struct SpeechState {
  // Prefix of every word file, relative to the station folder; the poll cycle points it at "xx"
  // (a folder that does not exist) to update the S-meter display without a sound.
  std::string waveFolder = kWaveFolder;
  // Receives the name of every word actually played, one per line; null when not wanted.
  std::ostream* transcript = nullptr;
  bool announcingTxFrequency = false;
  // The pace every word but the CAT pause is played at, in percent of the recorded pace.
  int speedPercent = platform::kAsRecorded;
  // Speech gives way to the next key: a key waiting cuts the word playing and the rest of the
  // announcement (the CAT pauses still keep their length, so the radio sees the same commands).
  bool interruptSpeech = false;
  // The announcement under way has given way; cleared when the next event is taken.
  bool gaveWay = false;
  // The station's work while a word plays (the rig server's clients and their radio commands),
  // set up at start-up; empty: a word is only waited out.
  std::function<void()> whileSpeaking;
  // True while that work runs: the words it asks for (a client's "tx on") are held, and said once
  // the announcement under way has ended.
  bool holdingWords = false;
  std::vector<std::string> heldWords;
  // The system's speech (speech-dispatcher, SAPI): each announcement is one message of text in the
  // operator's own voice. Null: the word files speak, as they always have.
  platform::SpeechOutput* system = nullptr;
  // The words of the announcement under way, gathered for the system's speech and for `announced`;
  // the announcement ends with the event that asked for it.
  std::vector<std::string> announcementWords;
  // Told the text of each announcement once it has been spoken (the braille display shows it);
  // empty when nobody wants it.
  std::function<void(const std::string&)> announced;
  // The word list's texts by word name, and which list file (and version of it) they came from.
  std::map<std::string, std::string> wordTexts;
  std::string wordListStamp;
  // Lower-case file name -> real file name, per folder, for case-insensitive word lookup.
  std::map<std::filesystem::path, std::map<std::string, std::string>> folderIndex;
};

}  // namespace korvel::speech
