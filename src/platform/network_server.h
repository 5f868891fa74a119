// The listening socket the rig server answers on, and its connections, numbered like the serial
// ports. Every operation is non-blocking; what a connection cannot take now is the caller's to keep.
#pragma once

#include <string>

#include "platform/serial_ports.h"

namespace korvel::platform {

class NetworkServer {
 public:
  virtual ~NetworkServer() = default;

  // Listens on address:port (a numeric IPv4 or IPv6 address, or a host name); empty on success,
  // otherwise the reason in a few words ("address already in use").
  virtual std::string listen(const std::string& address, int port) = 0;
  virtual void stopListening() = 0;
  // A connection that waits to be taken, as a number above 0; 0 when none waits.
  virtual int accept() = 0;
  // One read of at most maximum bytes: the count, 0 when nothing waits, -1 when the peer has gone.
  virtual int read(int connection, char* buffer, int maximum) = 0;
  // Writes what the connection takes now: the count (possibly 0), -1 when the peer has gone.
  virtual int write(int connection, const char* bytes, int length) = 0;
  virtual void close(int connection) = 0;
  // What the event wait watches: the listener (a connection waits) and each connection (input).
  virtual InputHandle listenerHandle() = 0;
  virtual InputHandle inputHandle(int connection) = 0;
};

// No network at all: a panel built without one (tests of other parts) never listens.
class NoNetwork : public NetworkServer {
 public:
  std::string listen(const std::string&, int) override { return "no network here"; }
  void stopListening() override {}
  int accept() override { return 0; }
  int read(int, char*, int) override { return -1; }
  int write(int, const char*, int) override { return -1; }
  void close(int) override {}
  InputHandle listenerHandle() override { return kNoInputHandle; }
  InputHandle inputHandle(int) override { return kNoInputHandle; }
};

}  // namespace korvel::platform
