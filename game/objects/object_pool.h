// ObjectPool: a world's objects in large blocks, laid out one after another in order of
// creation, as a game pools its objects. Walks over a level then read neighbouring memory
// instead of one scattered heap block per object. Each object starts a cache line and takes an
// odd number of them, so that the fields a walk reads first (class, name, team, root component)
// share one line and a walk spreads over every cache set; blocks grow with the world
// and ask for huge pages, so that a walk over millions of objects is not a walk over as many
// page-table entries. An object's storage is given back only with the pool; its destructor
// runs when the world collects it (Release). Thread: the game thread.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

namespace game {

class ObjectPool {
 public:
  ObjectPool() = default;
  ObjectPool(const ObjectPool&) = delete;
  ObjectPool& operator=(const ObjectPool&) = delete;

  // A new T, value-initialised, in the pool, at the start of a cache line.
  template <class T>
  T* New() {
    return new (Allocate(Footprint(sizeof(T)), std::max(alignof(T), kLine))) T();
  }

  // Runs an object's destructor; its storage stays with the pool.
  struct Release {
    template <class T>
    void operator()(T* object) const {
      object->~T();
    }
  };

 private:
  void* Allocate(std::size_t size, std::size_t alignment);

  static constexpr std::size_t kLine = 64;
  // An odd number of whole cache lines: a walk over objects of one size then spreads over
  // every set of the caches. A stride of two or four lines would use only half or a quarter
  // of them, and a small world would no longer fit.
  static constexpr std::size_t Footprint(std::size_t size) {
    const std::size_t lines = (size + kLine - 1) / kLine;
    return (lines % 2 == 0 ? lines + 1 : lines) * kLine;
  }
  struct FreeBlock {
    void operator()(std::byte* block) const { std::free(block); }
  };
  std::vector<std::unique_ptr<std::byte[], FreeBlock>> blocks_;
  std::size_t next_block_size_ = 0;
  std::byte* next_ = nullptr;
  std::byte* end_ = nullptr;
};

}  // namespace game
