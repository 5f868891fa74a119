// waveOut for the word player: reading WAV files, caching, queueing buffers back to back, the wait
// of a blocking play, cutting the background word and the clock's timing when there is no device.
#include "platform/win32_sound.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <thread>

#include "platform/speech_speed.h"

namespace korvel::platform {

namespace {

// A blocking play returns with this much of its word still to play: time enough to queue the next.
constexpr auto kHandOver = std::chrono::milliseconds(20);
// How often a blocking play looks at the device, and how often it asks whether to give way to a key.
constexpr double kLongestLookMs = 10.0;
constexpr double kGiveWayLookMs = kMeanwhileLookMs;
// A device that plays nothing for this long is taken for stuck and reset.
constexpr auto kStallSlack = std::chrono::milliseconds(1000);
constexpr std::size_t kFormatBytesMin = 16;  // the PCM part of a fmt chunk
constexpr std::size_t kFormatBytesMax = 64;  // WAVEFORMATEXTENSIBLE is 40

std::uint32_t readLe32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
  return v;
}

// The fmt chunk as a WAVEFORMATEX (cbSize set to what follows it) and the data chunk of a RIFF WAVE
// file; false for anything else or anything cut short.
bool parseWave(const std::string& bytes, std::string& format, std::string& samples) {
  if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return false;
  bool haveFormat = false, haveData = false;
  std::size_t at = 12;
  while (at + 8 <= bytes.size() && !(haveFormat && haveData)) {
    const std::string id = bytes.substr(at, 4);
    const std::size_t length = readLe32(bytes, at + 4);
    const std::size_t body = at + 8;
    const std::size_t available = std::min(length, bytes.size() - body);
    if (id == "fmt ") {
      if (available < kFormatBytesMin) return false;
      // WAVEFORMATEX is the chunk's first 16 bytes and cbSize; cbSize is made to say what follows.
      const std::size_t kept = std::min(available, kFormatBytesMax);
      format.assign(std::max(sizeof(WAVEFORMATEX), kept), '\0');
      std::memcpy(format.data(), bytes.data() + body, kept);
      reinterpret_cast<WAVEFORMATEX*>(format.data())->cbSize = static_cast<WORD>(format.size() - sizeof(WAVEFORMATEX));
      haveFormat = true;
    } else if (id == "data") {
      samples.assign(bytes, body, available);  // a file cut short plays what it has
      haveData = true;
    }
    if (length > bytes.size() - body) break;
    at = body + length + (length & 1);
  }
  if (!haveFormat || !haveData) return false;
  const auto* fx = reinterpret_cast<const WAVEFORMATEX*>(format.data());
  if (fx->nBlockAlign == 0 || fx->nAvgBytesPerSec == 0 || fx->nChannels == 0) return false;
  samples.resize(samples.size() / fx->nBlockAlign * fx->nBlockAlign);
  return true;
}

}  // namespace

Win32SoundOutput::~Win32SoundOutput() {
  // Let the end of the last word leave the device rather than cutting it.
  if (device_ != nullptr && !backgroundQueued_) waitUntilLeft(0, std::chrono::milliseconds(5000));
  closeDevice();
}

