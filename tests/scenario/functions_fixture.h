// A station set up for the radio functions: start values and tables, the radio port open, a radio
// covering every band up to 70 cm, and helpers that read like what the radio last reported.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "state/panel.h"
#include "state/text.h"
#include "station.h"

namespace korvel::testing {

class FunctionsTest : public ::testing::Test {
 protected:
  explicit FunctionsTest(int model = 761) : st(optionsFor(model)), p(st.panel) {}

  void SetUp() override {
    st.setStartValues();
    p.config.comPort = 5;
    st.ports.openPort(5, 38400);
    p.config.bandCoverage = "7";
    p.config.dcsAllowed = 1;
    p.link.radioModel = st.radio ? st.radio->model() : 0;
    p.link.connected = 1;
    st.sent();
    st.words();
  }

  // Words spoken since the last call, without the pause word a query waits with.
  std::vector<std::string> words() {
    auto all = st.words();
    all.erase(std::remove(all.begin(), all.end(), "delay"), all.end());
    return all;
  }
  std::vector<std::string> sent() { return st.sent(); }

  // What a frequency reply leaves behind: the reply text and the working frequency.
  void reported(long long hz, char vfo = 'A') {
    p.link.lastFrequencyReply = std::string("F") + vfo + zeroPad(hz, 9);
    p.link.frequencyHz = hz;
  }
  std::string& record(int band) { return p.band.bandTable[static_cast<std::size_t>(band)]; }

  Station st;
  Panel& p;

 private:
  static StationOptions optionsFor(int model) {
    StationOptions options;
    options.model = model;
    return options;
  }
};

using Words = std::vector<std::string>;
using Commands = std::vector<std::string>;

inline bool contains(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace korvel::testing
