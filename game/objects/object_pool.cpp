#include "game/objects/object_pool.h"

#include <sys/mman.h>

#include <cstdint>

namespace game {
namespace {

// Blocks start at one huge page and double up to 32 of them: a small world stays small, a
// world of a million actors needs a dozen blocks.
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kLargestBlock = 32 * kHugePage;

std::byte* Aligned(std::byte* at, std::size_t alignment) {
  const auto address = reinterpret_cast<std::uintptr_t>(at);
  return at + ((alignment - address % alignment) % alignment);
}

}  // namespace

void* ObjectPool::Allocate(std::size_t size, std::size_t alignment) {
  std::byte* at = next_ == nullptr ? nullptr : Aligned(next_, alignment);
  if (at == nullptr || at + size > end_) {
    next_block_size_ =
        next_block_size_ == 0 ? kHugePage : std::min(next_block_size_ * 2, kLargestBlock);
    // Rounded up to whole huge pages, so that the block can be backed by them.
    const std::size_t block =
        std::max(next_block_size_, (size + alignment + kHugePage - 1) / kHugePage * kHugePage);
    auto* storage = static_cast<std::byte*>(std::aligned_alloc(kHugePage, block));
    if (storage == nullptr) throw std::bad_alloc();
    madvise(storage, block, MADV_HUGEPAGE);  // a hint: without huge pages it works as well
    blocks_.emplace_back(storage);
    next_ = storage;
    end_ = storage + block;
    at = Aligned(next_, alignment);
  }
  next_ = at + size;
  return at;
}

}  // namespace game
