#include "framework/host/address_table.h"

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

const Entry* Lookup(std::string_view name) {
  const Table& table = GetTable();
  auto it = table.find(name);
  if (it != table.end()) return &it->second;
  FrameworkLog().error("GetAddress: unknown symbol \"{}\"", name);
  return nullptr;
}

}  // namespace

void RegisterFunctionAddress(std::string_view name, void* function) {
  GetTable().insert_or_assign(std::string(name), Entry{function, 0, false});
}

void RegisterFieldOffset(std::string_view name, std::ptrdiff_t offset) {
  GetTable().insert_or_assign(std::string(name), Entry{nullptr, offset, true});
}

void ClearAddressTable() { GetTable().clear(); }

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
  if (entry == nullptr || !entry->is_field || base == nullptr) return nullptr;
  return const_cast<char*>(static_cast<const char*>(base)) + entry->offset;
}
