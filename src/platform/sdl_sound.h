// Word files through SDL2 audio: one device kept open and running for the whole run, words queued
// back to back in the device's own format, decoded (and sped up) words cached by path, modification
// time and speech rate.
#pragma once

#include <SDL.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/sound_output.h"

namespace korvel::platform {

// The device runs from construction to destruction and plays silence between words: a device that
// sleeps between words clips the first syllable of the next one. A blocking play returns when at
// most 23 ms (two device buffers) of its word are still queued, so the next word is queued behind
// it before the device runs dry and no gap is added between words. When no real device opens, SDL's "dummy"
// driver takes its place (said once on stderr) and words still take their real time.
class SdlSoundOutput : public SoundOutput {
 public:
  SdlSoundOutput();
  ~SdlSoundOutput() override;
  SdlSoundOutput(const SdlSoundOutput&) = delete;
  SdlSoundOutput& operator=(const SdlSoundOutput&) = delete;

  bool play(const std::filesystem::path& file, const Pace& pace = {}) override;
  bool playAsync(const std::filesystem::path& file, const Pace& pace = {}) override;
  void stop() override;

  // False when not even the dummy driver could be opened (then every play returns false).
  bool ready() const { return device_ != 0; }
  // The SDL audio driver in use ("pulseaudio", "alsa", "dummy", "disk", ...), "" when none.
  std::string driverName() const { return driver_; }
  // The device format words are converted to.
  const SDL_AudioSpec& deviceSpec() const { return spec_; }

 private:
  using Clock = std::chrono::steady_clock;

  struct Word {
    std::filesystem::file_time_type modified{};
    std::uintmax_t size = 0;
    std::vector<Uint8> samples;  // already in the device format and at the speech rate
  };

  bool openDevice();
  // The word's samples in device format at the speech rate, from the cache or freshly decoded and
  // sped up; null when unplayable.
  const Word* load(const std::filesystem::path& file, int speedPercent);
  bool start(const std::filesystem::path& file, const Pace& pace, bool background);
  double bytesPerMs() const;

  SDL_AudioDeviceID device_ = 0;
  bool subsystemUp_ = false;
  SDL_AudioSpec spec_{};
  std::string driver_;
  bool backgroundQueued_ = false;
  // When the audio queued so far will have been played, by the wall clock. With the dummy driver,
  // which has no hardware to pace it, a blocking play also waits for this, so a word lasts its
  // real length even where that driver takes data faster than real time. Real devices are paced
  // by the queue alone: their clock may drift from ours, and the queue is what matters for gaps.
  bool paceByClock_ = false;
  Clock::time_point playedBy_{};
  std::unordered_map<std::string, Word> cache_;
};

}  // namespace korvel::platform
