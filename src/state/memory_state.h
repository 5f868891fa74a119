// The 100 memory channels (bank x 10 + slot) and the channel key sequence state.
#pragma once

#include <array>
#include <string>

namespace korvel::memory {

struct MemoryState {
  std::array<std::string, 100> memorySlots{};
  int channelOp = 0;
  int bankEntry = 0;
  int lastBank = 99;
  int lastSlot = 0;
};

}  // namespace korvel::memory
