#include "framework/host/address_table.h"

#include <link.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

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
// again and again. A small per-thread cache keyed by that address skips the hash. A name read
// from a read-only segment of a loaded image cannot change while the image stays loaded (and
// every load or unload starts a new generation), so its address alone identifies it; any other
// name is compared by its text, so a different name at a reused address never matches.
struct CachedLookup {
  uint64_t generation = 0;
  const char* key = nullptr;  // the table's own copy of the name
  std::size_t size = 0;
  const char* caller = nullptr;  // where the caller's text was
  bool caller_is_fixed = false;  // that text lies in a read-only image segment
  const Entry* entry = nullptr;
};

// The read-only segments of the loaded images, rebuilt at each plugin load and unload.
struct ImageRanges {
  std::mutex mutex;
  bool known = false;
  std::vector<std::pair<std::uintptr_t, std::uintptr_t>> ranges;
};

ImageRanges& GetImageRanges() {
  static ImageRanges ranges;
  return ranges;
}

int CollectReadOnlySegments(dl_phdr_info* info, std::size_t, void* data) {
  auto* ranges = static_cast<std::vector<std::pair<std::uintptr_t, std::uintptr_t>>*>(data);
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& header = info->dlpi_phdr[i];
    if (header.p_type != PT_LOAD || (header.p_flags & PF_W) != 0) continue;
    const std::uintptr_t start = info->dlpi_addr + header.p_vaddr;
    ranges->emplace_back(start, start + header.p_memsz);
  }
  return 0;
}

// Whether [text, text + size) lies in a read-only segment of a loaded image.
bool InReadOnlyImage(const char* text, std::size_t size) {
  ImageRanges& images = GetImageRanges();
  std::lock_guard lock(images.mutex);
  if (!images.known) {
    images.ranges.clear();
    dl_iterate_phdr(&CollectReadOnlySegments, &images.ranges);
    images.known = true;
  }
  const auto begin = reinterpret_cast<std::uintptr_t>(text);
  for (const auto& [start, end] : images.ranges)
    if (begin >= start && begin + size <= end) return true;
  return false;
}
constexpr std::size_t kCacheSize = 512;
// The framework is loaded with the process, never by dlopen: initial-exec TLS is safe and
// spares a call per lookup.
thread_local CachedLookup lookup_cache[kCacheSize] __attribute__((tls_model("initial-exec")));

// Two slots per name address (a tiny two-way cache): a pair of names whose addresses share a
// slot does not evict each other on every alternate lookup.
std::size_t CacheSlot(std::string_view name) {
  const auto address = reinterpret_cast<std::uintptr_t>(name.data()) + name.size();
  return ((address * 0x9E3779B97F4A7C15ull) >> 54) & (kCacheSize - 2);
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

inline bool Holds(const CachedLookup& cached, uint64_t generation, std::string_view name) {
  return cached.generation == generation && cached.size == name.size() &&
         ((cached.caller_is_fixed && cached.caller == name.data()) ||
          SameText(cached.key, name.data(), name.size()));
}

// The miss path, kept out of line so that the cached path stays a few instructions.
[[gnu::noinline]] const Entry* LookupInTable(std::string_view name, CachedLookup* set,
                                             uint64_t generation) {
  const Table& table = GetTable();
  auto it = table.find(name);
  if (it == table.end()) {
    FrameworkLog().error("GetAddress: unknown symbol \"{}\"", name);
    return nullptr;
  }
  set[1] = set[0];
  set[0] = {generation,
            it->first.data(),
            it->first.size(),
            name.data(),
            InReadOnlyImage(name.data(), name.size()),
            &it->second};
  return &it->second;
}

inline const Entry* Lookup(std::string_view name) {
  const uint64_t generation = table_generation.load(std::memory_order_acquire);
  CachedLookup* set = &lookup_cache[CacheSlot(name)];
  if (Holds(set[0], generation, name)) return set[0].entry;
  if (Holds(set[1], generation, name)) return set[1].entry;
  return LookupInTable(name, set, generation);
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

void RefreshLoadedImages() {
  {
    ImageRanges& images = GetImageRanges();
    std::lock_guard lock(images.mutex);
    images.known = false;
  }
  table_generation.fetch_add(1, std::memory_order_release);
}

bool IsRegistered(std::string_view name) { return GetTable().contains(name); }

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
