// korvel-sim: the simulated transceiver behind a pseudo-terminal. It links the terminal's slave side
// into the current folder under the given name (COM5), so korvel opens it like a serial port.

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

#include "transceiver.h"

namespace {

using Clock = std::chrono::steady_clock;

// Set by SIGINT, SIGTERM and SIGHUP; the serving loop polls it and leaves cleanly.
volatile std::sig_atomic_t stopRequested = 0;

extern "C" void onStopSignal(int) { stopRequested = 1; }

constexpr const char* kUsage =
    "usage: korvel-sim --link NAME [--model N] [--digits 8|9] [--reply-delay MS] [--hold-answers MS]\n"
    "                  [--speed BAUD] [--log FILE] [--powered-off] [--moving-meter]\n"
    "\n"
    "Simulates a Yaesu transceiver on a pseudo-terminal and links its slave side to NAME in the\n"
    "current folder (for example COM5, the port korvel.cfg names). Serves until interrupted;\n"
    "SIGINT or SIGTERM removes the link and exits.\n"
    "\n"
    "  --link NAME          the link to create (an existing link of that name is replaced)\n"
    "  --model N            the number the radio reports to \"ID\" (default 761); a known model\n"
    "                       answers \"?;\" to the commands that radio does not have\n"
    "  --digits 8|9         the frequency width of \"FA\", \"FB\" and \"IF\" (default: the model's,\n"
    "                       8 for the older radios such as the FT-950 and FTDX3000, else 9)\n"
    "  --reply-delay MS     wait MS milliseconds before sending each answer (default 0), as a slow\n"
    "                       radio or a serial line carried over a network does (also --reply-delay-ms)\n"
    "  --hold-answers MS    a careless radio: each answer is held back until the next one is ready\n"
    "                       or MS milliseconds have passed, and the answers held go out together\n"
    "  --speed BAUD         the radio's CAT rate (4800, 9600, 19200, 38400 or 115200): what the\n"
    "                       computer sends while its end of the line is set to another speed is\n"
    "                       noise to the radio and goes unanswered (default: any speed)\n"
    "  --log FILE           write one line per command received (\"in  \") and answer sent (\"out \")\n"
    "  --powered-off        start switched off: only \"PS1\" wakes the radio\n"
    "  --moving-meter       the S-meter creeps up and down at every reading, as on a live band\n"
    "  --help               show this text\n"
    "\n"
    "Hamlib's rigctl and rigctld talk to it as to the real radio: rigctl -m 1042 -r NAME f\n"
    "(the FTDX10, model 761; rigctl -l lists the other Yaesu numbers).\n";

constexpr std::size_t kMaxQueuedOutput = 64 * 1024;
constexpr int kDefaultModel = 761;
constexpr int kMaxReplyDelayMs = 60'000;
// Longer than any number an option takes: parsing stops before an int could overflow.
constexpr std::size_t kMaxNumberLength = 9;
// How long the serving loop sleeps in poll() at most, so that a stop signal is seen quickly.
constexpr int kIdlePollMs = 100;
// The wait while no side of the terminal is open, instead of spinning.
constexpr auto kHangUpPause = std::chrono::milliseconds(20);
constexpr std::size_t kReadChunk = 4096;
// The rates a Yaesu CAT port can be set to, and the terminal's names for them.
constexpr std::pair<int, speed_t> kRates[] = {{4800, B4800}, {9600, B9600}, {19200, B19200}, {38400, B38400}, {115200, B115200}};
constexpr int kFastestRate = 115200;

struct Options {
  int model = kDefaultModel;
  int digits = korvel::sim::Transceiver::kRowDigits;
  std::string link;
  int replyDelayMs = 0;
  int holdAnswersMs = 0;
  speed_t speed = 0;  // 0: any
  std::string logPath;
  bool poweredOff = false;
  bool movingMeter = false;
};

std::optional<int> parseCount(std::string_view text, int largest) {
  if (text.empty() || text.size() > kMaxNumberLength) return std::nullopt;
  int n = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  if (n > largest) return std::nullopt;
  return n;
}

// Returns the exit code when the program should end at once (help, bad arguments).
std::optional<int> parseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    std::string_view value;
    bool hasValue = false;
    if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
      hasValue = true;
    }
    const auto takeValue = [&]() -> std::optional<std::string_view> {
      if (hasValue) return value;
      if (i + 1 >= argc) return std::nullopt;
      return std::string_view(argv[++i]);
    };
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (arg == "--moving-meter") {
      options.movingMeter = true;
      continue;
    }
    if (arg == "--powered-off") {
      options.poweredOff = true;
      continue;
    }
    if (arg == "--reply-delay") arg = "--reply-delay-ms";
    const auto v = (arg == "--model" || arg == "--digits" || arg == "--link" || arg == "--reply-delay-ms" ||
                    arg == "--hold-answers" || arg == "--log" || arg == "--speed")
                       ? takeValue()
                       : std::nullopt;
    if (!v) {
      std::cerr << "korvel-sim: " << (arg.starts_with("--") ? "missing value for or unknown option " : "unexpected argument ")
                << arg << "\n"
                << kUsage;
      return 2;
    }
    if (arg == "--model") {
      const auto n = parseCount(*v, korvel::sim::Transceiver::kMaxModel);
      if (!n) {
        std::cerr << "korvel-sim: --model takes a number from 0 to 9999\n";
        return 2;
      }
      options.model = *n;
    } else if (arg == "--digits") {
      const auto n = parseCount(*v, korvel::sim::kNewerFrequencyDigits);
      if (n != korvel::sim::kOlderFrequencyDigits && n != korvel::sim::kNewerFrequencyDigits) {
        std::cerr << "korvel-sim: --digits takes 8 or 9\n";
        return 2;
      }
      options.digits = *n;
    } else if (arg == "--reply-delay-ms" || arg == "--hold-answers") {
      const auto n = parseCount(*v, kMaxReplyDelayMs);
      if (!n) {
        std::cerr << "korvel-sim: " << arg << " takes a number of milliseconds up to 60000\n";
        return 2;
      }
      (arg == "--hold-answers" ? options.holdAnswersMs : options.replyDelayMs) = *n;
    } else if (arg == "--speed") {
      const auto n = parseCount(*v, kFastestRate);
      const auto rate = std::find_if(std::begin(kRates), std::end(kRates), [&n](const auto& r) { return n && r.first == *n; });
      if (rate == std::end(kRates)) {
        std::cerr << "korvel-sim: --speed takes 4800, 9600, 19200, 38400 or 115200\n";
        return 2;
      }
      options.speed = rate->second;
    } else if (arg == "--link") {
      options.link = std::string(*v);
    } else {
      options.logPath = std::string(*v);
    }
  }
  if (options.link.empty()) {
    std::cerr << "korvel-sim: --link NAME is required\n" << kUsage;
    return 2;
  }
  return std::nullopt;
}

