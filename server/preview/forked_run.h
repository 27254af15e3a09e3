// RunForked: runs work in a forked copy of this process and returns the text it produced. The
// copy has the world, the plugin and every setting by construction, and nothing it does reaches
// the parent: it ends with _exit (no exit handlers, no stream flushed), and its text comes back
// through a pipe. The copy has only the calling thread, so a lock another thread may hold must be
// taken before the fork (`hooks.before`) and released on both sides after (`hooks.after`). The
// parent waits for the copy and reaps it; no descriptor outlives the call. Thread: the game thread
// (the parent blocks until the copy is done).
#pragma once

#include <functional>
#include <string>

namespace server {

struct ForkHooks {
  std::function<void()> before;    // in the parent, just before the fork
  std::function<void()> after;     // on both sides, just after
  std::function<void()> in_child;  // then in the copy
};

struct ForkedResult {
  bool ok = false;
  std::string text;   // what the work returned, when ok
  std::string error;  // why not, otherwise
};

ForkedResult RunForked(const ForkHooks& hooks, const std::function<std::string()>& work);

}  // namespace server
