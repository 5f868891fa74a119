// SDL2 audio for the word player: device set-up with the dummy fallback, word decoding and caching,
// queueing without gaps and the wait of a blocking play.
#include "platform/sdl_sound.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <thread>

#include "platform/speech_speed.h"

namespace korvel::platform {

namespace {

// The format the word files are recorded in. The device is opened in exactly this format and SDL
// converts to the hardware's own behind the queue, so the cache holds words at 44 kB a second
// whatever the sound card wants.
constexpr int kRate = 22050;
constexpr SDL_AudioFormat kFormat = AUDIO_S16SYS;
constexpr Uint8 kChannels = 1;
// The device buffer: 256 frames, 11.6 ms. The device takes the first sample of a word at its next
// buffer, up to one buffer after the word is queued, and plays it a buffer later: a key is heard
// about 1.5 buffers after it is pressed. 512 frames would make that 35 ms.
constexpr Uint16 kBufferSamples = 256;
// A blocking play returns while this many buffers (23 ms) of its word are still queued: the time
// the caller has to queue the next word without a gap, and the moment a pause word ends, are the
// same whatever the buffer size.
constexpr Uint32 kReturnAheadBuffers = 2;

// The longest sleep of a blocking play between looks at the queue, and how often it asks whether to
// give way: a key waits no longer than that before the word playing is cut.
constexpr long long kLongestSleepMs = 100;

// How long a blocking play waits for the device to take any data before it takes the device for
// stuck (a sound server gone away no longer takes data) and starts it anew.
constexpr auto kStallSlack = std::chrono::milliseconds(1000);

// ALSA writes its own lines to stderr when it finds no card (nine of them before SDL gives up on
// it), where the terminal front end keeps its text line. Korvel says in one line of its own what
// the operator needs to know, so ALSA's are dropped. SDL loads the same libasound, so the handler
// reaches its calls too.
extern "C" void dropAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

SdlSoundOutput::SdlSoundOutput() {
  snd_lib_error_set_handler(dropAlsaMessage);
  if (openDevice()) return;
  const std::string reason = SDL_GetError();
  // No usable sound card or server: the dummy driver consumes the queue in real time, so words
  // keep their length (the pause between a query and its reply depends on it).
  SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
  const bool dummy = openDevice();
  SDL_ResetHint(SDL_HINT_AUDIODRIVER);
  if (dummy) {
    std::cerr << "korvel: no sound device (" << reason << "); words play silently\n";
  } else {
    std::cerr << "korvel: no sound at all (" << SDL_GetError() << ")\n";
  }
}

SdlSoundOutput::~SdlSoundOutput() {
  if (device_ != 0) {
    if (!backgroundQueued_) {
      // Let the end of the last word leave the device rather than cutting its final buffer.
      const auto limit = Clock::now() + std::chrono::milliseconds(
          static_cast<long long>(SDL_GetQueuedAudioSize(device_) / bytesPerMs()) + 200);
      while (SDL_GetQueuedAudioSize(device_) > 0 && Clock::now() < limit) SDL_Delay(5);
      SDL_Delay(static_cast<Uint32>(spec_.samples * 1000 / spec_.freq + 10));
    }
    SDL_CloseAudioDevice(device_);
  }
  if (subsystemUp_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  snd_lib_error_set_handler(nullptr);
}

bool SdlSoundOutput::openDevice() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  subsystemUp_ = true;
  SDL_AudioSpec want{};
  want.freq = kRate;
  want.format = kFormat;
  want.channels = kChannels;
  want.samples = kBufferSamples;
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &spec_, 0);
  if (device_ == 0) {
    const std::string reason = SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    subsystemUp_ = false;
    SDL_SetError("%s", reason.c_str());
    return false;
  }
  const char* driver = SDL_GetCurrentAudioDriver();
  driver_ = driver != nullptr ? driver : "";
  paceByClock_ = driver_ == "dummy";
  SDL_PauseAudioDevice(device_, 0);  // running from now on; an empty queue plays silence
  playedBy_ = Clock::now();
  return true;
}

double SdlSoundOutput::bytesPerMs() const {
  return spec_.freq * spec_.channels * (SDL_AUDIO_BITSIZE(spec_.format) / 8) / 1000.0;
}

const SdlSoundOutput::Word* SdlSoundOutput::load(const std::filesystem::path& file, int speedPercent) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return nullptr;
  const auto modified = std::filesystem::last_write_time(file, ec);
  if (ec) return nullptr;
  const auto size = std::filesystem::file_size(file, ec);
  if (ec) return nullptr;