// Log lines show control and non-ASCII bytes as \xNN so that garbage stays on one line.
std::string printable(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7f && c != '\\') {
      out += c;
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", byte);
      out += hex;
    }
  }
  return out;
}

// The pseudo-terminal: the master we serve on and our own descriptor of the slave side, held open
// so that the master never reports a hang-up when a client closes the port.
class PseudoTerminal {
 public:
  PseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) fail("posix_openpt");
    if (grantpt(master_) != 0) fail("grantpt");
    if (unlockpt(master_) != 0) fail("unlockpt");
    char name[256];
    if (ptsname_r(master_, name, sizeof name) != 0) fail("ptsname_r");
    slavePath_ = name;
    slave_ = open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0) fail("open slave");
    // Started in a session of its own (setsid), the simulator makes the terminal that session's
    // controlling terminal: its end then comes as an ordinary hang-up to whoever holds the port,
    // which Wine's server handles (it does not survive the hang-up of a terminal nobody controls).
    if (getsid(0) == getpid()) ioctl(slave_, TIOCSCTTY, 0);
    termios settings{};
    if (tcgetattr(slave_, &settings) != 0) fail("tcgetattr");
    cfmakeraw(&settings);
    if (tcsetattr(slave_, TCSANOW, &settings) != 0) fail("tcsetattr");
    const int flags = fcntl(master_, F_GETFL);
    if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) fail("fcntl");
  }
  ~PseudoTerminal() {
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
  }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  int master() const { return master_; }
  const std::string& slavePath() const { return slavePath_; }

 private:
  [[noreturn]] void fail(const char* what) {
    const std::string message = std::string(what) + ": " + std::strerror(errno);
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
    throw std::runtime_error(message);
  }

  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
};

// The link in the current folder: replaces a stale link of the same name, never a real file, and
// on the way out removes the link only while it still points at our terminal.
class PortLink {
 public:
  PortLink(std::string path, std::string target) : path_(std::move(path)), target_(std::move(target)) {
    struct stat existing {};
    if (lstat(path_.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode)) {
      throw std::runtime_error(path_ + " exists and is not a link; not replacing it");
    }
    const std::string temporary = path_ + ".korvel-sim-" + std::to_string(getpid());
    unlink(temporary.c_str());
    if (symlink(target_.c_str(), temporary.c_str()) != 0) {
      throw std::runtime_error("symlink " + temporary + ": " + std::strerror(errno));
    }
    if (rename(temporary.c_str(), path_.c_str()) != 0) {
      const std::string message = "rename to " + path_ + ": " + std::strerror(errno);
      unlink(temporary.c_str());
      throw std::runtime_error(message);
    }
  }
  ~PortLink() {
    char pointsTo[512];
    const ssize_t n = readlink(path_.c_str(), pointsTo, sizeof pointsTo - 1);
    if (n >= 0 && std::string_view(pointsTo, static_cast<std::size_t>(n)) == target_) unlink(path_.c_str());
  }
  PortLink(const PortLink&) = delete;
  PortLink& operator=(const PortLink&) = delete;

