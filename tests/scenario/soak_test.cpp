// An hour of simulated operation in seconds: timer ticks, the operator's entries at random moments,
// the radio answering, going silent (short gaps and real losses) and coming back. Throughout, the
// records keep their widths, every finished entry leaves the keys idle, the heap stays flat, and at
// the end the program still answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
// The address sanitizer's own count (its header does not come with every compiler).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

#include "display/main_window.h"
#include "session.h"

namespace korvel::testing {
namespace {

constexpr int kTicksPerSecond = 1000 / kTimerPeriodMs;
constexpr int kTicksPerMinute = 60 * kTicksPerSecond;
constexpr int kMinutes = 60;
constexpr int kLongestPause = 20 * kTicksPerSecond;    // between two entries
constexpr int kLongestSilence = 8 * kTicksPerSecond;   // the radio gone: some gaps, some losses
constexpr int kMinutesCompared = 10;                   // the heap of the first ten against the last ten
constexpr std::size_t kHeapSlack = 64 * 1024;

// Whole entries as the operator types them; each ends back at the idle key state.
const std::vector<std::string> kEntries = {
    "B4", "B6", "B2", "B5", "BT", "E14.2\n", "E7.05\n", "E440\n", "M", "C35", "C07", "C99", "V", "I8",
    "N010317\n5\n", "S", "XO\n", "J", "=", "-", "5", "\n",
};

// Bytes in use on the heap, or 0 where the allocator cannot say.
std::size_t heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
  return mallinfo2().uordblks;
#else
  return 0;
#endif
}

// The test doubles keep everything they ever saw; what they held is let go each minute, so the
// heap figure is the program's.
void forgetHistory(Session& s) {
  s.transcript.str("");
  std::vector<DrawnField>().swap(s.canvas.fields);
  std::vector<std::string>().swap(s.sound.words);
  s.ports.clearWritten(s.p.config.comPort);
}

void expectWellFormed(Session& s, int minute) {
  for (int band = 1; band <= 14; ++band) ASSERT_EQ(s.record(band).size(), 26u) << "band " << band << ", minute " << minute;
  for (const auto& slot : s.p.memory.memorySlots)
    ASSERT_TRUE(slot == "9" || slot.size() == 28u) << "channel [" << slot << "], minute " << minute;
}

TEST(Soak, AnHourOfKeysTicksAndRadioLossesLeavesTheProgramWholeAndAnswering) {
  Session s;
  std::mt19937 random(7);
  std::uniform_int_distribution<std::size_t> entry(0, kEntries.size() - 1);
  std::uniform_int_distribution<int> pause(1, kLongestPause);
  std::uniform_int_distribution<int> silence(1, kLongestSilence);
  std::bernoulli_distribution radioGoes(0.1);

  long keys = 0;
  int losses = 0;
  std::size_t peakFirst = 0;
  std::size_t peakLast = 0;
  for (int minute = 0; minute < kMinutes; ++minute) {
    for (int tick = 0; tick < kTicksPerMinute;) {
      const std::string& keysOfEntry = kEntries[entry(random)];
      s.type(keysOfEntry);
      keys += static_cast<long>(keysOfEntry.size());
      ASSERT_EQ(s.p.core.keyState, key_state::kIdle) << "after \"" << keysOfEntry << "\", minute " << minute;
      if (radioGoes(random)) {
        s.ports.setRadio(nullptr);
        const int gap = silence(random);
        s.tick(gap);
        tick += gap;
        losses += s.p.link.radioLost;
        s.ports.setRadio(s.radio.get());
      }
      const int wait = pause(random);
      s.tick(wait);
      tick += wait;
    }
    ASSERT_NO_FATAL_FAILURE(expectWellFormed(s, minute));
    forgetHistory(s);
    const std::size_t heap = heapInUse();
    if (minute < kMinutesCompared) peakFirst = std::max(peakFirst, heap);
    if (minute >= kMinutes - kMinutesCompared) peakLast = std::max(peakLast, heap);
  }
  EXPECT_GT(losses, 0) << "some silences must have been long enough to lose the radio";
  EXPECT_LE(peakLast, peakFirst + kHeapSlack) << "heap in use grows: " << peakFirst << " -> " << peakLast;
  std::cout << "soak: " << kMinutes << " simulated minutes, " << keys << " keys, " << losses
            << " radio losses, heap peak " << peakFirst << " bytes in the first " << kMinutesCompared
            << " minutes, " << peakLast << " in the last\n";
  RecordProperty("simulated_minutes", kMinutes);
  RecordProperty("keys", static_cast<int>(keys));
  RecordProperty("radio_losses", losses);
  RecordProperty("heap_peak_first_minutes", static_cast<int>(peakFirst));
  RecordProperty("heap_peak_last_minutes", static_cast<int>(peakLast));

  // Still answering: connected, polling, and a band key speaks.
  s.tick(2 * kTicksPerSecond);
  EXPECT_EQ(s.p.link.connected, 1);
  forgetHistory(s);
  s.tick(4);
  EXPECT_NE(s.ports.written(s.p.config.comPort).find("FA;"), std::string::npos);
  s.type("B4");
  EXPECT_EQ(s.transcript.str().rfind("band\n", 0), 0u) << s.transcript.str();
}

}  // namespace
}  // namespace korvel::testing
