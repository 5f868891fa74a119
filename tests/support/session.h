// The operator's session at a test station, for every scenario test: the station made ready as far
// as the test needs (by default started, connected and settled on 7.1 MHz), then keys and checks.
#pragma once

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "memory/memory_store.h"
#include "platform/key_codes.h"
#include "radio_link/transport.h"
#include "state/panel.h"
#include "state/text.h"
#include "station.h"

namespace korvel::testing {

using Words = std::vector<std::string>;
using Commands = std::vector<std::string>;

// How far the station is made ready before the test's first key.
enum class Ready {
  kNothing,    // a fresh panel in its folder: the test starts it up itself
  kStartedUp,  // start-up has run (no connection asked for yet), its words and commands forgotten
  kSettled,    // started, connected, and the start band's first frequency reply read (7.1 MHz LSB)
  kFunctions,  // start values and tables only, the radio port open and the radio taken as met
  kLink,       // start values, a known band table, the port set up: the connection not yet run
  kMemory,     // the start band table and empty memory slots, nothing else (no radio, no files)
};

struct SessionOptions {
  int model = 761;                 // the simulated radio on port 5; 0: nothing on the line
  int digits = 0;                  // its frequency width; 0: as its row says
  std::string bandCoverage = "7";  // for the sample configuration
  std::string config;              // korvel.cfg text in place of the sample one
  Ready ready = Ready::kSettled;
  bool connected = false;          // kLink: already past the connection (frequency 7.1 MHz)
  bool writeConfig = true;
};

// Whether permission bits stop this process: not for the superuser, and Windows has none.
inline bool permissionBitsBind() {
#ifdef _WIN32
  return false;
#else
  return ::geteuid() != 0;
#endif
}

// A plain band record: kind, mode digit, "A" + nine digits, "B" + the same nine digits, tone, preamp.
inline std::string plainRecord(const std::string& nineDigits, char mode = '1', const std::string& tone = "999",
                               char preamp = '0') {
  return std::string("0") + mode + "A" + nineDigits + "B" + nineDigits + tone + preamp;
}

// A repeater record: kind "5", the shift sign and the offset in kilohertz in place of VFO B.
inline std::string repeaterRecord(const std::string& nineDigits, char mode, char sign, const std::string& khz4,
                                  const std::string& tone = "999", char preamp = '0') {
  return std::string("5") + mode + "A" + nineDigits + "B" + sign + "0000" + khz4 + tone + preamp;
}

// The band records start-up writes into a fresh memory file (index 0 is not used).
inline const std::vector<std::string> kStartBandRecords = {
    "",
    "01A001900000B0019000009990", "01A003600000B0036000009990", "02A005400000B0054000009990",
    "01A007100000B0071000009990", "03A010100000B0100000009990", "02A014200000B0142000009991",
    "02A018100000B0181000009991", "02A021200000B0212000009991", "02A024890000B0248900009991",
    "02A028500000B0285000009991", "02A050150000B0501500009991", "05A145000000B1450000009990",
    "05A432000000B4320000009990", "04A009670000B0096700009990",
};

class Session : public Station {
 public:
  explicit Session(SessionOptions options = {});

  // Keys as the operator types them: letters and digits as they are, "." the point key, "=" and
  // "-" the main-row keys, "\n" Enter, " " Space.
  void type(std::string_view keys) {
    for (const char c : keys) press(keyFor(c));
  }
  static int keyFor(char c);
  // Types the keys that bring the station where a test starts, and forgets what they said and sent.
  void prepare(std::string_view keys) {
    type(keys);
    forget();
  }
  void prepare(std::initializer_list<int> keys) {
    for (const int key : keys) press(key);
    forget();
  }
  // Types the frequency into the frequency entry, lets the poll cycle read it back, and forgets.
  void tuneTo(long long hz) {
    type("E" + std::to_string(hz / 1000000) + "." + zeroPad(hz % 1000000, 6) + "\n");
    poll();
  }
  // Presses M until the mode is `mode` (failing the test when M never reaches it), then forgets.
  void selectMode(int mode) {
    for (int i = 0; i < 8 && p.mode.currentMode != mode; ++i) press('M');
    EXPECT_EQ(p.mode.currentMode, mode) << "the mode key does not reach this mode here";
    forget();
  }

  // Words said since the last look, without the pause word that queries and waits play.
  Words said() {
    Words all = words();
    all.erase(std::remove(all.begin(), all.end(), "delay"), all.end());
    return all;
  }
  // Words said since the last look, pause words included.
  Words heard() { return words(); }
  // Commands sent since the last look, other than the poll cycle's own queries.
  Commands commands() { return radioCommands(); }
  // Forgets what has been said and sent so far.
  void forget() {
    words();
    sent();
  }
  // Lets the poll cycle ask the radio for its frequency and take the answer, then forgets.
  void poll() {
    tick(4);
    forget();
  }
  // What a frequency reply leaves behind: the reply text and the working frequency.
  void reported(long long hz, char vfo = 'A');

  std::string& record(int band) { return p.band.bandTable[static_cast<std::size_t>(band)]; }

  // Files in the station folder.
  void write(const std::string& name, const std::string& bytes) {
    std::ofstream(folder / name, std::ios::binary) << bytes;
  }
  std::string read(const std::string& name) const { return file(name); }
  bool exists(const std::string& name) const { return std::filesystem::exists(folder / name); }
  // The CR LF lines of a file; fails the test when a line ends any other way.
  std::vector<std::string> lines(const std::string& name) const;
  // Names in the folder other than the ones given: leftovers such as temporary files.
  std::vector<std::string> otherFiles(std::initializer_list<std::string> expected) const;

