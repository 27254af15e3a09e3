#include "framework/host/address_table.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>

#include "framework/host/log_sinks.h"

namespace framework {
namespace {

struct Entry {
  void* function = nullptr;
  std::ptrdiff_t offset = 0;
  bool is_field = false;
};

struct NameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const noexcept {
    return std::hash<std::string_view>{}(s);
  }
};

using Table = std::unordered_map<std::string, Entry, NameHash, std::equal_to<>>;

Table& GetTable() {
  static Table table;
  return table;
}

// Bumped by every change of the table; cached lookups of an older generation are ignored.
std::atomic<uint64_t> table_generation{1};

// Plugins name members by string literals, so the same name arrives at the same address
// again and again. A small per-thread cache keyed by that address skips the hash; the key's
// text is still compared, so a different name at a reused address never matches.
struct CachedLookup {
  uint64_t generation = 0;
  const char* key = nullptr;  // the table's own copy of the name
  std::size_t size = 0;
  const Entry* entry = nullptr;
};
constexpr std::size_t kCacheSize = 512;
// The framework is loaded with the process, never by dlopen: initial-exec TLS is safe and
// spares a call per lookup.
thread_local CachedLookup lookup_cache[kCacheSize] __attribute__((tls_model("initial-exec")));

std::size_t CacheSlot(std::string_view name) {
  const auto address = reinterpret_cast<std::uintptr_t>(name.data());
  return (address ^ (address >> 9) ^ name.size()) % kCacheSize;
}

// Names are short: word-wise compare inline beats a call to memcmp.
bool SameText(const char* a, const char* b, std::size_t size) {
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    uint64_t wa, wb;
    std::memcpy(&wa, a + i, 8);
    std::memcpy(&wb, b + i, 8);
    if (wa != wb) return false;
  }
  for (; i < size; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

const Entry* Lookup(std::string_view name) {
  const uint64_t generation = table_generation.load(std::memory_order_acquire);
  CachedLookup& cached = lookup_cache[CacheSlot(name)];
  if (cached.generation == generation && cached.size == name.size() &&
      SameText(cached.key, name.data(), name.size())) {
    return cached.entry;
  }
  const Table& table = GetTable();
  auto it = table.find(name);
  if (it == table.end()) {
    FrameworkLog().error("GetAddress: unknown symbol \"{}\"", name);
    return nullptr;
  }
  cached = {generation, it->first.data(), it->first.size(), &it->second};
  return &it->second;
}

void Store(std::string_view name, Entry entry) {
  GetTable().insert_or_assign(std::string(name), entry);
  table_generation.fetch_add(1, std::memory_order_release);
}

}  // namespace

void RegisterFunctionAddress(std::string_view name, void* function) {
  Store(name, Entry{function, 0, false});
}

void RegisterFieldOffset(std::string_view name, std::ptrdiff_t offset) {
  Store(name, Entry{nullptr, offset, true});
}

void ClearAddressTable() {
  GetTable().clear();
  table_generation.fetch_add(1, std::memory_order_release);
}

bool IsRegistered(std::string_view name) { return GetTable().contains(name); }

std::vector<std::string> RegisteredNames() {
  std::vector<std::string> names;
  for (const auto& [name, entry] : GetTable()) names.push_back(name);
  return names;
}

}  // namespace framework

void* GetAddress(std::string_view name) {
  const framework::Entry* entry = framework::Lookup(name);
  if (entry == nullptr || entry->is_field) return nullptr;
  return entry->function;
}

void* GetAddress(const void* base, std::string_view name) {
  const framework::Entry* entry = framework::Lookup(name);
  if (entry == nullptr || !entry->is_field) return nullptr;
  if (base == nullptr) {
    framework::FrameworkLog().error("GetAddress: field \"{}\" of a null object", name);
    return nullptr;
  }
  return const_cast<char*>(static_cast<const char*>(base)) + entry->offset;
}
