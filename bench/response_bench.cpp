// Korvel's response time, word gaps, start-up, idle cost and memory, measured on the real platform
// layer under a real X server against korvel-sim. Run it under the display (xvfb-run -a ...).
//
// Two parts:
// - Inside: this program re-runs itself as the whole program (window, sound, serial port, the
//   unchanged runProgram) with two thin wrappers, one round the window (stamps the key as the
//   window layer delivers it) and one round the sound (notes each word queued). Keys come from
//   XTest on a second X connection. The sound device is SDL's "disk" driver writing into a pipe
//   this program reads: each device buffer arrives as SDL hands it over, so the first non-silent
//   sample of an answer is timed where the device receives it, and the words can be matched
//   sample for sample to find any gap between them. With --then, each round is two keys, the
//   second pressed while the first one's answer plays (F, then B 150 ms later): the figure is
//   the second key's delivery to the first sample of its first word, found in the device stream.
// - Outside: the real korvel binary idles against korvel-sim under the same X server; its own
//   threads' processor time (the scheduler's accounting) and its peak memory are read from /proc.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <optional>
#include <random>

#include "radio_link/cat_link.h"
#include "platform/clock.h"
#include "bench_support.h"
#include "sample_tap.h"
#include "core/startup.h"
#include "platform/sdl_sound.h"
#include "platform/sdl_window.h"
#include "platform/serial_posix.h"
#include "state/panel.h"

namespace {

// Each device buffer reaches the pipe when SDL hands it over: the disk driver's stream is made
// unbuffered (stdio would hold 4 kB, 93 ms of sound, before writing any).
FILE* unbufferedIfCapture(FILE* file, const char* path) {
  const char* capture = std::getenv("SDL_DISKAUDIOFILE");
  if (file != nullptr && capture != nullptr && std::strcmp(path, capture) == 0) setvbuf(file, nullptr, _IONBF, 0);
  return file;
}

}  // namespace

extern "C" FILE* fopen(const char* path, const char* mode) {
  using Open = FILE* (*)(const char*, const char*);
  static const auto real = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "fopen"));
  return unbufferedIfCapture(real(path, mode), path);
}

extern "C" FILE* fopen64(const char* path, const char* mode) {
  using Open = FILE* (*)(const char*, const char*);
  static const auto real = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "fopen64"));
  return unbufferedIfCapture(real(path, mode), path);
}

namespace korvel::bench {
namespace {

using namespace std::chrono_literals;

constexpr const char* kInsideVar = "KORVEL_BENCH_INSIDE";  // the station folder, in the inside run
constexpr const char* kExecTimeVar = "KORVEL_BENCH_EXEC_NS";  // steady clock just before the exec
constexpr auto kAnswerOver = 300ms;  // this much silence after a sound ends an answer
constexpr auto kNoAnswer = 3s;
constexpr auto kKeyHeld = 20ms;
constexpr int kJitterMs = 50;  // keys land at random points of the tick and the device period

struct Options {
  int presses = 120;
  double idleSeconds = 60;
  std::string key = "w";
  int speedPercent = platform::kAsRecorded;  // --speech-rate
  bool interruptSpeech = false;              // --interrupt-speech 1
  std::string then;                          // --then: a second key, pressed during the first answer
  std::string thenWord = "band";             // --then-word: the second key's first word
  int afterMs = 150;                         // --after: that long after the first key
};

// A word as the sound wrapper saw it queued.
struct Queued {
  std::string file;
  int speedPercent;
  Clock::time_point at;
};

// What the wrappers and the key thread share about the answer in flight.
struct Probe {
  std::mutex lock;
  bool armed = false;
  std::optional<Clock::time_point> delivered;  // the key left the window layer
  std::optional<Clock::time_point> queued;     // the first word reached the sound layer
  std::vector<Queued> words;
  std::vector<Clock::time_point> keysDelivered;  // every key down that left the window layer
  std::optional<Clock::time_point> seenWaiting;   // speech first found a key waiting
  std::atomic<unsigned long> xWindow{0};
  std::atomic<bool> ready{false};  // connected: keys are answered
  const Panel* panel = nullptr;
};

class TimedWindow : public platform::WindowSystem {
 public:
  TimedWindow(platform::SdlWindowSystem& real, Probe& probe) : real_(real), probe_(probe) {}
  bool createWindow(int left, int top, int width, int height, const std::string& title) override {
    const bool made = real_.createWindow(left, top, width, height, title);
    for (Uint32 id = 1; made && id < 16; ++id) {
      SDL_Window* window = SDL_GetWindowFromID(id);
      SDL_SysWMinfo info;
      SDL_VERSION(&info.version);
      if (window != nullptr && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
        probe_.xWindow = info.info.x11.window;
      }
    }
    return made;
  }
  void closeWindow() override { real_.closeWindow(); }
  void setFont(const std::string& face, int points, int weight) override { real_.setFont(face, points, weight); }
  int drawText(int x, int y, const std::string& text, platform::FieldPart part) override {
    return real_.drawText(x, y, text, part);
  }
  void startTimer(int periodMs) override { real_.startTimer(periodMs); }
  void stopTimer() override { real_.stopTimer(); }
  bool keyWaiting() override {
    const bool waiting = real_.keyWaiting();
    if (waiting) {
      const auto now = Clock::now();
      std::lock_guard hold(probe_.lock);
      if (probe_.armed && !probe_.seenWaiting) probe_.seenWaiting = now;
    }
    return waiting;
  }
  std::vector<platform::Event> waitEvents() override {
    auto events = real_.waitEvents();
    const auto now = Clock::now();
    {
      std::lock_guard hold(probe_.lock);
      for (const auto& e : events) {
        if (e.message != platform::kKeyDownMessage || !probe_.armed) continue;
        if (!probe_.delivered) probe_.delivered = now;
        probe_.keysDelivered.push_back(now);
      }
    }
    if (probe_.panel != nullptr) probe_.ready = probe_.panel->link.connected != 0 && probe_.panel->link.frequencyHz != 0;
    return events;
  }

