// POSIX terminals behind the numbered port table: open, line settings, reads that never block
// the program for long, complete writes, and a quiet recovery when a device goes away.
#include "platform/serial_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <system_error>
#include <vector>

namespace korvel::platform {

namespace {

constexpr int kGapMs = 1000;            // a timed read ends this long after the last byte received
constexpr auto kRetryEvery = std::chrono::seconds(1);  // how often a lost device is looked for
constexpr int kWriteSlackMs = 1000;     // what a write may wait beyond the line time of its bytes
constexpr const char* kNoPermission =
    "no permission (serial devices belong to the group dialout: sudo adduser $USER dialout, then log in again)";

speed_t speedFor(int baud) {
  switch (baud) {
    case 50: return B50;
    case 75: return B75;
    case 110: return B110;
    case 134: return B134;
    case 150: return B150;
    case 200: return B200;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 1800: return B1800;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
#ifdef B460800
    case 460800: return B460800;
#endif
#ifdef B500000
    case 500000: return B500000;
#endif
#ifdef B921600
    case 921600: return B921600;
#endif
#ifdef B1000000
    case 1000000: return B1000000;
#endif
    default: return B0;
  }
}

tcflag_t sizeFlag(int dataBits) {
  switch (dataBits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
  }
}

// Parity as the port table numbers it: 0 none, 1 odd, 2 even, 3 mark, 4 space.
tcflag_t parityFlags(int parity) {
  switch (parity) {
    case 1: return PARENB | PARODD;
    case 2: return PARENB;
#ifdef CMSPAR
    case 3: return PARENB | PARODD | CMSPAR;
    case 4: return PARENB | CMSPAR;
#endif
    default: return 0;
  }
}

tcflag_t frameMask() {
  tcflag_t mask = CSIZE | PARENB | PARODD | CSTOPB;
#ifdef CMSPAR
  mask |= CMSPAR;
#endif
  return mask;
}

// Raw 8-bit line: no echo, no line editing, no character translation and no XON/XOFF (which would
// swallow two of the byte values a pass-through program may send). Hardware handshake (CRTSCTS) and
// the hang-up on close (HUPCL) stay as the driver had them. CLOCAL: a radio's CAT port has no
// carrier line to wait for.
bool applyLine(int fd, int baud, int dataBits, int parity, int stopSelector) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return false;
  t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                      IXON | IXOFF | IXANY | INPCK);
  t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag &= ~frameMask();
  t.c_cflag |= sizeFlag(dataBits) | parityFlags(parity) | (stopSelector == 1 ? 0 : CSTOPB);
  t.c_cflag |= CREAD | CLOCAL;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  const speed_t speed = speedFor(baud);
  if (cfsetispeed(&t, speed) != 0 || cfsetospeed(&t, speed) != 0) return false;
  if (tcsetattr(fd, TCSANOW, &t) != 0) return false;

  // tcsetattr succeeds when any part of the request was taken; read back what the device kept.
  termios now{};
  if (tcgetattr(fd, &now) != 0) return false;
  return cfgetospeed(&now) == speed && (now.c_cflag & frameMask()) == (t.c_cflag & frameMask());
}

bool hungUp(int fd) {
  pollfd p{fd, POLLIN, 0};
  const int r = poll(&p, 1, 0);
  return r < 0 || (r > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0);
}

bool isGoneError(int error) {
  return error == EIO || error == ENXIO || error == ENODEV || error == EBADF || error == EPIPE;
}

void closeDevice(int fd) {
  ioctl(fd, TIOCNXCL);  // leave the terminal shareable again for whoever holds it next
  close(fd);
}

int msUntil(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return static_cast<int>(std::max<long long>(0, left.count()));
}

// The device a user most likely means: the first stable by-id name, else the first USB adapter.
std::string likelyDevice() {
  std::error_code ec;
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/serial/by-id", ec)) {
    names.push_back(entry.path().string());
  }
  std::sort(names.begin(), names.end());
  return names.empty() ? std::string("/dev/ttyUSB0") : names.front();
}

}  // namespace

PosixSerialPorts::PosixSerialPorts(std::filesystem::path folder) : folder_(std::move(folder)) {}

PosixSerialPorts::~PosixSerialPorts() {
  for (int n = kFirstPort; n <= kLastPort; ++n) closePort(n);
}

std::filesystem::path PosixSerialPorts::portPath(int n) const {
  const std::string name = "COM" + std::to_string(n);
  if (folder_.empty() || folder_ == ".") return name;
  return folder_ / name;
}

bool PosixSerialPorts::isOpen(int n) const {
  const Port* port = slot(n);
  return port != nullptr && port->used && port->fd >= 0;
}

