// The timed repeats of a tribe's structure destruction. A request at calendar second t leaves
// two entries, stamped t + 5 and t + 10; the timer callback runs each once it is 10 seconds
// old, so the tribe's structures are destroyed again 15 and 20 seconds after the request.
// Thread: the game thread, on which commands and the timer callback run; no lock.
#pragma once

#include <cstdint>
#include <unordered_map>

namespace orvane {

// The name the timer callback is registered under.
inline constexpr const char* kSweepTimerName = "TimedDestroyTribeStructures";

// Pending sweeps: tribe ids by stamp (calendar seconds), one entry per stamp.
class PendingStructureSweeps {
 public:
  using Clock = int64_t (*)();
  using Sweep = int32_t (*)(int32_t tribe_id);

  // Adds (now + 5, tribe) and then (now + 10, tribe). A stamp already taken keeps its tribe:
  // the new entry is lost.
  void Schedule(int32_t tribe_id, int64_t now);
  // Runs every entry that is at least 10 seconds past its stamp by `clock`, read afresh for
  // each entry: logs "Timed Destroyed Requested", sweeps its tribe and removes it.
  void RunDue(Clock clock, Sweep sweep);

  // The entries as they stand, in the map's own order.
  const std::unordered_map<int64_t, int32_t>& entries() const { return entries_; }

 private:
  std::unordered_map<int64_t, int32_t> entries_;
};

// The plugin's schedule: empty when the library is loaded, gone when it is unloaded.
PendingStructureSweeps& PendingSweeps();
// Schedules the two repeats for the tribe at the current calendar second.
void ScheduleStructureSweeps(int32_t tribe_id);
// The timer callback: the due entries of the plugin's schedule destroy their tribe's
// structures.
void TimedDestroyTribeStructures();

}  // namespace orvane