 private:
  platform::SdlWindowSystem& real_;
  Probe& probe_;
};

class TimedSound : public platform::SoundOutput {
 public:
  TimedSound(platform::SoundOutput& real, Probe& probe) : real_(real), probe_(probe) {}
  bool play(const std::filesystem::path& file, const platform::Pace& pace = {}) override {
    note(file, pace);
    return real_.play(file, pace);
  }
  bool playAsync(const std::filesystem::path& file, const platform::Pace& pace = {}) override {
    note(file, pace);
    return real_.playAsync(file, pace);
  }
  void stop() override { real_.stop(); }

 private:
  void note(const std::filesystem::path& file, const platform::Pace& pace) {
    const auto now = Clock::now();
    std::lock_guard hold(probe_.lock);
    if (!probe_.armed) return;
    if (!probe_.queued) probe_.queued = now;
    probe_.words.push_back({file.string(), pace.speedPercent, now});
  }
  platform::SoundOutput& real_;
  Probe& probe_;
};

struct Figures {
  std::vector<double> sentToHanded, sentToDelivered, deliveredToQueued, queuedToHanded;
  long long wordPairs = 0, pairsWithGap = 0, gapSamplesMax = 0, unmatched = 0, unanswered = 0;
  // Two keys a round: the second key's XTest call and its reaching the program (speech saw it
  // waiting, or, where speech does not look, the window layer delivered it) to its first word
  // handed to the device; reaching to queued; and the first answer's words started after it.
  std::vector<double> secondSentToHanded, secondReachedToHanded, secondReachedToQueued;
  long long wordsAfterSecond = 0, wordsAfterSecondSent = 0;
};

void countGaps(const Bytes& stream, const std::vector<Queued>& words, std::map<std::string, Bytes>& cache,
               Figures& f) {
  std::optional<std::size_t> at;
  std::size_t expected = 0;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const Bytes& word = wordSamples(cache, words[i].file, words[i].speedPercent);
    const auto found = findWord(stream, word, i == 0 ? 0 : expected);
    if (!found) {
      ++f.unmatched;
      return;
    }
    if (i > 0) {
      const auto gap = static_cast<long long>((*found - expected) / 2);
      ++f.wordPairs;
      if (gap > 0) ++f.pairsWithGap;
      f.gapSamplesMax = std::max(f.gapSamplesMax, gap);
    }
    at = found;
    expected = *at + word.size();
  }
}

// The second key's answer: its first word's samples found in the stream after the first answer's
// words (which may have been cut), timed where the device took them.
void measureSecondKey(const Bytes& stream, const std::vector<Arrival>& arrivals, const SampleTap& tap,
                      const std::vector<Queued>& words, Clock::time_point sent, Clock::time_point reached,
                      Clock::time_point delivered, const std::string& firstWord, std::map<std::string, Bytes>& cache,
                      Figures& f) {
  const auto first = std::find_if(words.begin(), words.end(), [&](const Queued& w) {
    return w.at >= delivered && fs::path(w.file).stem() == firstWord;
  });
  if (first == words.end()) {
    ++f.unmatched;
    return;
  }
  f.wordsAfterSecond += std::count_if(words.begin(), first, [&](const Queued& w) { return w.at > reached; });
  f.wordsAfterSecondSent += std::count_if(words.begin(), first, [&](const Queued& w) { return w.at > sent; });
  const auto found = findWord(stream, wordSamples(cache, first->file, first->speedPercent), 0);
  if (!found) {
    ++f.unmatched;
    return;
  }
  const auto handed = tap.handedAt(arrivals, *found);
  f.secondSentToHanded.push_back(msBetween(sent, handed));
  f.secondReachedToHanded.push_back(msBetween(reached, handed));
  f.secondReachedToQueued.push_back(msBetween(reached, first->at));
}

// Presses the key over XTest, one answer at a time, and measures each; then closes the window.
void driveKeys(const Options& options, Probe& probe, SampleTap& tap, Figures& f) {
  pthread_setname_np(pthread_self(), "bench-keys");
  const auto until = Clock::now() + 60s;
  while (!(probe.ready && probe.xWindow != 0 && tap.quietFor(1s)) && Clock::now() < until) std::this_thread::sleep_for(20ms);
  Display* x = XOpenDisplay(nullptr);
  if (x == nullptr || !probe.ready) {
    std::fprintf(stderr, "response_bench: the program never became ready\n");
  } else {
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    const auto window = static_cast<Window>(probe.xWindow.load());
    XSetInputFocus(x, window, RevertToParent, CurrentTime);
    XSync(x, False);
    const KeyCode code = XKeysymToKeycode(x, XStringToKeysym(options.key.c_str()));
    const bool twoKeys = !options.then.empty();
    const KeyCode secondCode = twoKeys ? XKeysymToKeycode(x, XStringToKeysym(options.then.c_str())) : 0;
    const auto press = [&](KeyCode key) {
      XTestFakeKeyEvent(x, key, True, CurrentTime);
      XFlush(x);
      std::this_thread::sleep_for(kKeyHeld);
      XTestFakeKeyEvent(x, key, False, CurrentTime);
      XFlush(x);
    };
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> jitter(0, kJitterMs);
    std::map<std::string, Bytes> cache;
    for (int i = 0; i < options.presses; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(jitter(random)));
      {
        std::lock_guard hold(probe.lock);
        probe.armed = true;
        probe.delivered.reset();
        probe.queued.reset();
        probe.words.clear();
        probe.keysDelivered.clear();
        probe.seenWaiting.reset();
      }
      tap.arm();
      const auto sent = Clock::now();
      press(code);
      Clock::time_point secondSent{};
      if (twoKeys) {
        std::this_thread::sleep_until(sent + std::chrono::milliseconds(options.afterMs));
        secondSent = Clock::now();
        press(secondCode);
      }
      while (!tap.heardSinceArm() && Clock::now() - sent < kNoAnswer) std::this_thread::sleep_for(1ms);
      while (!tap.quietFor(kAnswerOver) && Clock::now() - sent < 20s) std::this_thread::sleep_for(5ms);
      Bytes stream;
      std::vector<Arrival> arrivals;
      const auto handed = tap.disarm(stream, &arrivals);
      std::optional<Clock::time_point> delivered, queued;
      std::vector<Queued> words;
      std::vector<Clock::time_point> keysDelivered;
      std::optional<Clock::time_point> seenWaiting;
      {
        std::lock_guard hold(probe.lock);
        probe.armed = false;
        delivered = probe.delivered;
        queued = probe.queued;
        words.swap(probe.words);
        keysDelivered.swap(probe.keysDelivered);
        seenWaiting = probe.seenWaiting;
      }
      if (twoKeys) {
        if (keysDelivered.size() < 2) {
          ++f.unanswered;
          continue;
        }
        const auto reached = seenWaiting ? std::min(*seenWaiting, keysDelivered[1]) : keysDelivered[1];
        measureSecondKey(stream, arrivals, tap, words, secondSent, reached, keysDelivered[1], options.thenWord,
                         cache, f);
        continue;
      }
      if (!handed || !delivered || !queued) {
        ++f.unanswered;
        continue;
      }
      f.sentToHanded.push_back(msBetween(sent, *handed));
      f.sentToDelivered.push_back(msBetween(sent, *delivered));
      f.deliveredToQueued.push_back(msBetween(*delivered, *queued));
      f.queuedToHanded.push_back(msBetween(*queued, *handed));
      countGaps(stream, words, cache, f);
    }
  }
  if (x != nullptr) XCloseDisplay(x);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
}

