// An operator's session at a station that has met its radio: type keys, then check what went to the
// radio and what was said. Shared by the key scenario tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "state/panel.h"
#include "platform/key_codes.h"
#include "station.h"

namespace korvel::testing {

using Words = std::vector<std::string>;
using Commands = std::vector<std::string>;

class Session {
 public:
  explicit Session(StationOptions options = {}) : st(std::move(options)), p(st.panel) {}

  // Start-up, the connection sequence, and the first frequency reply of the start band (7.1 MHz
  // LSB on band 4). Call as ASSERT_NO_FATAL_FAILURE(s.settle()).
  void settle() {
    ASSERT_TRUE(st.startUp());
    st.connect();
    ASSERT_EQ(p.link.connected, 1);
    st.tick(4);
    ASSERT_EQ(p.link.frequencyHz, 7100000);
    ASSERT_EQ(p.band.currentBand, 4);
    forget();
  }

  // Lets the poll cycle ask the radio for its frequency and take the answer, then forgets what
  // that said and sent.
  void poll() {
    st.tick(4);
    forget();
  }

  void forget() {
    st.words();
    st.sent();
  }

  // Keys as the operator types them: letters and digits as they are, "." the point key, "=" and
  // "-" the main-row keys, "\n" Enter, " " Space.
  void type(std::string_view keys) {
    for (const char c : keys) st.press(keyFor(c));
  }
  void press(int key) { st.press(key); }

  // Words said since the last look, without the pause word that queries and waits play.
  Words said() {
    Words all = st.words();
    all.erase(std::remove(all.begin(), all.end(), "delay"), all.end());
    return all;
  }
  // Words said since the last look, pause words included.
  Words heard() { return st.words(); }

  // Commands sent since the last look, other than the poll cycle's own queries.
  Commands commands() { return st.radioCommands(); }

  static int keyFor(char c) {
    switch (c) {
      case '.': return vk::kPeriod;
      case '=': return vk::kPlus;
      case '-': return vk::kMinus;
      case '\n': return vk::kEnter;
      case ' ': return vk::kSpace;
      default: return c;
    }
  }

  std::string& record(int band) { return p.band.bandTable[static_cast<std::size_t>(band)]; }

  Station st;
  Panel& p;
};

inline bool has(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

inline long countOf(const std::vector<std::string>& list, const std::string& item) {
  return std::count(list.begin(), list.end(), item);
}

// Options for a station with the sample configuration and another band coverage or radio model.
inline StationOptions stationWith(int model, const std::string& bandCoverage = "7") {
  StationOptions options;
  options.model = model;
  options.config = sampleConfig(options.comPort, 0, 1, bandCoverage);
  return options;
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

}  // namespace korvel::testing
