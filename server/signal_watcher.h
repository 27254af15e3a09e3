// SignalWatcher: waits for SIGINT or SIGTERM on a thread of its own and stops the game loop;
// when asked to, it also takes SIGHUP and runs `on_hangup` on the game thread. The signals must
// be blocked in every thread (BlockWatchedSignals before any thread starts), so that only its
// sigwait sees them. Made and destroyed by the game thread.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "server/game_loop.h"

namespace server {

class SignalWatcher {
 public:
  // REQUIRES: BlockWatchedSignals (with `on_hangup` given or not alike) was called before any
  // thread started; `loop` outlives it. Without `on_hangup`, SIGHUP keeps its default action.
  explicit SignalWatcher(GameLoop& loop, std::function<void()> on_hangup = {});
  ~SignalWatcher();

  // Blocks the watched signals in the calling thread and the threads it starts from now on.
  static void BlockWatchedSignals(bool hangup = false);

 private:
  std::atomic<bool> done_{false};
  std::thread thread_;
};

}  // namespace server
