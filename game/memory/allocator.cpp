#include "game/memory/allocator.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "framework/host/address_table.h"
#include "sdk/game_members.h"

namespace game {
namespace {

// Each block carries its size in front, padded to keep the payload 16-byte aligned.
constexpr std::size_t kHeader = 16;
// Blocks up to this size come from the heap, which keeps up to kKeptHeap free at its top.
constexpr int kLargestHeapBlock = 512 << 20;
constexpr int kKeptHeap = 1 << 30;

std::atomic<int64_t> live_blocks{0};
std::atomic<int64_t> live_bytes{0};

void* Malloc(uint64_t size, uint32_t /*alignment*/) {
  auto* raw = static_cast<char*>(std::malloc(kHeader + size));
  if (raw == nullptr) throw std::bad_alloc();
  *reinterpret_cast<uint64_t*>(raw) = size;
  live_blocks.fetch_add(1, std::memory_order_relaxed);
  live_bytes.fetch_add(static_cast<int64_t>(size), std::memory_order_relaxed);
  return raw + kHeader;
}

void Free(void* block) {
  if (block == nullptr) return;
  char* raw = static_cast<char*>(block) - kHeader;
  live_blocks.fetch_sub(1, std::memory_order_relaxed);
  live_bytes.fetch_sub(static_cast<int64_t>(*reinterpret_cast<uint64_t*>(raw)),
                       std::memory_order_relaxed);
  std::free(raw);
}

void* Realloc(void* block, uint64_t size, uint32_t alignment) {
  if (block == nullptr) return Malloc(size, alignment);
  char* raw = static_cast<char*>(block) - kHeader;
  const auto old_size = *reinterpret_cast<uint64_t*>(raw);
  auto* grown = static_cast<char*>(std::realloc(raw, kHeader + size));
  if (grown == nullptr) throw std::bad_alloc();
  *reinterpret_cast<uint64_t*>(grown) = size;
  live_bytes.fetch_add(static_cast<int64_t>(size) - static_cast<int64_t>(old_size),
                       std::memory_order_relaxed);
  return grown + kHeader;
}

}  // namespace

AllocatorCounts CurrentAllocatorCounts() { return {live_blocks.load(), live_bytes.load()}; }

void RegisterAllocator() {
  // Large blocks (a dump of a million actors builds texts of a hundred megabytes) come from the
  // heap and stay there when freed, as a game's allocator keeps its memory: mapping them fresh
  // for each request would cost a page fault per page written, every time.
  static const bool heap_kept_large = [] {
    mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
    mallopt(M_TRIM_THRESHOLD, kKeptHeap);
    return true;
  }();
  (void)heap_kept_large;
  framework::Register(sym::FMemory::Malloc, &Malloc);
  framework::Register(sym::FMemory::Realloc, &Realloc);
  framework::Register(sym::FMemory::Free, &Free);
}

}  // namespace game