  // The same file at another rate is another word: both stay cached, so a word is sped up once.
  const std::string key = file.string() + '\n' + std::to_string(speedPercent);
  auto found = cache_.find(key);
  if (found != cache_.end() && found->second.modified == modified && found->second.size == size) {
    return &found->second;
  }
  if (found != cache_.end()) cache_.erase(found);

  SDL_AudioSpec source{};
  Uint8* data = nullptr;
  Uint32 length = 0;
  if (SDL_LoadWAV(file.string().c_str(), &source, &data, &length) == nullptr) return nullptr;

  Word word;
  word.modified = modified;
  word.size = size;
  const std::size_t frame = spec_.channels * (SDL_AUDIO_BITSIZE(spec_.format) / 8);
  if (source.format == spec_.format && source.channels == spec_.channels &&
      source.freq == spec_.freq) {
    word.samples.assign(data, data + length);
  } else {
    // SDL 2.26 keeps the last few hundred converted frames inside a resampling stream even after a
    // flush: feed a quarter second of silence behind the word and keep exactly its own length.
    const int sourceFrame = source.channels * (SDL_AUDIO_BITSIZE(source.format) / 8);
    const auto frames = static_cast<long long>(length / static_cast<Uint32>(std::max(1, sourceFrame)));
    const std::vector<Uint8> padding(static_cast<std::size_t>(source.freq / 4 * sourceFrame),
                                     source.format == AUDIO_U8 ? 0x80 : 0);
    SDL_AudioStream* stream = SDL_NewAudioStream(source.format, source.channels, source.freq,
                                                 spec_.format, spec_.channels, spec_.freq);
    if (stream == nullptr || SDL_AudioStreamPut(stream, data, static_cast<int>(length)) != 0 ||
        SDL_AudioStreamPut(stream, padding.data(), static_cast<int>(padding.size())) != 0 ||
        SDL_AudioStreamFlush(stream) != 0) {
      if (stream != nullptr) SDL_FreeAudioStream(stream);
      SDL_FreeWAV(data);
      return nullptr;
    }
    word.samples.resize(static_cast<std::size_t>(SDL_AudioStreamAvailable(stream)));
    const int got = SDL_AudioStreamGet(stream, word.samples.data(), static_cast<int>(word.samples.size()));
    SDL_FreeAudioStream(stream);
    const auto wanted = static_cast<std::size_t>((frames * spec_.freq + source.freq / 2) / source.freq) * frame;
    word.samples.resize(std::min(wanted, static_cast<std::size_t>(std::max(0, got))));
  }
  SDL_FreeWAV(data);
  word.samples.resize(word.samples.size() / frame * frame);
  if (speedPercent != kAsRecorded && spec_.format == AUDIO_S16SYS) {
    std::vector<std::int16_t> pcm(word.samples.size() / sizeof(std::int16_t));
    std::memcpy(pcm.data(), word.samples.data(), pcm.size() * sizeof(std::int16_t));
    pcm = speedUpSpeech(pcm, spec_.freq, spec_.channels, speedPercent);
    word.samples.resize(pcm.size() * sizeof(std::int16_t));
    std::memcpy(word.samples.data(), pcm.data(), word.samples.size());
  }
  word.samples.shrink_to_fit();
  return &cache_.insert_or_assign(key, std::move(word)).first->second;
}

