#include "memory/station_lock.h"

// POSIX; station_lock_win32.cpp is the Windows side.
#ifndef _WIN32

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <memory>

#include "state/panel.h"

namespace korvel {

namespace {

// flock, not fcntl: its lock belongs to the open file, so two panels of one process exclude each
// other as two processes do, and closing another descriptor of the file does not let it go.
struct HeldLock {
  explicit HeldLock(int descriptor) : fd(descriptor) {}
  HeldLock(const HeldLock&) = delete;
  HeldLock& operator=(const HeldLock&) = delete;
  ~HeldLock() { ::close(fd); }
  int fd;
};

}  // namespace

StationLock lockStation(Panel& p) {
  if (p.memory.stationLock) return StationLock::taken;
  const auto path = p.folder / kStationLockFileName;
  // Read access is all a lock needs, so a lock file someone made read-only still locks.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return StationLock::unavailable;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return held ? StationLock::heldElsewhere : StationLock::unavailable;
  }
  p.memory.stationLock = std::make_shared<HeldLock>(fd);
  return StationLock::taken;
}

void unlockStation(Panel& p) { p.memory.stationLock.reset(); }

}  // namespace korvel

#endif  // _WIN32
