// The cost and the effect of faster speech on the rendered voice: the length of the frequency
// announcement at each speech rate, and the processor time spent speeding up the whole word list
// once (what the first playing of every word costs in all; later playings come from the cache).
//   speech_rate_bench [WAVE_DIR]   (default: build/wave)
#include <SDL.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/speech_speed.h"

namespace {

using Samples = std::vector<std::int16_t>;

struct Word {
  Samples samples;
  int rate = 0;
};

bool load(const std::filesystem::path& file, Word& word) {
  SDL_AudioSpec spec{};
  Uint8* data = nullptr;
  Uint32 length = 0;
  if (SDL_LoadWAV(file.string().c_str(), &spec, &data, &length) == nullptr) return false;
  const bool usable = spec.format == AUDIO_S16SYS && spec.channels == 1;
  if (usable) {
    word.samples.assign(reinterpret_cast<const std::int16_t*>(data), reinterpret_cast<const std::int16_t*>(data) + length / 2);
    word.rate = spec.freq;
  }
  SDL_FreeWAV(data);
  return usable;
}

double cpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path dir = argc > 1 ? argv[1] : "build/wave";
  std::map<std::string, Word> words;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".wav") continue;
    Word word;
    if (load(entry.path(), word)) words[entry.path().stem().string()] = std::move(word);
  }
  if (words.empty()) {
    std::fprintf(stderr, "speech_rate_bench: no 16-bit mono words in %s\n", dir.string().c_str());
    return 1;
  }
  // F on 14.2 MHz USB: "1 4 point 2 mhz usb".
  const std::vector<std::string> announcement = {"1", "4", "point", "2", "mhz", "usb"};
  std::printf("%zu words in %s\n", words.size(), dir.string().c_str());
  for (const int percent : {100, 200, 250, 300}) {
    double announced = 0;
    for (const auto& name : announcement) {
      const Word& w = words.at(name);
      announced += static_cast<double>(korvel::platform::speedUpSpeech(w.samples, w.rate, 1, percent).size()) / w.rate;
    }
    const double before = cpuSeconds();
    double seconds = 0, outSeconds = 0;
    for (const auto& [name, w] : words) {
      if (name == "delay") continue;  // the CAT pause is never sped up
      seconds += static_cast<double>(w.samples.size()) / w.rate;
      outSeconds += static_cast<double>(korvel::platform::speedUpSpeech(w.samples, w.rate, 1, percent).size()) / w.rate;
    }
    const double cpu = cpuSeconds() - before;
    std::printf("%3d %%: F announcement %.3f s; whole list %.1f s of speech -> %.1f s, %.3f s of CPU to speed up\n",
                percent, announced, seconds, outSeconds, cpu);
  }
  return 0;
}
