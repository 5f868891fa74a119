#include "platform/terminal_window.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/terminal_keys.h"

namespace korvel::platform {

namespace {

constexpr int kTimerId = 1;
// The rest of an escape sequence comes with its first byte; a lone Escape has nothing after it.
constexpr auto kEscapeWait = std::chrono::milliseconds(50);
constexpr std::size_t kReadChunk = 256;
constexpr int kFallbackColumns = 80;
constexpr const char* kClearToEnd = "\x1b[K";
constexpr int kDotsPerInch = 96;
constexpr int kPointsPerInch = 72;
constexpr int kDefaultCharWidth = 8;  // the window's default font, before any font is chosen

// The width a text would take in the window, which moves the program's text position as a window
// would: characters half as wide as the font is high, a blank half that (the default font 8 pixels).
int widthInWindow(int points, const std::string& text) {
  const int width = points > 0 ? std::max(2, (points * kDotsPerInch / kPointsPerInch + 1) / 2) : kDefaultCharWidth;
  int total = 0;
  for (const char c : text) total += c == ' ' ? width / 2 : width;
  return total;
}

int msUntil(std::chrono::steady_clock::time_point deadline) {
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
  return static_cast<int>(std::clamp<long long>(ms, 0, 1000000));
}

// Program text is Latin-1; the terminal gets UTF-8. Bytes of the C1 control range could start a
// control sequence on some terminals and become "?"; the fields hold no other control bytes.
std::string forTerminal(const std::string& text, std::size_t maxChars) {
  std::string out;
  std::size_t chars = 0;
  for (const unsigned char c : text) {
    if (chars++ == maxChars) break;
    if (c < 0x80) {
      out += static_cast<char>(c < 0x20 ? ' ' : c);
    } else if (c < 0xA0) {
      out += '?';
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

int TerminalWindowSystem::openControllingTerminal(bool& ownsFd) {
  ownsFd = false;
  if (isatty(STDIN_FILENO) == 1) return STDIN_FILENO;
  const int fd = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  if (isatty(fd) != 1) {
    ::close(fd);
    return -1;
  }
  ownsFd = true;
  return fd;
}

TerminalWindowSystem::TerminalWindowSystem(int inputFd, bool ownsInput, int outputFd)
    : input_(inputFd), ownsInput_(ownsInput), output_(outputFd), outputIsTerminal_(isatty(outputFd) == 1) {
  // The signals that end the program arrive on a descriptor the event wait watches, so they end it
  // in order like any close request; blocked, they cannot interrupt it half way.
  sigset_t endSignals;
  sigemptyset(&endSignals);
  for (const int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&endSignals, s);
  sigprocmask(SIG_BLOCK, &endSignals, &oldMask_);
  signals_ = signalfd(-1, &endSignals, SFD_NONBLOCK | SFD_CLOEXEC);
  // A reader of the text line that goes away must not end the program: writes just fail.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &oldPipe_);
}

TerminalWindowSystem::~TerminalWindowSystem() {
  closeWindow();
  if (signals_ >= 0) {
    signalfd_siginfo info{};
    while (::read(signals_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
    }
    ::close(signals_);
  }
  sigaction(SIGPIPE, &oldPipe_, nullptr);
  sigprocmask(SIG_SETMASK, &oldMask_, nullptr);
  if (ownsInput_ && input_ >= 0) ::close(input_);
}

void TerminalWindowSystem::enterRawMode() {
  if (raw_ || tcgetattr(input_, &savedMode_) != 0) return;
  termios mode = savedMode_;
  // Every key at once and unechoed, Ctrl+C and Ctrl+D as bytes; output is left as it was.
  mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
  mode.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR | ISTRIP | BRKINT);
  mode.c_cc[VMIN] = 1;
  mode.c_cc[VTIME] = 0;
  raw_ = tcsetattr(input_, TCSANOW, &mode) == 0;
}

void TerminalWindowSystem::leaveRawMode() {
  if (raw_) tcsetattr(input_, TCSANOW, &savedMode_);
  raw_ = false;
}

bool TerminalWindowSystem::createWindow(int, int, int, int, const std::string&) {
  if (input_ < 0) return false;
  fields_.clear();
  shown_.clear();
  enterRawMode();
  open_ = true;
  return true;
}

void TerminalWindowSystem::closeWindow() {
  if (open_) {
    showFields(true);
    if (lineOnScreen_) writeOut("\n");
    lineOnScreen_ = false;
    open_ = false;
  }
  leaveRawMode();
}

void TerminalWindowSystem::setFont(const std::string&, int points, int) { points_ = points; }

int TerminalWindowSystem::drawText(int, int, const std::string& text, FieldPart part) {
  fields_.draw(part, text);
  return widthInWindow(points_, text);
}

void TerminalWindowSystem::startTimer(int periodMs) {
  timerPeriodMs_ = std::max(1, periodMs);
  nextTick_ = Clock::now() + std::chrono::milliseconds(timerPeriodMs_);
}

void TerminalWindowSystem::stopTimer() { timerPeriodMs_ = 0; }

std::string TerminalWindowSystem::shownLine() const {
  std::size_t columns = kFallbackColumns;
  winsize size{};
  if (ioctl(output_, TIOCGWINSZ, &size) == 0 && size.ws_col > 1) columns = size.ws_col;
  // One column short of the width: a line that fills the last column would wrap on some terminals.
  return forTerminal(TextFields::line(shown_), columns - 1);
}

void TerminalWindowSystem::showFields(bool force) {
  const auto current = fields_.fields();
  if (current == shown_) return;
  const auto now = Clock::now();
  if (!force && now - lastShown_ < lineInterval(shown_, current)) return;
  shown_ = current;
  lastShown_ = now;
  if (outputIsTerminal_) {
    writeOut("\r" + shownLine() + kClearToEnd);
    lineOnScreen_ = true;
  } else {
    writeOut(forTerminal(TextFields::line(shown_), std::string::npos) + "\n");
  }
}

void TerminalWindowSystem::writeLine(const std::string& text) {
  if (outputIsTerminal_ && lineOnScreen_) {
    writeOut(std::string("\r") + kClearToEnd + text + "\n\r" + shownLine() + kClearToEnd);
  } else {
    writeOut(text + "\n");
  }
}

void TerminalWindowSystem::writeOut(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(output_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // a reader gone or a full disk: the text line is only for reading
    done += static_cast<std::size_t>(n);
  }
}

TerminalWindowSystem::LineBuffer::int_type TerminalWindowSystem::LineBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  if (traits_type::to_char_type(c) == '\n') {
    owner_.writeLine(pending_);
    pending_.clear();
  } else {
    pending_ += traits_type::to_char_type(c);
  }
  return c;
}

void TerminalWindowSystem::decodeInput(bool complete, std::vector<Event>& out) {
  while (!keyBytes_.empty()) {
    const auto decoded = terminal::decodeKey(keyBytes_, complete);
    if (decoded.length == 0) return;
    keyBytes_.erase(0, decoded.length);
    if (decoded.key == terminal::kCloseRequest) {
      out.push_back({kCloseMessage, 0});
      keyBytes_.clear();  // nothing typed after the close counts
      return;
    }
    // A terminal tells only that a key was typed: it is pressed and released at once.
    if (decoded.key != 0) {
      out.push_back({kKeyDownMessage, decoded.key});
      out.push_back({kKeyUpMessage, decoded.key});
    }
  }
}

void TerminalWindowSystem::readInput(std::vector<Event>& out) {
  char chunk[kReadChunk];
  const ssize_t n = ::read(input_, chunk, sizeof chunk);
  if (n > 0) {
    keyBytes_.append(chunk, static_cast<std::size_t>(n));
    lastByte_ = Clock::now();
    decodeInput(false, out);
    return;
  }
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
  // End of input, or the terminal hung up: as good as closing the window.
  inputEnded_ = true;
  out.push_back({kCloseMessage, 0});
}

void TerminalWindowSystem::readSignals(std::vector<Event>& out) {
  signalfd_siginfo info{};
  bool any = false;
  while (::read(signals_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) any = true;
  if (any) out.push_back({kCloseMessage, 0});
}

int TerminalWindowSystem::msUntilNextWake() const {
  int wait = -1;
  const auto consider = [&wait](Clock::time_point at) {
    const int ms = msUntil(at);
    wait = wait < 0 ? ms : std::min(wait, ms);
  };
  if (timerPeriodMs_ != 0) consider(nextTick_);
  if (!keyBytes_.empty()) consider(lastByte_ + kEscapeWait);
  if (const auto current = fields_.fields(); current != shown_) consider(lastShown_ + lineInterval(shown_, current));
  return wait;
}

bool TerminalWindowSystem::keyWaiting() {
  if (inputEnded_ || input_ < 0) return false;
  // Bytes already read but still waiting to be told from an escape sequence are a key too.
  if (!keyBytes_.empty()) return true;
  pollfd input{input_, POLLIN, 0};
  return poll(&input, 1, 0) > 0 && (input.revents & POLLIN) != 0;
}

std::vector<Event> TerminalWindowSystem::waitEvents() {
  std::vector<Event> out;
  if (inputEnded_ || input_ < 0) {
    out.push_back({kCloseMessage, 0});
    return out;
  }
  showFields(false);
  while (out.empty()) {
    std::vector<pollfd> watched{{input_, POLLIN, 0}, {signals_, POLLIN, 0}};
    const std::size_t firstPort = ports_.addTo(watched);
    const int ready = poll(watched.data(), watched.size(), msUntilNextWake());
    if (ready < 0 && errno != EINTR) {
      inputEnded_ = true;
      out.push_back({kCloseMessage, 0});
      break;
    }
    if (ready > 0) {
      if (PosixInputWatch::anyReady(watched, firstPort)) out.push_back({kPortInputMessage, 0});
      if (signals_ >= 0 && (watched[1].revents & POLLIN) != 0) readSignals(out);
      if ((watched[0].revents & POLLNVAL) != 0) {
        inputEnded_ = true;
        out.push_back({kCloseMessage, 0});
      } else if ((watched[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
        readInput(out);
      }
    }
    if (!keyBytes_.empty() && Clock::now() - lastByte_ >= kEscapeWait) decodeInput(true, out);
    // Like the window's timer: one tick however long the program was away, after the keys.
    const auto now = Clock::now();
    if (timerPeriodMs_ != 0 && now >= nextTick_) {
      out.push_back({kTimerMessage, kTimerId});
      nextTick_ = now + std::chrono::milliseconds(timerPeriodMs_);
    }
    showFields(false);
  }
  return out;
}

}  // namespace korvel::platform