std::vector<double> plus(std::vector<double> values, double ms) {
  for (double& v : values) v += ms;
  return values;
}

// The whole program in this process, measured from inside.
int insideRun(const Options& options) {
  const fs::path folder = std::getenv(kInsideVar);
  const Clock::time_point exec{std::chrono::nanoseconds(std::atoll(std::getenv(kExecTimeVar)))};
  SampleTap tap(std::getenv("SDL_DISKAUDIOFILE"));
  Probe probe;
  // In the order the program makes them: window front end, serial ports, sound, panel.
  platform::SdlWindowSystem window;
  if (!window.openVideo()) return 1;
  platform::PosixSerialPorts ports(folder);
  platform::SdlSoundOutput sound;
  const SDL_AudioSpec& spec = sound.deviceSpec();
  tap.bytesPerSecond = spec.freq * spec.channels * (SDL_AUDIO_BITSIZE(spec.format) / 8);
  tap.bufferBytes = spec.size;
  TimedWindow timedWindow(window, probe);
  TimedSound timedSound(sound, probe);
  platform::SteadyClock clock;
  radio_link::CatLink link(ports, clock);
  Panel panel(ports, link, timedSound, timedWindow, folder);
  std::ofstream transcript(folder / "bench-transcript.txt");
  panel.speech.transcript = &transcript;
  panel.speech.speedPercent = options.speedPercent;
  panel.speech.interruptSpeech = options.interruptSpeech;
  probe.panel = &panel;

  Figures f;
  std::jthread keys([&] { driveKeys(options, probe, tap, f); });
  runProgram(panel);
  keys.join();

  const double bufferMs = spec.samples * 1000.0 / spec.freq;
  std::printf("sound device      SDL driver %s, %d Hz, %d channel(s), buffer %d frames = %.1f ms\n",
              sound.driverName().c_str(), spec.freq, spec.channels, spec.samples, bufferMs);
  if (!options.then.empty()) {
    std::printf("key pairs         %zu measured, %lld unanswered, %lld unmatched: '%s', then '%s' %d ms later, "
                "speech rate %d %%%s\n",
                f.secondSentToHanded.size(), f.unanswered, f.unmatched, options.key.c_str(), options.then.c_str(),
                options.afterMs, options.speedPercent, options.interruptSpeech ? ", speech gives way" : "");
    printSpread("second key sent to its first word handed to device", spreadOf(f.secondSentToHanded));
    printSpread("second key reaching the program to its first word handed", spreadOf(f.secondReachedToHanded));
    printSpread("  reaching the program to its first word queued", spreadOf(f.secondReachedToQueued));
    std::printf("first answer's words started after the second key was sent: %lld, after it reached the program: %lld\n",
                f.wordsAfterSecondSent, f.wordsAfterSecond);
    return 0;
  }
  std::printf("key presses       %zu answered, %lld unanswered, key '%s', speech rate %d %%%s\n",
              f.sentToHanded.size(), f.unanswered, options.key.c_str(), options.speedPercent,
              options.interruptSpeech ? ", speech gives way" : "");
  printSpread("key to sound, with device buffer", spreadOf(plus(f.sentToHanded, bufferMs)));
  printSpread("key to sound handed to device", spreadOf(f.sentToHanded));
  printSpread("  key sent to delivered (X, wait)", spreadOf(f.sentToDelivered));
  printSpread("  delivered to first word queued", spreadOf(f.deliveredToQueued));
  printSpread("  queued to handed to device", spreadOf(f.queuedToHanded));
  std::printf("word gaps         %lld of %lld word pairs with a gap, largest %lld samples, %lld answers unmatched\n",
              f.pairsWithGap, f.wordPairs, f.gapSamplesMax, f.unmatched);
  if (const auto first = tap.firstSoundEver()) {
    std::printf("start to first word  %.1f ms handed to device, %.1f ms with device buffer (from exec)\n",
                msBetween(exec, *first), msBetween(exec, *first) + bufferMs);
  }
  std::printf("pipe reads that held more than one buffer: %lld\n", tap.mergedReads());
  return 0;
}

