#include "sdk/host_memory.h"

#include "sdk/game_members.h"

// Resolved at each call: the game may be rebuilt between calls (tests do).
namespace sdk {

void* HostMalloc(std::size_t size) { return sym::Resolve(sym::FMemory::Malloc)(size, 0); }

void* HostRealloc(void* block, std::size_t size) {
  return sym::Resolve(sym::FMemory::Realloc)(block, size, 0);
}

void HostFree(void* block) {
  if (block != nullptr) sym::Resolve(sym::FMemory::Free)(block);
}

}  // namespace sdk
