#include "platform/speech_speed.h"

#include <algorithm>

#include <sonic.h>

namespace korvel::platform {

std::vector<std::int16_t> speedUpSpeech(std::span<const std::int16_t> samples, int sampleRate, int channels,
                                        int percent) {
  percent = std::clamp(percent, kSlowestSpeechPercent, kFastestSpeechPercent);
  channels = std::max(1, channels);
  const int frames = static_cast<int>(samples.size() / static_cast<std::size_t>(channels));
  if (percent == kSlowestSpeechPercent || frames == 0 || sampleRate <= 0) {
    return {samples.begin(), samples.end()};
  }
  sonicStream stream = sonicCreateStream(sampleRate, channels);
  if (stream == nullptr) return {samples.begin(), samples.end()};
  sonicSetSpeed(stream, static_cast<float>(percent) / kSlowestSpeechPercent);
  // Sonic reads the input without changing it; its interface just predates const.
  std::vector<std::int16_t> input(samples.begin(), samples.end());
  std::vector<std::int16_t> out;
  if (sonicWriteShortToStream(stream, input.data(), frames) && sonicFlushStream(stream)) {
    out.resize(static_cast<std::size_t>(sonicSamplesAvailable(stream)) * static_cast<std::size_t>(channels));
    const int got = sonicReadShortFromStream(stream, out.data(), sonicSamplesAvailable(stream));
    out.resize(static_cast<std::size_t>(std::max(0, got)) * static_cast<std::size_t>(channels));
  } else {
    out.assign(samples.begin(), samples.end());
  }
  sonicDestroyStream(stream);
  return out;
}

}  // namespace korvel::platform
