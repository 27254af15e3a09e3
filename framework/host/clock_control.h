// The host side of the framework's clock (sdk/clock.h): moving it forward. Both the calendar
// and the monotonic time move by the same amount; the clock never goes back.
// Thread: any.
#pragma once

#include <chrono>

namespace framework {

// The most the clock may be advanced in total: far beyond any rehearsal, far below overflow.
inline constexpr std::chrono::seconds kMaxClockAdvance{std::chrono::hours(24 * 365 * 100)};

// Moves the clock forward by `by`. Returns false, changing nothing, when `by` is negative or
// the total advance would exceed kMaxClockAdvance.
bool AdvanceClock(std::chrono::seconds by);
// How far the clock has been advanced in total.
std::chrono::seconds ClockAdvance();
// Back to the system's clocks (tests that share one process).
void ResetClock();

}  // namespace framework