  Panel& p = panel;
};

inline Session::Session(SessionOptions o)
    : Station({.model = o.ready == Ready::kMemory ? 0 : o.model,
               .digits = o.digits,
               .config = o.config.empty() ? sampleConfig(5, 0, 1, o.bandCoverage) : o.config,
               .writeConfig = o.writeConfig && o.ready != Ready::kMemory,
               .waveFolder = o.ready != Ready::kMemory}) {
  static const char* const kDigits[15] = {"",          "001840000", "003573000", "005357000", "007100000",
                                          "010136000", "014200000", "018100000", "021200000", "024940000",
                                          "028500000", "050150000", "145500000", "433500000", "009670000"};
  switch (o.ready) {
    case Ready::kNothing:
      return;
    case Ready::kStartedUp:
      EXPECT_TRUE(startUp());
      break;
    case Ready::kSettled:
      EXPECT_TRUE(startUp());
      connect();
      EXPECT_EQ(p.link.connected, 1);
      tick(4);
      EXPECT_EQ(p.link.frequencyHz, 7100000);
      EXPECT_EQ(p.band.currentBand, 4);
      break;
    case Ready::kFunctions:
      setStartValues();
      p.config.comPort = 5;
      ports.openPort(5, 38400);
      p.radio.usePort(5);
      p.config.bandCoverage = "7";
      p.config.dcsAllowed = 1;
      p.radio.setModelNumber(radio ? radio->model() : 0);
      p.link.connected = 1;
      break;
    case Ready::kLink:
      setStartValues();
      applySampleRadioSettings(p);
      p.config.tunerState = 1;
      for (int band = 1; band <= 14; ++band) record(band) = plainRecord(kDigits[band]);
      p.band.currentBand = 4;
      p.mode.currentMode = 1;
      p.core.running = 1;
      setUpPort(p, 5);
      if (o.connected) {
        p.link.connected = 1;
        p.link.frequencyHz = 7100000;
      }
      break;
    case Ready::kMemory:
      for (int band = 1; band <= 14; ++band) record(band) = kStartBandRecords[static_cast<std::size_t>(band)];
      p.band.currentBand = 4;
      initMemorySlots(p);
      break;
  }
  forget();
}

inline int Session::keyFor(char c) {
  switch (c) {
    case '.': return vk::kPeriod;
    case '=': return vk::kPlus;
    case '-': return vk::kMinus;
    case '\n': return vk::kEnter;
    case ' ': return vk::kSpace;
    default: return c;
  }
}

inline void Session::reported(long long hz, char vfo) {
  p.link.lastFrequencyReply = FrequencyReply{vfo == 'B' ? Vfo::B : Vfo::A, hz, zeroPad(hz, 9)};
  p.link.frequencyHz = hz;
}

inline std::vector<std::string> Session::lines(const std::string& name) const {
  const std::string text = read(name);
  std::vector<std::string> out;
  for (std::size_t start = 0; start < text.size();) {
    const auto end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << name << " has a last line without CR LF";
      break;
    }
    out.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return out;
}

inline std::vector<std::string> Session::otherFiles(std::initializer_list<std::string> expected) const {
  std::vector<std::string> out;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (std::find(expected.begin(), expected.end(), name) == expected.end()) out.push_back(name);
  }
  return out;
}

// The same session as a googletest fixture, for TEST_F suites.
class SessionTest : public ::testing::Test, public Session {
 protected:
  explicit SessionTest(SessionOptions options = {}) : Session(std::move(options)) {}
};

// A fixture session made ready as far as `R` only.
template <Ready R>
class SessionAt : public SessionTest {
 protected:
  SessionAt() : SessionTest({.ready = R}) {}
};

inline bool has(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

inline long countOf(const std::vector<std::string>& list, const std::string& item) {
  return std::count(list.begin(), list.end(), item);
}

// The station on 2 m (145 MHz, FM narrow), with the poll cycle caught up.
// Call as ASSERT_NO_FATAL_FAILURE(onTwoMetres(s)).
inline void onTwoMetres(Session& s) {
  s.type("BT");
  s.poll();
  ASSERT_EQ(s.p.band.currentBand, 12);
  ASSERT_EQ(s.p.mode.currentMode, 5);
  ASSERT_EQ(s.p.link.frequencyHz, 145000000);
}

// A current-format memory file: header, band lines, channel lines, each ended by CR LF.
inline std::string memoryFile(const std::string& header, const std::vector<std::string>& bands,
                              const std::vector<std::string>& slots) {
  std::string out = header + "\r\n";
  for (const auto& b : bands) out += b + "\r\n";
  for (const auto& s : slots) out += s + "\r\n";
  return out;
}

inline std::vector<std::string> startBands() { return {kStartBandRecords.begin() + 1, kStartBandRecords.end()}; }

inline std::vector<std::string> emptySlots() { return std::vector<std::string>(100, "9"); }

// A settled station whose rig server listens on the simulated network (with the pass-through port
// made first when the configuration names one), its start-up words and commands forgotten.
class ServerSession : public Session {
 public:
  explicit ServerSession(SessionOptions options, int passThroughPort = 0) : Session(withNothingReady(std::move(options))) {
    if (passThroughPort > 0) ports.addPort(passThroughPort);
    network.available = true;
    EXPECT_TRUE(settle());
    forget();
  }
  // A client's lines, a few ticks, and what it was answered.
  std::string exchange(int client, const std::string& lines, int ticks = 6) {
    network.send(client, lines);
    tick(ticks);
    return network.take(client);
  }

 private:
  static SessionOptions withNothingReady(SessionOptions options) {
    options.ready = Ready::kNothing;
    return options;
  }
};

}  // namespace korvel::testing
