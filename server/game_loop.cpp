#include "server/game_loop.h"

#include <asio/executor_work_guard.hpp>
#include <asio/post.hpp>

namespace server {

GameLoop::GameLoop(Clock::duration period, std::function<void()> tick, Clock::time_point start,
                   Now now)
    : period_(period), tick_(std::move(tick)), now_(std::move(now)), next_tick_(start + period) {}

void GameLoop::Post(std::function<void()> task) {
  bool wake = false;
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    wake = !std::exchange(step_posted_, true);
  }
  // One Step runs every task queued before it: a burst of Posts costs one wake-up.
  if (wake) asio::post(io_, [this] { Step(); });
}

void GameLoop::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  io_.stop();
}

bool GameLoop::stopped() const {
  std::lock_guard lock(mutex_);
  return stop_;
}

void GameLoop::Run() {
  if (stopped()) return;
  auto work = asio::make_work_guard(io_);
  Step();
  io_.run();
  timer_.cancel();
  timer_armed_ = false;
  io_.restart();
  io_.poll();  // lets the cancelled timer's handler finish
  io_.restart();
}

void GameLoop::Step() {
  if (stopped()) return;
  RunDue(now_());
  if (stopped()) return;
  // Re-armed only when the tick moved or the clock was advanced: most steps are requests,
  // and changing the timer costs a system call.
  const Clock::time_point deadline = Clock::now() + (next_tick_ - now_());
  if (timer_armed_ && next_tick_ == armed_tick_ && deadline >= armed_deadline_ - kSlack) return;
  timer_armed_ = true;
  armed_tick_ = next_tick_;
  armed_deadline_ = deadline;
  timer_.expires_at(deadline);
  timer_.async_wait([this](std::error_code error) {
    if (error) return;
    timer_armed_ = false;
    Step();
  });
}

GameLoop::Clock::time_point GameLoop::RunDue(Clock::time_point now) {
  std::vector<std::function<void()>> batch = std::move(spare_);  // empty; its capacity kept
  {
    std::lock_guard lock(mutex_);
    batch.swap(tasks_);
    step_posted_ = false;
  }
  for (auto& task : batch) {
    if (stopped()) return next_tick_;
    task();
  }
  batch.clear();
  spare_ = std::move(batch);
  if (now >= next_tick_ && !stopped()) {
    tick_();
    next_tick_ = now - next_tick_ >= period_ ? now + period_ : next_tick_ + period_;
  }
  return next_tick_;
}

}  // namespace server
