// A client of a TCP server on this machine's loopback that talks in lines, as rigctld's clients do
// (loggers, rigctl, the end-to-end tests and the rig-server benchmark).
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

namespace korvel::testing {

class LoopbackClient {
 public:
  // Connects to 127.0.0.1:port, trying again for up to `patience` while the server starts. A read
  // that waits more than five seconds ends the answer.
  explicit LoopbackClient(int port, std::chrono::milliseconds patience = std::chrono::milliseconds(0)) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const timeval wait{5, 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    const int on = 1;
    setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    const auto until = std::chrono::steady_clock::now() + patience;
    while (!(connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) &&
           std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  ~LoopbackClient() { ::close(fd_); }
  LoopbackClient(const LoopbackClient&) = delete;
  LoopbackClient& operator=(const LoopbackClient&) = delete;

  bool connected() const { return connected_; }
  void send(const std::string& text) { (void)!::write(fd_, text.data(), text.size()); }
  // Reads until the answer ends with `end` (or the connection goes quiet).
  std::string readUntil(const std::string& end) {
    std::string answer;
    char c = 0;
    while ((answer.size() < end.size() || answer.compare(answer.size() - end.size(), end.size(), end) != 0) &&
           ::read(fd_, &c, 1) == 1) {
      answer += c;
    }
    return answer;
  }
  // Sends the command and reads its answer of `lines` lines, line ends included.
  std::string ask(const std::string& command, int lines = 1) {
    send(command + "\n");
    std::string answer;
    for (int i = 0; i < lines; ++i) answer += readUntil("\n");
    return answer;
  }

 private:
  int fd_ = -1;
  bool connected_ = false;
};

}  // namespace korvel::testing
