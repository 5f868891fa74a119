// Sound output: plays one WAV file, either to its end or in the background.
// Starting a file cuts whatever still plays in the background.
#pragma once

#include <filesystem>

namespace korvel::platform {

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // Plays the file and returns when it has (all but) finished. A missing or unreadable file returns
  // false at once and makes no sound.
  virtual bool play(const std::filesystem::path& file) = 0;
  // Starts the file and returns at once; false when it cannot be played.
  virtual bool playAsync(const std::filesystem::path& file) = 0;
  // Cuts any sound still playing.
  virtual void stop() = 0;
};

}  // namespace korvel::platform
