#include "radio_link/rig_capabilities.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "radio_link/rig_cat.h"

namespace korvel::rig {

namespace {

// rigctld's state block, version 1: the fixed lines, then "key=value" lines up to "done".
constexpr int kProtocolVersion = 1;
// Hamlib's model numbers of the radios it knows by the "ID" answer; any other is served as "NET rigctl".
constexpr int kNetRigctlModel = 2;
constexpr std::pair<int, int> kHamlibModels[] = {{761, 1042}};

constexpr long long kReceiveLow = 30'000;
constexpr long long kReceiveHigh = 56'000'000;
constexpr int kLowPowerMilliwatts = 5'000;
constexpr int kHighPowerMilliwatts = 100'000;
constexpr unsigned kVfoAB = 0x3;      // VFO A and VFO B
constexpr unsigned kAntenna1 = 0x1;
constexpr unsigned kPttByCat = 0x1;   // Hamlib's RIG_PTT_RIG
constexpr unsigned kTargetable = 0x3; // frequency and mode by VFO
constexpr int kTimeoutMs = 1000;
constexpr long kMaxRit = 9999;
constexpr long kMaxIfShift = 1200;

struct Range {
  long long low;
  long long high;
};
// The amateur bands the radio transmits on, up to the configured top band.
constexpr Range kHfBands[] = {{1'800'000, 2'000'000},   {3'500'000, 4'000'000},   {5'250'000, 5'450'000},
                              {7'000'000, 7'300'000},   {10'100'000, 10'150'000}, {14'000'000, 14'350'000},
                              {18'068'000, 18'168'000}, {21'000'000, 21'450'000}, {24'890'000, 24'990'000},
                              {28'000'000, 29'700'000}};
constexpr Range k6m{50'000'000, 54'000'000};
constexpr Range k2m{144'000'000, 148'000'000};
constexpr Range k70cm{430'000'000, 450'000'000};
constexpr Range kVhfReceive{118'000'000, 164'000'000};
constexpr Range kUhfReceive{420'000'000, 470'000'000};

int hamlibModel(int radioModel) {
  for (const auto& [id, hamlib] : kHamlibModels) {
    if (id == radioModel) return hamlib;
  }
  return kNetRigctlModel;
}

std::string hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
  return text;
}

std::string rangeLine(const Range& r, std::uint64_t modes, int low, int high) {
  return std::to_string(r.low) + " " + std::to_string(r.high) + " " + hex(modes) + " " + std::to_string(low) + " " +
         std::to_string(high) + " " + hex(kVfoAB) + " " + hex(kAntenna1) + "\n";
}

bool reaches(const StationCapabilities& s, std::string_view bands) { return bands.find(s.bandCoverage) != std::string_view::npos; }

bool offers(const StationCapabilities& s, std::string_view what) {
  for (const std::string& capability : s.offered) {
    if (capability == what) return true;
  }
  return false;
}

std::string flag(bool yes) { return yes ? "1" : "0"; }

}  // namespace

