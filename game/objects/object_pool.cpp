#include "game/objects/object_pool.h"

#include <cstdint>

namespace game {

void* ObjectPool::Allocate(std::size_t size, std::size_t alignment) {
  auto aligned = [alignment](std::byte* at) {
    const auto address = reinterpret_cast<std::uintptr_t>(at);
    return at + ((alignment - address % alignment) % alignment);
  };
  std::byte* at = next_ == nullptr ? nullptr : aligned(next_);
  if (at == nullptr || at + size > end_) {
    const std::size_t block = size + alignment > kBlockSize ? size + alignment : kBlockSize;
    blocks_.push_back(std::make_unique<std::byte[]>(block));
    next_ = blocks_.back().get();
    end_ = next_ + block;
    at = aligned(next_);
  }
  next_ = at + size;
  return at;
}

}  // namespace game
