#include "core/config.h"

#include <fstream>
#include <string>
#include <vector>

#include "state/panel.h"
#include "state/text.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

// One line as the reader sees it: up to 255 characters, line ends (CR LF, LF or a lone CR) stripped.
std::string readLine(std::istream& in) {
  std::string line;
  char c;
  while (in.get(c)) {
    if (c == '\n') break;
    if (c == '\r') {
      if (in.peek() == '\n') in.get();
      break;
    }
    if (line.size() < kReadCap) line += c;
  }
  return line;
}

long lengthOf(const std::string& s) { return static_cast<long>(s.size()); }

}  // namespace

int portOfLine(std::string_view line) {
  return static_cast<int>(wholeValueOf(line.size() == kTwoDigitPortLine ? right(line, 2) : right(line, 1)));
}

int speedOfLine(std::string_view line) {
  return static_cast<int>(wholeValueOf(mid(line, static_cast<long>(kSpeedLabelLength) + 1)));
}

void readConfiguration(Panel& p, std::istream& in) {
  std::vector<std::string> lines;
  for (int i = 0; i < 14; ++i) lines.push_back(readLine(in));
  auto& c = p.config;

  c.comPort = portOfLine(lines[0]);
  c.baudRate = speedOfLine(lines[1]);
  // Line 3: the length says how many trailing digits the power has.
  const long powerLength = lengthOf(lines[2]);
  c.txPower = powerLength >= 7 && powerLength <= 9 ? static_cast<int>(wholeValueOf(right(lines[2], powerLength - 6))) : 0;
  if (c.txPower < 5) c.txPower = 5;
  c.maxPower = c.txPower;
  c.swrAnnounce = static_cast<int>(wholeValueOf(mid(lines[3], 5, 1)));
  c.tunerState = static_cast<int>(wholeValueOf(mid(lines[4], 5, 1)));
  c.bandCoverage = mid(lines[5], 9, 1);
  c.radioPowerSwitch = wholeValueOf(mid(lines[6], 8, 1)) == 1;
  c.dcsAllowed = wholeValueOf(mid(lines[7], 5, 1)) != 0;

  c.repeaterOffsetMinus[band_number::k10m] = mid(lines[8], 7, 1) == "-" ? 1 : 0;
  c.repeaterOffsetKhz[band_number::k10m] = mid(lines[8], 8, 3);
  struct OffsetLine {
    int band;
    int line;
    long signAt;
    long digits;
  };
  for (const OffsetLine o : {OffsetLine{11, 9, 6, 3}, OffsetLine{12, 10, 6, 3}, OffsetLine{13, 11, 7, 4}}) {
    const std::string& text = lines[static_cast<std::size_t>(o.line)];
    c.repeaterOffsetMinus[o.band] = mid(text, o.signAt, 1) == "-" ? 1 : 0;
    c.repeaterOffsetKhz[o.band] = mid(text, o.signAt + 1, o.digits);
    c.configuredOffsetMinus[o.band] = c.repeaterOffsetMinus[o.band];
    c.configuredOffsetKhz[o.band] = c.repeaterOffsetKhz[o.band];
  }
  // An offset line that is too short leaves "0" rather than an empty text.
  for (int band = band_number::k10m; band <= band_number::k70cm; ++band) {
    if (c.repeaterOffsetKhz[band].empty()) c.repeaterOffsetKhz[band] = "0";
    if (band > band_number::k10m && c.configuredOffsetKhz[band].empty()) c.configuredOffsetKhz[band] = "0";
  }

  c.passThroughPort = static_cast<int>(wholeValueOf(lengthOf(lines[12]) == 9 ? right(lines[12], 2) : right(lines[12], 1)));
  c.debugLog = wholeValueOf(mid(lines[13], 7, 1)) == 1;
}

bool readConfiguration(Panel& p) {
  std::ifstream in(p.folder / "korvel.cfg", std::ios::binary);
  if (!in) return false;
  readConfiguration(p, in);
  return true;
}

}  // namespace korvel