// The real korvel binary idling under the X server: its threads' processor time and peak memory.
void outsideRun(const Options& options, BenchStation& station) {
  ChildProcess korvel;
  korvel.start(KORVEL_EXE, {"--transcript=idle-transcript.txt"}, station.folder, {{"SDL_VIDEODRIVER", "x11"}},
               station.folder / "idle.out");
  if (!waitForText(station.folder / "idle-transcript.txt", "connected", 60s)) {
    std::printf("idle: the program did not connect\n");
    return;
  }
  std::this_thread::sleep_for(2s);  // the connection's words and the first polls are over
  const std::string pid = std::to_string(korvel.pid());
  const auto before = threadCosts(pid);
  const auto start = Clock::now();
  std::this_thread::sleep_for(std::chrono::duration<double>(options.idleSeconds));
  const auto after = threadCosts(pid);
  const double wall = msBetween(start, Clock::now()) / 1000.0;
  const long peakKb = statusKb(pid, "VmHWM:");
  korvel.stop(SIGTERM);

  double totalMs = 0;
  std::printf("idle              %.1f s of the real korvel polling korvel-sim (%s)\n", wall,
              readText(station.folder / "idle.out").find("no sound device") != std::string::npos
                  ? "no sound device here: SDL dummy audio"
                  : "the default sound device");
  for (const auto& [tid, cost] : after) {
    const auto was = before.find(tid);
    if (was == before.end()) continue;
    const double ms = (cost.cpuNs - was->second.cpuNs) / 1e6;
    totalMs += ms;
    std::printf("  thread %-12s %7.1f ms CPU = %.3f %% of a core, %.1f wake-ups a second\n", cost.name.c_str(), ms,
                ms / 10 / wall, (cost.switches - was->second.switches) / wall);
  }
  std::printf("idle CPU          %.3f %% of one core\n", totalMs / 10 / wall);
  std::printf("peak memory       %.1f MB (VmHWM of the korvel process)\n", peakKb / 1024.0);
}

