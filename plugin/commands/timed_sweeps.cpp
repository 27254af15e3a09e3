#include "commands/timed_sweeps.h"

#include "commands/destruction.h"
#include "core/platform.h"
#include "core/plugin_logger.h"

namespace orvane {
namespace {

constexpr int64_t kFirstOffset = 5;
constexpr int64_t kSecondOffset = 10;
constexpr double kAge = 10.0;

}  // namespace

void PendingStructureSweeps::Schedule(int32_t tribe_id, int64_t now) {
  entries_.try_emplace(now + kFirstOffset, tribe_id);
  entries_.try_emplace(now + kSecondOffset, tribe_id);
}

void PendingStructureSweeps::RunDue(Clock clock, Sweep sweep) {
  for (auto entry = entries_.begin(); entry != entries_.end();) {
    if (static_cast<double>(clock() - entry->first) < kAge) {
      ++entry;
      continue;
    }
    PluginLogger::Get().info("Timed Destroyed Requested");
    sweep(entry->second);
    entry = entries_.erase(entry);
  }
}

PendingStructureSweeps& PendingSweeps() {
  static PendingStructureSweeps sweeps;
  return sweeps;
}

void ScheduleStructureSweeps(int32_t tribe_id) {
  PendingSweeps().Schedule(tribe_id, platform::CalendarSeconds());
}

void TimedDestroyTribeStructures() {
  PendingSweeps().RunDue(&platform::CalendarSeconds, &DestroyTribeStructuresNow);
}

}  // namespace orvane
