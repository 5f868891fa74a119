#include "platform/posix_input_watch.h"

namespace korvel::platform {

std::size_t PosixInputWatch::addTo(std::vector<pollfd>& set) const {
  const std::size_t first = set.size();
  for (const InputHandle handle : handles_) {
    if (handle >= 0) set.push_back({static_cast<int>(handle), POLLIN, 0});
  }
  return first;
}

bool PosixInputWatch::anyReady(const std::vector<pollfd>& set, std::size_t first) {
  for (std::size_t i = first; i < set.size(); ++i) {
    if ((set[i].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) != 0) return true;
  }
  return false;
}

}  // namespace korvel::platform
