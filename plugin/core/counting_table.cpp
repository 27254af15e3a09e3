#include "core/counting_table.h"

#include <algorithm>

#include "host/game_access.h"

namespace orvane {

bool CountingTable::IgnoringCaseLess::operator()(const FString& a, const FString& b) const {
  return host::Call(sym::FGenericPlatformStricmp::Stricmp, *a, *b) < 0;
}

int32_t& CountingTable::CountOf(const FString& key) {
  return counts_.try_emplace(key, 0).first->second;
}

std::vector<const CountingTable::Entry*> CountingTable::ByCount() const {
  std::vector<const Entry*> entries;
  entries.reserve(counts_.size());
  for (const Entry& entry : counts_) entries.push_back(&entry);
  // Stable over the key order, so equal counts stay in key order.
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry* a, const Entry* b) { return a->second < b->second; });
  return entries;
}

}  // namespace orvane
