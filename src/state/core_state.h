// State of the program core: the run flag, the dispatcher's key state, the poll cycle, the entry
// modes and the direct radio keys, plus the positional configuration read from korvel.cfg.
#pragma once

#include <array>
#include <string>

namespace korvel::key_state {

// The dispatcher's prefix/entry state. States 2, 3, 4, 7, 10, 11 and 12 are also the targets of
// the up and down keys.
enum KeyState : int {
  kIdle = 0,
  kBandSelect = 1,
  kWidth = 2,
  kPower = 3,
  kRfGain = 4,
  kOffset = 5,
  kOffsetDigits = 6,
  kAfGain = 7,
  kMenuNumber = 8,
  kMenuValue = 9,
  kFunctionLevel = 10,
  kKeyerSpeed = 11,
  kMicGain = 12,
  // 13 is not used.
  kExtended = 14,
  kVoiceRecordSlot = 15,
  kVoiceRecording = 16,
  kVoicePlaySlot = 17,
};

}  // namespace korvel::key_state

namespace korvel::poll_phase {

// Which query the poll sends next: the frequency, or a meter.
enum PollPhase : int { kFrequency = 0, kMeter = 1 };

}  // namespace korvel::poll_phase

namespace korvel::core {

inline constexpr const char* kVersionText = "3.6a";
inline constexpr const char* kWindowTitle = "*** Korvel Front Panel v3.6a ***";

// Values of korvel.cfg, taken by character position. Some of them (txPower, swrAnnounce,
// tunerState) are working values that keys change later; the file itself is never written.
struct ConfigState {
  int comPort = 0;
  int baudRate = 0;
  int txPower = 0;
  int maxPower = 0;  // the configured power as read at start-up, the upper reference
  int swrAnnounce = 0;
  int tunerState = 0;          // 0 on, 1 off, 2 both, 3 not usable above 73 MHz (until tune ends)
  std::string bandCoverage;    // "1", "6", "2" or "7": the radio's top band
  bool radioPowerSwitch = false;
  bool dcsAllowed = false;
  // Working repeater offsets, indexed by band (10..13 used).
  std::array<int, 15> repeaterOffsetMinus{};
  std::array<std::string, 15> repeaterOffsetKhz{};
  // The configured copy of bands 11..13 (the transmit-frequency announcement reads these).
  std::array<int, 15> configuredOffsetMinus{};
  std::array<std::string, 15> configuredOffsetKhz{};
  int passThroughPort = 0;
  bool debugLog = false;
};

// entryNumber before any frequency entry since start-up.
inline constexpr long kNoEntryNumber = 999;

// The frequency announcement waits this many ticks after the tick count was set back on purpose
// (a typed frequency, the tuner, the mic gain, a meter peak): the poll has read the radio again by then.
inline constexpr int kAnnounceAfterTicks = 2;

struct CoreState {
  bool running = false;
  std::string versionText = kVersionText;
  std::string bannerText;

  // Dispatcher.
  int keyCode = 0;
  bool keyHeld = false;
  int keyState = key_state::kIdle;  // a key_state::KeyState

  // Poll cycle.
  int tickCount = 0;
  // Set when tickCount was set back to 0 on purpose (and at start), cleared once it reaches
  // kAnnounceAfterTicks. The count's own wrap from 20 to 0 leaves it clear: at the wrap nothing has
  // changed that the frequency announcement must wait for.
  bool tickCountRestarted = true;
  bool pollPaused = false;
  bool replyPending = false;
  poll_phase::PollPhase pollPhase = poll_phase::kFrequency;
  int quitCountdown = 0;
  int quitWaitTicks = 0;  // ticks since Q while the radio's answers are awaited

  // Meters read by the poll cycle.
  int sMeterValue = 0;
  std::string swrText;
  int meterPeak = 0;

  // Entry modes.
  bool freqEntryActive = false;
  long entryNumber = kNoEntryNumber;
  int mhzDigits = 0;
  bool pointEntered = false;
  int entryBand = 0;
  std::string offsetEntry;
  std::string menuNumber;
  std::string menuValue;

  // Direct radio keys.
  int txState = 0;
  int txSettleTicks = 0;
  bool tuneActive = false;
  bool tunerEngaged = false;
  bool monitorOn = false;
  std::string monitorLevel = "050";
  int micMeterState = 0;
  int agcStep = 0;
  bool breakIn = false;
  bool voxOn = false;
};

// Sets the tick count back to 0 to start a wait (see tickCountRestarted).
inline void restartTickCount(CoreState& c) {
  c.tickCount = 0;
  c.tickCountRestarted = true;
}

// Whether the frequency announcement may speak: not in the first ticks after a restart of the count.
inline bool frequencyAnnouncementReady(const CoreState& c) {
  return !c.tickCountRestarted || c.tickCount >= kAnnounceAfterTicks;
}

}  // namespace korvel::core
