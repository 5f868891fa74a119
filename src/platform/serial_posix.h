// The numbered serial-port table on POSIX terminals: port n is the path COM<n> in the station
// folder, normally a symlink to /dev/ttyUSB0, /dev/serial/by-id/... or a simulator's pseudo-terminal.
#pragma once

#include <array>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/serial_ports.h"

namespace korvel::platform {

// Raw 8-bit line, non-blocking descriptor, exclusive open (TIOCEXCL plus an flock, so that even
// root cannot open the same device twice). A device that vanishes (USB unplugged, simulator gone)
// is closed and its slot keeps its settings: every operation returns 0, and at most once a second
// the path is tried again, so a replugged cable comes back by itself with the same line settings.
//
// Read time-outs: m = -1 makes every read return at once with what has arrived. Any other m makes a
// read wait for up to m ms per byte asked for (m = 0 counts as 1 ms per byte), ending early when a
// gap of 1000 ms follows a received byte or when the maximum has arrived. An open port starts at
// 5 ms per byte until the program sets -1.
class PosixSerialPorts : public SerialPorts {
 public:
  explicit PosixSerialPorts(std::filesystem::path folder);
  ~PosixSerialPorts() override;
  PosixSerialPorts(const PosixSerialPorts&) = delete;
  PosixSerialPorts& operator=(const PosixSerialPorts&) = delete;

  int openPort(int n, int baud) override;
  void closePort(int n) override;
  void setPortReadTimeouts(int n, int m) override;
  int setPortFrame(int n, int dataBits, int parity, int stopSelector) override;
  int portBytesWaiting(int n) override;
  int readPort(int n, char* buffer, int maximum) override;
  int writePort(int n, const char* bytes, int length) override;
  // The open descriptor; a lost device is not looked for here (the next operation does that).
  InputHandle inputHandle(int n) override;
  // /dev/serial/by-id/*, then /dev/ttyUSB* and /dev/ttyACM* not already named there.
  std::vector<std::string> deviceNames() override;
  // A named device is opened as a port is; closing it drops what it has not sent, so that a
  // device held up by its handshake lines cannot hold the program in close().
  int openNamedPort(int n, const std::string& device, int baud, std::string& why) override;
  // Links COM<n> in the station folder to the device (a link already there is replaced, never a file).
  int assignPort(int n, const std::string& device, std::string& why) override;

  // The serial devices under a /dev folder, in the order deviceNames gives them: the stable
  // by-id names first, then the USB adapters and modems they do not already name, in number order.
  static std::vector<std::string> serialDevicesUnder(const std::filesystem::path& dev);

  // The path port n is opened from (folder/"COM<n>").
  std::filesystem::path portPath(int n) const;
  // True while slot n holds a port whose device is open (false for an empty slot or a lost device).
  bool isOpen(int n) const;

 private:
  using Clock = std::chrono::steady_clock;

  struct Port {
    bool used = false;      // the program opened this slot and has not closed it
    std::filesystem::path device;  // a device named directly; empty: the station's COM<n>
    int fd = -1;            // -1 while the device is lost
    int baud = 0;
    int dataBits = 8;
    int parity = 0;
    int stopSelector = 1;
    int msPerByte = 5;      // -1: reads never wait
    bool lossReported = false;
    Clock::time_point nextRetry{};
  };

  Port* slot(int n);
  const Port* slot(int n) const;
  // Opens and configures the device of port n; the descriptor, or -1 with errno set.
  int openDevice(int n, const Port& settings, std::string& why);
  // A live descriptor for the port, trying to reopen a lost device when its retry time has come.
  int liveFd(int n, Port& port);
  void lose(int n, Port& port, int error);
  int readWaiting(Port& port, int n, char* buffer, int maximum);

  std::filesystem::path folder_;
  std::array<Port, kLastPort + 1> ports_{};
};

}  // namespace korvel::platform