bool SdlSoundOutput::play(const std::filesystem::path& file, const Pace& pace) { return start(file, pace, false); }

bool SdlSoundOutput::playAsync(const std::filesystem::path& file, const Pace& pace) {
  return start(file, pace, true);
}

void SdlSoundOutput::stop() {
  if (device_ == 0) return;
  SDL_ClearQueuedAudio(device_);
  backgroundQueued_ = false;
  playedBy_ = Clock::now();
}

bool SdlSoundOutput::start(const std::filesystem::path& file, const Pace& pace, bool background) {
  if (device_ == 0) return false;
  // A file that cannot be played starts nothing and so cuts nothing either.
  const Word* word = load(file, pace.speedPercent);
  if (word == nullptr) return false;
  if (backgroundQueued_) stop();

  auto now = Clock::now();
  if (!word->samples.empty() &&
      SDL_QueueAudio(device_, word->samples.data(), static_cast<Uint32>(word->samples.size())) != 0) {
    return false;
  }
  const auto length = std::chrono::microseconds(
      static_cast<long long>(word->samples.size() * 1000.0 / bytesPerMs()));
  playedBy_ = std::max(playedBy_, now) + length;
  backgroundQueued_ = background;
  if (background) return true;

  // Return while the device still holds the last few buffers of this word: the caller's next word
  // is queued behind it before the device runs dry. Sleep for what must play first rather than spin.
  const Uint32 aheadBytes = spec_.size * kReturnAheadBuffers;
  const auto ahead = std::chrono::microseconds(
      static_cast<long long>(spec_.samples) * kReturnAheadBuffers * 1000000 / spec_.freq);
  Uint32 lastQueued = SDL_GetQueuedAudioSize(device_);
  auto lastProgress = Clock::now();
  for (;;) {
    if (pace.giveWay && pace.giveWay()) {
      stop();
      return true;
    }
    if (pace.meanwhile) pace.meanwhile();
    now = Clock::now();
    const Uint32 queued = SDL_GetQueuedAudioSize(device_);
    if (queued != lastQueued) {
      lastQueued = queued;
      lastProgress = now;
    }
    if (queued <= aheadBytes && (!paceByClock_ || now + ahead >= playedBy_)) {
      // A real device's clock may drift from ours: from here on, trust what it still holds.
      if (!paceByClock_) {
        playedBy_ = now + std::chrono::microseconds(static_cast<long long>(queued * 1000.0 / bytesPerMs()));
      }
      return true;
    }
    if (now - lastProgress >= kStallSlack) {
      std::cerr << "korvel: the sound device stopped taking data; opening it again\n";
      SDL_ClearQueuedAudio(device_);
      SDL_CloseAudioDevice(device_);
      device_ = 0;
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      subsystemUp_ = false;
      if (!openDevice()) {
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        openDevice();
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
      }
      backgroundQueued_ = false;
      return true;
    }
    // Sleep through all but the last buffer's worth, then look often: the device takes data in
    // whole buffers, and the caller must get control back soon after the one that leaves at most
    // the return-ahead amount queued, while that time remains to queue the next word.
    const double excessMs = queued > aheadBytes ? (queued - aheadBytes) / bytesPerMs() : 0.0;
    const double bufferMs = spec_.samples * 1000.0 / spec_.freq;
    long long sleepMs = excessMs > bufferMs ? static_cast<long long>(excessMs - bufferMs) : 2;
    if (paceByClock_) {
      const auto byClock = std::chrono::duration_cast<std::chrono::milliseconds>(playedBy_ - ahead - now);
      sleepMs = std::max<long long>(sleepMs, byClock.count());
    }
    const bool looking = pace.giveWay || pace.meanwhile;
    sleepMs = std::clamp<long long>(sleepMs, 1, looking ? kMeanwhileLookMs : kLongestSleepMs);
    std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
  }
}

}  // namespace korvel::platform