const Win32SoundOutput::Word* Win32SoundOutput::load(const std::filesystem::path& file, int speedPercent) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return nullptr;
  const auto modified = std::filesystem::last_write_time(file, ec);
  if (ec) return nullptr;
  const auto size = std::filesystem::file_size(file, ec);
  if (ec) return nullptr;

  // The same file at another rate is another word: both stay cached, so a word is sped up once.
  const std::string key = file.string() + '\n' + std::to_string(speedPercent);
  if (auto found = cache_.find(key); found != cache_.end()) {
    if (found->second.modified == modified && found->second.size == size) return &found->second;
    cache_.erase(found);
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) return nullptr;
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  Word word;
  std::string samples;
  if (!parseWave(bytes, word.format, samples)) return nullptr;
  const auto* format = reinterpret_cast<const WAVEFORMATEX*>(word.format.data());
  if (speedPercent != kAsRecorded && format->wFormatTag == WAVE_FORMAT_PCM && format->wBitsPerSample == 16) {
    // Only 16-bit PCM is sped up; a word in any other format plays at its recorded pace.
    std::vector<std::int16_t> pcm(samples.size() / sizeof(std::int16_t));
    std::memcpy(pcm.data(), samples.data(), pcm.size() * sizeof(std::int16_t));
    pcm = speedUpSpeech(pcm, static_cast<int>(format->nSamplesPerSec), format->nChannels, speedPercent);
    samples.assign(reinterpret_cast<const char*>(pcm.data()), pcm.size() * sizeof(std::int16_t));
  }
  word.modified = modified;
  word.size = size;
  word.bytesPerMs = reinterpret_cast<const WAVEFORMATEX*>(word.format.data())->nAvgBytesPerSec / 1000.0;
  word.samples = std::make_shared<const std::string>(std::move(samples));
  return &cache_.insert_or_assign(key, std::move(word)).first->second;
}

bool Win32SoundOutput::deviceFor(const Word& word) {
  if (device_ != nullptr && deviceFormat_ == word.format) return true;
  if (device_ != nullptr) {
    waitUntilLeft(0, std::chrono::milliseconds(5000));
    closeDevice();
  }
  if (doneEvent_ == nullptr) doneEvent_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  auto* format = reinterpret_cast<const WAVEFORMATEX*>(word.format.data());
  const MMRESULT result = waveOutOpen(&device_, WAVE_MAPPER, format, reinterpret_cast<DWORD_PTR>(doneEvent_), 0,
                                      CALLBACK_EVENT);
  if (result != MMSYSERR_NOERROR) {
    device_ = nullptr;
    if (!deviceFailed_) {
      char text[MAXERRORLENGTH] = {};
      waveOutGetErrorTextA(result, text, sizeof text);
      std::cerr << "korvel: no sound device (" << text << "); words play silently\n";
      deviceFailed_ = true;
    }
    return false;
  }
  deviceFormat_ = word.format;
  deviceBytesPerMs_ = word.bytesPerMs;
  bytesQueued_ = 0;
  return true;
}

void Win32SoundOutput::closeDevice() {
  if (device_ != nullptr) {
    waveOutReset(device_);
    reap();
    waveOutClose(device_);
    device_ = nullptr;
  }
  queue_.clear();
  deviceFormat_.clear();
  bytesQueued_ = 0;
  if (doneEvent_ != nullptr) {
    CloseHandle(doneEvent_);
    doneEvent_ = nullptr;
  }
}

void Win32SoundOutput::reap() {
  while (!queue_.empty() && (queue_.front().header->dwFlags & WHDR_DONE) != 0) {
    waveOutUnprepareHeader(device_, queue_.front().header.get(), sizeof(WAVEHDR));
    queue_.pop_front();
  }
}

std::uint32_t Win32SoundOutput::bytesLeft() {
  if (device_ == nullptr) return 0;
  MMTIME position{};
  position.wType = TIME_BYTES;
  if (waveOutGetPosition(device_, &position, sizeof position) != MMSYSERR_NOERROR || position.wType != TIME_BYTES) {
    return queue_.empty() || (queue_.back().header->dwFlags & WHDR_DONE) != 0 ? 0 : bytesQueued_;
  }
  // Both counters wrap at 2^32; what is left is far smaller than that.
  const auto left = static_cast<std::int32_t>(bytesQueued_ - static_cast<std::uint32_t>(position.u.cb));
  return left > 0 ? static_cast<std::uint32_t>(left) : 0;
}

