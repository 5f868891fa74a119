// Port input watched beside a POSIX front end's own wait: the descriptors the program hands over
// join the poll set, and any of them with input (or hung up, which the port layer then finds lost)
// ends the wait with one port-input event.
#pragma once

#include <poll.h>

#include <cstddef>
#include <vector>

#include "platform/serial_ports.h"

namespace korvel::platform {

class PosixInputWatch {
 public:
  void watch(std::vector<InputHandle> handles) { handles_ = std::move(handles); }
  bool empty() const { return handles_.empty(); }
  // Appends the watched descriptors to a poll set; returns where they begin in it.
  std::size_t addTo(std::vector<pollfd>& set) const;
  // True when any watched descriptor in the set, from `first` on, is ready.
  static bool anyReady(const std::vector<pollfd>& set, std::size_t first);

 private:
  std::vector<InputHandle> handles_;
};

}  // namespace korvel::platform
