// The rig server's sockets in memory: a test connects clients, sends their bytes and takes what
// the server wrote back; a client can stop reading or hang up.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/network_server.h"

namespace korvel::testing {

class SimulatedNetwork : public platform::NetworkServer {
 public:
  bool available = false;  // listen() succeeds only when a test has made the network available

  int connect();
  void send(int client, std::string_view bytes);
  // What the server has written to the client since the last look.
  std::string take(int client);
  void stopReading(int client) { at(client).reading = false; }
  void hangUp(int client) { at(client).peerGone = true; }
  bool closedByServer(int client) const { return !conns_.at(static_cast<std::size_t>(client) - 1).open; }

  std::string listen(const std::string& address, int port) override;
  void stopListening() override { listening_ = false; }
  int accept() override;
  int read(int connection, char* buffer, int maximum) override;
  int write(int connection, const char* bytes, int length) override;
  void close(int connection) override { at(connection).open = false; }
  platform::InputHandle listenerHandle() override { return platform::kNoInputHandle; }
  platform::InputHandle inputHandle(int) override { return platform::kNoInputHandle; }

 private:
  struct Connection {
    std::string in, out;
    bool accepted = false, open = true, reading = true, peerGone = false;
  };
  Connection& at(int client) { return conns_.at(static_cast<std::size_t>(client) - 1); }
  std::vector<Connection> conns_;
  bool listening_ = false;
};

}  // namespace korvel::testing
