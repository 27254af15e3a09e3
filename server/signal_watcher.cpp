#include "server/signal_watcher.h"

#include <pthread.h>
#include <signal.h>

#include "framework/host/log_sinks.h"

namespace server {
namespace {

// SIGUSR2 wakes the watcher when it is destroyed.
sigset_t WatchedSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGUSR2);
  return set;
}

}  // namespace

SignalWatcher::SignalWatcher(GameLoop& loop) {
  thread_ = std::thread([this, &loop] {
    sigset_t set = WatchedSignals();
    for (;;) {
      int signal = 0;
      if (sigwait(&set, &signal) != 0) continue;
      if (signal == SIGUSR2 && done_) return;
      if (signal == SIGINT || signal == SIGTERM) {
        framework::FrameworkLog().info("Stopping on signal {}",
                                       signal == SIGINT ? "SIGINT" : "SIGTERM");
        loop.Stop();
        return;
      }
    }
  });
}

SignalWatcher::~SignalWatcher() {
  done_ = true;
  pthread_kill(thread_.native_handle(), SIGUSR2);
  thread_.join();
}

void SignalWatcher::BlockWatchedSignals() {
  sigset_t signals = WatchedSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

}  // namespace server
