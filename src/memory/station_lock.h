// The station folder's lock, so that two programs never both read, change and write savmem.dat: the
// running Korvel holds it from start-up to its end, an import of channels while it works.
#pragma once

namespace korvel {
struct Panel;

inline constexpr const char* kStationLockFileName = "korvel.lock";

enum class StationLock {
  taken,          // this panel holds the lock now
  heldElsewhere,  // another process, or another panel, holds it
  unavailable,    // the lock file cannot be made: the folder is not writable, so no one can save there
};

// Takes the lock of the panel's station folder (the file korvel.lock there, made when missing, never
// removed) without waiting. The operating system lets it go when the panel or the process ends.
StationLock lockStation(Panel& p);
void unlockStation(Panel& p);

}  // namespace korvel