 private:
  std::string path_;
  std::string target_;
};

void installSignalHandlers() {
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, nullptr);
}

struct DueOutput {
  Clock::time_point due;
  std::string bytes;
};

// Reads what the computer sends, lets the radio answer, and writes the answers back once their
// delay has passed, until a stop signal arrives. Held answers (hold > 0) wait for the next answer,
// or for the hold to pass, and go out together with it.
// What the computer's end of the line is set to: a pseudo-terminal's settings are one for both ends.
bool atSpeed(int master, speed_t speed) {
  if (speed == 0) return true;
  termios settings{};
  return tcgetattr(master, &settings) == 0 && cfgetospeed(&settings) == speed;
}

void serve(int master, korvel::sim::Transceiver& radio, std::chrono::milliseconds replyDelay,
           std::chrono::milliseconds hold, speed_t speed) {
  std::deque<DueOutput> delayed;
  std::string output;
  char buffer[kReadChunk];
  while (stopRequested == 0) {
    auto now = Clock::now();
    int timeoutMs = kIdlePollMs;
    if (!delayed.empty()) {
      const auto wait = std::chrono::ceil<std::chrono::milliseconds>(delayed.front().due - now).count();
      timeoutMs = static_cast<int>(std::clamp<long long>(wait, 0, timeoutMs));
    }
    pollfd watch{master, static_cast<short>(POLLIN | (output.empty() ? 0 : POLLOUT)), 0};
    const int ready = poll(&watch, 1, timeoutMs);
    if (ready < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error(std::string("poll: ") + std::strerror(errno));
    }
    now = Clock::now();
    if ((watch.revents & POLLIN) != 0) {
      const ssize_t n = read(master, buffer, sizeof buffer);
      if (n > 0 && atSpeed(master, speed)) {
        std::string reply = radio.receive(std::string_view(buffer, static_cast<std::size_t>(n)));
        if (!reply.empty()) {
          // An answer held back goes out with the next one, in the same write.
          const bool joins = hold.count() > 0 && !delayed.empty();
          if (joins) {
            for (auto& held : delayed) held.due = now + replyDelay;
          }
          const Clock::duration held = joins ? Clock::duration{} : Clock::duration{hold};
          delayed.push_back({now + replyDelay + held, std::move(reply)});
        }
      }
    } else if ((watch.revents & (POLLHUP | POLLERR)) != 0) {
      // No side of the terminal is open for the moment: wait instead of spinning.
      std::this_thread::sleep_for(kHangUpPause);
    }
    while (!delayed.empty() && delayed.front().due <= now) {
      const std::size_t room = kMaxQueuedOutput - std::min(kMaxQueuedOutput, output.size());
      output += delayed.front().bytes.substr(0, room);  // a client that never reads loses the excess
      delayed.pop_front();
    }
    if (!output.empty()) {
      const ssize_t written = write(master, output.data(), output.size());
      if (written > 0) output.erase(0, static_cast<std::size_t>(written));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const auto exitCode = parseOptions(argc, argv, options)) return *exitCode;

  try {
    korvel::sim::Transceiver radio(options.model, options.digits);
    radio.setPoweredOn(!options.poweredOff);
  if (options.movingMeter) radio.setMeterMoving(korvel::sim::Meter::SMeter, true);

    std::ofstream log;
    if (!options.logPath.empty()) {
      log.open(options.logPath, std::ios::out | std::ios::trunc);
      if (!log) {
        std::cerr << "korvel-sim: cannot write " << options.logPath << "\n";
        return 1;
      }
      radio.setExchangeObserver([&log](std::string_view command, std::string_view reply) {
        log << "in  " << printable(command) << "\n" << std::flush;
        if (!reply.empty()) log << "out " << printable(reply) << "\n" << std::flush;
      });
    }

    installSignalHandlers();
    PseudoTerminal terminal;
    PortLink link(options.link, terminal.slavePath());
    std::cout << "korvel-sim: model " << options.model << " on " << options.link << " -> " << terminal.slavePath()
              << std::endl;
    serve(terminal.master(), radio, std::chrono::milliseconds(options.replyDelayMs),
          std::chrono::milliseconds(options.holdAnswersMs), options.speed);
  } catch (const std::exception& error) {
    std::cerr << "korvel-sim: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
