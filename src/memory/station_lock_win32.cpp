// The station folder's lock on Windows: a byte of korvel.lock locked through its handle. The POSIX
// side is station_lock.cpp.
#ifdef _WIN32

#include <windows.h>

#include <memory>

#include "memory/station_lock.h"
#include "state/panel.h"

namespace korvel {

namespace {

struct HeldLock {
  explicit HeldLock(HANDLE file) : handle(file) {}
  HeldLock(const HeldLock&) = delete;
  HeldLock& operator=(const HeldLock&) = delete;
  ~HeldLock() { CloseHandle(handle); }
  HANDLE handle;
};

}  // namespace

StationLock lockStation(Panel& p) {
  if (p.memory.stationLock) return StationLock::taken;
  const auto path = p.folder / kStationLockFileName;
  // Others may open the file (and the folder may be removed with it); only the lock excludes them.
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return StationLock::unavailable;
  OVERLAPPED at{};
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
    const bool held = GetLastError() == ERROR_LOCK_VIOLATION;
    CloseHandle(file);
    return held ? StationLock::heldElsewhere : StationLock::unavailable;
  }
  p.memory.stationLock = std::make_shared<HeldLock>(file);
  return StationLock::taken;
}

void unlockStation(Panel& p) { p.memory.stationLock.reset(); }

}  // namespace korvel

#endif  // _WIN32
