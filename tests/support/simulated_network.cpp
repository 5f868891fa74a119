#include "simulated_network.h"

#include <algorithm>
#include <cstring>

namespace korvel::testing {

int SimulatedNetwork::connect() {
  conns_.emplace_back();
  return static_cast<int>(conns_.size());
}

void SimulatedNetwork::send(int client, std::string_view bytes) { at(client).in += bytes; }

std::string SimulatedNetwork::take(int client) {
  std::string out = std::move(at(client).out);
  at(client).out.clear();
  return out;
}

std::string SimulatedNetwork::listen(const std::string&, int) {
  listening_ = available;
  return available ? "" : "no network in this test";
}

int SimulatedNetwork::accept() {
  if (!listening_) return 0;
  for (std::size_t i = 0; i < conns_.size(); ++i) {
    if (!conns_[i].accepted) {
      conns_[i].accepted = true;
      return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

int SimulatedNetwork::read(int connection, char* buffer, int maximum) {
  Connection& c = at(connection);
  if (!c.open || (c.peerGone && c.in.empty())) return -1;
  const auto count = std::min(c.in.size(), static_cast<std::size_t>(maximum));
  std::memcpy(buffer, c.in.data(), count);
  c.in.erase(0, count);
  return static_cast<int>(count);
}

int SimulatedNetwork::write(int connection, const char* bytes, int length) {
  Connection& c = at(connection);
  if (!c.open || c.peerGone) return -1;
  if (!c.reading) return 0;
  c.out.append(bytes, static_cast<std::size_t>(length));
  return length;
}

}  // namespace korvel::testing