int run(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i];
    if (arg == "--presses") options.presses = std::max(1, std::atoi(argv[i + 1]));
    if (arg == "--idle") options.idleSeconds = std::max(1.0, std::atof(argv[i + 1]));
    if (arg == "--key") options.key = argv[i + 1];
    if (arg == "--speech-rate") options.speedPercent = std::atoi(argv[i + 1]);
    if (arg == "--interrupt-speech") options.interruptSpeech = std::atoi(argv[i + 1]) != 0;
    if (arg == "--then") options.then = argv[i + 1];
    if (arg == "--then-word") options.thenWord = argv[i + 1];
    if (arg == "--after") options.afterMs = std::max(0, std::atoi(argv[i + 1]));
  }
  if (std::getenv(kInsideVar) != nullptr) return insideRun(options);
  if (std::getenv("DISPLAY") == nullptr) {
    std::fprintf(stderr, "response_bench needs an X server: xvfb-run -a %s\n", argv[0]);
    return 2;
  }
  BenchStation station(fs::path(KORVEL_SOURCE_DIR) / "korvel.cfg.example", KORVEL_WAVE_DIR, KORVEL_SIM_EXE);
  if (!station.ready()) {
    std::fprintf(stderr, "response_bench: korvel-sim did not start\n");
    return 1;
  }
  std::printf("machine           %u cores, load average %s", std::thread::hardware_concurrency(),
              readText("/proc/loadavg").c_str());

  ChildProcess inside;
  const auto exec = Clock::now().time_since_epoch();
  std::vector<std::string> args(argv + 1, argv + argc);
  inside.start("/proc/self/exe", args, station.folder,
               {{kInsideVar, station.folder.string()},
                {kExecTimeVar, std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(exec).count())},
                {"SDL_VIDEODRIVER", "x11"},
                {"SDL_AUDIODRIVER", "disk"},
                {"SDL_DISKAUDIOFILE", (station.folder / "device.pipe").string()}},
               station.folder / "inside.out");
  const int code = inside.wait(std::chrono::minutes(15));
  const std::string report = readText(station.folder / "inside.out");
  std::istringstream lines(report);
  for (std::string line; std::getline(lines, line);) {
    if (line.find("CRITICAL") == std::string::npos) std::printf("%s\n", line.c_str());
  }
  if (code != 0) std::printf("the inside run ended with %d\n", code);
  outsideRun(options, station);
  return code == 0 ? 0 : 1;
}

}  // namespace
}  // namespace korvel::bench

int main(int argc, char** argv) { return korvel::bench::run(argc, argv); }
