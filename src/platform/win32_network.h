// The rig server's sockets on Winsock: a non-blocking listening socket and its connections, each
// with an event object that is set while it has something to take, for the window's wait.
#pragma once

#include <winsock2.h>

#include <string>
#include <vector>

#include "platform/network_server.h"

namespace korvel::platform {

class Win32Network : public NetworkServer {
 public:
  Win32Network();
  ~Win32Network() override;
  Win32Network(const Win32Network&) = delete;
  Win32Network& operator=(const Win32Network&) = delete;

  std::string listen(const std::string& address, int port) override;
  void stopListening() override;
  int accept() override;
  int read(int connection, char* buffer, int maximum) override;
  int write(int connection, const char* bytes, int length) override;
  void close(int connection) override;
  InputHandle listenerHandle() override;
  InputHandle inputHandle(int connection) override;

 private:
  struct Socket {
    SOCKET socket = INVALID_SOCKET;
    WSAEVENT event = WSA_INVALID_EVENT;
  };
  Socket* slot(int connection);
  static void release(Socket& s);

  bool started_ = false;
  Socket listener_;
  std::vector<Socket> connections_;  // per connection number - 1
};

}  // namespace korvel::platform
