#include "player/phrase_player.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "player/word_text.h"
#include "state/panel.h"

namespace korvel {

namespace {

std::string lowerCase(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

bool hasExtension(std::string_view name) {
  const auto dot = name.rfind('.');
  return dot != std::string_view::npos && dot + 1 < name.size() && name.find('/', dot) == std::string_view::npos;
}

// The folder's files by lower-case name. Built on first use and rebuilt when the folder changes,
// so a user who drops in a recording of their own is heard without a restart.
const std::map<std::string, std::string>& folderIndex(Panel& p, const std::filesystem::path& dir) {
  std::error_code ec;
  auto& index = p.speech.folderIndex[dir];
  const auto stamp = std::filesystem::last_write_time(dir, ec);
  const std::string stampKey = ec ? std::string() : std::to_string(stamp.time_since_epoch().count());
  const auto it = index.find("\x01stamp");
  if (it != index.end() && it->second == stampKey) return index;
  index.clear();
  index["\x01stamp"] = stampKey;
  if (!ec) {
    for (auto entry = std::filesystem::directory_iterator(dir, ec);
         !ec && entry != std::filesystem::directory_iterator(); entry.increment(ec)) {
      const std::string file = entry->path().filename().string();
      index.emplace(lowerCase(file), file);
    }
  }
  return index;
}

}  // namespace

std::filesystem::path wordFile(Panel& p, std::string_view name) {
  if (name.empty()) return {};
  std::string file(name);
  if (!hasExtension(name)) file += ".wav";
  const std::filesystem::path wanted = p.folder / (p.speech.waveFolder + file);
  std::error_code ec;
  if (std::filesystem::is_regular_file(wanted, ec)) return wanted;
  // Word names are matched without regard to case: "SWR" finds swr.wav.
  const auto dir = wanted.parent_path();
  if (!std::filesystem::is_directory(dir, ec)) return {};
  const auto& index = folderIndex(p, dir);
  const auto hit = index.find(lowerCase(wanted.filename().string()));
  if (hit == index.end()) return {};
  return dir / hit->second;
}

namespace {

void writeTranscript(Panel& p, std::string_view name) {
  if (p.speech.transcript == nullptr) return;
  std::string word(name);
  if (word.size() > 4 && lowerCase(word.substr(word.size() - 4)) == ".wav") word.resize(word.size() - 4);
  *p.speech.transcript << word << '\n' << std::flush;
}

platform::Pace paceOf(const Panel& p, std::string_view name) {
  platform::Pace pace;
  if (lowerCase(name) != kPauseWord) pace.speedPercent = p.speech.speedPercent;
  return pace;
}

// Words asked for while the station is served in the middle of a word wait for the announcement to
// end; a CAT pause there would wait for nothing, and is left out.
bool heldBack(Panel& p, std::string_view name) {
  if (!p.speech.holdingWords) return false;
  if (lowerCase(name) != kPauseWord) p.speech.heldWords.emplace_back(name);
  return true;
}

bool isPause(std::string_view name) { return lowerCase(name) == kPauseWord; }

// With the system's speech a spoken word becomes part of the announcement's message, said when the
// announcement ends; the CAT pause and the words that are no speech (a silence, a tone) still play
// from their files. True when the word was taken (or left out, speech having given way).
bool gatherForMessage(Panel& p, std::string_view name) {
  if (p.speech.system == nullptr || isPause(name) || wordText(p, name).empty()) return false;
  if (p.speech.interruptSpeech) {
    if (p.speech.gaveWay) return true;
    if (p.window.keyWaiting()) {
      p.speech.gaveWay = true;
      return true;
    }
  }
  writeTranscript(p, name);
  p.speech.announcementWords.emplace_back(name);
  return true;
}

// A word played from its file is part of the announcement's text for whoever wants that text.
void noteWordPlayed(Panel& p, std::string_view name) {
  if (p.speech.announced && !isPause(name)) p.speech.announcementWords.emplace_back(name);
}

platform::Pace messagePace(Panel& p) {
  platform::Pace pace;
  pace.meanwhile = p.speech.whileSpeaking;
  if (p.speech.interruptSpeech) pace.giveWay = [&window = p.window] { return window.keyWaiting(); };
  return pace;
}

}  // namespace

void playWord(Panel& p, std::string_view name) {
  if (heldBack(p, name)) return;
  const auto file = wordFile(p, name);
  if (file.empty()) return;
  if (gatherForMessage(p, name)) return;
  platform::Pace pace = paceOf(p, name);
  pace.meanwhile = p.speech.whileSpeaking;
  const bool pause = isPause(name);
  if (p.speech.interruptSpeech && !pause) {
    if (p.speech.gaveWay) return;
    pace.giveWay = [&window = p.window] { return window.keyWaiting(); };
    if (pace.giveWay()) {
      p.speech.gaveWay = true;
      return;
    }
  }
  writeTranscript(p, name);
  noteWordPlayed(p, name);
  p.sound.play(file, pace);
  if (pace.giveWay && pace.giveWay()) p.speech.gaveWay = true;
}

void playWordAsync(Panel& p, std::string_view name) {
  if (heldBack(p, name)) return;
  const auto file = wordFile(p, name);
  if (file.empty()) return;
  writeTranscript(p, name);
  if (p.speech.system != nullptr && !isPause(name)) {
    const std::string text = messageText(p, {std::string(name)});
    if (!text.empty() && p.speech.system->speakAsync(text)) return;
  }
  noteWordPlayed(p, name);
  p.sound.playAsync(file, paceOf(p, name));
}

void finishAnnouncement(Panel& p) {
  auto& s = p.speech;
  if (s.announcementWords.empty() || s.holdingWords) return;
  const std::vector<std::string> words = std::move(s.announcementWords);
  s.announcementWords.clear();
  const std::string text = messageText(p, words);
  if (text.empty()) return;
  if (s.system != nullptr && !(s.interruptSpeech && s.gaveWay)) {
    platform::Pace pace = messagePace(p);
    if (pace.giveWay && pace.giveWay()) {
      s.gaveWay = true;
    } else if (!s.system->speak(text, pace)) {
      // The synthesizer has gone away: this announcement is said with the word files.
      for (const std::string& word : words) {
        if (const auto file = wordFile(p, word); !file.empty()) p.sound.play(file, paceOf(p, word));
      }
    } else if (pace.giveWay && pace.giveWay()) {
      s.gaveWay = true;
    }
  }
  if (s.announced) s.announced(text);
}

void playHeldWords(Panel& p) {
  if (p.speech.holdingWords) return;
  while (!p.speech.heldWords.empty()) {
    std::vector<std::string> words = std::move(p.speech.heldWords);
    p.speech.heldWords.clear();
    for (const std::string& word : words) playWord(p, word);
  }
}

void speakCharacters(Panel& p, std::string_view text) {
  for (const char c : text) {
    // A blank, a point or a slash would name no word (or a folder); they stay silent.
    if (c == ' ' || c == '/' || c == '.' || c == '\0') continue;
    playWord(p, std::string_view(&c, 1));
  }
}

}  // namespace korvel
