// What SDL's disk driver hands the sound device, read from a pipe as it is written: when each
// sound starts, every byte of an answer and when it arrived, and the words found in it sample for
// sample (at the speech rate they were played at).
#pragma once

#include <SDL.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "platform/sound_output.h"
#include "platform/speech_speed.h"

namespace korvel::bench {

using Bytes = std::vector<Uint8>;

// Where each device buffer of an answer starts in its captured bytes, and when it arrived.
struct Arrival {
  std::size_t offset;
  Clock::time_point at;
};

// Reads what the disk driver hands over, one device buffer per write, and times its sounds.
class SampleTap {
 public:
  explicit SampleTap(const fs::path& pipe) {
    mkfifo(pipe.c_str(), 0600);
    fd_ = open(pipe.c_str(), O_RDWR);  // read and write: SDL's open for writing does not block
    thread_ = std::jthread([this](std::stop_token stop) { run(stop); });
  }
  ~SampleTap() {
    thread_.request_stop();
    thread_.join();
    if (fd_ >= 0) close(fd_);
  }
  void arm() {
    std::lock_guard hold(lock_);
    capture_.clear();
    arrivals_.clear();
    answerStart_.reset();
    armed_ = true;
  }
  // Ends the answer: its first sound, if any, and every byte handed over since arm() with the
  // moments its buffers arrived.
  std::optional<Clock::time_point> disarm(Bytes& stream, std::vector<Arrival>* arrivals = nullptr) {
    std::lock_guard hold(lock_);
    armed_ = false;
    stream.swap(capture_);
    if (arrivals != nullptr) arrivals->swap(arrivals_);
    return answerStart_;
  }
  // When the sample at `offset` of an answer was handed to the device: its buffer's arrival, plus
  // its place inside that buffer.
  Clock::time_point handedAt(const std::vector<Arrival>& arrivals, std::size_t offset) const {
    auto it = std::upper_bound(arrivals.begin(), arrivals.end(), offset,
                               [](std::size_t o, const Arrival& a) { return o < a.offset; });
    if (it == arrivals.begin()) return arrivals.empty() ? Clock::time_point{} : arrivals.front().at;
    --it;
    return it->at + std::chrono::microseconds(
                        static_cast<long long>((offset - it->offset) * 1e6 / std::max(1, bytesPerSecond)));
  }
  bool heardSinceArm() {
    std::lock_guard hold(lock_);
    return answerStart_.has_value();
  }
  bool quietFor(Clock::duration span) {
    std::lock_guard hold(lock_);
    return !lastSound_ || Clock::now() - *lastSound_ >= span;
  }
  std::optional<Clock::time_point> firstSoundEver() {
    std::lock_guard hold(lock_);
    return firstEver_;
  }
  long long mergedReads() const { return merged_; }
  std::size_t bufferBytes = 0;  // set once the device is open
  int bytesPerSecond = 0;

 private:
  void run(std::stop_token stop) {
    pthread_setname_np(pthread_self(), "bench-tap");
    Bytes chunk(1 << 16);
    while (!stop.stop_requested()) {
      pollfd wait{fd_, POLLIN, 0};
      if (poll(&wait, 1, 100) <= 0) continue;
      const ssize_t got = read(fd_, chunk.data(), chunk.size());
      const auto at = Clock::now();
      if (got <= 0) continue;
      const auto n = static_cast<std::size_t>(got);
      std::lock_guard hold(lock_);
      if (bufferBytes != 0 && n > bufferBytes) ++merged_;
      std::size_t first = n;
      for (std::size_t i = 0; i < n; ++i) {
        if (chunk[i] != 0) {
          first = i & ~std::size_t{1};
          break;
        }
      }
      if (first < n) {
        // The sample plays its offset into the buffer after the buffer's first one.
        const auto when = at + std::chrono::microseconds(static_cast<long long>(first * 1e6 / std::max(1, bytesPerSecond)));
        if (!firstEver_) firstEver_ = when;
        if (armed_ && !answerStart_) answerStart_ = when;
        lastSound_ = at;
      }
      if (armed_) {
        arrivals_.push_back({capture_.size(), at});
        capture_.insert(capture_.end(), chunk.begin(), chunk.begin() + got);
      }
    }
  }

  int fd_ = -1;
  std::mutex lock_;
  bool armed_ = false;
  Bytes capture_;
  std::vector<Arrival> arrivals_;
  std::optional<Clock::time_point> answerStart_, lastSound_, firstEver_;
  std::atomic<long long> merged_{0};
  std::jthread thread_;
};

// Where word starts in stream, at or after from (its first samples matched, frame aligned).
std::optional<std::size_t> findWord(const Bytes& stream, const Bytes& word, std::size_t from) {
  if (word.empty()) return from;
  const std::size_t prefix = std::min<std::size_t>(word.size(), 512);
  auto at = stream.begin() + static_cast<long>(std::min(from, stream.size()));
  for (;;) {
    at = std::search(at, stream.end(), word.begin(), word.begin() + static_cast<long>(prefix));
    if (at == stream.end()) return std::nullopt;
    const auto pos = static_cast<std::size_t>(at - stream.begin());
    if ((pos - from) % 2 == 0) return pos;
    ++at;
  }
}

// The samples of a word file at a speech rate, as the device gets them (the voice is in the
// device format; a faster word goes through Sonic as the player's does, which gives the same
// samples every time).
const Bytes& wordSamples(std::map<std::string, Bytes>& cache, const std::string& file,
                         int speedPercent = platform::kAsRecorded) {
  auto [it, fresh] = cache.try_emplace(file + '\n' + std::to_string(speedPercent));
  if (!fresh) return it->second;
  SDL_AudioSpec spec{};
  Uint8* data = nullptr;
  Uint32 length = 0;
  if (SDL_LoadWAV(file.c_str(), &spec, &data, &length) == nullptr) return it->second;
  it->second.assign(data, data + length);
  SDL_FreeWAV(data);
  if (speedPercent != platform::kAsRecorded && spec.format == AUDIO_S16SYS) {
    std::vector<std::int16_t> pcm(it->second.size() / sizeof(std::int16_t));
    std::memcpy(pcm.data(), it->second.data(), pcm.size() * sizeof(std::int16_t));
    pcm = platform::speedUpSpeech(pcm, spec.freq, spec.channels, speedPercent);
    it->second.resize(pcm.size() * sizeof(std::int16_t));
    std::memcpy(it->second.data(), pcm.data(), it->second.size());
  }
  return it->second;
}

}  // namespace korvel::bench
