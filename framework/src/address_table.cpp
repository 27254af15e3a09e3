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

struct Member {
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

using Table = std::unordered_map<std::string, Member, NameHash, std::equal_to<>>;

Table& GetTable() {
  static Table table;
  return table;
}

using sdk::address_cache::generation;

// Plugins name members by string literals, so the same name arrives at the same address
// again and again: sdk/address.h looks such a name up in a small per-thread cache keyed by that
// address before it calls in here. A name read from a read-only segment of a loaded image
// cannot change while the image stays loaded (and every load or unload starts a new
// generation), so its address alone identifies it. Any other name (a text built at run time,
// whose address may later hold another name) is never cached and is looked up by its text
// every time.

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

inline sdk::address_cache::Set& SetOf(std::string_view name) {
  return const_cast<sdk::address_cache::Set&>(sdk::address_cache::SetOf(name.data()));
}

// Everything but a cached hit: misses, texts that are not fixed, a name of the other kind and
// unknown names. A fixed name found is cached (two entries per set, the newest first).
const Member* SlowLookup(std::string_view name) {
  const Table& table = GetTable();
  auto it = table.find(name);
  if (it == table.end()) {
    FrameworkLog().error("GetAddress: unknown symbol \"{}\"", name);
    return nullptr;
  }
  const Member& entry = it->second;
  if (InReadOnlyImage(name.data(), name.size())) {
    auto& set = SetOf(name);
    set.way[1] = set.way[0];
    set.way[0] = {sdk::address_cache::Tag(entry.is_field), name.data(), name.size(),
                  entry.is_field ? static_cast<std::uintptr_t>(entry.offset)
                                 : reinterpret_cast<std::uintptr_t>(entry.function)};
  }
  return &entry;
}

void Store(std::string_view name, Member entry) {
  GetTable().insert_or_assign(std::string(name), entry);
  generation.fetch_add(1, std::memory_order_release);
}

}  // namespace

void RegisterFunctionAddress(std::string_view name, void* function) {
  Store(name, Member{function, 0, false});
}

void RegisterFieldOffset(std::string_view name, std::ptrdiff_t offset) {
  Store(name, Member{nullptr, offset, true});
}

void ClearAddressTable() {
  GetTable().clear();
  generation.fetch_add(1, std::memory_order_release);
}

void RefreshLoadedImages() {
  {
    ImageRanges& images = GetImageRanges();
    std::lock_guard lock(images.mutex);
    images.known = false;
  }
  generation.fetch_add(1, std::memory_order_release);
}

bool IsRegistered(std::string_view name) { return GetTable().contains(name); }

}  // namespace framework

namespace sdk::address_cache {

__thread Set sets[kSets] __attribute__((tls_model("initial-exec")));
// Bumped by every change of the table; cached lookups of an older generation are ignored.
std::atomic<uint64_t> generation{1};

void* LookUpFunction(std::string_view name) {
  const framework::Member* entry = framework::SlowLookup(name);
  if (entry == nullptr || entry->is_field) return nullptr;
  return entry->function;
}

void* LookUpField(const void* base, std::string_view name) {
  const framework::Member* entry = framework::SlowLookup(name);
  if (entry == nullptr || !entry->is_field) return nullptr;
  if (base == nullptr) {
    framework::FrameworkLog().error("GetAddress: field \"{}\" of a null object", name);
    return nullptr;
  }
  return const_cast<char*>(static_cast<const char*>(base)) + entry->offset;
}

}  // namespace sdk::address_cache
