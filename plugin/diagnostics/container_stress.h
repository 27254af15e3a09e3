// The container stress test's workload: seven containers of 32-bit integers (the host's TArray
// and six standard containers) filled with the same run of integers, then searched, each phase
// timed on the monotonic clock and summarised in the plugin's log. The containers live as long
// as the library and are empty between runs. Thread: the game thread.
#pragma once

#include <cstdint>

#include "core/platform.h"

namespace orvane::diagnostics {

// The most integers a run puts into each container. All seven hold them at the same time, at
// about kBytesPerValue bytes of heap per integer across them, so a run at the limit takes some
// 850 MB from the server process; beyond that a diagnostic would endanger the game it measures.
inline constexpr int32_t kMaxValueToStress = 5'000'000;
inline constexpr int32_t kBytesPerValue = 170;

using MonotonicTime = decltype(platform::MonotonicNow());
// Whole milliseconds from `start` to now, truncated.
int64_t WholeMillisecondsSince(MonotonicTime start);

// Empties the containers, puts 0 .. value_to_stress - 1 into each (nothing when it is 0 or
// negative) and logs the add summary, followed by an empty line.
void RunInsertionPhase(int32_t value_to_stress);
// Looks value_to_find up in each container, 100000 passes (the keyed ones stop at the first
// that finds it), logs a not-found line for each container that lacks it and the search
// summary, then empties the containers.
void RunSearchPhase(int32_t value_to_find);

}  // namespace orvane::diagnostics
