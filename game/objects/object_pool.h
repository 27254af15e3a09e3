// ObjectPool: a world's objects in large blocks, laid out one after another in order of
// creation, as a game pools its objects. Walks over a level then read neighbouring memory
// instead of one scattered heap block per object, which keeps their cost per actor flat from
// thousands to millions of actors. An object's storage is given back only with the pool; its
// destructor runs when the world collects it (Release). Thread: the game thread.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

namespace game {

class ObjectPool {
 public:
  ObjectPool() = default;
  ObjectPool(const ObjectPool&) = delete;
  ObjectPool& operator=(const ObjectPool&) = delete;

  // A new T, value-initialised, in the pool.
  template <class T>
  T* New() {
    return new (Allocate(sizeof(T), alignof(T))) T();
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

  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;
  std::vector<std::unique_ptr<std::byte[]>> blocks_;
  std::byte* next_ = nullptr;
  std::byte* end_ = nullptr;
};

}  // namespace game
