// TArray: the game's dynamic array (data, count, capacity), its storage in host memory.
// Elements are relocated bitwise on growth, as the game does, so element types must not
// hold pointers into themselves (FString, pointers and plain records qualify).
#pragma once

#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "sdk/host_memory.h"

template <class T>
class TArray {
 public:
  TArray() = default;
  TArray(const TArray& other) { CopyFrom(other); }
  TArray(TArray&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)),
        num_(std::exchange(other.num_, 0)),
        max_(std::exchange(other.max_, 0)) {}
  TArray& operator=(const TArray& other) {
    if (this != &other) {
      Release();
      CopyFrom(other);
    }
    return *this;
  }
  TArray& operator=(TArray&& other) noexcept {
    if (this != &other) {
      Release();
      data_ = std::exchange(other.data_, nullptr);
      num_ = std::exchange(other.num_, 0);
      max_ = std::exchange(other.max_, 0);
    }
    return *this;
  }
  ~TArray() { Release(); }

  int32_t Num() const { return num_; }
  int32_t Max() const { return max_; }
  bool IsEmpty() const { return num_ == 0; }
  T* GetData() { return data_; }
  const T* GetData() const { return data_; }
  T& operator[](int32_t i) { return data_[i]; }
  const T& operator[](int32_t i) const { return data_[i]; }
  T* begin() { return data_; }
  T* end() { return data_ + num_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + num_; }

  // Appends one element and returns its index.
  template <class... Args>
  int32_t Emplace(Args&&... args) {
    Reserve(num_ + 1);
    new (data_ + num_) T(std::forward<Args>(args)...);
    return num_++;
  }
  int32_t Add(const T& value) { return Emplace(value); }
  int32_t Add(T&& value) { return Emplace(std::move(value)); }

  // Makes room for at least `count` elements, growing geometrically.
  void Reserve(int32_t count) {
    if (count <= max_) return;
    int32_t grown = max_ < 4 ? 4 : max_ + max_ / 2;
    Reallocate(grown > count ? grown : count);
  }
  // Removes the element at `index`, keeping order.
  void RemoveAt(int32_t index) {
    data_[index].~T();
    std::memmove(static_cast<void*>(data_ + index), data_ + index + 1,
                 sizeof(T) * (num_ - index - 1));
    --num_;
  }
  // Destroys the elements, keeps the storage.
  void Reset() {
    for (int32_t i = 0; i < num_; ++i) data_[i].~T();
    num_ = 0;
  }
  // Destroys the elements and frees the storage.
  void Empty() { Release(); }

 private:
  void Reallocate(int32_t capacity) {
    data_ = static_cast<T*>(data_ == nullptr ? sdk::HostMalloc(sizeof(T) * capacity)
                                             : sdk::HostRealloc(data_, sizeof(T) * capacity));
    max_ = capacity;
  }
  void CopyFrom(const TArray& other) {
    if (other.num_ == 0) return;
    Reallocate(other.num_);
    for (int32_t i = 0; i < other.num_; ++i) new (data_ + i) T(other.data_[i]);
    num_ = other.num_;
  }
  void Release() noexcept {
    Reset();
    sdk::HostFree(data_);
    data_ = nullptr;
    max_ = 0;
  }

  T* data_ = nullptr;
  int32_t num_ = 0;
  int32_t max_ = 0;
};
