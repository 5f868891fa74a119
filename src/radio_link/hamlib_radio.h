// A radio Hamlib drives (any of its models: Icom, Kenwood, Elecraft, the older Yaesus, or model 2,
// a rigctld on another computer), met by the radio link as a port that speaks the program's CAT
// language: each command written to it becomes a Hamlib call, each question's answer comes back as
// the reply a newcat radio would give. What the model cannot do is refused ("?;"), as a Yaesu
// refuses a command it has not.
//
// Hamlib's calls wait on the radio (a serial time-out is a second or more): they run on a thread
// of their own, never where the keys are read and the words played. Replies wake the event wait
// through the port's input handle like a serial line's bytes.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "platform/serial_ports.h"

namespace korvel::radio_link {

// The number a radio through Hamlib gives to "ID": its row in the model table.
inline constexpr int kHamlibRadioIdentity = 999;
// How long a question to a radio through Hamlib may take: Hamlib's own calls, and behind model 2 a
// network and another program, answer more slowly than a serial newcat radio.
inline constexpr int kHamlibAnswerDeadlineMs = 1000;
// Hamlib's "NET rigctl" model: a rigctld elsewhere, reached at HOST:PORT.
inline constexpr int kHamlibNetworkModel = 2;

// What an open Hamlib radio can be told, as its model (or, for model 2, the rigctld) says.
struct HamlibAbilities {
  bool known = false;                 // false until the radio has been opened
  std::uint64_t functions = 0;        // Hamlib's function bits it can set
  std::uint64_t levels = 0;           // Hamlib's level bits it can set
  bool tones = false;                 // a CTCSS tone
  bool shift = false;                 // a repeater shift
  bool split = false;
  bool tune = false;                  // the tuner's "tune" operation
};

// Whether a radio with these abilities refuses a command (without ";") before it is sent: what
// its model has not, and what only Yaesu's language has (menus, contour, voice messages, zero-in).
bool refusedBy(const HamlibAbilities& abilities, std::string_view command);

struct HamlibSettings {
  int model = 0;          // Hamlib's model number; 0: no Hamlib radio
  std::string port;       // a device ("/dev/ttyUSB0") or, for model 2, HOST:PORT; empty: Hamlib's default
  int speed = 0;          // serial speed; 0: the model's own default
};

// One Hamlib radio and the CAT it is spoken to in: the translation, without threads, so that a
// test can drive it call by call.
class HamlibRig {
 public:
  explicit HamlibRig(HamlibSettings settings);
  ~HamlibRig();
  HamlibRig(const HamlibRig&) = delete;
  HamlibRig& operator=(const HamlibRig&) = delete;

  // Opens the radio; false (with the reason in why) when it cannot be opened now.
  bool open(std::string& why);
  bool isOpen() const { return open_; }
  void close();
  // One CAT command (without ";"): the reply a newcat radio would give (";" included), "?;" for
  // what the radio cannot do, empty for a setting taken. Nothing at all (nullopt) when the radio did
  // not answer: the line is lost, and the rig is closed to be opened again.
  std::optional<std::string> perform(std::string_view command);
  HamlibAbilities abilities() const;
  // The model's name as Hamlib knows it ("IC-7300").
  std::string modelName() const;

 private:
  struct Rig;
  HamlibSettings settings_;
  std::unique_ptr<Rig> rig_;
  bool open_ = false;
};

// A radio Hamlib's probe found on a serial device.
struct HamlibFind {
  int model = 0;       // Hamlib's model number
  std::string maker;   // "Icom"
  std::string name;    // "IC-7200"
  int speed = 0;       // a speed it answered at
};

// Hamlib's probe on one serial device: the first radio its backends recognise (Icom's CI-V,
// Kenwood's and Elecraft's "ID;", and the few others Hamlib can ask), and a speed it answers at.
// knownSpeed, when not 0, is a speed the device has already answered at. Slow on a silent device:
// each backend asks at each of its speeds (Icom's, every CI-V address), about half a minute in all.
std::optional<HamlibFind> probeWithHamlib(const std::string& device, int knownSpeed);

// The port the radio link opens: any slot opens the Hamlib radio.
class HamlibRadio : public platform::SerialPorts {
 public:
  explicit HamlibRadio(HamlibSettings settings);
  ~HamlibRadio() override;

  int openPort(int n, int baud) override;
  void closePort(int n) override;
  void setPortReadTimeouts(int, int) override {}
  int setPortFrame(int, int, int, int) override { return 0; }
  int portBytesWaiting(int n) override;
  int readPort(int n, char* buffer, int maximum) override;
  int writePort(int n, const char* bytes, int length) override;
  platform::InputHandle inputHandle(int n) override;
  // After Hamlib has lost the radio (or could not open it), until it is open again.
  bool knownSilent(int n) override;
  bool knownToRefuse(int n, const std::string& command) override;

 private:
  void work();
  void stop();
  void wake();

  HamlibSettings settings_;
  std::mutex mutex_;
  std::condition_variable moreWork_;
  std::deque<std::string> commands_;   // whole commands without ";", in the order written
  std::string written_;                // the start of a command not yet ended by ";"
  std::string replies_;                // what the radio said, not yet read
  bool stopping_ = false;
  bool running_ = false;
  bool lost_ = false;                  // Hamlib lost the radio and has not opened it again
  HamlibAbilities abilities_;          // as the radio last opened said
#ifdef _WIN32
  void* replyEvent_ = nullptr;         // a manual-reset event, set while replies wait to be read
#else
  int wakeRead_ = -1;                  // the pipe a reply wakes the event wait through
  int wakeWrite_ = -1;
#endif
  std::thread worker_;
};

}  // namespace korvel::radio_link
