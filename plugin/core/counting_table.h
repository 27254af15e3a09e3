// CountingTable: a count per name, the names ordered by the host's case-insensitive comparison
// ("FGenericPlatformStricmp.Stricmp"). Names that differ only in letter case are one key,
// spelled as it was spelled when the key was made.
// Thread: the game thread.
#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include <sdk/fstring.h>

namespace orvane {

class CountingTable {
 public:
  using Entry = std::pair<const FString, int32_t>;

  // The count kept under `key`; a key not present (ignoring case) is made with count 0. The
  // reference stays valid for the table's life.
  int32_t& CountOf(const FString& key);
  void Add(const FString& key) { ++CountOf(key); }

  // Number of keys.
  int32_t Num() const { return static_cast<int32_t>(counts_.size()); }
  // The entries in ascending key order, ignoring case.
  auto begin() const { return counts_.begin(); }
  auto end() const { return counts_.end(); }
  // The entries by ascending count; equal counts in ascending key order, ignoring case.
  std::vector<const Entry*> ByCount() const;

 private:
  struct IgnoringCaseLess {
    bool operator()(const FString& a, const FString& b) const;
  };
  std::map<FString, int32_t, IgnoringCaseLess> counts_;
};

}  // namespace orvane
