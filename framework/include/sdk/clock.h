// The framework's clock, which plugins use for calendar time and for measuring durations. It
// runs with the system's clocks but can be moved forward by the host (the stand-in server's
// "emu.clock advance"), so that timed work can be rehearsed and tested without waiting.
// Thread: any.
#pragma once

#include <chrono>
#include <cstdint>

namespace HostApi {

class IClock {
 public:
  // Calendar time in whole seconds since the epoch: the C library's time() plus the advance.
  virtual int64_t CalendarSeconds() const = 0;
  // A monotonic high-resolution time: std::chrono::steady_clock::now() plus the advance.
  virtual std::chrono::steady_clock::time_point MonotonicNow() const = 0;

 protected:
  ~IClock() = default;
};

IClock& GetClock();

}  // namespace HostApi
