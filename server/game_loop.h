// GameLoop: the game thread's queue and timer. Any thread may Post a task; the thread that
// calls Run runs the tasks one at a time in posting order, and the tick once per period.
// Time is read from `now` (the server passes the framework's clock): when a task moves that
// clock forward, a tick that has fallen due runs right after the task.
// Run drives an event loop (io()) that other work may share. RunDue does one step at a given time,
// so tests drive the loop without sleeping.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <vector>

#include <asio/io_context.hpp>
#include <asio/steady_timer.hpp>

namespace server {

class GameLoop {
 public:
  using Clock = std::chrono::steady_clock;

  using Now = std::function<Clock::time_point()>;

  // The first tick is due one period after `start`.
  GameLoop(Clock::duration period, std::function<void()> tick, Clock::time_point start,
           Now now = Clock::now);

  // The game thread's event loop. Handlers run on it run on the game thread, between tasks.
  asio::io_context& io() { return io_; }

  // Any thread.
  void Post(std::function<void()> task);
  // Any thread. Run returns once the task at hand is done; later tasks are dropped.
  void Stop();
  bool stopped() const;

  // Game thread. Runs until Stop, waiting for tasks, for the next tick by `now` and for the
  // other work of io(). When it returns, nothing of the loop's own is left pending on io().
  void Run();
  // Game thread. Runs the tasks posted so far (in order) and then the tick when it is due at
  // `now`. A tick more than a period late is not caught up: the next one is due a period
  // after `now`. Returns when the next tick is due.
  Clock::time_point RunDue(Clock::time_point now);

 private:
  // Runs what is due and sets the timer for the next tick (on the real clock: `now_` may run
  // ahead of it by an advance).
  void Step();

  const Clock::duration period_;
  const std::function<void()> tick_;
  const Now now_;
  Clock::time_point next_tick_;
  asio::io_context io_{1};
  asio::steady_timer timer_{io_};
  // What the timer waits for: the tick it was set for and when, on the real clock.
  static constexpr std::chrono::milliseconds kSlack{1};
  bool timer_armed_ = false;
  Clock::time_point armed_tick_;
  Clock::time_point armed_deadline_;
  mutable std::mutex mutex_;
  std::vector<std::function<void()>> tasks_;
  // The storage of the last batch RunDue ran, kept for the next: a step allocates nothing.
  std::vector<std::function<void()>> spare_;
  bool step_posted_ = false;  // a Step is queued on io_ for the tasks
  bool stop_ = false;
};

}  // namespace server