void Win32SoundOutput::waitUntilLeft(std::uint32_t margin, std::chrono::milliseconds longest,
                                     const std::function<bool()>& giveWay, const std::function<void()>& meanwhile) {
  const auto deadline = Clock::now() + longest;
  std::uint32_t lastLeft = bytesLeft();
  auto lastProgress = Clock::now();
  for (;;) {
    if (giveWay && giveWay()) {
      stop();
      return;
    }
    if (meanwhile) meanwhile();
    reap();
    const std::uint32_t left = bytesLeft();
    const auto now = Clock::now();
    if (left <= margin || queue_.empty()) return;
    if (left != lastLeft) {
      lastLeft = left;
      lastProgress = now;
    }
    if (now - lastProgress >= kStallSlack || now >= deadline) {
      std::cerr << "korvel: the sound device stopped playing; starting it again\n";
      waveOutReset(device_);
      reap();
      bytesQueued_ = 0;
      return;
    }
    // Sleep through what must play before the margin, but look again at least every 10 ms.
    const double ms = (left - margin) / std::max(1.0, deviceBytesPerMs_);
    const auto wait = static_cast<DWORD>(std::clamp(ms, 1.0, giveWay || meanwhile ? kGiveWayLookMs : kLongestLookMs));
    WaitForSingleObject(doneEvent_, wait);
  }
}

bool Win32SoundOutput::play(const std::filesystem::path& file, const Pace& pace) { return start(file, pace, false); }

bool Win32SoundOutput::playAsync(const std::filesystem::path& file, const Pace& pace) {
  return start(file, pace, true);
}

void Win32SoundOutput::stop() {
  if (device_ != nullptr) {
    waveOutReset(device_);  // every buffer comes back done and the position starts again at 0
    reap();
    bytesQueued_ = 0;
  }
  backgroundQueued_ = false;
  playedBy_ = Clock::now();
}

bool Win32SoundOutput::start(const std::filesystem::path& file, const Pace& pace, bool background) {
  // A file that cannot be played starts nothing and so cuts nothing either.
  const Word* word = load(file, pace.speedPercent);
  if (word == nullptr) return false;
  if (backgroundQueued_) stop();

  const auto length = std::chrono::microseconds(
      static_cast<long long>(static_cast<double>(word->samples->size()) * 1000.0 / word->bytesPerMs));
  const auto now = Clock::now();
  playedBy_ = std::max(playedBy_, now) + length;
  backgroundQueued_ = background;

  if (!word->samples->empty() && deviceFor(*word)) {
    reap();
    auto header = std::make_unique<WAVEHDR>();
    header->lpData = const_cast<char*>(word->samples->data());  // the device only reads it
    header->dwBufferLength = static_cast<DWORD>(word->samples->size());
    if (waveOutPrepareHeader(device_, header.get(), sizeof(WAVEHDR)) == MMSYSERR_NOERROR) {
      if (waveOutWrite(device_, header.get(), sizeof(WAVEHDR)) == MMSYSERR_NOERROR) {
        bytesQueued_ += header->dwBufferLength;
        queue_.push_back(Queued{std::move(header), word->samples});
        if (!background) {
          const auto margin = static_cast<std::uint32_t>(kHandOver.count() * deviceBytesPerMs_);
          waitUntilLeft(margin, std::chrono::duration_cast<std::chrono::milliseconds>(length) + kStallSlack * 2,
                        pace.giveWay, pace.meanwhile);
        }
        return true;
      }
      waveOutUnprepareHeader(device_, header.get(), sizeof(WAVEHDR));
    }
  }
  // No device: the clock alone times the word, in short steps when it may have to give way.
  if (background) return true;
  while (Clock::now() < playedBy_ - kHandOver) {
    if (pace.giveWay && pace.giveWay()) {
      stop();
      return true;
    }
    if (pace.meanwhile) pace.meanwhile();
    std::this_thread::sleep_until(std::min(playedBy_ - kHandOver,
        Clock::now() + std::chrono::milliseconds(static_cast<long long>(kGiveWayLookMs))));
  }
  return true;
}

}  // namespace korvel::platform
