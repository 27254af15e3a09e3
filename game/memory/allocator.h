// The game's allocator behind "FMemory.Malloc/Realloc/Free": plain heap blocks with a size
// header, counted so that a test can prove a command leaves no block behind.
// Thread-safe: the RCON thread may build request strings while the game thread runs.
#pragma once

#include <cstdint>

namespace game {

struct AllocatorCounts {
  int64_t live_blocks = 0;
  int64_t live_bytes = 0;
};

AllocatorCounts CurrentAllocatorCounts();
// Registers the three FMemory functions with the framework.
void RegisterAllocator();

}  // namespace game
