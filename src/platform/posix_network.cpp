#include "platform/posix_network.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace korvel::platform {

namespace {

// Connections waiting to be taken: a burst of programs starting (or one connecting and closing in a
// loop) waits here instead of in the connecting side's SYN retries.
constexpr int kBacklog = 128;

bool nonBlocking(int fd) {
  const int flags = fcntl(fd, F_GETFL, 0);
  return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

// A short answer line goes out at once instead of waiting for more to fill a packet.
void sendPromptly(int fd) {
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

}  // namespace

PosixNetwork::~PosixNetwork() {
  for (int connection = 1; connection <= static_cast<int>(connections_.size()); ++connection) close(connection);
  stopListening();
}

std::string PosixNetwork::listen(const std::string& address, int port) {
  stopListening();
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (const int error = getaddrinfo(address.c_str(), service.c_str(), &hints, &found); error != 0) {
    return gai_strerror(error);
  }
  std::string why = "no address to listen on";
  for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
    const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) {
      why = std::strerror(errno);
      continue;
    }
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, kBacklog) == 0 && nonBlocking(fd)) {
      listener_ = fd;
      break;
    }
    why = std::strerror(errno);
    ::close(fd);
  }
  freeaddrinfo(found);
  return listener_ >= 0 ? std::string() : why;
}

void PosixNetwork::stopListening() {
  if (listener_ >= 0) ::close(listener_);
  listener_ = -1;
}

int PosixNetwork::accept() {
  if (listener_ < 0) return 0;
  const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (fd < 0) return 0;
  sendPromptly(fd);
  for (std::size_t i = 0; i < connections_.size(); ++i) {
    if (connections_[i] < 0) {
      connections_[i] = fd;
      return static_cast<int>(i) + 1;
    }
  }
  connections_.push_back(fd);
  return static_cast<int>(connections_.size());
}

int PosixNetwork::fdOf(int connection) const {
  if (connection < 1 || connection > static_cast<int>(connections_.size())) return -1;
  return connections_[static_cast<std::size_t>(connection) - 1];
}

int PosixNetwork::read(int connection, char* buffer, int maximum) {
  const int fd = fdOf(connection);
  if (fd < 0 || maximum <= 0) return -1;
  const ssize_t count = ::recv(fd, buffer, static_cast<std::size_t>(maximum), MSG_DONTWAIT);
  if (count > 0) return static_cast<int>(count);
  if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return 0;
  return -1;  // the peer closed (0) or the connection failed
}

int PosixNetwork::write(int connection, const char* bytes, int length) {
  const int fd = fdOf(connection);
  if (fd < 0) return -1;
  if (length <= 0) return 0;
  const ssize_t count = ::send(fd, bytes, static_cast<std::size_t>(length), MSG_DONTWAIT | MSG_NOSIGNAL);
  if (count >= 0) return static_cast<int>(count);
  return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? 0 : -1;
}

void PosixNetwork::close(int connection) {
  const int fd = fdOf(connection);
  if (fd < 0) return;
  ::close(fd);
  connections_[static_cast<std::size_t>(connection) - 1] = -1;
}

InputHandle PosixNetwork::inputHandle(int connection) {
  const int fd = fdOf(connection);
  return fd < 0 ? kNoInputHandle : fd;
}

}  // namespace korvel::platform
