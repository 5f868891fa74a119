// The numbered serial-port table (slots 1..256) the radio link talks through.
// Every operation on a number outside 1..256 or on an empty slot does nothing and returns 0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvel::platform {

// What an event wait can watch for a port's input: a file descriptor on POSIX.
using InputHandle = std::intptr_t;
inline constexpr InputHandle kNoInputHandle = -1;

class SerialPorts {
 public:
  static constexpr int kFirstPort = 1;
  static constexpr int kLastPort = 256;

  virtual ~SerialPorts() = default;

  // Opens port n at the given baud rate, 8 data bits, no parity, one stop bit; 1 on success, else 0.
  virtual int openPort(int n, int baud) = 0;
  virtual void closePort(int n) = 0;
  // m = -1: a read returns at once with whatever has arrived; any other m: 1000 ms gap, m ms per byte.
  virtual void setPortReadTimeouts(int n, int m) = 0;
  // Stop selector 1 gives one stop bit, anything else two. Returns 1 if the device refused, else 0.
  virtual int setPortFrame(int n, int dataBits, int parity, int stopSelector) = 0;
  // Bytes in the input queue (0 on any error).
  virtual int portBytesWaiting(int n) = 0;
  // One read of at most maximum bytes; returns the count read (0 on any error).
  virtual int readPort(int n, char* buffer, int maximum) = 0;
  // Writes all bytes; returns the count written (0 on any error).
  virtual int writePort(int n, const char* bytes, int length) = 0;
  // What the event wait can watch for input on port n; kNoInputHandle for an empty slot, a lost
  // device, or ports that cannot be waited on (then the timer's ticks are the only wake-up).
  virtual InputHandle inputHandle(int n) {
    (void)n;
    return kNoInputHandle;
  }

  // Whether the device behind port n is known to answer nothing now (a radio reached through
  // another program, which has reported the radio gone); a serial line never knows, it only falls
  // silent.
  virtual bool knownSilent(int n) {
    (void)n;
    return false;
  }

  // Whether the device behind port n is known to refuse a setting before it is sent (a radio
  // reached through another program, whose model has not the function); a serial line never knows.
  virtual bool knownToRefuse(int n, const std::string& command) {
    (void)n;
    (void)command;
    return false;
  }

  // --- Looking for the radio: devices by their own names, before the station knows its port ---
  // The machine's serial devices a radio may be on, in the order to try them.
  virtual std::vector<std::string> deviceNames() { return {}; }
  // Opens slot n on the named device with the line of openPort, without a word on the terminal:
  // 1 on success; else 0 with the reason in why, left empty when there is no such device.
  virtual int openNamedPort(int n, const std::string& device, int baud, std::string& why) {
    (void)n;
    (void)device;
    (void)baud;
    why = "devices cannot be named here";
    return 0;
  }
  // Makes the station's port n lead to the named device; returns the port number that now does
  // (where ports are the devices themselves, the device's own number), or 0 with the reason in why.
  virtual int assignPort(int n, const std::string& device, std::string& why) {
    (void)n;
    (void)device;
    why = "devices cannot be named here";
    return 0;
  }
};

}  // namespace korvel::platform
