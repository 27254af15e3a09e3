#include <gtest/gtest.h>

#include <ctime>

#include "framework/host/clock_control.h"
#include "sdk/clock.h"

namespace {

using namespace std::chrono_literals;

class ClockTest : public ::testing::Test {
 protected:
  void SetUp() override { framework::ResetClock(); }
  void TearDown() override { framework::ResetClock(); }
  HostApi::IClock& clock_ = HostApi::GetClock();
};

// The system's time lies between the readings taken before and after, so each clock, less the
// advance, must lie between them too: that pins the advance down exactly without waiting.
TEST_F(ClockTest, AnAdvanceMovesBothClocksByExactlyThatMuch) {
  ASSERT_TRUE(framework::AdvanceClock(20s));
  ASSERT_TRUE(framework::AdvanceClock(0s));
  ASSERT_TRUE(framework::AdvanceClock(5s));
  const int64_t before = std::time(nullptr);
  const auto steady_before = std::chrono::steady_clock::now();
  const int64_t calendar = clock_.CalendarSeconds();
  const auto monotonic = clock_.MonotonicNow();
  const int64_t after = std::time(nullptr);
  const auto steady_after = std::chrono::steady_clock::now();
  EXPECT_EQ(framework::ClockAdvance(), 25s);
  EXPECT_GE(calendar - 25, before);
  EXPECT_LE(calendar - 25, after);
  EXPECT_GE(monotonic - 25s, steady_before);
  EXPECT_LE(monotonic - 25s, steady_after);
}

TEST_F(ClockTest, NegativeOrOversizedAdvancesChangeNothing) {
  EXPECT_FALSE(framework::AdvanceClock(-1s));
  EXPECT_FALSE(framework::AdvanceClock(framework::kMaxClockAdvance + 1s));
  ASSERT_TRUE(framework::AdvanceClock(framework::kMaxClockAdvance - 10s));
  EXPECT_FALSE(framework::AdvanceClock(11s)) << "the total is bounded, not each step";
  EXPECT_TRUE(framework::AdvanceClock(10s));
  EXPECT_EQ(framework::ClockAdvance(), framework::kMaxClockAdvance);
}

TEST_F(ClockTest, ResetReturnsToTheSystemClocks) {
  ASSERT_TRUE(framework::AdvanceClock(3600s));
  framework::ResetClock();
  EXPECT_EQ(framework::ClockAdvance(), 0s);
  EXPECT_LE(clock_.CalendarSeconds(), std::time(nullptr));
}

}  // namespace
