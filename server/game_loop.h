// GameLoop: the game thread's queue and timer. Any thread may Post a task; the thread that
// calls Run runs the tasks one at a time in posting order, and the tick once per period.
// Time is read from `now` (the server passes the framework's clock): when a task moves that
// clock forward, a tick that has fallen due runs right after the task.
// RunDue does one step at a given time, so tests drive the loop without sleeping.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace server {

class GameLoop {
 public:
  using Clock = std::chrono::steady_clock;

  using Now = std::function<Clock::time_point()>;

  // The first tick is due one period after `start`.
  GameLoop(Clock::duration period, std::function<void()> tick, Clock::time_point start,
           Now now = Clock::now);

  // Any thread.
  void Post(std::function<void()> task);
  // Any thread. Run returns once the task at hand is done; later tasks are dropped.
  void Stop();
  bool stopped() const;

  // Game thread. Runs until Stop, waiting for tasks and for the next tick by `now`.
  void Run();
  // Game thread. Runs the tasks posted so far (in order) and then the tick when it is due at
  // `now`. A tick more than a period late is not caught up: the next one is due a period
  // after `now`. Returns when the next tick is due.
  Clock::time_point RunDue(Clock::time_point now);

 private:
  const Clock::duration period_;
  const std::function<void()> tick_;
  const Now now_;
  Clock::time_point next_tick_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> tasks_;
  bool stop_ = false;
};

}  // namespace server