PosixSerialPorts::Port* PosixSerialPorts::slot(int n) {
  if (n < kFirstPort || n > kLastPort) return nullptr;
  return &ports_[static_cast<std::size_t>(n)];
}

const PosixSerialPorts::Port* PosixSerialPorts::slot(int n) const {
  if (n < kFirstPort || n > kLastPort) return nullptr;
  return &ports_[static_cast<std::size_t>(n)];
}

int PosixSerialPorts::openDevice(int n, const Port& settings, std::string& why) {
  const std::filesystem::path path = settings.device.empty() ? portPath(n) : settings.device;
  // Non-blocking, and CLOCAL below: a radio's CAT port has no carrier line to wait for.
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    why = errno == EACCES ? std::string(kNoPermission) : std::strerror(errno);
    return -1;
  }
  termios probe{};
  if (tcgetattr(fd, &probe) != 0) {
    why = "not a serial device";
    close(fd);
    return -1;
  }
  // TIOCEXCL keeps other users out, except root; the lock keeps out a second Korvel even as root.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    why = "in use by another program";
    close(fd);
    return -1;
  }
  ioctl(fd, TIOCEXCL);
  if (!applyLine(fd, settings.baud, settings.dataBits, settings.parity, settings.stopSelector)) {
    why = "the device refused the line settings";
    closeDevice(fd);
    return -1;
  }
  return fd;
}

int PosixSerialPorts::openPort(int n, int baud) {
  Port* port = slot(n);
  if (port == nullptr) return 0;
  closePort(n);

  const std::filesystem::path path = portPath(n);
  const std::string name = "COM" + std::to_string(n);
  if (speedFor(baud) == B0) {
    std::cerr << "korvel: " << name << ": " << baud << " baud is not a speed this system supports\n";
    return 0;
  }
  std::error_code ec;
  const auto link = std::filesystem::symlink_status(path, ec);
  if (!std::filesystem::exists(link)) {
    std::cerr << "korvel: " << name << " not found; make it with: ln -s " << likelyDevice() << ' '
              << path.string() << '\n';
    return 0;
  }

  Port settings;
  settings.baud = baud;
  std::string why;
  const int fd = openDevice(n, settings, why);
  if (fd < 0) {
    std::string target = path.string();
    if (std::filesystem::is_symlink(link)) {
      target = std::filesystem::read_symlink(path, ec).string();
    }
    std::cerr << "korvel: cannot open " << name << " (" << target << "): " << why << '\n';
    return 0;
  }
  settings.used = true;
  settings.fd = fd;
  *port = settings;
  return 1;
}

void PosixSerialPorts::closePort(int n) {
  Port* port = slot(n);
  if (port == nullptr || !port->used) return;
  if (port->fd >= 0) {
    if (!port->device.empty()) tcflush(port->fd, TCIOFLUSH);
    closeDevice(port->fd);
  }
  *port = Port{};
}

int PosixSerialPorts::openNamedPort(int n, const std::string& device, int baud, std::string& why) {
  why.clear();
  Port* port = slot(n);
  if (port == nullptr || device.empty()) {
    why = "no such port";
    return 0;
  }
  closePort(n);
  std::error_code ec;
  if (!std::filesystem::exists(device, ec)) return 0;  // nothing there: no reason to give
  if (speedFor(baud) == B0) {
    why = std::to_string(baud) + " baud is not a speed this system supports";
    return 0;
  }
  Port settings;
  settings.baud = baud;
  settings.device = device;
  const int fd = openDevice(n, settings, why);
  if (fd < 0) return 0;
  settings.used = true;
  settings.fd = fd;
  *port = settings;
  return 1;
}

void PosixSerialPorts::lose(int n, Port& port, int error) {
  if (port.fd >= 0) closeDevice(port.fd);
  port.fd = -1;
  port.nextRetry = Clock::now() + kRetryEvery;
  if (!port.lossReported) {
    std::cerr << "korvel: COM" << n << " lost ("
              << (error != 0 ? std::strerror(error) : "the other end hung up")
              << "); looking for it again every second\n";
    port.lossReported = true;
  }
}

int PosixSerialPorts::liveFd(int n, Port& port) {
  if (!port.used) return -1;
  if (port.fd >= 0) {
    if (!hungUp(port.fd)) return port.fd;
    lose(n, port, 0);
    return -1;
  }
  if (Clock::now() < port.nextRetry) return -1;
  std::string why;
  port.fd = openDevice(n, port, why);
  if (port.fd < 0) {
    port.nextRetry = Clock::now() + kRetryEvery;
    return -1;
  }
  std::cerr << "korvel: COM" << n << " is back\n";
  port.lossReported = false;
  return port.fd;
}

