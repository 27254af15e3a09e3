#include "bench/support/cold_caches.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>

namespace bench {
namespace {

// Four times the 32 MB of a large server part's last-level cache, so that little of what ran
// before survives a sweep.
constexpr std::size_t kSweepBytes = std::size_t{128} << 20;
constexpr std::size_t kLine = 64;

}  // namespace

void EvictCaches() {
  // Filled once, so that every page is backed before the first sweep.
  static std::vector<std::uint8_t> sweep(kSweepBytes, 1);
  std::uint64_t sum = 0;
  for (std::size_t at = 0; at < sweep.size(); at += kLine) sum += sweep[at];
  benchmark::DoNotOptimize(sum);
}

}  // namespace bench
