#include "server/game_loop.h"

#include <gtest/gtest.h>

#include <thread>

#include <asio/post.hpp>

namespace server {
namespace {

using namespace std::chrono_literals;
using Clock = GameLoop::Clock;

class GameLoopTest : public ::testing::Test {
 protected:
  Clock::time_point t0_ = Clock::time_point() + 1h;
  std::vector<std::string> events_;
  GameLoop loop_{1000ms, [this] { events_.push_back("tick"); }, t0_};
};

TEST_F(GameLoopTest, TasksRunInPostingOrderBeforeADueTick) {
  loop_.Post([this] { events_.push_back("a"); });
  loop_.Post([this] { events_.push_back("b"); });
  EXPECT_EQ(loop_.RunDue(t0_ + 999ms), t0_ + 1000ms);
  EXPECT_EQ(events_, (std::vector<std::string>{"a", "b"}));
  loop_.Post([this] { events_.push_back("c"); });
  EXPECT_EQ(loop_.RunDue(t0_ + 1000ms), t0_ + 2000ms);
  EXPECT_EQ(events_, (std::vector<std::string>{"a", "b", "c", "tick"}));
}

TEST_F(GameLoopTest, TicksKeepTheirCadenceButDoNotCatchUp) {
  loop_.RunDue(t0_ + 1010ms);
  EXPECT_EQ(loop_.RunDue(t0_ + 1500ms), t0_ + 2000ms) << "a slightly late tick keeps the grid";
  EXPECT_EQ(loop_.RunDue(t0_ + 5300ms), t0_ + 6300ms) << "missed ticks are not run in a burst";
  EXPECT_EQ(std::count(events_.begin(), events_.end(), "tick"), 2);
}

TEST_F(GameLoopTest, TasksPostedByATaskRunInTheNextStep) {
  loop_.Post([this] {
    events_.push_back("outer");
    loop_.Post([this] { events_.push_back("inner"); });
  });
  loop_.RunDue(t0_);
  EXPECT_EQ(events_, std::vector<std::string>{"outer"});
  loop_.RunDue(t0_);
  EXPECT_EQ(events_, (std::vector<std::string>{"outer", "inner"}));
}

TEST_F(GameLoopTest, StopEndsRunAfterTheTaskAtHand) {
  loop_.Post([this] {
    events_.push_back("first");
    loop_.Stop();
  });
  loop_.Post([this] { events_.push_back("dropped"); });
  loop_.Run();
  EXPECT_EQ(events_, std::vector<std::string>{"first"});
}

TEST(GameLoop, RunTicksOnTheRealClockAndWakesForTasksFromOtherThreads) {
  std::atomic<int> ticks{0};
  GameLoop loop(
      5ms, [&] { ++ticks; }, Clock::now());
  std::thread other([&] {
    while (ticks < 3) std::this_thread::sleep_for(1ms);
    loop.Post([&] { loop.Stop(); });
  });
  loop.Run();
  other.join();
  EXPECT_GE(ticks.load(), 3);
}

TEST(GameLoop, RunTicksAtOnceWhenATaskMovesItsClockPastTheDueTime) {
  Clock::duration advance{};
  auto now = [&] { return Clock::now() + advance; };
  int ticks = 0;
  GameLoop loop(
      1h,
      [&] {
        ++ticks;
        loop.Stop();
      },
      now(), now);
  loop.Post([&] { advance += 2h; });
  loop.Run();  // without the advance this would wait an hour (and the test time out)
  EXPECT_EQ(ticks, 1);
}

// The listener runs on the loop's event loop: what it posts there runs on the game thread, and
// tasks it posts from there run without another thread's help.
TEST(GameLoop, WorkOnItsEventLoopRunsOnTheGameThreadAndPostsTasksThere) {
  GameLoop loop(
      1h, [] {}, Clock::now());
  std::thread::id network, task;
  asio::post(loop.io(), [&] {
    network = std::this_thread::get_id();
    loop.Post([&] {
      task = std::this_thread::get_id();
      loop.Stop();
    });
  });
  loop.Run();
  EXPECT_EQ(network, std::this_thread::get_id());
  EXPECT_EQ(task, std::this_thread::get_id());
}

}  // namespace
}  // namespace server
