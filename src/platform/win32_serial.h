// The numbered serial-port table on Windows: port n is the device COM<n> (\\.\COM<n> from 10 on),
// opened with CreateFile and set up through the comm API.
#pragma once

#include <windows.h>

#include <array>
#include <chrono>
#include <string>

#include "platform/serial_ports.h"

namespace korvel::platform {

// Exclusive open, binary line, no handshake. A device that vanishes (USB unplugged, the other end
// gone) is closed and its slot keeps its settings: every operation returns 0, and at most once a
// second the device is opened again, so a replugged cable comes back with the same line settings.
//
// Read time-outs: m = -1 makes every read return at once with what has arrived (the comm API's
// MAXDWORD interval with zero totals). Any other m waits up to m ms per byte asked for (0 counts
// as 1), ending early after a 1000 ms gap. An open port starts at 5 ms per byte.
class Win32SerialPorts : public SerialPorts {
 public:
  Win32SerialPorts() = default;
  ~Win32SerialPorts() override;
  Win32SerialPorts(const Win32SerialPorts&) = delete;
  Win32SerialPorts& operator=(const Win32SerialPorts&) = delete;

  int openPort(int n, int baud) override;
  void closePort(int n) override;
  void setPortReadTimeouts(int n, int m) override;
  int setPortFrame(int n, int dataBits, int parity, int stopSelector) override;
  int portBytesWaiting(int n) override;
  int readPort(int n, char* buffer, int maximum) override;
  int writePort(int n, const char* bytes, int length) override;
  // The open comm handle; a lost device is not looked for here (the next operation does that).
  InputHandle inputHandle(int n) override;
  // COM1 to COM64.
  std::vector<std::string> deviceNames() override;
  // "COM7" (or "\\.\COM7"); its reads and writes keep the comm time-outs, so a device that takes
  // nothing or says nothing is left after them.
  int openNamedPort(int n, const std::string& device, int baud, std::string& why) override;
  // A COM port is the station's port by its own number: nothing to make, the number is returned.
  int assignPort(int n, const std::string& device, std::string& why) override;

  // The device name port n is opened by: "COM5", "\\.\COM12".
  static std::string deviceName(int n);
  // True while slot n holds a port whose device is open (false for an empty slot or a lost device).
  bool isOpen(int n) const;

 private:
  using Clock = std::chrono::steady_clock;

  struct Port {
    bool used = false;  // the program opened this slot and has not closed it
    std::string device;  // a device named directly ("COM7"); empty: COM<n>
    HANDLE handle = INVALID_HANDLE_VALUE;  // invalid while the device is lost
    int baud = 0;
    int dataBits = 8;
    int parity = 0;
    int stopSelector = 1;
    int msPerByte = 5;  // -1: reads never wait
    bool lossReported = false;
    Clock::time_point nextRetry{};
  };

  Port* slot(int n);
  // Opens and sets up the device of port n; INVALID_HANDLE_VALUE with the reason and the system's
  // error code on failure.
  HANDLE openDevice(int n, const Port& settings, std::string& why, DWORD& error);
  // A live handle for the port, opening a lost device again when its retry time has come.
  HANDLE liveHandle(int n, Port& port);
  void lose(int n, Port& port, DWORD error);

  std::array<Port, kLastPort + 1> ports_{};
};

}  // namespace korvel::platform
