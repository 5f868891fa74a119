#include "radio_link/hamlib_radio.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include <hamlib/rig.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "radio_link/rig_cat.h"
#include "state/modes.h"
#include "state/radio_numbers.h"
#include "state/text.h"

namespace korvel::radio_link {

namespace {

constexpr std::string_view kRefused = "?;";
// A radio whose line was lost is opened again at most this often.
constexpr auto kReopenInterval = std::chrono::seconds(1);
constexpr int kFrequencyDigits = 9;
// The radio's own numbers for its levels: what 1.0 of Hamlib's level is.
constexpr double kByteScale = 255;     // AF, RF, squelch, meters
constexpr double kPercentScale = 100;  // power, microphone gain, processor, monitor
constexpr double kNoiseBlankerScale = 10;
constexpr double kNoiseReductionScale = 15;
// The AGC steps as the radio numbers them: off, fast, mid, slow, auto.
constexpr std::array<int, 5> kAgcSteps = {RIG_AGC_OFF, RIG_AGC_FAST, RIG_AGC_MEDIUM, RIG_AGC_SLOW, RIG_AGC_AUTO};

std::string padded(long long value, int digits) { return zeroPad(std::max(0LL, value), digits); }
int scaled(float value, double scale) { return static_cast<int>(std::lround(std::clamp(value * scale, 0.0, scale))); }
float unscaled(long value, double scale) { return static_cast<float>(std::clamp(value / scale, 0.0, 1.0)); }

// Whether an error means the line to the radio is gone, rather than the radio saying no.
bool lineLost(int code) {
  const int error = -code;
  return error == RIG_ETIMEOUT || error == RIG_EIO || error == RIG_EPROTO || error == RIG_BUSERROR ||
         error == RIG_ETRUNC;
}

struct LevelCommand {
  std::string_view letters;  // as the program writes it ("AG0")
  setting_t level;
  double scale;              // the radio's number for 1.0; 0 for a whole-number level
  int digits;
};

constexpr std::array<LevelCommand, 11> kLevelCommands = {{
    {"AG0", RIG_LEVEL_AF, kByteScale, 3},
    {"RG0", RIG_LEVEL_RF, kByteScale, 3},
    {"SQ0", RIG_LEVEL_SQL, kByteScale, 3},
    {"PC", RIG_LEVEL_RFPOWER, kPercentScale, 3},
    {"MG", RIG_LEVEL_MICGAIN, kPercentScale, 3},
    {"PL", RIG_LEVEL_COMP, kPercentScale, 3},
    {"ML1", RIG_LEVEL_MONITOR_GAIN, kPercentScale, 3},
    {"NL00", RIG_LEVEL_NB, kNoiseBlankerScale, 2},
    {"RL0", RIG_LEVEL_NR, kNoiseReductionScale, 2},
    {"RM4", RIG_LEVEL_ALC, kByteScale, 3},
    {"RM5", RIG_LEVEL_RFPOWER_METER, kByteScale, 3},
}};

struct SwitchCommand {
  std::string_view letters;  // followed by one digit, 0 or 1 ("NB01")
  setting_t function;
};

constexpr std::array<SwitchCommand, 6> kSwitchCommands = {{
    {"NB0", RIG_FUNC_NB},
    {"NR0", RIG_FUNC_NR},
    {"BC0", RIG_FUNC_ANF},
    {"BI", RIG_FUNC_FBKIN},
    {"VX", RIG_FUNC_VOX},
    {"PR0", RIG_FUNC_COMP},
}};

}  // namespace

bool refusedBy(const HamlibAbilities& a, std::string_view command) {
  if (!a.known) return false;
  const auto starts = [command](std::string_view letters) { return command.starts_with(letters); };
  const auto setting = [command](std::string_view letters) { return command.size() > letters.size(); };
  for (const std::string_view yaesuOnly : {"EX", "CO", "PB", "LM", "ZI"}) {
    if (starts(yaesuOnly)) return true;
  }
  for (const LevelCommand& level : kLevelCommands) {
    if (starts(level.letters)) return setting(level.letters) && (a.levels & level.level) == 0;
  }
  for (const SwitchCommand& s : kSwitchCommands) {
    if (starts(s.letters)) return setting(s.letters) && (a.functions & s.function) == 0;
  }
  if (starts("KS")) return setting("KS") && (a.levels & RIG_LEVEL_KEYSPD) == 0;
  if (starts("GT0")) return setting("GT0") && (a.levels & RIG_LEVEL_AGC) == 0;
  if (starts("PA0")) return setting("PA0") && (a.levels & RIG_LEVEL_PREAMP) == 0;
  if (starts("RA0")) return setting("RA0") && (a.levels & RIG_LEVEL_ATT) == 0;
  if (starts("ML0")) return setting("ML0") && (a.functions & RIG_FUNC_MON) == 0;
  if (starts("AC00") && setting("AC00")) return command.back() >= '2' ? !a.tune : (a.functions & RIG_FUNC_TUNER) == 0;
  if (starts("CT0")) return setting("CT0") && (a.functions & (RIG_FUNC_TONE | RIG_FUNC_TSQL)) == 0;
  if (starts("CN00")) return !a.tones;
  if (starts("OS0")) return !a.shift;
  if (command == "FT2" || command == "FT3") return !a.split;
  return false;
}

struct HamlibRig::Rig {
  RIG* rig = nullptr;
};

HamlibRig::HamlibRig(HamlibSettings settings) : settings_(std::move(settings)), rig_(std::make_unique<Rig>()) {
  rig_set_debug(RIG_DEBUG_NONE);
}

HamlibRig::~HamlibRig() { close(); }

bool HamlibRig::open(std::string& why) {
  close();
  RIG* rig = rig_init(settings_.model);
  if (rig == nullptr) {
    why = "Hamlib has no radio model " + std::to_string(settings_.model);
    return false;
  }
  if (!settings_.port.empty()) rig_set_conf(rig, rig_token_lookup(rig, "rig_pathname"), settings_.port.c_str());
  if (settings_.speed > 0) {
    rig_set_conf(rig, rig_token_lookup(rig, "serial_speed"), std::to_string(settings_.speed).c_str());
  }
  // The transmitter is keyed by the radio's own command; a model that names no way to key it (the
  // dummy radio) is given that one.
  if (rig->caps->ptt_type == RIG_PTT_NONE) rig_set_conf(rig, rig_token_lookup(rig, "ptt_type"), "RIG");
  if (const int code = rig_open(rig); code != RIG_OK) {
    why = std::string("Hamlib cannot open the radio: ") + rigerror(code);
    rig_cleanup(rig);
    return false;
  }
  rig_->rig = rig;
  open_ = true;
  return true;
}

void HamlibRig::close() {
  if (rig_->rig == nullptr) return;
  if (open_) rig_close(rig_->rig);
  rig_cleanup(rig_->rig);
  rig_->rig = nullptr;
  open_ = false;
}

HamlibAbilities HamlibRig::abilities() const {
  HamlibAbilities a;
  RIG* rig = rig_->rig;
  if (!open_ || rig == nullptr) return a;
  constexpr setting_t kAll = ~setting_t{0};
  a.known = true;
  a.functions = rig_has_set_func(rig, kAll);
  a.levels = rig_has_set_level(rig, kAll);
  a.tones = rig->caps->set_ctcss_tone != nullptr;
  a.shift = rig->caps->set_rptr_shift != nullptr;
  a.split = rig->caps->set_split_vfo != nullptr;
  a.tune = rig_has_vfo_op(rig, RIG_OP_TUNE) != 0;
  return a;
}

std::string HamlibRig::modelName() const {
  if (rig_->rig == nullptr) return {};
  return rig_->rig->caps->model_name;
}

std::optional<std::string> HamlibRig::perform(std::string_view command) {
  if (!open_) return std::nullopt;
  RIG* rig = rig_->rig;
  int code = RIG_OK;
  // The outcome of a setting: taken (no reply), refused, or the line lost.
  const auto outcome = [this, &code]() -> std::optional<std::string> {
    if (code == RIG_OK) return std::string();
    if (lineLost(code)) {
      close();
      return std::nullopt;
    }
    return std::string(kRefused);
  };
  // A question's reply, or what its failure says.
  const auto reply = [&outcome, &code](const std::string& text) -> std::optional<std::string> {
    if (code == RIG_OK) return text + ";";
    return outcome();
  };
  const auto starts = [command](std::string_view letters) { return command.starts_with(letters); };
  const std::string_view rest = command.size() > 2 ? command.substr(2) : std::string_view();

  // Frequencies: "FA" asks, "FA014074000" tunes.
  if (starts("FA") || starts("FB")) {
    const vfo_t vfo = command[1] == 'B' ? RIG_VFO_B : RIG_VFO_A;
    if (rest.empty()) {
      freq_t hz = 0;
      code = rig_get_freq(rig, vfo, &hz);
      return reply(std::string(command.substr(0, 2)) + padded(std::llround(hz), kFrequencyDigits));
    }
    if (!isDigits(rest)) return std::string(kRefused);
    code = rig_set_freq(rig, vfo, static_cast<freq_t>(wholeValueOf(rest)));
    return outcome();
  }
  // Modes: "MD0" asks, "MD0C" sets; "MD1" is VFO B's.
  if (starts("MD0") || starts("MD1")) {
    const vfo_t vfo = command[2] == '1' ? RIG_VFO_B : RIG_VFO_CURR;
    if (command.size() == 3) {
      rmode_t mode = RIG_MODE_NONE;
      pbwidth_t width = 0;
      code = rig_get_mode(rig, vfo, &mode, &width);
      const ModeRow* row = modeByHamlibBit(mode);
      if (code == RIG_OK && row == nullptr) return std::string(kRefused);
      return reply(std::string(command.substr(0, 3)) + (row == nullptr ? '0' : row->radioCharacter));
    }
    const ModeRow* mode = modeByCharacter(command[3], true);
    if (mode == nullptr) return std::string(kRefused);
    code = rig_set_mode(rig, vfo, static_cast<rmode_t>(mode->hamlibBit), RIG_PASSBAND_NOCHANGE);
    return outcome();
  }
  // The filter: narrow or normal, or a width step of the mode's steps.
  if ((starts("NA0") && command.size() == 4) || (starts("SH0") && command.size() == 5 && isDigits(command.substr(3)))) {
    rmode_t mode = RIG_MODE_NONE;
    pbwidth_t width = 0;
    code = rig_get_mode(rig, RIG_VFO_CURR, &mode, &width);
    if (code != RIG_OK) return outcome();
    if (starts("NA0")) {
      width = command[3] == '1' ? rig_passband_narrow(rig, mode) : rig_passband_normal(rig, mode);
    } else {
      // Only the modes with width steps (sideband, data, CW) take one.
      const ModeRow* row = modeByHamlibBit(mode);
      const int step = row == nullptr || rig::widthIndexFor(*row, 1) == 0 ? 0 : static_cast<int>(wholeValueOf(command.substr(3)));
      width = step == 0 ? RIG_PASSBAND_NOCHANGE : rig::passbandOf(*row, step);
    }
    code = rig_set_mode(rig, RIG_VFO_CURR, mode, width);
    return outcome();
  }
  if (command == "ID") return "ID" + padded(kHamlibRadioIdentity, 4) + ";";
  if (command == "PS") return std::string("PS1;");
  if (starts("PS")) {
    code = rig_set_powerstat(rig, command == "PS1" ? RIG_POWER_ON : RIG_POWER_OFF);
    return outcome();
  }
  if (starts("AI")) return command == "AI" ? std::optional<std::string>("AI0;") : std::string();
  // The transmitter.
  if (starts("TX")) {
    if (command == "TX") {
      ptt_t ptt = RIG_PTT_OFF;
      code = rig_get_ptt(rig, RIG_VFO_CURR, &ptt);
      return reply(std::string("TX") + (ptt == RIG_PTT_OFF ? "0" : "1"));
    }
    code = rig_set_ptt(rig, RIG_VFO_CURR, command == "TX0" ? RIG_PTT_OFF : RIG_PTT_ON);
    return outcome();
  }
  // Meters: the S-meter and the SWR as the radio's raw readings.
  if (command == "SM0") {
    value_t value{};
    code = rig_get_level(rig, RIG_VFO_CURR, RIG_LEVEL_STRENGTH, &value);
    return reply("SM0" + padded(rig::readingOfStrength(value.i), 3));
  }
  if (command == "RM6") {
    value_t value{};
    code = rig_get_level(rig, RIG_VFO_CURR, RIG_LEVEL_SWR, &value);
    return reply("RM6" + padded(rig::readingOfSwr(value.f), 3));
  }
  // Levels: the letters alone ask, with digits they set.
  for (const LevelCommand& level : kLevelCommands) {
    if (!starts(level.letters)) continue;
    const std::string_view digits = command.substr(level.letters.size());
    if (digits.empty()) {
      value_t value{};
      code = rig_get_level(rig, RIG_VFO_CURR, level.level, &value);
      return reply(std::string(level.letters) + padded(scaled(value.f, level.scale), level.digits));
    }
    if (!isDigits(digits)) return std::string(kRefused);
    value_t value{};
    value.f = unscaled(wholeValueOf(digits), level.scale);
    code = rig_set_level(rig, RIG_VFO_CURR, level.level, value);
    return outcome();
  }
  if (starts("KS")) {  // the keyer speed, in words per minute
    value_t value{};
    if (command == "KS") {
      code = rig_get_level(rig, RIG_VFO_CURR, RIG_LEVEL_KEYSPD, &value);
      return reply("KS" + padded(value.i, 3));
    }
    value.i = static_cast<int>(wholeValueOf(command.substr(2)));
    code = rig_set_level(rig, RIG_VFO_CURR, RIG_LEVEL_KEYSPD, value);
    return outcome();
  }
  if (starts("GT0")) {  // AGC
    value_t value{};
    if (command == "GT0") {
      code = rig_get_level(rig, RIG_VFO_CURR, RIG_LEVEL_AGC, &value);
      const auto step = std::find(kAgcSteps.begin(), kAgcSteps.end(), value.i);
      return reply("GT0" + std::to_string(step == kAgcSteps.end() ? kAgcSteps.size() - 1 : step - kAgcSteps.begin()));
    }
    const auto step = static_cast<std::size_t>(std::clamp<long>(wholeValueOf(command.substr(3)), 0, kAgcSteps.size() - 1));
    value.i = kAgcSteps[step];
    code = rig_set_level(rig, RIG_VFO_CURR, RIG_LEVEL_AGC, value);
    return outcome();
  }
  // Preamp and attenuator: the radio's first steps.
  if (starts("PA0") && command.size() == 4) {
    value_t value{};
    const int step = command[3] - '0';
    value.i = step > 0 && step <= HAMLIB_MAXDBLSTSIZ ? rig->caps->preamp[step - 1] : 0;
    code = rig_set_level(rig, RIG_VFO_CURR, RIG_LEVEL_PREAMP, value);
    return outcome();
  }
  if (starts("RA0") && command.size() == 4) {
    value_t value{};
    value.i = command[3] == '1' ? rig->caps->attenuator[0] : 0;
    code = rig_set_level(rig, RIG_VFO_CURR, RIG_LEVEL_ATT, value);
    return outcome();
  }
  // Functions switched on and off.
  for (const SwitchCommand& s : kSwitchCommands) {
    if (!starts(s.letters)) continue;
    const std::string_view state = command.substr(s.letters.size());
    if (state.empty()) {
      int on = 0;
      code = rig_get_func(rig, RIG_VFO_CURR, s.function, &on);
      return reply(std::string(s.letters) + (on != 0 ? "1" : "0"));
    }
    code = rig_set_func(rig, RIG_VFO_CURR, s.function, state.back() == '1' ? 1 : 0);
    return outcome();
  }
  if (starts("ML0")) {  // the monitor: "001" on
    int on = 0;
    if (command == "ML0") {
      code = rig_get_func(rig, RIG_VFO_CURR, RIG_FUNC_MON, &on);
      return reply(std::string("ML0") + (on != 0 ? "001" : "000"));
    }
    code = rig_set_func(rig, RIG_VFO_CURR, RIG_FUNC_MON, command.ends_with('1') ? 1 : 0);
    return outcome();
  }
  if (starts("AC00") && command.size() == 5) {  // the tuner: in line, out, or start tuning
    if (command.back() >= '2') {
      code = rig_vfo_op(rig, RIG_VFO_CURR, RIG_OP_TUNE);
    } else {
      code = rig_set_func(rig, RIG_VFO_CURR, RIG_FUNC_TUNER, command.back() == '1' ? 1 : 0);
    }
    return outcome();
  }
  if (command == "FT3" || command == "FT2") {  // split: transmitting on VFO B
    code = rig_set_split_vfo(rig, RIG_VFO_A, command == "FT3" ? RIG_SPLIT_ON : RIG_SPLIT_OFF, RIG_VFO_B);
    return outcome();
  }
  if (command == "VS0" || command == "VS1") {
    code = rig_set_vfo(rig, command == "VS1" ? RIG_VFO_B : RIG_VFO_A);
    return outcome();
  }
  if (command == "SV") {  // VFO A to VFO B
    code = rig_vfo_op(rig, RIG_VFO_CURR, RIG_OP_CPY);
    return outcome();
  }
  if (starts("OS0") && command.size() == 4) {  // the repeater shift
    const rptr_shift_t shift = command[3] == '1' ? RIG_RPT_SHIFT_PLUS : command[3] == '2' ? RIG_RPT_SHIFT_MINUS : RIG_RPT_SHIFT_NONE;
    code = rig_set_rptr_shift(rig, RIG_VFO_CURR, shift);
    return outcome();
  }
  if (starts("CN00") && command.size() == 7 && isDigits(command.substr(4))) {  // a CTCSS tone by its number
    const auto n = static_cast<std::size_t>(wholeValueOf(command.substr(4)));
    if (n >= kCtcssTenthsHz.size()) return std::string(kRefused);
    code = rig_set_ctcss_tone(rig, RIG_VFO_CURR, static_cast<tone_t>(kCtcssTenthsHz[n]));
    if (code == RIG_OK) code = rig_set_ctcss_sql(rig, RIG_VFO_CURR, static_cast<tone_t>(kCtcssTenthsHz[n]));
    return outcome();
  }
  if (starts("CT0") && command.size() == 4) {  // the tone: off, or the CTCSS encoder and decoder
    code = rig_set_func(rig, RIG_VFO_CURR, RIG_FUNC_TONE, command[3] == '2' ? 1 : 0);
    if (code == RIG_OK || command[3] != '2') code = rig_set_func(rig, RIG_VFO_CURR, RIG_FUNC_TSQL, command[3] == '2' ? 1 : 0);
    return outcome();
  }
  // The radio's menus, contour, voice messages, zero-in and the rest are Yaesu's own.
  return std::string(kRefused);
}

// ---- Hamlib's probe ----

namespace {

// The speeds a probed model is tried at to learn its speed, most common first.
constexpr std::array<int, 7> kProbeSpeeds = {19200, 9600, 38400, 115200, 4800, 57600, 1200};
// How long the speed check waits for an answer, and how often it asks again, at each speed.
constexpr const char* kProbeAnswerMs = "500";
constexpr const char* kProbeRetries = "0";

// Whether the model answers a frequency question on the device at that speed.
bool answersAt(int model, const std::string& device, int speed) {
  RIG* rig = rig_init(model);
  if (rig == nullptr) return false;
  rig_set_conf(rig, rig_token_lookup(rig, "rig_pathname"), device.c_str());
  rig_set_conf(rig, rig_token_lookup(rig, "serial_speed"), std::to_string(speed).c_str());
  rig_set_conf(rig, rig_token_lookup(rig, "timeout"), kProbeAnswerMs);
  rig_set_conf(rig, rig_token_lookup(rig, "retry"), kProbeRetries);
  bool answered = false;
  if (rig_open(rig) == RIG_OK) {
    freq_t hertz = 0;
    answered = rig_get_freq(rig, RIG_VFO_CURR, &hertz) == RIG_OK && hertz > 0;
    rig_close(rig);
  }
  rig_cleanup(rig);
  return answered;
}

}  // namespace

std::optional<HamlibFind> probeWithHamlib(const std::string& device, int knownSpeed) {
  rig_set_debug(RIG_DEBUG_NONE);
  hamlib_port_t port{};
  port.type.rig = RIG_PORT_SERIAL;
  std::snprintf(port.pathname, sizeof port.pathname, "%s", device.c_str());
  port.parm.serial.data_bits = 8;
  port.parm.serial.stop_bits = 1;
  port.parm.serial.parity = RIG_PARITY_NONE;
  port.parm.serial.handshake = RIG_HANDSHAKE_NONE;
  const rig_model_t model = rig_probe(&port);
  if (model == RIG_MODEL_NONE) return std::nullopt;
  rig_load_all_backends();
  const rig_caps* caps = rig_get_caps(model);
  if (caps == nullptr) return std::nullopt;
  HamlibFind found{static_cast<int>(model), caps->mfg_name, caps->model_name, knownSpeed};
  // The probe does not say at which speed the radio answered: the model is asked at each it offers.
  for (const int speed : kProbeSpeeds) {
    if (found.speed != 0) break;
    if (speed < caps->serial_rate_min || speed > caps->serial_rate_max) continue;
    if (answersAt(found.model, device, speed)) found.speed = speed;
  }
  if (found.speed == 0) return std::nullopt;
  return found;
}

// ---- The port: the rig on its own thread ----

HamlibRadio::HamlibRadio(HamlibSettings settings) : settings_(std::move(settings)) {
#ifdef _WIN32
  // The Windows event wait waits on objects, not descriptors: an event set while replies wait. It
  // is reset by hand once they are read, since the wait looks at it again before acting.
  replyEvent_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
#else
  int ends[2] = {-1, -1};
  if (pipe(ends) == 0) {
    wakeRead_ = ends[0];
    wakeWrite_ = ends[1];
    fcntl(wakeRead_, F_SETFL, fcntl(wakeRead_, F_GETFL) | O_NONBLOCK);
    fcntl(wakeWrite_, F_SETFL, fcntl(wakeWrite_, F_GETFL) | O_NONBLOCK);
  }
#endif
}

HamlibRadio::~HamlibRadio() {
  stop();
#ifdef _WIN32
  if (replyEvent_ != nullptr) CloseHandle(replyEvent_);
#else
  if (wakeRead_ >= 0) ::close(wakeRead_);
  if (wakeWrite_ >= 0) ::close(wakeWrite_);
#endif
}

int HamlibRadio::openPort(int, int) {
  stop();
  {
    std::lock_guard lock(mutex_);
    stopping_ = false;
    running_ = true;
    commands_.clear();
    written_.clear();
    replies_.clear();
    lost_ = false;
#ifdef _WIN32
    if (replyEvent_ != nullptr) ResetEvent(replyEvent_);
#endif
  }
  worker_ = std::thread([this] { work(); });
  return 1;
}

void HamlibRadio::closePort(int) { stop(); }

void HamlibRadio::stop() {
  {
    std::lock_guard lock(mutex_);
    if (!running_) return;
    stopping_ = true;
  }
  moreWork_.notify_all();
  if (worker_.joinable()) worker_.join();
  std::lock_guard lock(mutex_);
  running_ = false;
}

void HamlibRadio::wake() {
#ifdef _WIN32
  // Set only while replies are there: replies read in the meantime would leave it set for nothing,
  // and the wait would wake again and again.
  std::lock_guard lock(mutex_);
  if (replyEvent_ != nullptr && !replies_.empty()) SetEvent(replyEvent_);
#else
  if (wakeWrite_ < 0) return;
  const char byte = 1;
  [[maybe_unused]] const auto written = ::write(wakeWrite_, &byte, 1);
#endif
}

int HamlibRadio::portBytesWaiting(int) {
  std::lock_guard lock(mutex_);
  return static_cast<int>(replies_.size());
}

int HamlibRadio::readPort(int, char* buffer, int maximum) {
#ifndef _WIN32
  if (wakeRead_ >= 0) {
    char drain[64];
    while (::read(wakeRead_, drain, sizeof drain) > 0) {
    }
  }
#endif
  std::lock_guard lock(mutex_);
  const auto count = std::min(replies_.size(), static_cast<std::size_t>(std::max(0, maximum)));
  std::copy_n(replies_.begin(), count, buffer);
  replies_.erase(0, count);
#ifdef _WIN32
  if (replies_.empty() && replyEvent_ != nullptr) ResetEvent(replyEvent_);
#endif
  return static_cast<int>(count);
}

int HamlibRadio::writePort(int, const char* bytes, int length) {
  {
    std::lock_guard lock(mutex_);
    if (!running_) return 0;
    written_.append(bytes, static_cast<std::size_t>(std::max(0, length)));
    for (auto end = written_.find(';'); end != std::string::npos; end = written_.find(';')) {
      commands_.push_back(written_.substr(0, end));
      written_.erase(0, end + 1);
    }
  }
  moreWork_.notify_all();
  return length;
}

platform::InputHandle HamlibRadio::inputHandle(int) {
#ifdef _WIN32
  return replyEvent_ == nullptr ? platform::kNoInputHandle : reinterpret_cast<platform::InputHandle>(replyEvent_);
#else
  return wakeRead_;
#endif
}

bool HamlibRadio::knownToRefuse(int, const std::string& command) {
  std::lock_guard lock(mutex_);
  return refusedBy(abilities_, command);
}

bool HamlibRadio::knownSilent(int) {
  std::lock_guard lock(mutex_);
  return lost_;
}

void HamlibRadio::work() {
  HamlibRig rig(settings_);
  auto nextOpen = std::chrono::steady_clock::now();
  for (;;) {
    std::string command;
    {
      std::unique_lock lock(mutex_);
      moreWork_.wait(lock, [this] { return stopping_ || !commands_.empty(); });
      if (stopping_) return;
      command = std::move(commands_.front());
      commands_.pop_front();
    }
    // A radio not open (or whose line was lost) is opened again, at most once a second; until
    // then its commands go unanswered, as a radio switched off leaves them.
    if (!rig.isOpen() && std::chrono::steady_clock::now() >= nextOpen) {
      std::string why;
      const bool opened = rig.open(why);
      if (!opened) nextOpen = std::chrono::steady_clock::now() + kReopenInterval;
      std::lock_guard lock(mutex_);
      lost_ = !opened;
      if (opened) abilities_ = rig.abilities();
    }
    const auto answer = rig.perform(command);
    if (!answer) {
      if (!rig.isOpen()) {
        std::lock_guard lock(mutex_);
        lost_ = true;
      }
      continue;
    }
    if (answer->empty()) continue;
    {
      std::lock_guard lock(mutex_);
      replies_ += *answer;
    }
    wake();
  }
}

}  // namespace korvel::radio_link
