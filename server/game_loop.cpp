#include "server/game_loop.h"

namespace server {

GameLoop::GameLoop(Clock::duration period, std::function<void()> tick, Clock::time_point start,
                   Now now)
    : period_(period), tick_(std::move(tick)), now_(std::move(now)), next_tick_(start + period) {}

void GameLoop::Post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  wake_.notify_one();
}

void GameLoop::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_one();
}

bool GameLoop::stopped() const {
  std::lock_guard lock(mutex_);
  return stop_;
}

void GameLoop::Run() {
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      // The wait is on the real clock: `now_` may run ahead of it by an advance.
      const Clock::time_point deadline = Clock::now() + (next_tick_ - now_());
      wake_.wait_until(lock, deadline, [&] { return stop_ || !tasks_.empty(); });
      if (stop_) return;
    }
    RunDue(now_());
  }
}

GameLoop::Clock::time_point GameLoop::RunDue(Clock::time_point now) {
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard lock(mutex_);
    batch.swap(tasks_);
  }
  for (auto& task : batch) {
    if (stopped()) return next_tick_;
    task();
  }
  if (now >= next_tick_ && !stopped()) {
    tick_();
    next_tick_ = now - next_tick_ >= period_ ? now + period_ : next_tick_ + period_;
  }
  return next_tick_;
}

}  // namespace server
