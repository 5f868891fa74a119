// Idle cost of the real platform layer: the main window with the program's fonts and fields drawn,
// the sound device open and running, and the event wait with the 50 ms timer for N seconds.
// Prints the processor time used while idle and the peak resident memory. Run it under the
// display the program will use (e.g. xvfb-run -a idle_window_bench 10).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "platform/sdl_sound.h"
#include "platform/sdl_window.h"

namespace {

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long statusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 10;
  bool withSound = true;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--no-sound") == 0) {
      withSound = false;
    } else {
      seconds = std::atof(argv[i]);
    }
  }

  std::unique_ptr<korvel::platform::SdlSoundOutput> sound;
  if (withSound) sound = std::make_unique<korvel::platform::SdlSoundOutput>();
  korvel::platform::SdlWindowSystem window;
  if (!window.createWindow(250, 100, 950, 500, "*** Korvel Front Panel v3.6a ***")) return 1;

  // What the running program shows: banner and help lines, the large fields and the status row.
  window.drawText(280, 10, "KORVEL 3.6a", {});
  window.drawText(140, 380, "B band  F frequency  M mode  W width  0-9 entry  Enter confirm", {});
  window.drawText(140, 405, "F1 help  F2 preamp  F3 att  F4 nb  F5 nr  F6 notch  F7 contour", {});
  window.setFont("Ariel", 50, 700);
  window.drawText(50, 45, "USB    ", {});
  window.drawText(750, 45, "S9", {});
  window.drawText(285, 150, "14.074.000             ", {});
  window.setFont("ARIEL", 20, 20);
  window.drawText(900, 45, "+20db", {});
  window.setFont("Ariel", 20, 20);
  window.drawText(40, 250, "preamp ", {});
  window.drawText(780, 250, "ctcss=012             ", {});
  window.setFont("Ariel", 50, 700);

  const long setUpKb = statusKb("VmRSS:");
  window.startTimer(50);
  const double cpuBefore = cpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  const auto until = start + std::chrono::duration<double>(seconds);
  long ticks = 0, others = 0;
  bool closed = false;
  while (!closed && std::chrono::steady_clock::now() < until) {
    for (const auto& event : window.waitEvents()) {
      if (event.message == korvel::platform::kTimerMessage) {
        ++ticks;
      } else if (event.message == korvel::platform::kCloseMessage) {
        closed = true;
      } else {
        ++others;
      }
    }
  }
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu = cpuSeconds() - cpuBefore;
  window.stopTimer();

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("video driver      %s\n", SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "-");
  std::printf("audio driver      %s\n", sound ? sound->driverName().c_str() : "(none)");
  std::printf("idle run          %.1f s, %ld ticks (%.1f per second), %ld other events\n", wall, ticks,
              ticks / wall, others);
  std::printf("idle CPU          %.3f s = %.2f %% of one core\n", cpu, 100.0 * cpu / wall);
  std::printf("RSS after set-up  %.1f MB\n", setUpKb / 1024.0);
  std::printf("peak RSS          %.1f MB\n", usage.ru_maxrss / 1024.0);
  return 0;
}