void PosixSerialPorts::setPortReadTimeouts(int n, int m) {
  Port* port = slot(n);
  if (port == nullptr || !port->used) return;
  port->msPerByte = m == -1 ? -1 : std::max(1, m);
}

int PosixSerialPorts::setPortFrame(int n, int dataBits, int parity, int stopSelector) {
  Port* port = slot(n);
  if (port == nullptr || !port->used) return 0;
  if (dataBits < 5 || dataBits > 8 || parity < 0 || parity > 4) return 1;
#ifndef CMSPAR
  if (parity > 2) return 1;
#endif
  const int fd = liveFd(n, *port);
  if (fd >= 0 && !applyLine(fd, port->baud, dataBits, parity, stopSelector)) {
    // Put back what the port had, so a refused frame leaves the line as it was.
    applyLine(fd, port->baud, port->dataBits, port->parity, port->stopSelector);
    return 1;
  }
  // A lost device gets the new frame when it comes back.
  port->dataBits = dataBits;
  port->parity = parity;
  port->stopSelector = stopSelector;
  return 0;
}

InputHandle PosixSerialPorts::inputHandle(int n) {
  const Port* port = slot(n);
  return port == nullptr || !port->used || port->fd < 0 ? kNoInputHandle : port->fd;
}

int PosixSerialPorts::portBytesWaiting(int n) {
  Port* port = slot(n);
  if (port == nullptr) return 0;
  const int fd = liveFd(n, *port);
  if (fd < 0) return 0;
  int count = 0;
  if (ioctl(fd, FIONREAD, &count) != 0) {
    if (isGoneError(errno)) lose(n, *port, errno);
    return 0;
  }
  return std::max(0, count);
}

int PosixSerialPorts::readPort(int n, char* buffer, int maximum) {
  Port* port = slot(n);
  if (port == nullptr || buffer == nullptr || maximum <= 0) return 0;
  const int fd = liveFd(n, *port);
  if (fd < 0) return 0;
  if (port->msPerByte >= 0) return readWaiting(*port, n, buffer, maximum);
  for (;;) {
    const ssize_t got = read(fd, buffer, static_cast<std::size_t>(maximum));
    if (got >= 0) return static_cast<int>(got);
    if (errno == EINTR) continue;
    if (isGoneError(errno)) lose(n, *port, errno);
    return 0;
  }
}

int PosixSerialPorts::readWaiting(Port& port, int n, char* buffer, int maximum) {
  const auto start = Clock::now();
  const auto total = start + std::chrono::milliseconds(static_cast<long long>(port.msPerByte) * maximum);
  auto gapEnd = total;
  int got = 0;
  while (got < maximum && port.fd >= 0) {
    const int wait = msUntil(std::min(total, gapEnd));
    pollfd p{port.fd, POLLIN, 0};
    const int ready = poll(&p, 1, wait);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;  // time is up
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
      lose(n, port, 0);
      break;
    }
    const ssize_t r = read(port.fd, buffer + got, static_cast<std::size_t>(maximum - got));
    if (r < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      if (isGoneError(errno)) lose(n, port, errno);
      break;
    }
    got += static_cast<int>(r);
    gapEnd = Clock::now() + std::chrono::milliseconds(kGapMs);
  }
  return got;
}

int PosixSerialPorts::writePort(int n, const char* bytes, int length) {
  Port* port = slot(n);
  if (port == nullptr || bytes == nullptr || length <= 0) return 0;
  const int fd = liveFd(n, *port);
  if (fd < 0) return 0;
  // Allow twice the line time of the bytes (11 bits each at most) plus slack; a device stuck by
  // handshake or a full buffer that nobody drains must not stop the program.
  const long long lineMs = static_cast<long long>(length) * 11 * 1000 / std::max(1, port->baud);
  const auto deadline = Clock::now() + std::chrono::milliseconds(2 * lineMs + kWriteSlackMs);
  int written = 0;
  while (written < length) {
    const ssize_t r = write(fd, bytes + written, static_cast<std::size_t>(length - written));
    if (r > 0) {
      written += static_cast<int>(r);
      continue;
    }
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      if (isGoneError(errno)) lose(n, *port, errno);
      break;
    }
    const int wait = msUntil(deadline);
    if (wait <= 0) break;
    pollfd p{fd, POLLOUT, 0};
    const int ready = poll(&p, 1, wait);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
      lose(n, *port, 0);
      break;
    }
  }
  return written;
}

}  // namespace korvel::platform
