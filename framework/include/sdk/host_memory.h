// Storage shared with the game: every FString and TArray block comes from the game's
// allocator ("FMemory.Malloc/Realloc/Free"), resolved by symbolic name at each call, so
// plugin and game may free each other's blocks.
// Thread: whichever thread the game allows to allocate (the game thread here).
#pragma once

#include <cstddef>

namespace sdk {

// Returns a block of `size` bytes (alignment 0: the game's default).
void* HostMalloc(std::size_t size);
// Grows or shrinks `block`; a null block is a fresh allocation.
void* HostRealloc(void* block, std::size_t size);
// Releases `block`; null is ignored.
void HostFree(void* block);

}  // namespace sdk
