#include "server/rcon/login_guard.h"

#include <gtest/gtest.h>

namespace server::rcon {
namespace {

using std::chrono::seconds;
using Clock = LoginGuard::Clock;

class LoginGuardTest : public ::testing::Test {
 protected:
  LoginGuard guard_{{5, seconds(30), seconds(300)}};
  Clock::time_point t0_ = Clock::time_point() + std::chrono::hours(1);
};

TEST_F(LoginGuardTest, FifthFailureWithinTheWindowLocksForTheLockout) {
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(guard_.RecordFailure("10.0.0.1", t0_ + seconds(i)));
  EXPECT_FALSE(guard_.IsLocked("10.0.0.1", t0_ + seconds(4)));
  EXPECT_TRUE(guard_.RecordFailure("10.0.0.1", t0_ + seconds(29)));
  EXPECT_TRUE(guard_.IsLocked("10.0.0.1", t0_ + seconds(29)));
  EXPECT_EQ(guard_.LockedUntil("10.0.0.1", t0_ + seconds(100)), t0_ + seconds(329));
  EXPECT_TRUE(guard_.IsLocked("10.0.0.1", t0_ + seconds(328)));
  EXPECT_FALSE(guard_.IsLocked("10.0.0.1", t0_ + seconds(329))) << "five minutes later";
  EXPECT_FALSE(guard_.IsLocked("10.0.0.2", t0_ + seconds(30))) << "other addresses unaffected";
}

TEST_F(LoginGuardTest, FailuresOlderThanTheWindowDoNotCount) {
  for (int i = 0; i < 4; ++i) guard_.RecordFailure("a", t0_);
  EXPECT_FALSE(guard_.RecordFailure("a", t0_ + seconds(30)));
  EXPECT_FALSE(guard_.IsLocked("a", t0_ + seconds(30)));
}

TEST_F(LoginGuardTest, SuccessForgetsEarlierFailures) {
  for (int i = 0; i < 4; ++i) guard_.RecordFailure("a", t0_);
  guard_.RecordSuccess("a");
  EXPECT_FALSE(guard_.RecordFailure("a", t0_ + seconds(1)));
}

TEST_F(LoginGuardTest, ExpiredAddressesAreForgotten) {
  for (int i = 0; i < 1000; ++i) guard_.RecordFailure("10.1." + std::to_string(i), t0_);
  EXPECT_EQ(guard_.tracked(), 1000u);
  EXPECT_FALSE(guard_.IsLocked("x", t0_ + seconds(61)));
  EXPECT_EQ(guard_.tracked(), 0u);
}

}  // namespace
}  // namespace server::rcon
