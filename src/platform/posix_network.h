// The rig server's sockets on POSIX: one listening TCP socket and its connections, all
// non-blocking; a connection's number is its slot in a small table.
#pragma once

#include <string>
#include <vector>

#include "platform/network_server.h"

namespace korvel::platform {

class PosixNetwork : public NetworkServer {
 public:
  PosixNetwork() = default;
  ~PosixNetwork() override;
  PosixNetwork(const PosixNetwork&) = delete;
  PosixNetwork& operator=(const PosixNetwork&) = delete;

  std::string listen(const std::string& address, int port) override;
  void stopListening() override;
  int accept() override;
  int read(int connection, char* buffer, int maximum) override;
  int write(int connection, const char* bytes, int length) override;
  void close(int connection) override;
  InputHandle listenerHandle() override { return listener_; }
  InputHandle inputHandle(int connection) override;

 private:
  int fdOf(int connection) const;

  int listener_ = -1;
  std::vector<int> connections_;  // descriptor per connection number - 1; -1 for a free slot
};

}  // namespace korvel::platform
