#include "server/signal_watcher.h"

#include <pthread.h>
#include <signal.h>

#include "framework/host/log_sinks.h"

namespace server {
namespace {

// SIGUSR2 wakes the watcher when it is destroyed.
sigset_t WatchedSignals(bool hangup) {
  sigset_t set;
  sigemptyset(&set);
  if (hangup) sigaddset(&set, SIGHUP);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGUSR2);
  return set;
}

}  // namespace

SignalWatcher::SignalWatcher(GameLoop& loop, std::function<void()> on_hangup) {
  thread_ = std::thread([this, &loop, on_hangup = std::move(on_hangup)] {
    sigset_t set = WatchedSignals(static_cast<bool>(on_hangup));
    for (;;) {
      int signal = 0;
      if (sigwait(&set, &signal) != 0) continue;
      if (signal == SIGUSR2 && done_) return;
      if (signal == SIGHUP) loop.Post(on_hangup);
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

void SignalWatcher::BlockWatchedSignals(bool hangup) {
  sigset_t signals = WatchedSignals(hangup);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

}  // namespace server
