// The 100 memory channels (bank x 10 + slot) and the channel key sequence state.
#pragma once

#include <array>
#include <memory>
#include <string>

namespace korvel::memory {

// lastBank when no bank has been stepped through.
inline constexpr int kNoBank = 99;
// channelOp: the next channel entry stores or recalls.
inline constexpr int kStoreChannel = 1;
inline constexpr int kRecallChannel = 2;

struct MemoryState {
  std::array<std::string, 100> memorySlots{};
  int channelOp = 0;
  int bankEntry = 0;
  int lastBank = kNoBank;
  int lastSlot = 0;
  // The station folder's lock while this panel holds it (empty when not): the running program from
  // start-up to its end, an import of channels while it reads, changes and writes savmem.dat.
  std::shared_ptr<void> stationLock;
};

}  // namespace korvel::memory
