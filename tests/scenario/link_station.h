// A station prepared for the radio-link scenarios: start values set, the radio port open, and the
// band table holding known records, so that what goes over the wire can be read off exactly.
#pragma once

#include <string>

#include "state/panel.h"
#include "radio_link/transport.h"
#include "station.h"

namespace korvel::testing {

// A plain record: kind, mode digit, "A" + nine digits, "B" + the same nine digits, tone, preamp.
inline std::string plainRecord(const std::string& nineDigits, char mode = '1', const std::string& tone = "999",
                               char preamp = '0') {
  return std::string("0") + mode + "A" + nineDigits + "B" + nineDigits + tone + preamp;
}

// A repeater record: kind "5", the shift sign and the offset in kilohertz in place of VFO B.
inline std::string repeaterRecord(const std::string& nineDigits, char mode, char sign, const std::string& khz4,
                                  const std::string& tone = "999", char preamp = '0') {
  return std::string("5") + mode + "A" + nineDigits + "B" + sign + "0000" + khz4 + tone + preamp;
}

// A station with the simulated radio of this model on port 5 (0: nothing on the line).
inline StationOptions withRadio(int model) {
  StationOptions options;
  options.model = model;
  return options;
}

inline void fillBandTable(Panel& p) {
  static const char* const kDigits[15] = {"",          "001840000", "003573000", "005357000", "007100000",
                                          "010136000", "014200000", "018100000", "021200000", "024940000",
                                          "028500000", "050150000", "145500000", "433500000", "009670000"};
  for (int band = 1; band <= 14; ++band) p.band.bandTable[static_cast<std::size_t>(band)] = plainRecord(kDigits[band]);
}

// Start values, the configuration values the link reads, a known band table, the radio port open.
inline void prepareLink(Station& st) {
  Panel& p = st.panel;
  st.setStartValues();
  p.config.comPort = 5;
  p.config.baudRate = 38400;
  p.config.txPower = 100;
  p.config.tunerState = 1;
  p.config.repeaterOffsetKhz[10] = "100";
  p.config.repeaterOffsetKhz[11] = "500";
  p.config.repeaterOffsetKhz[12] = "600";
  p.config.repeaterOffsetKhz[13] = "7600";
  fillBandTable(p);
  p.band.currentBand = 4;
  p.mode.currentMode = 1;
  p.core.running = 1;
  setUpPort(p, 5);
  st.sent();
  st.words();
}

// A station already past its connection: replies now go through the frequency handler proper.
inline void markConnected(Station& st) {
  st.panel.link.connected = 1;
  st.panel.link.frequencyHz = 7100000;
}

}  // namespace korvel::testing