std::string dumpState(const StationCapabilities& s) {
  const RadioModel& row = s.model != nullptr ? *s.model : radioModel(0);
  const std::uint64_t modes = modeMask(row);
  std::string out = std::to_string(kProtocolVersion) + "\n" + std::to_string(hamlibModel(s.radioModel)) + "\n0\n";
  out += rangeLine({kReceiveLow, kReceiveHigh}, modes, -1, -1);
  if (reaches(s, "27")) out += rangeLine(kVhfReceive, modes, -1, -1);
  if (reaches(s, "7")) out += rangeLine(kUhfReceive, modes, -1, -1);
  out += "0 0 0 0 0 0 0\n";
  for (const Range& band : kHfBands) out += rangeLine(band, modes, kLowPowerMilliwatts, kHighPowerMilliwatts);
  if (reaches(s, "627")) out += rangeLine(k6m, modes, kLowPowerMilliwatts, kHighPowerMilliwatts);
  if (reaches(s, "27")) out += rangeLine(k2m, modes, kLowPowerMilliwatts, kHighPowerMilliwatts);
  if (reaches(s, "7")) out += rangeLine(k70cm, modes, kLowPowerMilliwatts, kHighPowerMilliwatts);
  out += "0 0 0 0 0 0 0\n";
  // Tuning steps, then filters: the first width of a mode is its normal passband.
  out += hex(modes) + " 10\n" + hex(modes) + " 100\n" + hex(modes) + " 1000\n0 0\n";
  const std::uint64_t sideband = modeMask(row, {"USB", "LSB", "PKTUSB", "PKTLSB", "RTTY", "RTTYR"});
  const std::uint64_t cw = modeMask(row, {"CW", "CWR"});
  const std::uint64_t fm = modeMask(row, {"FM", "PKTFM", "C4FM"});
  for (const long width : {2400L, 1800L, 3000L}) out += hex(sideband) + " " + std::to_string(width) + "\n";
  for (const long width : {600L, 300L, 800L}) out += hex(cw) + " " + std::to_string(width) + "\n";
  out += hex(modeMask(row, {"AM"})) + " 9000\n";
  if (const std::uint64_t narrowAm = modeMask(row, {"AMN"}); narrowAm != 0) out += hex(narrowAm) + " 6000\n";
  out += hex(fm) + " 16000\n" + hex(modeMask(row, {"FMN"})) + " 9000\n0 0\n";
  out += std::to_string(kMaxRit) + "\n" + std::to_string(kMaxRit) + "\n" + std::to_string(kMaxIfShift) + "\n0\n";
  out += "10 20 \n6 12 18 \n";
  out += "0x0\n0x0\n" + hex(levelMask(false)) + "\n" + hex(levelMask(true)) + "\n0x0\n0x0\n";
  out += "vfo_ops=0x0\nptt_type=" + hex(kPttByCat) + "\ntargetable_vfo=" + hex(kTargetable) + "\n";
  out += "has_set_vfo=" + flag(offers(s, "set VFO")) + "\nhas_get_vfo=" + flag(offers(s, "get VFO")) + "\n";
  out += "has_set_freq=" + flag(offers(s, "set Frequency")) + "\nhas_get_freq=" + flag(offers(s, "get Frequency")) + "\n";
  out += "has_set_conf=0\nhas_get_conf=0\n";
  out += "has_power2mW=0\nhas_mW2power=0\ntimeout=" + std::to_string(kTimeoutMs) + "\n";
  out += "rig_model=" + std::to_string(hamlibModel(s.radioModel)) + "\nrigctld_version=Korvel " + s.version + "\n";
  return out + "done\n";
}

std::string dumpCaps(const StationCapabilities& s) {
  std::string out = "Caps dump for model: " + std::to_string(hamlibModel(s.radioModel)) + "\n";
  out += "Model name:\tKorvel rig server\nMfg name:\tYaesu\nBackend version:\t" + s.version + "\n";
  out += "Hamlib version:\tKorvel " + s.version + " (rigctld protocol 1)\n";
  out += "Rig type:\tTransceiver\nPTT type:\tRig capable\n";
  // Every line a logger may look for; "Y" for what the server's commands do.
  constexpr const char* kAbilities[] = {
      "set Frequency",  "get Frequency",  "set Mode",       "get Mode",       "set VFO",        "get VFO",
      "set PTT",        "get PTT",        "set Split Freq", "get Split Freq", "set Split Mode", "get Split Mode",
      "set Split VFO",  "get Split VFO",  "set Power Stat", "get Power Stat", "set Func",       "get Func",
      "set Level",      "get Level",      "send Morse",     "send Voice",     "get power2mW",   "get mW2power",
  };
  for (const char* what : kAbilities) out += std::string("Can ") + what + ":\t" + (offers(s, what) ? "Y" : "N") + "\n";
  return out;
}

}  // namespace korvel::rig
