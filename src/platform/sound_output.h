// Sound output: plays one WAV file, either to its end or in the background, at the speech rate asked.
// Starting a file cuts whatever still plays in the background.
#pragma once

#include <filesystem>
#include <functional>

namespace korvel::platform {

// Speech rate in percent of the recorded pace: 100 plays a word as it was recorded.
inline constexpr int kAsRecorded = 100;

// How one word is to be played.
struct Pace {
  // Percent of the recorded pace; faster words keep their pitch.
  int speedPercent = kAsRecorded;
  // Asked now and then while a blocking word plays: true cuts the word at once. Empty: the word
  // plays to its end.
  std::function<bool()> giveWay;
  // Called every few milliseconds (kMeanwhileLookMs) while a blocking word plays: the rest of the
  // station (the rig server's clients, the radio line) is served there. It plays no sound.
  std::function<void()> meanwhile;
};

// How often a blocking play looks at giveWay and calls meanwhile.
inline constexpr int kMeanwhileLookMs = 5;

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // Plays the file and returns when it has (all but) finished, or when pace.giveWay said so. A
  // missing or unreadable file returns false at once and makes no sound.
  virtual bool play(const std::filesystem::path& file, const Pace& pace = {}) = 0;
  // Starts the file and returns at once; false when it cannot be played.
  virtual bool playAsync(const std::filesystem::path& file, const Pace& pace = {}) = 0;
  // Cuts any sound still playing.
  virtual void stop() = 0;
};

}  // namespace korvel::platform
