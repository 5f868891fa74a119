#include "platform/win32_network.h"

#include <ws2tcpip.h>

namespace korvel::platform {

namespace {

// Connections waiting to be taken: a burst of programs starting (or one connecting and closing in a
// loop) waits here instead of in the connecting side's SYN retries.
constexpr int kBacklog = 128;

std::string reasonFor(int error) {
  switch (error) {
    case WSAEADDRINUSE: return "address already in use";
    case WSAEADDRNOTAVAIL: return "no such address here";
    case WSAEACCES: return "permission denied";
    default: return "Winsock error " + std::to_string(error);
  }
}

}  // namespace

Win32Network::Win32Network() {
  WSADATA data;
  started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

Win32Network::~Win32Network() {
  for (auto& s : connections_) release(s);
  release(listener_);
  if (started_) WSACleanup();
}

void Win32Network::release(Socket& s) {
  if (s.socket != INVALID_SOCKET) closesocket(s.socket);
  if (s.event != WSA_INVALID_EVENT) WSACloseEvent(s.event);
  s = Socket{};
}

std::string Win32Network::listen(const std::string& address, int port) {
  stopListening();
  if (!started_) return "Winsock did not start";
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  if (getaddrinfo(address.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return "no such address";
  std::string why = "no address to listen on";
  for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
    const SOCKET s = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
    if (s == INVALID_SOCKET) continue;
    // Exclusive: a port another program listens on is refused, never shared.
    const BOOL on = TRUE;
    setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on);
    if (::bind(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) == 0 && ::listen(s, kBacklog) == 0) {
      listener_.socket = s;
      listener_.event = WSACreateEvent();
      WSAEventSelect(s, listener_.event, FD_ACCEPT);  // also makes the socket non-blocking
      break;
    }
    why = reasonFor(WSAGetLastError());
    closesocket(s);
  }
  freeaddrinfo(found);
  return listener_.socket != INVALID_SOCKET ? std::string() : why;
}

void Win32Network::stopListening() { release(listener_); }

int Win32Network::accept() {
  if (listener_.socket == INVALID_SOCKET) return 0;
  WSANETWORKEVENTS happened;
  WSAEnumNetworkEvents(listener_.socket, listener_.event, &happened);  // resets the event
  const SOCKET s = ::accept(listener_.socket, nullptr, nullptr);
  if (s == INVALID_SOCKET) return 0;
  const BOOL on = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  Socket connection{s, WSACreateEvent()};
  WSAEventSelect(s, connection.event, FD_READ | FD_CLOSE);
  for (std::size_t i = 0; i < connections_.size(); ++i) {
    if (connections_[i].socket == INVALID_SOCKET) {
      connections_[i] = connection;
      return static_cast<int>(i) + 1;
    }
  }
  connections_.push_back(connection);
  return static_cast<int>(connections_.size());
}

Win32Network::Socket* Win32Network::slot(int connection) {
  if (connection < 1 || connection > static_cast<int>(connections_.size())) return nullptr;
  Socket& s = connections_[static_cast<std::size_t>(connection) - 1];
  return s.socket == INVALID_SOCKET ? nullptr : &s;
}

int Win32Network::read(int connection, char* buffer, int maximum) {
  Socket* s = slot(connection);
  if (s == nullptr || maximum <= 0) return -1;
  // The event is reset first; a read that leaves bytes behind sets it again.
  WSANETWORKEVENTS happened;
  WSAEnumNetworkEvents(s->socket, s->event, &happened);
  const int count = ::recv(s->socket, buffer, maximum, 0);
  if (count > 0) return count;
  if (count == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) return 0;
  return -1;
}

int Win32Network::write(int connection, const char* bytes, int length) {
  Socket* s = slot(connection);
  if (s == nullptr) return -1;
  if (length <= 0) return 0;
  const int count = ::send(s->socket, bytes, length, 0);
  if (count >= 0) return count;
  return WSAGetLastError() == WSAEWOULDBLOCK ? 0 : -1;
}

void Win32Network::close(int connection) {
  if (Socket* s = slot(connection)) release(*s);
}

InputHandle Win32Network::listenerHandle() {
  return listener_.event == WSA_INVALID_EVENT ? kNoInputHandle : reinterpret_cast<InputHandle>(listener_.event);
}

InputHandle Win32Network::inputHandle(int connection) {
  Socket* s = slot(connection);
  return s == nullptr ? kNoInputHandle : reinterpret_cast<InputHandle>(s->event);
}

}  // namespace korvel::platform
