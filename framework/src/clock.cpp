#include <atomic>
#include <ctime>

#include "framework/host/clock_control.h"
#include "sdk/clock.h"

namespace framework {
namespace {

// Whole seconds, so that both clocks always carry exactly the same advance.
std::atomic<int64_t> advance_seconds{0};

struct Clock final : HostApi::IClock {
  int64_t CalendarSeconds() const override {
    return static_cast<int64_t>(std::time(nullptr)) + advance_seconds.load();
  }
  std::chrono::steady_clock::time_point MonotonicNow() const override {
    return std::chrono::steady_clock::now() + std::chrono::seconds(advance_seconds.load());
  }
};

}  // namespace

bool AdvanceClock(std::chrono::seconds by) {
  if (by.count() < 0) return false;
  int64_t current = advance_seconds.load();
  do {
    if (by.count() > kMaxClockAdvance.count() - current) return false;
  } while (!advance_seconds.compare_exchange_weak(current, current + by.count()));
  return true;
}

std::chrono::seconds ClockAdvance() { return std::chrono::seconds(advance_seconds.load()); }

void ResetClock() { advance_seconds.store(0); }

}  // namespace framework

namespace HostApi {
IClock& GetClock() {
  static framework::Clock clock;
  return clock;
}
}  // namespace HostApi
