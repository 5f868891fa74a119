// Test double for the serial-port table: the radio port is wired to an in-process simulated
// transceiver (or to nothing: a radio that never answers); other ports are fed and read by the test.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/serial_ports.h"
#include "transceiver.h"

namespace korvel::testing {

class SimulatedSerialPorts : public platform::SerialPorts {
 public:
  // radio may be null: the port opens but nothing ever answers.
  SimulatedSerialPorts(sim::Transceiver* radio, int radioPort);

  int openPort(int n, int baud) override;
  void closePort(int n) override;
  void setPortReadTimeouts(int n, int m) override;
  int setPortFrame(int n, int dataBits, int parity, int stopSelector) override;
  int portBytesWaiting(int n) override;
  int readPort(int n, char* buffer, int maximum) override;
  int writePort(int n, const char* bytes, int length) override;

  // Makes port n exist (a device the program may open).
  void addPort(int n);
  // Puts bytes into port n's input queue, as if the other end had sent them.
  void feed(int n, const std::string& bytes);
  // Everything written to port n so far.
  const std::string& written(int n) const;
  // What was written to port n, cut into commands at each ";" (the ";" kept).
  std::vector<std::string> commands(int n) const;
  void clearWritten(int n);
  bool isOpen(int n) const;
  int openCount(int n) const;
  int baudOf(int n) const;
  int stopBitsOf(int n) const;
  void setRadio(sim::Transceiver* radio) { radio_ = radio; }
  // The radio is known to refuse the settings that start with these letters, as a model behind
  // Hamlib without the function is.
  std::vector<std::string> refusedSettings;
  bool knownToRefuse(int, const std::string& command) override {
    for (const std::string& letters : refusedSettings) {
      if (command.starts_with(letters) && command.size() > letters.size()) return true;
    }
    return false;
  }

 private:
  sim::Transceiver* radio_;
  int radioPort_;
  std::set<int> present_;
  std::set<int> open_;
  std::map<int, int> openCount_;
  std::map<int, int> baud_;
  std::map<int, int> stopBits_;
  std::map<int, std::string> input_;
  std::map<int, std::string> written_;
};

}  // namespace korvel::testing
