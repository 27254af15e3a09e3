// The schedule of timed structure sweeps, driven by a clock of the test's.
#include "commands/timed_sweeps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "core/plugin_logger.h"
#include "tests/support/test_world.h"

namespace {

using Entries = std::map<int64_t, int32_t>;
using Tribes = std::vector<int32_t>;

constexpr int32_t kTribeA = 1000001;
constexpr int32_t kTribeB = 1000002;
constexpr int64_t kT = 1'700'000'000;  // the first request's second

int64_t now = 0;
Tribes swept;

int64_t TestClock() { return now; }
int32_t RecordSweep(int32_t tribe_id) {
  swept.push_back(tribe_id);
  return 0;
}

class TimedSweeps : public ::testing::Test {
 protected:
  TimedSweeps() : world_("{}") {
    orvane::PluginLogger::Create();
    now = kT;
    swept.clear();
  }

  // The sweeps run at `second`, and the log lines written since the last call.
  Tribes RunAt(int64_t second) {
    now = second;
    swept.clear();
    world_.host().log().Clear();
    sweeps_.RunDue(&TestClock, &RecordSweep);
    EXPECT_EQ(world_.host().log().Count("Timed Destroyed Requested"),
              static_cast<int>(swept.size()));
    return swept;
  }
  Entries entries() const { return {sweeps_.entries().begin(), sweeps_.entries().end()}; }

  support::TestWorld world_;
  orvane::PendingStructureSweeps sweeps_;
};

// Two tribes in the same second: the second gets no repeats, as the stamps are taken; a later
// request whose stamp is taken likewise loses that entry. Every entry due runs on one call.
TEST_F(TimedSweeps, AStampAlreadyTakenLosesTheNewEntryAndDueEntriesRunTogether) {
  sweeps_.Schedule(kTribeA, kT);
  sweeps_.Schedule(kTribeB, kT);
  EXPECT_EQ(entries(), (Entries{{kT + 5, kTribeA}, {kT + 10, kTribeA}}));
  sweeps_.Schedule(kTribeB, kT + 5);
  EXPECT_EQ(entries(), (Entries{{kT + 5, kTribeA}, {kT + 10, kTribeA}, {kT + 15, kTribeB}}))
      << "A's second entry blocks B's first";
  EXPECT_EQ(RunAt(kT + 15), Tribes{kTribeA});
  Tribes both = RunAt(kT + 100);  // in no particular order
  std::sort(both.begin(), both.end());
  EXPECT_EQ(both, (Tribes{kTribeA, kTribeB}));
  EXPECT_TRUE(entries().empty());
}

}  // namespace
