#include "simulated_ports.h"

#include <algorithm>
#include <cstring>

namespace korvel::testing {

namespace {
bool valid(int n) { return n >= platform::SerialPorts::kFirstPort && n <= platform::SerialPorts::kLastPort; }
}  // namespace

SimulatedSerialPorts::SimulatedSerialPorts(sim::Transceiver* radio, int radioPort)
    : radio_(radio), radioPort_(radioPort) {
  present_.insert(radioPort);
}

int SimulatedSerialPorts::openPort(int n, int baud) {
  if (!valid(n) || !present_.count(n) || open_.count(n)) return 0;
  open_.insert(n);
  ++openCount_[n];
  baud_[n] = baud;
  stopBits_[n] = 1;
  return 1;
}

void SimulatedSerialPorts::closePort(int n) { open_.erase(n); }

void SimulatedSerialPorts::setPortReadTimeouts(int, int) {}

int SimulatedSerialPorts::setPortFrame(int n, int, int, int stopSelector) {
  if (!open_.count(n)) return 0;
  stopBits_[n] = stopSelector == 1 ? 1 : 2;
  return 0;
}

int SimulatedSerialPorts::portBytesWaiting(int n) {
  if (!open_.count(n)) return 0;
  return static_cast<int>(input_[n].size());
}

int SimulatedSerialPorts::readPort(int n, char* buffer, int maximum) {
  if (!open_.count(n) || maximum <= 0) return 0;
  std::string& in = input_[n];
  const auto count = std::min(in.size(), static_cast<std::size_t>(maximum));
  std::memcpy(buffer, in.data(), count);
  in.erase(0, count);
  return static_cast<int>(count);
}

int SimulatedSerialPorts::writePort(int n, const char* bytes, int length) {
  if (!open_.count(n) || length <= 0) return 0;
  const std::string data(bytes, static_cast<std::size_t>(length));
  written_[n] += data;
  if (n == radioPort_ && radio_ != nullptr) input_[n] += radio_->receive(data);
  return length;
}

void SimulatedSerialPorts::addPort(int n) { present_.insert(n); }

void SimulatedSerialPorts::feed(int n, const std::string& bytes) { input_[n] += bytes; }

const std::string& SimulatedSerialPorts::written(int n) const {
  static const std::string none;
  const auto it = written_.find(n);
  return it == written_.end() ? none : it->second;
}

std::vector<std::string> SimulatedSerialPorts::commands(int n) const {
  std::vector<std::string> out;
  std::string current;
  for (const char c : written(n)) {
    current += c;
    if (c == ';') {
      out.push_back(current);
      current.clear();
    }
  }
  if (!current.empty()) out.push_back(current);
  return out;
}

void SimulatedSerialPorts::clearWritten(int n) { written_[n].clear(); }

bool SimulatedSerialPorts::isOpen(int n) const { return open_.count(n) != 0; }

int SimulatedSerialPorts::openCount(int n) const {
  const auto it = openCount_.find(n);
  return it == openCount_.end() ? 0 : it->second;
}

int SimulatedSerialPorts::baudOf(int n) const {
  const auto it = baud_.find(n);
  return it == baud_.end() ? 0 : it->second;
}

int SimulatedSerialPorts::stopBitsOf(int n) const {
  const auto it = stopBits_.find(n);
  return it == stopBits_.end() ? 0 : it->second;
}

}  // namespace korvel::testing
