// Symbolic access to the game: a member is named by text ("UPrimalActor.TargetingTeam",
// "UStruct.IsChildOf(UStruct*)") and the framework turns the name into an address at each use.
// A field resolves to object address plus offset; a function to a plain function whose first
// parameter is the object (none for a static function). An unknown name gives null and is
// logged at error level.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sdk::address_cache {

// The framework's per-thread cache of resolved names. Loops over a whole level resolve the
// same few names once per actor, so the lookup's common case is inline here: a name passed
// again at the same address (a string literal in a loaded image) in the same generation of
// the framework's table. The framework alone fills the cache (on a miss, for names in
// read-only image memory only) and invalidates it by bumping the generation whenever the
// table or the loaded images change; a lookup never sees a result of an older table.
// Plain data (zero is an empty entry), so that the thread-local array needs no initialiser
// and each access is a plain initial-exec reference.
struct Entry {
  uint64_t tag;  // generation << 1, low bit set for a field
  const char* name;
  std::size_t size;
  std::uintptr_t value;  // the function's address or the field's offset
};
struct alignas(64) Set {
  Entry way[2];
};
inline constexpr std::size_t kSets = 256;

// The framework is loaded with the process, never by dlopen, so its thread-local storage is
// in the static block and initial-exec access is valid from any image.
extern __thread Set sets[kSets] __attribute__((tls_model("initial-exec")));
extern std::atomic<uint64_t> generation;

inline uint64_t Tag(bool is_field) {
  return (generation.load(std::memory_order_acquire) << 1) | (is_field ? 1 : 0);
}
// The set of a name: bits 4..11 of its address. Literals lie apart in an image's read-only
// data, so the few names of a hot loop rarely share a set, and two that do fit its two ways.
inline const Set& SetOf(const char* name) {
  return sets[(reinterpret_cast<std::uintptr_t>(name) >> 4) % kSets];
}
inline const Entry* Find(std::string_view name, uint64_t tag) {
  for (const Entry& entry : SetOf(name.data()).way)
    if (entry.name == name.data() && entry.tag == tag && entry.size == name.size()) return &entry;
  return nullptr;
}

// The framework's full lookups, for everything but a cached hit.
void* LookUpFunction(std::string_view name);
void* LookUpField(const void* base, std::string_view name);

}  // namespace sdk::address_cache

// Address of the game function named `name`, or null.
inline void* GetAddress(std::string_view name) {
  if (const auto* hit = sdk::address_cache::Find(name, sdk::address_cache::Tag(false))) [[likely]]
    return reinterpret_cast<void*>(hit->value);
  return sdk::address_cache::LookUpFunction(name);
}
// Address of the field `name` inside the object at `base`, or null.
inline void* GetAddress(const void* base, std::string_view name) {
  const auto* hit = sdk::address_cache::Find(name, sdk::address_cache::Tag(true));
  if (hit != nullptr && base != nullptr) [[likely]]
    return const_cast<char*>(static_cast<const char*>(base)) + hit->value;
  return sdk::address_cache::LookUpField(base, name);
}

namespace sym {

// A field of objects of type Owner (or derived) holding a T.
template <class Owner, class T>
struct Field {
  using Type = T;
  std::string_view name;
};

// A game function with the exact C++ signature behind its symbolic name.
template <class Signature>
struct Function;
template <class R, class... Args>
struct Function<R(Args...)> {
  using Pointer = R (*)(Args...);
  std::string_view name;
};

// The address of a game function as a typed pointer, or null.
template <class R, class... Args>
R (*Resolve(Function<R(Args...)> member))
(Args...) {
  return reinterpret_cast<R (*)(Args...)>(GetAddress(member.name));
}

}  // namespace sym
