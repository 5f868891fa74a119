// Word files through waveOut: one device kept open while the words share a format, each word one
// queued buffer so that words follow each other without a gap; decoded words cached by file and rate.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/sound_output.h"

namespace korvel::platform {

// A blocking play queues its word behind whatever still plays and returns when no more than the
// last few milliseconds of it are left, so the caller's next word is queued before the device runs
// dry. A word in another format than the device's waits for the queue to drain and reopens the
// device. Without any sound device words are timed by the clock, so they still take their length.
class Win32SoundOutput : public SoundOutput {
 public:
  Win32SoundOutput() = default;
  ~Win32SoundOutput() override;
  Win32SoundOutput(const Win32SoundOutput&) = delete;
  Win32SoundOutput& operator=(const Win32SoundOutput&) = delete;

  bool play(const std::filesystem::path& file, const Pace& pace = {}) override;
  bool playAsync(const std::filesystem::path& file, const Pace& pace = {}) override;
  void stop() override;

  // True while a waveOut device is open (false before the first word and when words are timed by
  // the clock because no device would open).
  bool deviceOpen() const { return device_ != nullptr; }

 private:
  using Clock = std::chrono::steady_clock;

  struct Word {
    std::filesystem::file_time_type modified{};
    std::uintmax_t size = 0;
    std::string format;  // the WAVEFORMATEX bytes, cbSize included
    std::shared_ptr<const std::string> samples;
    double bytesPerMs = 0;
  };
  struct Queued {
    std::unique_ptr<WAVEHDR> header;
    std::shared_ptr<const std::string> samples;  // kept alive until the device is done with it
  };

  // The word at the speech rate, from the cache or freshly read and sped up; null when unplayable.
  const Word* load(const std::filesystem::path& file, int speedPercent);
  bool start(const std::filesystem::path& file, const Pace& pace, bool background);
  // A device open in the word's format; false when none opens (then the clock times the word).
  bool deviceFor(const Word& word);
  void closeDevice();
  void reap();
  // Bytes queued and not yet played.
  std::uint32_t bytesLeft();
  // Waits until no more than `margin` bytes are left, or the device stops moving, or giveWay says
  // so (then the sound is cut); meanwhile is called at every look.
  void waitUntilLeft(std::uint32_t margin, std::chrono::milliseconds longest,
                     const std::function<bool()>& giveWay = {}, const std::function<void()>& meanwhile = {});

  HWAVEOUT device_ = nullptr;
  HANDLE doneEvent_ = nullptr;  // signalled by the device each time a buffer is done
  std::string deviceFormat_;
  double deviceBytesPerMs_ = 0;
  std::uint32_t bytesQueued_ = 0;  // since the device was opened or reset, modulo 2^32 as it counts
  std::deque<Queued> queue_;
  bool deviceFailed_ = false;  // reported once
  bool backgroundQueued_ = false;
  Clock::time_point playedBy_{};  // when the words queued so far will have been played, by the clock
  std::unordered_map<std::string, Word> cache_;
};

}  // namespace korvel::platform
