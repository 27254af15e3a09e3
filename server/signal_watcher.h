// SignalWatcher: waits for SIGINT or SIGTERM on a thread of its own and stops the game loop.
// The signals must be blocked in every thread (BlockWatchedSignals before any thread starts),
// so that only its sigwait sees them. Made and destroyed by the game thread.
#pragma once

#include <atomic>
#include <thread>

#include "server/game_loop.h"

namespace server {

class SignalWatcher {
 public:
  // REQUIRES: BlockWatchedSignals was called before any thread started; `loop` outlives it.
  explicit SignalWatcher(GameLoop& loop);
  ~SignalWatcher();

  // Blocks the watched signals in the calling thread and the threads it starts from now on.
  static void BlockWatchedSignals();

 private:
  std::atomic<bool> done_{false};
  std::thread thread_;
};

}  // namespace server
